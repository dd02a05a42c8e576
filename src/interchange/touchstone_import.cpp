// The Touchstone reader: the option line, version 2 keywords, records of numbers over one or more
// lines, the transmission's conversion to gain and phase, and the comments that name the instrument
// and the date.
#include "interchange/touchstone_import.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "common/string_printf.h"
#include "interchange/xml_import.h"
#include "platform/prompter.h"

namespace interchange {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr std::size_t kMostFileBytes = 256u << 20;  // far beyond any analyser's file

enum class Format { MagnitudeAngle, DecibelAngle, RealImaginary };
enum class Matrix { Full, Lower, Upper };

std::vector<std::string_view> split(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> parts;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = text.find_first_not_of(separators, at);
        if (start == std::string_view::npos) break;
        const std::size_t end = text.find_first_of(separators, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        at = end == std::string_view::npos ? text.size() : end;
    }
    return parts;
}

bool allDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The value of a run of digits, held below 10^9 (no date or time field comes near it).
int digitsValue(std::string_view text) {
    int v = 0;
    for (char c : text) v = std::min(v * 10 + (c - '0'), 999999999 / 10);
    return v;
}

// One file's reading, line by line.
class Reader {
public:
    Reader(int ports, const TouchstoneParameter& parameter, TouchstoneSweep& out)
        : ports_(ports), parameter_(parameter), out_(out) {}

    bool line(std::string_view raw, int number);
    bool finish();

    std::string error;

private:
    bool refuse(std::string reason) {
        error = std::move(reason);
        return false;
    }
    void comment(std::string_view text);
    bool keyword(std::string_view text);
    bool option(std::string_view text);
    bool numbers(std::string_view text, int number);
    bool begin();
    bool record();
    int pairIndex(int row, int column) const;

    int ports_;
    TouchstoneParameter parameter_;
    TouchstoneSweep& out_;
    bool version2_ = false, networkData_ = false, information_ = false, stopped_ = false;
    bool optionSeen_ = false, begun_ = false, order12_ = false;
    Matrix matrix_ = Matrix::Full;
    Format format_ = Format::MagnitudeAngle;
    double unit_ = 1e9;  // GHz unless the option line says otherwise
    long announced_ = -1;
    std::size_t need_ = 0, index_ = 0;
    std::vector<double> pending_;  // the record being gathered
    int pendingLine_ = 0;
};

bool Reader::line(std::string_view raw, int number) {
    std::string_view text = raw;
    const std::size_t bang = text.find('!');
    if (bang != std::string_view::npos) {
        if (!begun_) comment(trimmed(text.substr(bang + 1)));
        text = text.substr(0, bang);
    }
    text = trimmed(text);
    if (text.empty() || stopped_) return true;
    if (information_) {
        if (lowerAscii(std::string(text)).rfind("[end information]", 0) == 0) information_ = false;
        return true;
    }
    if (text[0] == '[') return keyword(text);
    if (text[0] == '#') return option(text);
    return numbers(text, number);
}

// Before the data, an analyser's comments may give its identity reply and the date.
void Reader::comment(std::string_view text) {
    const std::vector<std::string_view> fields = split(text, ",");
    if (out_.manufacturer.empty() && fields.size() == 4 && std::count(text.begin(), text.end(), ',') == 3) {
        std::string_view f[4];
        for (int i = 0; i < 4; ++i) f[i] = trimmed(fields[static_cast<std::size_t>(i)]);
        if (!f[0].empty() && !f[1].empty() && !f[2].empty() && !f[3].empty()) {
            out_.manufacturer = f[0];
            out_.model = f[1];
            out_.serialNumber = f[2];
            return;
        }
    }
    if (out_.date.empty() && lowerAscii(std::string(text.substr(0, 4))) == "date") {
        std::string_view rest = trimmed(text.substr(4));
        if (!rest.empty() && rest[0] == ':') rest = trimmed(rest.substr(1));
        commentDate(rest, out_.date, out_.time);
    }
}

bool Reader::keyword(std::string_view text) {
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos) return refuse("not a Touchstone file: \"" + std::string(text.substr(0, 40)) + "\"");
    const std::string name = lowerAscii(std::string(trimmed(text.substr(1, close - 1))));
    const std::string value = lowerAscii(std::string(trimmed(text.substr(close + 1))));
    if (name == "version") {
        if (value.empty() || value[0] != '2') return refuse("version " + value + " is not a Touchstone version this program reads");
        version2_ = true;
        return true;
    }
    if (!version2_) return refuse("the keyword [" + name + "] stands before [Version]");
    double v = 0;
    if (name == "number of ports") {
        if (!wholeNumber(value, v) || v < 1 || v > 99 || v != std::floor(v)) return refuse("[Number of Ports] is " + value);
        ports_ = static_cast<int>(v);
    } else if (name == "two-port data order") {
        if (value != "12_21" && value != "21_12") return refuse("[Two-Port Data Order] is " + value);
        order12_ = value == "12_21";
    } else if (name == "number of frequencies") {
        if (!wholeNumber(value, v) || v < 0 || v > 1e9 || v != std::floor(v)) return refuse("[Number of Frequencies] is " + value);
        announced_ = static_cast<long>(v);
    } else if (name == "matrix format") {
        if (value == "full") matrix_ = Matrix::Full;
        else if (value == "lower") matrix_ = Matrix::Lower;
        else if (value == "upper") matrix_ = Matrix::Upper;
        else return refuse("[Matrix Format] is " + value);
    } else if (name == "mixed-mode order") {
        return refuse("it holds mixed-mode parameters, which are not a winding's transfer");
    } else if (name == "network data") {
        networkData_ = true;
        return begin();
    } else if (name == "noise data" || name == "end") {
        stopped_ = true;
    } else if (name == "begin information") {
        information_ = true;
    }
    return true;  // [Reference] and the keywords that change nothing read here
}

