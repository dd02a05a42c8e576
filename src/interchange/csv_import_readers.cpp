// The CSV readers proper, on a file's whole text: the first line picks the kind, each kind has its own
// reader. Every reader either accepts the whole file or refuses it, so that a caller never gets half a
// sweep: truncated files, short data lines and files over the point limit are refused.
#include <climits>
#include <cstdlib>
#include <string_view>

#include "interchange/csv_import.h"
#include "interchange/text_format.h"

namespace interchange {
namespace {

constexpr const char* kNotValid = "The selected file is not a valid CSV file";
constexpr const char* kNoFraData = "The selected file does not contain FRA data";
constexpr const char* kNoImpedanceData = "The selected file does not contain Impedance data";

// No line of a file the program reads comes near this; a longer one means the file is something else.
constexpr std::size_t kMaxLineLength = 64 * 1024;

constexpr std::string_view kReportFirstLine = "File Version:\t1.0";
constexpr std::string_view kInstrumentFirstLine = "Instrument Configuration";

// A file's lines, split at line feeds. raw() keeps a carriage return before the line feed (comments
// spanning lines are given back exactly); line() drops it, so that values read back are the values
// written.
class Lines {
public:
    explicit Lines(std::string_view text) {
        if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // byte-order mark of some editors
        lastEnded_ = !text.empty() && text.back() == '\n';
        while (!text.empty()) {
            std::size_t end = text.find('\n');
            std::string_view piece = text.substr(0, end);
            if (piece.size() > kMaxLineLength) tooLong_ = true;
            raw_.push_back(piece);
            if (end == std::string_view::npos) break;
            text.remove_prefix(end + 1);
        }
    }

