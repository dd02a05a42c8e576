// The CSV import, one kind of file per target (CSV_KIND picks it): the kind's first line, then the
// input. Both the data browser's and the impedance pane's reading run on every text.
#include <string>

#include "fuzz_support.h"
#include "interchange/csv_import.h"

namespace {

// What each kind's first line starts with; the input continues that line.
constexpr const char* kFirstLines[] = {
    "File Version:\t1.0\n",      // sweep report
    "Instrument Configuration\n",  // instrument file
    "\"Frequency\"",             // quoted column file
    "Frequency,",                // plain column file
    "File Version",              // impedance table
};

std::size_t pointCount(const db::SweepRecord& s) {
    return s.basicPoints.size() + s.fraPoints.size() + s.lcrPoints.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = kFirstLines[CSV_KIND] + std::string(reinterpret_cast<const char*>(data), size);

    db::SweepBundle bundle;
    std::string refusal;
    switch (interchange::parseCsvForDatabase(text, bundle, refusal)) {
    case interchange::CsvImport::Refused:
        fuzz::require(!refusal.empty() && bundle.marker == -1 && pointCount(bundle.sweep) == 0,
                      "a refused file leaves an empty bundle and a message");
        break;
    case interchange::CsvImport::Sweep:
        fuzz::require(bundle.marker == 1, "a read sweep is marked filled");
        break;
    case interchange::CsvImport::ImpedanceTable:
        fuzz::require(bundle.marker == -1 && bundle.sweep.dataType == db::kDataLcr,
                      "an impedance table is an unmarked impedance sweep");
        break;
    }
    fuzz::require(pointCount(bundle.sweep) <= interchange::kMaxImportPoints, "a sweep holds at most 2000 points");

    std::vector<db::LcrPoint> points;
    const bool shown = interchange::parseCsvForDisplay(text, points, refusal);
    fuzz::require(shown ? refusal.empty() : !refusal.empty() && points.empty(),
                  "the display reading either takes the file or says why not");
    fuzz::require(points.size() <= interchange::kMaxImportPoints, "the display holds at most 2000 points");
    return 0;
}