// "# <unit> <parameter> <format> R <ohms>", any field left out; only the first such line counts.
bool Reader::option(std::string_view text) {
    if (optionSeen_) return true;
    // The data read so far took the defaults: an option line after them would change their meaning.
    if (!pending_.empty() || !out_.points.empty()) return refuse("its option line stands after network data");
    optionSeen_ = true;
    const std::vector<std::string_view> tokens = split(text.substr(1), " \t");
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::string t = lowerAscii(std::string(tokens[i]));
        double ohms = 0;
        if (t == "hz") unit_ = 1;
        else if (t == "khz") unit_ = 1e3;
        else if (t == "mhz") unit_ = 1e6;
        else if (t == "ghz") unit_ = 1e9;
        else if (t == "db") format_ = Format::DecibelAngle;
        else if (t == "ma") format_ = Format::MagnitudeAngle;
        else if (t == "ri") format_ = Format::RealImaginary;
        else if (t == "r" && i + 1 < tokens.size() && wholeNumber(tokens[i + 1], ohms)) ++i;
        else if (t == "y" || t == "z" || t == "h" || t == "g")
            return refuse(common::stringPrintf("it holds %c-parameters; a winding's transfer is read as S-parameters",
                                               t[0] - 'a' + 'A'));
        else if (t != "s") return refuse("not a Touchstone file: its option line holds \"" + t.substr(0, 40) + "\"");
    }
    return true;
}

// The layout of the records, settled when the data begin.
bool Reader::begin() {
    begun_ = true;
    if (ports_ == 1) return refuse("a 1-port file holds no transmission");
    if (ports_ < 2) return refuse("its number of ports is not known (a version 1 file's name ends .s2p, .s3p, ...)");
    const int highest = std::max(parameter_.to, parameter_.from);
    if (highest > ports_)
        return refuse(common::stringPrintf("it has %d ports; %s needs %d", ports_,
                                           touchstoneParameterName(parameter_).c_str(), highest));
    const std::size_t n = static_cast<std::size_t>(ports_);
    need_ = 1 + 2 * (matrix_ == Matrix::Full ? n * n : n * (n + 1) / 2);
    index_ = static_cast<std::size_t>(pairIndex(parameter_.to, parameter_.from));
    return true;
}

