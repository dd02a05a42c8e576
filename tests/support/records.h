// Records and sweep bundles for tests, built from their fields in one call, and the check that an
// importer refused a file the way the user sees it.
#pragma once

#include <string>
#include <string_view>

#include "db/records.h"
#include "support/fake_prompter.h"

namespace testing_support {

db::TransformerRecord transformerRecord(std::string_view identifier, std::string_view manufacturer,
                                        std::string_view serialNumber);
db::SetupRecord setupRecord(std::string_view name, std::string_view reference, std::string_view response,
                            std::string_view connected, int oltc, float unshieldedLength);
db::EquipmentRecord equipmentRecord(std::string_view manufacturer, std::string_view instrument,
                                    std::string_view serialNumber, std::string_view calibrationDueDate = {});
// A sweep without points, naming no transformer, setup or equipment yet.
db::SweepRecord sweepRecord(std::string_view name, std::string_view date, std::string_view time, double peakVoltage,
                            double temperature, int dataType);

// A filled bundle (marker 1) of the four records, as importers hand it over.
db::SweepBundle filledBundle(db::TransformerRecord transformer, db::SetupRecord setup, db::EquipmentRecord equipment,
                             db::SweepRecord sweep);

// What a refused import leaves: the bundle empty (marker -1, no points) and exactly one "Import
// Error" box with the information icon saying text.
void expectImportRefused(const db::SweepBundle& bundle, const FakePrompter& prompter, const std::string& text);

}  // namespace testing_support
