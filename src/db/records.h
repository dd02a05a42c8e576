// The in-memory form of one database row, and the bundles and selections the record store takes and
// gives. Text fields keep the capacities of the program's records (see FixedText); ids are signed
// 64-bit. A SweepRecord owns its points: only the array its data type selects is used.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "db/schema.h"

namespace db {

struct TransformerRecord {
    common::FixedText<51> identifier;
    common::FixedText<51> manufacturer;
    common::FixedText<26> serialNumber;
    std::int64_t fingerprintSweepId = 0;
    std::int32_t dialogMode = 0;  // how the transformer dialog was opened (3: creating a new database)
};

struct SetupRecord {
    std::int64_t id = 0;
    common::FixedText<151> name;
    common::FixedText<20> referenceTerminal;
    common::FixedText<20> responseTerminal;
    common::FixedText<53> connectedTerminals;
    std::int32_t oltc = 0;
    float unshieldedLength = 0.0f;  // mm
    bool fluidFilled = false;
    common::FixedText<307> comments;
};

struct EquipmentRecord {
    std::int64_t id = 0;
    common::FixedText<51> manufacturer;
    common::FixedText<21> instrument;
    common::FixedText<11> serialNumber;
    common::FixedText<13> calibrationDueDate;  // YYYY-MM-DD as stored, DD-MM-YYYY as read back
};

// Data type 0, table Data.
struct BasicFraPoint {
    double frequency = 0;  // Hz
    double amplitude = 0;  // gain, dB
    double phase = 0;      // degrees
};

// Data type 1, table Data_FRA.
struct FraPoint {
    double frequency = 0;
    double magnitude1 = 0;  // V, channel 1
    double magnitude2 = 0;  // V, channel 2
    double amplitude = 0;
    double phase = 0;
    double delay = 0;
};

// Data type 2, table Data_LCR.
struct LcrPoint {
    double frequency = 0;
    double admittance = 0;        // S
    double admittancePhase = 0;   // degrees
    double impedance = 0;         // ohm
    double impedancePhase = 0;    // degrees
    double inductance = 0;        // H
    double capacitance = 0;       // F
    double resistance = 0;        // ohm
};

enum DataType : std::int32_t { kDataBasicFra = 0, kDataFra = 1, kDataLcr = 2 };

struct SweepRecord {
    std::int64_t id = 0;
    std::int64_t setupId = 0;
    std::int64_t equipmentId = 0;
    common::FixedText<51> transformerIdentifier;
    double peakVoltage = 0;
    double temperature = 0;
    common::FixedText<151> name;
    common::FixedText<6> time;   // HH:MM
    common::FixedText<12> date;  // YYYY-MM-DD to store; DD-MM-YYYY as loaded
    common::FixedText<303> comments;
    std::int32_t phaseConvention = 0;
    std::int32_t dataType = kDataBasicFra;
    std::vector<BasicFraPoint> basicPoints;
    std::vector<LcrPoint> lcrPoints;
    std::vector<FraPoint> fraPoints;

    // Number of points in the array the data type selects (0 for an unknown data type).
    int pointCount() const;
};

// A sweep with its transformer, setup and equipment: what importers fill and exporters receive.
struct SweepBundle {
    std::int64_t marker = -1;  // -1: empty; above 0: filled
    TransformerRecord transformer;
    SetupRecord setup;
    EquipmentRecord equipment;
    SweepRecord sweep;
};

// What a deletion acts on: a table, the columns shown for it and a WHERE clause.
struct RecordSelection {
    TableIndex table = TableIndex::Sweep;
    std::vector<int> columns;
    std::string where;
};

// The display name of a sweep data type: "FRA (Basic)", "FRA", "LCR"; "" for any other value.
const char* dataTypeName(int dataType);

}  // namespace db