// Where S<row><column> stands among a record's pairs. Two ports are written S11 S21 S12 S22 unless
// the file says 12_21; more ports row by row; a triangle holds the symmetric matrix's other half.
int Reader::pairIndex(int row, int column) const {
    const int n = ports_;
    if (matrix_ == Matrix::Lower) {
        if (row < column) std::swap(row, column);
        return row * (row - 1) / 2 + (column - 1);
    }
    if (matrix_ == Matrix::Upper) {
        if (row > column) std::swap(row, column);
        return (row - 1) * n - (row - 1) * (row - 2) / 2 + (column - row);
    }
    if (n == 2 && !order12_) return (column - 1) * 2 + (row - 1);
    return (row - 1) * n + (column - 1);
}

bool Reader::numbers(std::string_view text, int number) {
    if (version2_ && !networkData_) return true;  // the values of [Reference] and the like
    if (!begun_ && !begin()) return false;
    const std::vector<std::string_view> tokens = split(text, " \t");
    std::vector<double> values;
    for (std::string_view token : tokens) {
        double v = 0;
        if (!wholeNumber(token, v))
            return refuse(common::stringPrintf("not a Touchstone file: line %d holds \"%s\"", number,
                                               std::string(token.substr(0, 40)).c_str()));
        values.push_back(v);
    }
    if (version2_) {
        // Version 2 takes the section's numbers as one stream of records.
        for (double v : values) {
            if (pending_.empty()) pendingLine_ = number;
            pending_.push_back(v);
            if (pending_.size() == need_ && !record()) return false;
        }
        return true;
    }
    if (pending_.empty()) {
        pendingLine_ = number;
        // In a two-port file the noise parameters follow, five numbers a line, from a frequency not
        // above the last one.
        if (ports_ == 2 && values.size() == 5 && !out_.points.empty() && values[0] * unit_ <= out_.points.back().frequency) {
            stopped_ = true;
            return true;
        }
    }
    pending_.insert(pending_.end(), values.begin(), values.end());
    if (pending_.size() > need_)
        return refuse(common::stringPrintf("the point at line %d has %zu values where %zu belong", pendingLine_,
                                           pending_.size(), need_));
    return pending_.size() < need_ || record();
}

bool Reader::record() {
    const double f = pending_[0] * unit_, a = pending_[1 + 2 * index_], b = pending_[2 + 2 * index_];
    pending_.clear();
    if (!(f >= 0) || !std::isfinite(f)) return refuse(common::stringPrintf("the frequency at line %d is not a frequency", pendingLine_));
    if (!out_.points.empty() && !(f > out_.points.back().frequency))
        return refuse(common::stringPrintf("the frequency at line %d is not above the one before", pendingLine_));
    db::BasicFraPoint p{f, a, b};
    if (format_ != Format::DecibelAngle) {
        const double magnitude = format_ == Format::RealImaginary ? std::hypot(a, b) : a;
        if (!(magnitude > 0))
            return refuse(common::stringPrintf(magnitude == 0 ? "%s is zero at %g Hz and has no gain in dB"
                                                              : "%s has a negative magnitude at %g Hz",
                                               touchstoneParameterName(parameter_).c_str(), f));
        p.amplitude = 20 * std::log10(magnitude);
        if (format_ == Format::RealImaginary) p.phase = std::atan2(b, a) * 180 / kPi;
    }
    if (!std::isfinite(p.amplitude) || !std::isfinite(p.phase))
        return refuse(common::stringPrintf("the point at line %d is not a finite value", pendingLine_));
    out_.points.push_back(p);
    return true;
}

