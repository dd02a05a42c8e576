// The PAX reader. The files hold many fields this program has no use for; only the positions of the
// fields it takes are fixed, so everything else is counted and passed over.
#include "interchange/pax_import.h"

#include "interchange/xml_import.h"

namespace interchange {
namespace {

constexpr const char* kNotPax = "The selected file is not a compatible PAX file";
constexpr const char* kWrongVersion = "The selected file is not a compatable PAX file";

// Fields between the serial number and the comments, and between the comments and the second
// version line, that are passed over.
constexpr int kFieldsBeforeComments = 12;
constexpr int kFieldsAfterComments = 1;

bool skipFields(LineReader& in, int count) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i)
        if (!readField(in, lines)) return false;
    return true;
}

// One item of a point list: "frequency,amplitude,phase".
bool pointItem(std::string_view item, db::BasicFraPoint& p) {
    const auto first = item.find(',');
    if (first == std::string_view::npos) return false;
    const auto second = item.find(',', first + 1);
    if (second == std::string_view::npos) return false;
    auto third = item.find(',', second + 1);
    return wholeNumber(item.substr(0, first), p.frequency) &&
           wholeNumber(item.substr(first + 1, second - first - 1), p.amplitude) &&
           wholeNumber(item.substr(second + 1, third == std::string_view::npos ? third : third - second - 1), p.phase);
}

// The items of a ";"-separated list, blank items (a closing ";") left out.
std::vector<std::string_view> listItems(std::string_view list) {
    std::vector<std::string_view> items;
    std::size_t start = 0;
    for (;;) {
        const auto end = list.find(';', start);
        const auto item = trimmed(list.substr(start, end == std::string_view::npos ? end : end - start));
        if (!item.empty()) items.push_back(item);
        if (end == std::string_view::npos) return items;
        start = end + 1;
    }
}

// True when the field's text is a point list: its first item is a point.
bool isPointList(std::string_view text) {
    const auto items = listItems(text);
    db::BasicFraPoint p;
    return !items.empty() && pointItem(items.front(), p);
}

const char* readPax(LineReader& in, db::SweepBundle& b, const std::string&) {
    std::string line;
    if (!in.next(line) || trimmed(line) != "<Frameworx>") return kNotPax;
    if (!in.next(line)) return kNotPax;
    if (auto v = quotedValues(line); v.empty() || v.front() != "1") return kWrongVersion;

    // The first eight fields: 2 time, 3 date, 6 the identifier's first part, 7 and 8 the
    // transformer's manufacturer and serial number.
    std::vector<std::string> lines;
    std::string fields[9];
    for (int i = 1; i <= 8; ++i) {
        if (!readField(in, lines)) return kNotPax;
        fields[i] = lineContent(lines.back());
    }
    b.sweep.time = fields[2];
    b.sweep.date = fields[3];
    b.transformer.manufacturer = fields[7];
    b.transformer.serialNumber = fields[8];
    b.transformer.identifier = fields[6] + "_" + b.transformer.serialNumber.str();

    if (!skipFields(in, kFieldsBeforeComments) || !readField(in, lines)) return kNotPax;
    std::string comments;
    for (const auto& l : lines)
        if (auto text = lineContent(l); !text.empty()) comments += text + "\n";
    if (!skipFields(in, kFieldsAfterComments) || !in.next(line)) return kNotPax;
    if (auto v = quotedValues(line); v.empty() || v.front() != "1") return kWrongVersion;
    b.setup.comments = comments;
    b.sweep.comments = comments;

    do {
        if (!in.next(line)) return kNotPax;
    } while (trimmed(line) != "<Sweep>");
    if (!readField(in, lines)) return kNotPax;
    const std::string name = lineContent(lines.back());

    std::string list;
    for (;;) {
        if (!readField(in, lines)) return kNotPax;
        if (lines.back().starts_with("</Sweep>")) return kNotPax;  // a sweep without its points
        list = lineContent(lines.back());
        if (isPointList(list)) break;
    }
    for (std::string_view item : listItems(list)) {
        if (b.sweep.basicPoints.size() == kMaxImportedPoints) break;
        db::BasicFraPoint p;
        if (!pointItem(item, p)) return kNotPax;
        b.sweep.basicPoints.push_back(p);
    }

    b.equipment.manufacturer = "Unknown";
    b.equipment.instrument = "Unknown";
    b.equipment.serialNumber = "Unknown";
    b.sweep.name = uniqueSweepName(name);
    return nullptr;
}

}  // namespace

bool importPaxFile(const std::string& path, db::SweepBundle& bundle) { return readBundle(path, bundle, readPax); }

}  // namespace interchange
