#include "support/records.h"

#include <gtest/gtest.h>

namespace testing_support {

db::TransformerRecord transformerRecord(std::string_view identifier, std::string_view manufacturer,
                                        std::string_view serialNumber) {
    db::TransformerRecord t;
    t.identifier = identifier;
    t.manufacturer = manufacturer;
    t.serialNumber = serialNumber;
    return t;
}

db::SetupRecord setupRecord(std::string_view name, std::string_view reference, std::string_view response,
                            std::string_view connected, int oltc, float unshieldedLength) {
    db::SetupRecord s;
    s.name = name;
    s.referenceTerminal = reference;
    s.responseTerminal = response;
    s.connectedTerminals = connected;
    s.oltc = oltc;
    s.unshieldedLength = unshieldedLength;
    return s;
}

db::EquipmentRecord equipmentRecord(std::string_view manufacturer, std::string_view instrument,
                                    std::string_view serialNumber, std::string_view calibrationDueDate) {
    db::EquipmentRecord e;
    e.manufacturer = manufacturer;
    e.instrument = instrument;
    e.serialNumber = serialNumber;
    e.calibrationDueDate = calibrationDueDate;
    return e;
}

db::SweepRecord sweepRecord(std::string_view name, std::string_view date, std::string_view time, double peakVoltage,
                            double temperature, int dataType) {
    db::SweepRecord w;
    w.name = name;
    w.date = date;
    w.time = time;
    w.peakVoltage = peakVoltage;
    w.temperature = temperature;
    w.dataType = dataType;
    return w;
}

db::SweepBundle filledBundle(db::TransformerRecord transformer, db::SetupRecord setup, db::EquipmentRecord equipment,
                             db::SweepRecord sweep) {
    db::SweepBundle b;
    b.marker = 1;
    b.transformer = std::move(transformer);
    b.setup = std::move(setup);
    b.equipment = std::move(equipment);
    b.sweep = std::move(sweep);
    return b;
}

void expectImportRefused(const db::SweepBundle& bundle, const FakePrompter& prompter, const std::string& text) {
    EXPECT_EQ(bundle.marker, -1);
    EXPECT_EQ(bundle.sweep.pointCount(), 0);
    ASSERT_EQ(prompter.boxes.size(), 1u) << prompter.captions();
    EXPECT_EQ(prompter.boxes[0].text, text);
    EXPECT_EQ(prompter.boxes[0].caption, "Import Error");
    EXPECT_EQ(prompter.boxes[0].icon, platform::Icon::Information);
}

}  // namespace testing_support