bool Reader::finish() {
    if (!pending_.empty())
        return refuse(common::stringPrintf("the point at line %d has %zu values where %zu belong", pendingLine_,
                                           pending_.size(), need_));
    if (out_.points.empty()) return refuse("it holds no network data");
    if (announced_ >= 0 && static_cast<std::size_t>(announced_) != out_.points.size())
        return refuse(common::stringPrintf("it announces %ld frequencies and holds %zu", announced_, out_.points.size()));
    return true;
}

int monthOf(std::string_view token) {
    static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                          "jul", "aug", "sep", "oct", "nov", "dec"};
    if (token.size() < 3) return 0;
    const std::string t = lowerAscii(std::string(token));
    for (int m = 0; m < 12; ++m)
        if (t.compare(0, 3, kMonths[m]) == 0) return m + 1;
    return 0;
}

int daysIn(int month, int year) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// "a<sep>b<sep>c" of digits.
bool threeNumbers(std::string_view token, char separator, int v[3]) {
    const std::vector<std::string_view> parts = split(token, std::string_view(&separator, 1));
    if (parts.size() != 3 || std::count(token.begin(), token.end(), separator) != 2) return false;
    for (int i = 0; i < 3; ++i) {
        if (!allDigits(parts[static_cast<std::size_t>(i)]) || parts[static_cast<std::size_t>(i)].size() > 4) return false;
        v[i] = digitsValue(parts[static_cast<std::size_t>(i)]);
    }
    return true;
}

}  // namespace

bool parseTouchstoneParameter(std::string_view text, TouchstoneParameter& parameter) {
    text = trimmed(text);
    if (text.size() != 3 || (text[0] != 'S' && text[0] != 's') || text[1] < '1' || text[1] > '9' || text[2] < '1' ||
        text[2] > '9' || text[1] == text[2])
        return false;
    parameter = {text[1] - '0', text[2] - '0'};
    return true;
}

std::string touchstoneParameterName(const TouchstoneParameter& p) { return common::stringPrintf("S%d%d", p.to, p.from); }

int touchstonePorts(const std::string& path) {
    for (int n = 2; n <= 4; ++n) {
        for (const char* pattern : {".s%dp", ".S%dP"}) {
            const std::string end = common::stringPrintf(pattern, n);
            if (path.size() >= end.size() && path.compare(path.size() - end.size(), end.size(), end) == 0) return n;
        }
    }
    return 0;
}

bool commentDate(std::string_view text, std::string& date, std::string& time) {
    int year = 0, month = 0, day = 0, hour = -1, minute = -1;
    bool pm = false, am = false;
    for (std::string_view token : split(text, " \t,")) {
        int v[3] = {0, 0, 0};
        const std::size_t t = token.find('T');
        if (t == 10 && threeNumbers(token.substr(0, 10), '-', v)) {  // 2024-03-05T10:30:12
            year = v[0], month = v[1], day = v[2];
            token = token.substr(11);
        }
        if (token.find(':') != std::string_view::npos) {
            const std::vector<std::string_view> parts = split(token, ":");
            if (parts.size() >= 2 && allDigits(parts[0]) && parts[0].size() <= 2 && parts[1].size() >= 2 &&
                allDigits(parts[1].substr(0, 2))) {
                hour = digitsValue(parts[0]);
                minute = digitsValue(parts[1].substr(0, 2));
            }
        } else if (threeNumbers(token, '-', v) || threeNumbers(token, '/', v)) {
            if (v[0] < 1000) return false;  // only year first: 03/05/2024 reads both ways
            year = v[0], month = v[1], day = v[2];
        } else if (threeNumbers(token, '.', v)) {
            day = v[0], month = v[1], year = v[2];
        } else if (allDigits(token)) {
            const int n = digitsValue(token);
            if (token.size() == 4) year = n;
            else if (token.size() <= 2 && day == 0) day = n;
        } else if (const int m = monthOf(token)) {
            month = m;
        } else {
            const std::string lower = lowerAscii(std::string(token));
            am = am || lower == "am";
            pm = pm || lower == "pm";
        }
    }
    if (year < 1900 || year > 2200 || month < 1 || month > 12 || day < 1 || day > daysIn(month, year)) return false;
    if (hour >= 0 && pm && hour < 12) hour += 12;
    if (hour == 12 && am) hour = 0;
    date = common::stringPrintf("%04d-%02d-%02d", year, month, day);
    time = hour >= 0 && hour < 24 && minute >= 0 && minute < 60 ? common::stringPrintf("%02d:%02d", hour, minute) : "";
    return true;
}

