// The CSV import's side that touches the world: reading the file, the "Import Error" messages, the
// impedance pane's file chooser and the date an impedance table is given. The readers themselves are
// in csv_import_readers.cpp.
#include "interchange/csv_import.h"

#include <cstdio>
#include <fstream>

#include "platform/clock.h"
#include "platform/prompter.h"

namespace interchange {
namespace {

// Any file the readers accept (at most 2000 point lines and a header) is far smaller; a larger one is
// not read into memory at all.
constexpr std::size_t kMaxFileSize = 16 * 1024 * 1024;

enum class FileText { Read, CannotOpen, TooLarge };

FileText readFileText(const std::string& path, std::string& text) {
    text.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) return FileText::CannotOpen;
    char buffer[64 * 1024];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxFileSize) return FileText::TooLarge;
    }
    return in.bad() ? FileText::CannotOpen : FileText::Read;
}

void importError(const std::string& text) {
    platform::showMessage(text, "Import Error", platform::Icon::Information);
}

// The file's text, or false after the message that refuses it.
bool loadText(const std::string& path, std::string& text) {
    switch (readFileText(path, text)) {
    case FileText::Read: return true;
    case FileText::CannotOpen: importError("Unable to open file"); return false;
    case FileText::TooLarge: importError("The selected file is not a valid CSV file"); return false;
    }
    return false;
}

}  // namespace

CsvImport importCsvFile(const std::string& path, db::SweepBundle& bundle) {
    bundle = db::SweepBundle{};
    std::string text;
    if (!loadText(path, text)) return CsvImport::Refused;
    std::string refusal;
    const CsvImport result = parseCsvForDatabase(text, bundle, refusal);
    if (result == CsvImport::Refused) {
        importError(refusal);
    } else if (result == CsvImport::ImpedanceTable) {
        // The table carries no date of its own: it is dated when it is brought in.
        const platform::LocalTime now = platform::localTimeNow();
        char date[32], time[16];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", now.year, now.month, now.day);
        std::snprintf(time, sizeof time, "%02d:%02d", now.hour, now.minute);
        bundle.sweep.date = date;
        bundle.sweep.time = time;
    }
    return result;
}

bool importImpedanceFile(const std::string& path, std::vector<db::LcrPoint>& points) {
    points.clear();
    std::string text;
    if (!loadText(path, text)) return false;
    std::string refusal;
    if (!parseCsvForDisplay(text, points, refusal)) {
        importError(refusal);
        return false;
    }
    return !points.empty();
}

bool hasCsvExtension(const std::string& path) {
    const std::size_t nameStart = path.find_last_of("\\/");
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (nameStart != std::string::npos && dot < nameStart)) return false;
    const std::string extension = path.substr(dot);
    return extension == ".txt" || extension == ".TXT" || extension == ".csv" || extension == ".CSV";
}

bool importIntoDisplay(std::vector<db::LcrPoint>& points) {
    points.clear();
    platform::FileChoice choice;
    choice.title = "Import into Database";
    choice.filters = {{"CSV Files", "*.csv"}, {"Text files", "*.txt"}};
    choice.mustExist = true;
    std::vector<std::string> paths;
    if (!platform::prompter().openFile(choice, paths) || paths.empty()) return false;
    if (!hasCsvExtension(paths.front())) return false;
    return importImpedanceFile(paths.front(), points);
}

}  // namespace interchange