    bool tooLong() const { return tooLong_; }
    // False only for the last line of a text that does not end in a line feed.
    bool ended(std::size_t i) const { return i + 1 < raw_.size() || lastEnded_; }
    std::size_t size() const { return raw_.size(); }
    std::string_view raw(std::size_t i) const { return raw_[i]; }
    std::string_view line(std::size_t i) const {
        std::string_view l = raw_[i];
        if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
        return l;
    }
    bool blank(std::size_t i) const { return line(i).find_first_not_of(" \t") == std::string_view::npos; }

private:
    std::vector<std::string_view> raw_;
    bool tooLong_ = false;
    bool lastEnded_ = false;
};

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    while (true) {
        std::size_t comma = line.find(',');
        fields.push_back(line.substr(0, comma));
        if (comma == std::string_view::npos) return fields;
        line.remove_prefix(comma + 1);
    }
}

// A field as a number: the leading part that forms a decimal number, 0 when none. Spaces and one pair
// of double quotes around the number are looked through, as column files may quote their values.
double number(std::string_view field) {
    std::size_t first = field.find_first_not_of(" \t");
    if (first == std::string_view::npos) return 0;
    field.remove_prefix(first);
    if (!field.empty() && field.front() == '"') field.remove_prefix(1);
    return std::strtod(std::string(field).c_str(), nullptr);
}

// A field as an integer: the leading decimal digits, 0 when none; out-of-range values are held at the
// ends of the int range instead of overflowing.
int integer(std::string_view field) {
    long long v = std::strtoll(std::string(field).c_str(), nullptr, 10);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string trimmed(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    std::size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

db::BasicFraPoint basicPoint(const std::vector<std::string_view>& f, std::size_t a, std::size_t b, std::size_t c) {
    return {number(f[a]), number(f[b]), number(f[c])};
}

// Eight impedance values starting at field first.
db::LcrPoint lcrPoint(const std::vector<std::string_view>& f, std::size_t first) {
    return {number(f[first]),     number(f[first + 1]), number(f[first + 2]), number(f[first + 3]),
            number(f[first + 4]), number(f[first + 5]), number(f[first + 6]), number(f[first + 7])};
}

// The point lines that start at line first and run to a blank line or the end of the file; read(fields)
// takes one and says whether its fields make a point. False when one does not, or when there are more
// than kMaxImportPoints lines.
template <typename Read>
bool readPointLines(const Lines& lines, std::size_t first, Read read) {
    int count = 0;
    for (std::size_t i = first; i < lines.size() && !lines.blank(i); ++i)
        if (++count > kMaxImportPoints || !read(splitFields(lines.line(i)))) return false;
    return true;
}

// The first line at or after from that contains text; lines.size() when none does.
std::size_t findLine(const Lines& lines, std::size_t from, std::string_view text) {
    while (from < lines.size() && lines.line(from).find(text) == std::string_view::npos) ++from;
    return from;
}

// Walks a sweep report line by line. A read past the end of the file, or a labelled line without
// its tab, marks the report as failed; reads after that give empty values.
class ReportCursor {
public:
    explicit ReportCursor(const Lines& lines) : lines_(lines) {}

    bool failed() const { return failed_; }
    void skip(std::size_t count) { at_ += count; }

    std::string_view line() {
        if (at_ >= lines_.size()) failed_ = true;
        if (failed_) return {};
        return lines_.line(at_++);
    }

    // Whether the line last read ended in a line feed (every line the writer puts down does).
    bool lastLineEnded() const { return at_ > 0 && lines_.ended(at_ - 1); }

    // The value of a labelled line: the text after its first tab.
    std::string text() {
        std::string_view l = line();
        std::size_t tab = l.find('\t');
        if (tab == std::string_view::npos) failed_ = true;
        if (failed_) return {};
        return std::string(l.substr(tab + 1));
    }

    // A comment, which the writer puts down as stored, line breaks and all: its labelled line and
    // every line up to the blank line before nextHeading. When that heading never comes the comment is
    // its one line, and the report is read by position as written.
    std::string comment(std::string_view nextHeading) {
        if (at_ >= lines_.size()) failed_ = true;
        if (failed_) return {};
        std::string_view first = lines_.raw(at_);
        std::size_t tab = first.find('\t');
        if (tab == std::string_view::npos) {
            failed_ = true;
            return {};
        }
        std::string value(first.substr(tab + 1));
        std::size_t end = at_ + 1;
        while (end + 1 < lines_.size() && !(lines_.line(end).empty() && lines_.line(end + 1) == nextHeading)) ++end;
        if (end + 1 < lines_.size()) {
            for (std::size_t i = at_ + 1; i < end; ++i) {
                value += '\n';
                value += lines_.raw(i);
            }
            at_ = end;
        } else {
            ++at_;
        }
        if (!value.empty() && value.back() == '\r') value.pop_back();
        return value;
    }

private:
    const Lines& lines_;
    std::size_t at_ = 1;  // after the "File Version" line
    bool failed_ = false;
};

CsvImport refuse(const char* message, db::SweepBundle& bundle, std::string& refusal) {
    bundle = db::SweepBundle{};
    refusal = message;
    return CsvImport::Refused;
}

// The sweep report of csv_export: four sections of labelled lines, then the points. The column line
// decides the data type by its field count (3, 6 or 8; any other count: the header alone); then
// exactly as many point lines as the Steps line announced must follow.
CsvImport readSweepReport(const Lines& lines, db::SweepBundle& b, std::string& refusal) {
    ReportCursor c(lines);
    c.skip(3);
    b.transformer.identifier = c.text();
    b.transformer.manufacturer = c.text();
    b.transformer.serialNumber = c.text();

    c.skip(3);
    b.equipment.manufacturer = c.text();
    b.equipment.instrument = c.text();
    b.equipment.serialNumber = c.text();

    c.skip(3);
    b.setup.name = c.text();
    b.setup.referenceTerminal = c.text();
    b.setup.responseTerminal = c.text();
    b.setup.connectedTerminals = c.text();
    b.setup.oltc = integer(c.text());
    // The writer puts "Yes"; other writers of the same form have been seen to put "yes".
    b.setup.fluidFilled = equalsNoCase(trimmed(c.text()), "Yes");
    b.setup.unshieldedLength = static_cast<float>(number(c.text()));
    b.setup.comments = c.comment("Sweep Details");

    c.skip(3);
    db::SweepRecord& s = b.sweep;
    s.name = c.text();
    s.date = storedDate(c.text(), '-', true);
    s.time = c.text();
    const int steps = integer(c.text());
    s.peakVoltage = number(c.text());
    s.temperature = number(c.text());
    s.comments = c.comment("Sweep Data");
    s.transformerIdentifier = b.transformer.identifier.str();

    c.skip(3);
    const std::size_t columns = splitFields(c.line()).size();
    if (c.failed() || steps < 0 || steps > kMaxImportPoints) return refuse(kNotValid, b, refusal);

    if (columns == 3 || columns == 6 || columns == 8) {
        s.dataType = columns == 3 ? db::kDataBasicFra : columns == 6 ? db::kDataFra : db::kDataLcr;
        for (int i = 0; i < steps; ++i) {
            std::string_view l = c.line();
            if (c.failed()) return refuse(kNotValid, b, refusal);  // the file ends before its last point
            auto f = splitFields(l);
            if (columns == 3 && f.size() == 3) s.basicPoints.push_back(basicPoint(f, 0, 1, 2));
            else if (columns == 6 && f.size() == 6)
                s.fraPoints.push_back({number(f[0]), number(f[1]), number(f[2]), number(f[3]), number(f[4]), number(f[5])});
            else if (columns == 8 && (f.size() == 8 || f.size() == 9)) s.lcrPoints.push_back(lcrPoint(f, f.size() - 8));
            else return refuse(kNotValid, b, refusal);  // a short or long point line: no half sweep
        }
    }
    // A report cut off inside its column line or its last point line may still show a plausible number
    // of fields; the writer ends every line, so an unended last line means the file was cut short.
    if (!c.lastLineEnded()) return refuse(kNotValid, b, refusal);
    b.marker = 1;
    return CsvImport::Sweep;
}

// A basic sweep read from a file that says nothing of the transformer or the instrument: both are
// recorded as "Unknown" so that the import can still file the sweep.
CsvImport unknownOrigin(db::SweepBundle& b) {
    b.transformer.identifier = "Unknown";
    b.sweep.transformerIdentifier = "Unknown";
    b.equipment.instrument = "Unknown";
    b.equipment.serialNumber = "Unknown";
    b.sweep.dataType = db::kDataBasicFra;
    b.marker = 1;
    return CsvImport::Sweep;
}

// The instrument's own file for the data browser: the column line after "data start sweep" must have
// six columns, of which frequency, gain and phase (first, fourth, fifth) make a basic sweep.
CsvImport readInstrumentFra(const Lines& lines, db::SweepBundle& b, std::string& refusal) {
    const std::size_t start = findLine(lines, 1, "data start sweep");
    if (start + 1 >= lines.size()) return refuse(kNotValid, b, refusal);
    if (splitFields(lines.line(start + 1)).size() != 6) return refuse(kNoFraData, b, refusal);
    auto& points = b.sweep.basicPoints;
    bool ok = readPointLines(lines, start + 2, [&](const auto& f) {
        if (f.size() < 6) return false;
        points.push_back(basicPoint(f, 0, 3, 4));
        return true;
    });
    if (!ok) return refuse(kNotValid, b, refusal);
    return unknownOrigin(b);
}

// The sweep name a column file's title line gives: in the quoted form the second quoted title, in
// the plain form the second title; either cut before " (" (a title "Sweep1 (dB)" names Sweep1).
std::string columnFileName(std::string_view titles, bool quoted) {
    std::string_view title;
    if (quoted) {
        // Quoted values are the pieces between successive pairs of quotes: pieces 1, 3, 5, ...
        std::size_t pos = 0;
        for (int piece = 0; piece < 3 && pos != std::string_view::npos; ++piece) {
            pos = titles.find('"', pos);
            if (pos != std::string_view::npos) ++pos;
        }
        if (pos == std::string_view::npos) return {};
        title = titles.substr(pos, titles.find('"', pos) - pos);
    } else {
        auto fields = splitFields(titles);
        title = fields.size() > 1 ? fields[1] : std::string_view();
    }
    return trimmed(title.substr(0, title.find(" (")));
}

// Column files: a title line, then lines of frequency, amplitude and (when present) phase. A file
// without data lines is refused: it has nothing to import. Every data line has as many fields as the
// first: a line with fewer is a file cut short, whose point would come in with a made-up phase.
CsvImport readColumnFile(const Lines& lines, bool quoted, db::SweepBundle& b, std::string& refusal) {
    auto& points = b.sweep.basicPoints;
    const std::size_t fields = lines.size() > 1 ? splitFields(lines.line(1)).size() : 0;
    bool ok = lines.size() > 1 && !lines.blank(1) && readPointLines(lines, 1, [&](const auto& f) {
        if ((f.size() != 2 && f.size() != 3) || f.size() != fields) return false;
        points.push_back({number(f[0]), number(f[1]), f.size() == 3 ? number(f[2]) : 0.0});
        return true;
    });
    if (!ok) return refuse(kNotValid, b, refusal);
    b.sweep.name = columnFileName(lines.line(0), quoted);
    return unknownOrigin(b);
}

// The impedance table of csv_export: after "Sweep Data", the underline and a column line of nine
// titles, one line per point until a blank line or the end: a step number and the eight values.
bool readImpedanceTable(const Lines& lines, std::vector<db::LcrPoint>& points) {
    const std::size_t heading = findLine(lines, 1, "Sweep Data");
    if (heading + 2 >= lines.size() || splitFields(lines.line(heading + 2)).size() != 9) return false;
    return readPointLines(lines, heading + 3, [&](const auto& f) {
        if (f.size() < 9) return false;
        points.push_back(lcrPoint(f, 1));
        return true;
    });
}

// The instrument's own file for the impedance pane: eight columns after "data start sweep".
bool readInstrumentImpedance(const Lines& lines, std::vector<db::LcrPoint>& points, std::string& refusal) {
    const std::size_t start = findLine(lines, 1, "data start sweep");
    if (start + 1 >= lines.size()) {
        refusal = kNotValid;
        return false;
    }
    if (splitFields(lines.line(start + 1)).size() != 8) {
        refusal = kNoImpedanceData;
        return false;
    }
    bool ok = readPointLines(lines, start + 2, [&](const auto& f) {
        if (f.size() < 8) return false;
        points.push_back(lcrPoint(f, 0));
        return true;
    });
    if (!ok) {
        refusal = kNotValid;
        return false;
    }
    return true;
}

}  // namespace

CsvImport parseCsvForDatabase(const std::string& text, db::SweepBundle& bundle, std::string& refusal) {
    bundle = db::SweepBundle{};
    refusal.clear();
    const Lines lines(text);
    if (lines.size() == 0 || lines.tooLong()) return refuse(kNotValid, bundle, refusal);

    const std::string_view first = lines.line(0);
    if (first == kReportFirstLine) return readSweepReport(lines, bundle, refusal);
    if (first == kInstrumentFirstLine) return readInstrumentFra(lines, bundle, refusal);
    if (startsWith(first, "\"Frequency\"")) return readColumnFile(lines, true, bundle, refusal);
    if (startsWith(first, "Frequency,")) return readColumnFile(lines, false, bundle, refusal);
    if (startsWith(first, "File Version")) {
        db::SweepRecord& s = bundle.sweep;
        if (!readImpedanceTable(lines, s.lcrPoints)) return refuse(kNotValid, bundle, refusal);
        s.dataType = db::kDataLcr;
        s.equipmentId = -1;  // no equipment chosen: the Edit Sweep dialog lets the user add it
        return CsvImport::ImpedanceTable;
    }
    return refuse(kNotValid, bundle, refusal);
}

bool parseCsvForDisplay(const std::string& text, std::vector<db::LcrPoint>& points, std::string& refusal) {
    points.clear();
    refusal.clear();
    const Lines lines(text);
    bool ok = false;
    if (lines.size() == 0 || lines.tooLong()) {
        refusal = kNotValid;
    } else if (lines.line(0) == kInstrumentFirstLine) {
        ok = readInstrumentImpedance(lines, points, refusal);
    } else if (startsWith(lines.line(0), "File Version") && lines.line(0) != kReportFirstLine) {
        ok = readImpedanceTable(lines, points);
        if (!ok) refusal = kNotValid;
    } else {
        refusal = kNotValid;  // sweep reports and column files are for the data browser only
    }
    if (!ok) points.clear();
    return ok;
}

}  // namespace interchange