std::string readTouchstone(std::string_view bytes, int extensionPorts, const TouchstoneParameter& parameter,
                           TouchstoneSweep& sweep) {
    sweep = TouchstoneSweep{};
    Reader reader(extensionPorts, parameter, sweep);
    int number = 0;
    std::size_t at = 0;
    bool read = true;
    while (read && at < bytes.size()) {
        const std::size_t end = bytes.find('\n', at);
        const std::string_view line = bytes.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        at = end == std::string_view::npos ? bytes.size() : end + 1;
        if (line.find('\0') != std::string_view::npos) {
            reader.error = "not a Touchstone file: it holds binary data";
            read = false;
            break;
        }
        read = reader.line(line, ++number);
    }
    if (read) read = reader.finish();
    if (!read) sweep = TouchstoneSweep{};
    return read ? std::string() : reader.error;
}

std::vector<db::BasicFraPoint> thinEvenly(const std::vector<db::BasicFraPoint>& points, std::size_t most) {
    if (points.size() <= most || most < 2) return points;
    std::vector<db::BasicFraPoint> kept;
    kept.reserve(most);
    const double step = static_cast<double>(points.size() - 1) / static_cast<double>(most - 1);
    for (std::size_t k = 0; k < most; ++k) kept.push_back(points[static_cast<std::size_t>(std::lround(k * step))]);
    return kept;
}

bool importTouchstoneFile(const std::string& path, db::SweepBundle& bundle, const TouchstoneParameter& parameter) {
    bundle = db::SweepBundle{};
    const std::string file = fileName(path);
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return settleBundle(bundle, kCannotOpenFile);
    std::string bytes;
    char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0 && bytes.size() <= kMostFileBytes) bytes.append(chunk, got);
    const bool failed = std::ferror(in) != 0;
    std::fclose(in);
    TouchstoneSweep sweep;
    std::string refusal = failed                           ? "it cannot be read"
                          : bytes.size() > kMostFileBytes ? "it is too large for a Touchstone file"
                                                          : readTouchstone(bytes, touchstonePorts(path), parameter, sweep);
    if (!refusal.empty()) {
        refusal = file + ": " + refusal;
        return settleBundle(bundle, refusal.c_str());
    }
    db::SweepRecord& s = bundle.sweep;
    s.basicPoints = thinEvenly(sweep.points, kMaxImportedPoints);
    s.date = sweep.date;
    s.time = sweep.time;
    s.name = uniqueSweepName(baseName(path));
    bundle.transformer.identifier = "Unknown";
    const bool named = !sweep.manufacturer.empty();
    bundle.equipment.manufacturer = named ? sweep.manufacturer : "Unknown";
    bundle.equipment.instrument = named ? sweep.model : "Unknown";
    bundle.equipment.serialNumber = named ? sweep.serialNumber : "Unknown";
    if (sweep.points.size() > s.basicPoints.size())
        platform::showMessage(common::stringPrintf("%s: %zu of its %zu points were kept, spread evenly over the "
                                                   "whole frequency range",
                                                   file.c_str(), s.basicPoints.size(), sweep.points.size()),
                              "Import", platform::Icon::Information);
    return settleBundle(bundle, nullptr);
}

}  // namespace interchange
