// The ".sfra" sweep reader, which expects its elements one a line in a fixed order, and the line
// handling it shares with the PAX reader.
#include "interchange/xml_import.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <unordered_set>

#include "db/record_store.h"
#include "db/schema.h"
#include "interchange/iec_xml_import.h"
#include "interchange/text_format.h"
#include "common/xml_text.h"
#include "platform/prompter.h"

namespace interchange {
namespace {

std::size_t characterCount(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// text cut to at most maxBytes without splitting a UTF-8 character.
std::string cutUtf8(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t n = maxBytes;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return text.substr(0, n);
}

std::string firstQuoted(std::string_view line) {
    auto values = quotedValues(line);
    return values.empty() ? std::string() : values.front();
}

// A point from the values of a point line: the first three, each of them wholly a number.
bool threeNumbers(const std::vector<std::string>& values, db::BasicFraPoint& point) {
    return values.size() >= 3 && wholeNumber(values[0], point.frequency) && wholeNumber(values[1], point.amplitude) &&
           wholeNumber(values[2], point.phase);
}

std::vector<std::string> splitAt(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const auto end = text.find(separator, start);
        parts.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

// What each field of a sweep file holds, in file order after the root line. A field ends with the
// first line holding a closing tag, so a line that only opens a section belongs to the field after
// it, and a line that only closes a section is a field of its own with nothing in it.
enum class SweepField {
    Skip,
    TransformerManufacturer,
    TransformerSerial,
    SetupName,
    SetupComment,         // its lines appended to the setup comments
    EquipmentManufacturer,
    EquipmentInstrument,
    EquipmentSerial,
    Started,              // "month/day/year hours:minutes:seconds"
    FluidFilled,          // an integer, above 0 when filled
    SweepComments,        // its lines appended to the sweep comments
    ReferenceTerminal,
    ResponseTerminal,
    Oltc,
    ConnectedTerminals,
};

using enum SweepField;
constexpr SweepField kSweepFileFields[] = {
    TransformerManufacturer, TransformerSerial, Skip /* rating */, Skip /* end of the transformer */,
    SetupName, SetupComment /* site */, SetupComment /* operator */, SetupComment /* purpose */,
    Skip /* end of the test */,
    EquipmentManufacturer, EquipmentInstrument, EquipmentSerial, Skip /* firmware */,
    Skip /* end of the instrument */,
    Started, FluidFilled, SweepComments, ReferenceTerminal, ResponseTerminal, Oltc, ConnectedTerminals,
};

// Appends the text of each line of a field, each followed by a line feed; lines without text (such
// as a line that only opens the element) add nothing.
std::string fieldLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines)
        if (auto content = lineContent(l); !content.empty()) text += content + "\n";
    return text;
}

// The ".sfra" reader proper; see importSweepFile.
const char* readSweep(LineReader& in, db::SweepBundle& b, const std::string& path) {
    std::string line;
    if (!in.next(line) || firstQuoted(line) != "1.0") return kNotValidXml;
    if (!in.next(line)) return kNotValidXml;
    if (line.starts_with("<!--") && !in.next(line)) return kNotValidXml;
    if (const auto version = firstQuoted(line); version != "3" && version != "2") return kNotCompatibleXml;

    std::string setupComments, sweepComments;
    std::vector<std::string> lines;
    for (SweepField field : kSweepFileFields) {
        if (!readField(in, lines)) return kNotValidXml;
        const std::string content = lineContent(lines.back());
        if (field == SetupComment) {
            setupComments += fieldLines(lines);
            continue;
        }
        if (field == SweepComments) {
            sweepComments += fieldLines(lines);
            continue;
        }
        if (content.empty()) continue;  // an empty field leaves the value as it is
        switch (field) {
        case TransformerManufacturer: b.transformer.manufacturer = content; break;
        case TransformerSerial: b.transformer.serialNumber = content; break;
        case SetupName: b.setup.name = content; break;
        case EquipmentManufacturer: b.equipment.manufacturer = content; break;
        case EquipmentInstrument: b.equipment.instrument = content; break;
        case EquipmentSerial: b.equipment.serialNumber = content; break;
        case Started: {
            const auto space = content.find(' ');
            b.sweep.date = storedDate(std::string_view(content).substr(0, space), '/', false);
            if (space != std::string::npos) {
                std::string time = std::string(trimmed(std::string_view(content).substr(space + 1)));
                if (const auto colon = time.rfind(':'); colon != std::string::npos) time.erase(colon);
                b.sweep.time = time;  // 13:48:05 becomes 13:48
            }
            break;
        }
        case FluidFilled: b.setup.fluidFilled = leadingInteger(content) > 0; break;
        case ReferenceTerminal: b.setup.referenceTerminal = content; break;
        case ResponseTerminal: b.setup.responseTerminal = content; break;
        case Oltc: b.setup.oltc = leadingInteger(content); break;
        case ConnectedTerminals: b.setup.connectedTerminals = content; break;
        default: break;
        }
    }
    b.setup.comments = setupComments;
    b.sweep.comments = sweepComments;
    b.transformer.identifier = b.transformer.serialNumber.str() + "_" + b.transformer.manufacturer.str();

    // The points, one "<d" line each ("frequency,amplitude,phase"), follow the last field after the
    // lines that open their section.
    do {
        if (!in.next(line)) return kNotValidXml;
    } while (!line.starts_with("<d"));
    for (;;) {
        if (b.sweep.basicPoints.size() < kMaxImportedPoints) {
            db::BasicFraPoint p;
            if (!threeNumbers(splitAt(lineContent(line), ','), p)) return kNotValidXml;
            b.sweep.basicPoints.push_back(p);
        }
        if (!in.next(line)) return kNotValidXml;  // cut short among the points
        if (!line.starts_with("<d")) break;
    }
    // The points end with the tag that closes their section; anything else is a file cut short
    // between two lines, whose remaining points would be lost unseen.
    if (const auto end = trimmed(line); !end.starts_with("</") || !end.ends_with(">")) return kNotValidXml;
    b.sweep.name = uniqueSweepName(baseName(path));
    return nullptr;
}

}  // namespace

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// ---- Line handling ----

LineReader::LineReader(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {}

LineReader::~LineReader() {
    if (file_) std::fclose(file_);
}

bool LineReader::next(std::string& line) {
    line.clear();
    if (!file_ || tooLong_) return false;
    int c;
    bool any = false;
    while ((c = std::getc(file_)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (line.size() == kMaxLineLength) {
            tooLong_ = true;
            line.clear();
            return false;
        }
        line += static_cast<char>(c);
    }
    if (!any) return false;
    if (first_) {
        first_ = false;
        if (line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line.erase(0, std::min(line.find_first_not_of(" \t"), line.size()));
    return true;
}

bool readField(LineReader& in, std::vector<std::string>& lines) {
    lines.clear();
    std::string line;
    while (in.next(line)) {
        lines.push_back(line);
        if (line.find("</") != std::string::npos) return true;
    }
    return false;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::string lineContent(std::string_view line) {
    std::size_t begin = 0;
    if (!line.empty() && line.front() == '<') {
        const auto close = line.find('>');
        begin = close == std::string_view::npos ? line.size() : close + 1;
    }
    const auto end = line.find('<', begin);
    const auto text = line.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin);
    return common::xmlUnescape(trimmed(text));
}

std::vector<std::string> quotedValues(std::string_view line) {
    std::vector<std::string> values;
    std::size_t open = line.find('"');
    while (open != std::string_view::npos) {
        const auto close = line.find('"', open + 1);
        if (close == std::string_view::npos) break;
        values.emplace_back(line.substr(open + 1, close - open - 1));
        open = line.find('"', close + 1);
    }
    return values;
}

namespace {

// Reads a number at the start of text (after blanks, an optional "+"); end receives where it stopped.
// A number too large or too small for a double counts as none.
bool parseNumber(std::string_view text, double& value, const char*& end) {
    text.remove_prefix(std::min(text.find_first_not_of(" \t\r\n"), text.size()));
    const char* begin = text.data();
    const char* stop = begin + text.size();
    if (stop - begin > 1 && begin[0] == '+' && begin[1] != '-') ++begin;  // from_chars takes no "+"
    const auto result = std::from_chars(begin, stop, value);
    end = result.ptr;
    return result.ec == std::errc() && result.ptr != begin;
}

}  // namespace

double leadingNumber(std::string_view text) {
    double value = 0;
    const char* end;
    return parseNumber(text, value, end) ? value : 0.0;
}

int leadingInteger(std::string_view text) {
    const double value = leadingNumber(text);
    if (!(value == value)) return 0;  // not a number
    constexpr double lowest = std::numeric_limits<int>::min(), highest = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(value, lowest, highest));
}

bool wholeNumber(std::string_view text, double& value) {
    text = trimmed(text);
    const char* end;
    double parsed = 0;
    if (!parseNumber(text, parsed, end) || end != text.data() + text.size()) return false;
    value = parsed;
    return true;
}

std::string fileName(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string baseName(const std::string& path) {
    std::string name = fileName(path);
    if (const auto dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
    return name;
}

std::string uniqueSweepName(const std::string& name) {
    constexpr std::size_t kMaxName = decltype(db::SweepRecord::name)::kMaxLength;
    std::unordered_set<std::string> taken;
    if (db::connectionHandle(db::Connection::Main)) {
        std::vector<std::string> rows;
        db::select_rows(rows, db::TableIndex::Sweep, {4}, "", false);
        for (const auto& row : rows) taken.insert(lowerAscii(row));
    }
    for (int n = 1;; ++n) {
        std::string candidate;
        if (n == 1 && characterCount(name) > 3) {
            candidate = cutUtf8(name, kMaxName);
        } else {
            const std::string suffix = " (" + std::to_string(n) + ")";
            candidate = cutUtf8(name, kMaxName - suffix.size()) + suffix;
        }
        if (!taken.contains(lowerAscii(candidate))) return candidate;
    }
}

void showImportError(const std::string& text) {
    platform::showMessage(text, "Import Error", platform::Icon::Information);
}

bool readBundle(const std::string& path, db::SweepBundle& bundle, BundleReader read) {
    bundle = db::SweepBundle{};
    LineReader in(path);
    return settleBundle(bundle, in.isOpen() ? read(in, bundle, path) : kCannotOpenFile);
}

bool settleBundle(db::SweepBundle& bundle, const char* refusal) {
    if (refusal) {
        bundle = db::SweepBundle{};  // nothing half-read is handed over
        showImportError(refusal);
        return false;
    }
    bundle.sweep.dataType = db::kDataBasicFra;
    bundle.sweep.transformerIdentifier = bundle.transformer.identifier.str();
    bundle.marker = 1;
    return true;
}

bool importSweepFile(const std::string& path, db::SweepBundle& bundle) { return readBundle(path, bundle, readSweep); }

bool importXmlFile(const std::string& path, db::SweepBundle& bundle) {
    if (path.ends_with(".sfra") || path.ends_with(".SFRA")) return importSweepFile(path, bundle);
    return importIecXmlFile(path, bundle);
}

}  // namespace interchange
