// Command interpreter of the analyser: framing (line feed or zero byte, interrupt bytes, the realtime
// commands that come without a line end), the command set, sweep timing and fault injection.
#include "protocol.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>

#include "number_format.h"

namespace sim {

namespace {

constexpr unsigned char kInterrupt = 0x14;
constexpr unsigned char kResume = 0x19;
constexpr std::size_t kLongestCommand = 4096;
constexpr const char* kGarbage = "~#?ERR@!";

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return std::string(s);
}

// Lower case, without the blanks that may stand around commas: "CONFIG, 7, 1" -> "config,7,1".
std::string normalise(std::string_view command) {
    std::string out;
    const std::string l = lower(command);
    for (std::size_t i = 0; i < l.size(); ++i) {
        if (l[i] == ' ' || l[i] == '\t') {
            std::size_t j = i;
            while (j < l.size() && (l[j] == ' ' || l[j] == '\t')) ++j;
            const bool nextToComma = (j < l.size() && l[j] == ',') || (!out.empty() && out.back() == ',');
            if (!nextToComma) out += ' ';
            i = j - 1;
            continue;
        }
        out += l[i];
    }
    return out;
}

// Length of a leading "CONFIG, 7, 1" (any case and blanks) that is followed by more command text
// rather than further digits; 0 when there is none.
std::size_t leadingRealtimeConfig(const std::string& s) {
    const std::string l = lower(s);
    std::size_t i = 0;
    auto skipBlanks = [&] { while (i < l.size() && l[i] == ' ') ++i; };
    auto expect = [&](char c) {
        skipBlanks();
        if (i < l.size() && l[i] == c) {
            ++i;
            return true;
        }
        return false;
    };
    if (l.rfind("config", 0) != 0) return 0;
    i = 6;
    if (!expect(',') || !expect('7') || !expect(',') || !expect('1')) return 0;
    if (i >= l.size()) return 0;  // the whole command: an ordinary item set
    if (std::isdigit(static_cast<unsigned char>(l[i])) || l[i] == '.') return 0;
    return i;
}

bool startsWithNoCase(const std::string& s, std::string_view prefix) {
    return s.size() >= prefix.size() && lower(s.substr(0, prefix.size())) == prefix;
}

bool contains(const std::vector<std::string>& list, const std::string& key) {
    return std::find(list.begin(), list.end(), key) != list.end();
}

constexpr double kTwoPi = 2 * std::numbers::pi;

}  // namespace

double applyPhaseConvention(double degrees, int convention) {
    if (convention == 1) return degrees > 0 ? degrees - 360.0 : degrees;
    if (convention == 2) return degrees < 0 ? degrees + 360.0 : degrees;
    return degrees;
}

std::size_t StoredSweep::measuredBy(std::int64_t nowMs) const {
    std::size_t measured = points.size();
    if (pointMs > 0) {
        const std::int64_t elapsed = nowMs - startMs;
        measured = elapsed <= 0 ? 0 : std::min<std::size_t>(points.size(), static_cast<std::size_t>(elapsed / pointMs));
    }
    return std::min(measured, deliverable());
}

Instrument::Instrument(InstrumentSetup setup) : setup_(std::move(setup)), model_(setup_.profile, setup_.seed) {}

int Instrument::takeEventStatus() {
    const int status = eventStatus_;
    eventStatus_ = 0;
    return status;
}

int Instrument::phaseConvention() const { return settings_.number(6); }

std::vector<double> Instrument::sweepFrequencies() const {
    const double start = settings_.numberFromText(19, 20.0);
    const double end = settings_.numberFromText(20, 2e6);
    const int steps = std::max(2, settings_.number(18));
    const bool logarithmic = settings_.number(60) == 0;
    std::vector<double> f(steps);
    for (int k = 0; k < steps; ++k) {
        const double t = static_cast<double>(k) / (steps - 1);
        f[k] = logarithmic ? start * std::pow(end / start, t) : start + (end - start) * t;
    }
    return f;
}

void Instrument::startSweep(bool impedance, std::int64_t nowMs) {
    StoredSweep sweep;
    sweep.impedance = impedance;
    sweep.startMs = nowMs;
    sweep.pointMs = setup_.pointMs;
    const int convention = phaseConvention();
    for (double f : sweepFrequencies()) {
        if (impedance) {
            const ImpedanceReading r = model_.measureImpedance(f);
            sweep.points.push_back({f, r.yMagnitude, applyPhaseConvention(r.yPhaseDeg, convention), r.zMagnitude,
                                    applyPhaseConvention(r.zPhaseDeg, convention), r.inductance, r.capacitance,
                                    r.resistance});
        } else {
            const FraReading r = model_.measureFra(f);
            sweep.points.push_back({f, r.mag1, r.mag2, r.gainDb, applyPhaseConvention(r.phaseDeg, convention), r.delay});
        }
    }
    (impedance ? lcrSweep_ : fraSweep_) = std::move(sweep);
    lastStartedImpedance_ = impedance;
}

const StoredSweep* Instrument::lastSweep(bool impedance) const {
    const auto& sweep = impedance ? lcrSweep_ : fraSweep_;
    return sweep ? &*sweep : nullptr;
}

bool Instrument::operationComplete(std::int64_t nowMs) const {
    const StoredSweep* sweep = lastSweep(lastStartedImpedance_);
    return !sweep || sweep->finishedBy(nowMs);
}

void Instrument::abort(std::int64_t nowMs) {
    for (auto* sweep : {&fraSweep_, &lcrSweep_}) {
        if (*sweep && !(*sweep)->finishedBy(nowMs)) (*sweep)->stoppedAfter = (*sweep)->measuredBy(nowMs);
    }
}

std::vector<double> Instrument::realtimeFra() {
    const double f = settings_.numberFromText(48, 1000.0);
    const FraReading r = model_.measureFra(f);
    return {f, r.mag1, r.mag2, r.gainDb, applyPhaseConvention(r.phaseDeg, phaseConvention()), r.delay};
}

std::vector<double> Instrument::realtimeImpedance() {
    // Eleven values: frequency, the generator's voltage, the current it drives, |Z| and its angle,
    // R and X, |Y| and its angle, and Y's real and imaginary parts. With item 104 on the parallel (1)
    // or serial (2) circuit, fourteen instead: frequency, voltage, current, |Z|, angle, the series
    // circuit's R, L and C, the parallel circuit's R, L and C, tan delta, Q and X.
    const double f = settings_.numberFromText(48, 1000.0);
    const double volts = settings_.numberFromText(49, 10.0);
    const ImpedanceReading r = model_.measureImpedance(f);
    const int convention = phaseConvention();
    const double x = r.z.imag(), resistance = r.resistance;
    const double amps = r.zMagnitude > 0 ? volts / r.zMagnitude : 0.0;
    const double zPhase = applyPhaseConvention(r.zPhaseDeg, convention);
    const int circuit = settings_.number(104);
    if (circuit != 1 && circuit != 2) {
        const std::complex<double> y = 1.0 / r.z;
        return {f, volts, amps, r.zMagnitude, zPhase, resistance, x, r.yMagnitude,
                applyPhaseConvention(r.yPhaseDeg, convention), y.real(), y.imag()};
    }
    const double omega = kTwoPi * f;
    const std::complex<double> y = 1.0 / r.z;  // G + jB of the parallel circuit
    const double g = y.real(), b = y.imag();
    const double q = resistance > 0 ? std::fabs(x) / resistance : 0.0;
    const double tanDelta = std::fabs(x) > 0 ? resistance / std::fabs(x) : 0.0;
    return {f,
            volts,
            amps,
            r.zMagnitude,
            zPhase,
            resistance,
            r.inductance,
            r.capacitance,
            g > 0 ? 1.0 / g : 0.0,
            b < 0 ? -1.0 / (omega * b) : 0.0,
            b > 0 ? b / omega : 0.0,
            tanDelta,
            q,
            x};
}

ScreenImage Instrument::screen() const {
    ScreenContent content;
    const std::string& id = setup_.identity;
    const auto first = id.find(',');
    const auto second = first == std::string::npos ? std::string::npos : id.find(',', first + 1);
    const std::string model = first == std::string::npos ? "FRA" : id.substr(first + 1, second - first - 1);
    content.title = model + "  FREQUENCY RESPONSE";
    if (const StoredSweep* sweep = lastSweep(false)) {
        for (std::size_t k = 0; k < sweep->deliverable(); ++k)
            content.gainCurve.emplace_back(sweep->points[k][0], sweep->points[k][3]);
    } else {
        // No sweep yet: the display previews the winding over the set range (noise-free).
        for (double f : sweepFrequencies()) {
            const WindingModel::Solution s = model_.solve(f);
            content.gainCurve.emplace_back(f, 20.0 * std::log10(std::abs(s.response / s.reference)));
        }
    }
    std::sort(content.gainCurve.begin(), content.gainCurve.end());
    content.status = "START " + settings_.query(19) + "  END " + settings_.query(20) + "  STEPS " + settings_.query(18);
    return ScreenImage(screenSizeForIdentity(id), content);
}

Session::Session(Instrument& instrument, LinkKind link) : instrument_(instrument), link_(link) {}

void Session::reset() {
    pending_.clear();
    outbox_.clear();
    closeRequested_ = false;
    deaf_ = false;
}

void Session::receive(std::string_view bytes, std::int64_t nowMs) {
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == kInterrupt) heard_ += "\\024\n";
        if (c == kResume) heard_ += "\\031\n";
        if (deaf_) {
            // After a broken-off read-out the serial side hangs until the controller interrupts it.
            if (c == kInterrupt) deaf_ = false;
            continue;
        }
        if (c == kInterrupt || c == kResume || c == '\r') continue;
        if (c == '\n' || c == '\0') {
            std::string line;
            line.swap(pending_);
            if (!line.empty()) heard_ += line + "\n";
            handleLine(std::move(line), nowMs);
            continue;
        }
        pending_ += ch;
        if (pending_.size() > kLongestCommand) pending_.clear();
    }
}

void Session::handleLine(std::string line, std::int64_t nowMs) {
    std::string rest = trim(line);
    // Text that arrives without a line end runs into the next command on a serial line: the "^["
    // after the interrupt on connecting, and the realtime start "CONFIG, 7, 1" + "START".
    for (;;) {
        if (rest.rfind("^[", 0) == 0) {
            rest = trim(rest.substr(2));
        } else if (const std::size_t n = leadingRealtimeConfig(rest)) {
            execute(rest.substr(0, n), nowMs);
            rest = trim(rest.substr(n));
        } else if (rest.size() > 5 && startsWithNoCase(rest, "start")) {
            execute(rest.substr(0, 5), nowMs);
            rest = trim(rest.substr(5));
        } else {
            break;
        }
    }
    if (!rest.empty()) execute(rest, nowMs);
}

void Session::execute(const std::string& command, std::int64_t nowMs) {
    const std::string key = lower(command);  // for fault matching
    const std::string c = normalise(command);
    Instrument& in = instrument_;
    const InstrumentSetup& setup = in.setup();
    if (c == "*idn?") {
        replyText(key, setup.identity, nowMs);
    } else if (c == "calstr?") {
        replyText(key, setup.calibration, nowMs);
    } else if (c == "calver?") {
        replyText(key, "CAL_V3.1 FRA/LCR", nowMs);
    } else if (c == "version?") {
        const auto pos = setup.identity.rfind(',');
        const std::string v = pos == std::string::npos ? "1.00" : setup.identity.substr(pos + 1);
        replyText(key, "Firmware " + v + " Boot 1.12", nowMs);
    } else if (c == "*esr?") {
        replyText(key, std::to_string(in.takeEventStatus()), nowMs);
    } else if (c == "*opc?") {
        replyText(key, in.operationComplete(nowMs) ? "1" : "0", nowMs);
    } else if (c == "*cls") {
        in.takeEventStatus();
    } else if (c == "*trg" || c == "*wai" || c == "suspen,on" || c == "suspen,off" || c == "suspend,on" ||
               c == "suspend,off") {
        // Accepted; the front panel hold has no effect on the remote side.
    } else if (c == "output,on" || c == "output,off") {
        in.settings().set(7, c == "output,on" ? "1" : "0");
    } else if (c == "fra,start") {
        in.startSweep(false, nowMs);
    } else if (c == "start") {
        in.startSweep(true, nowMs);
    } else if (c == "fra?sweep" || c == "lcr,sweep?") {
        const StoredSweep* sweep = in.lastSweep(c != "fra?sweep");
        if (sweep) {
            streamSweep(key, *sweep, nowMs);
        } else {
            in.flagEvent(Instrument::kQueryError);
        }
    } else if (c == "fra?") {
        replyValues(key, in.realtimeFra(), nowMs);
    } else if (c == "lcr?") {
        replyValues(key, in.realtimeImpedance(), nowMs);
    } else if (c == "abort") {
        in.abort(nowMs);
        std::erase_if(outbox_, [](const Chunk& chunk) { return chunk.stream; });
    } else if (c == "screen?" || c == "screen,group1?" || c == "screen,group2?") {
        streamScreen(key, in.screen().monochromeLines(), nowMs);
    } else if (c == "screen,colour?" || c == "screen,colour,group1?" || c == "screen,colour,group2?") {
        streamScreen(key, in.screen().colourLines(), nowMs);
    } else if (c.rfind("config,", 0) == 0) {
        handleConfig(command, key, nowMs);
    } else {
        in.flagEvent(Instrument::kCommandError);
    }
}

void Session::handleConfig(const std::string& command, const std::string& key, std::int64_t nowMs) {
    Instrument& in = instrument_;
    // Value text keeps its case: "config,N,VALUE" or the query "config,N?".
    const std::string body = trim(command.substr(command.find(',') + 1));
    long index = 0;
    if (!body.empty() && body.back() == '?') {
        if (!parseWholeNumber(body.substr(0, body.size() - 1), index) || !in.settings().find(static_cast<int>(index))) {
            in.flagEvent(Instrument::kCommandError);
            return;
        }
        replyText(key, in.settings().query(static_cast<int>(index)), nowMs);
        return;
    }
    const auto comma = body.find(',');
    if (comma == std::string::npos || !parseWholeNumber(body.substr(0, comma), index) ||
        !in.settings().set(static_cast<int>(index), body.substr(comma + 1))) {
        in.flagEvent(Instrument::kCommandError);
    }
}

void Session::queue(std::int64_t dueMs, std::string bytes, bool stream, Action action) {
    // Replies leave in the order they were made.
    if (!outbox_.empty()) dueMs = std::max(dueMs, outbox_.back().dueMs);
    outbox_.push_back({dueMs, std::move(bytes), stream, action});
}

void Session::reply(const std::string& key, const Line& line, std::int64_t dueMs, bool stream) {
    Instrument& in = instrument_;
    const FaultPlan& faults = in.setup().faults;
    if (faults.silentAfterLines >= 0 && in.linesSent >= faults.silentAfterLines) return;
    if (contains(faults.silentCommands, key)) return;
    const long number = ++in.linesPerCommand[key];
    bool noDot = false;
    for (const auto& fault : faults.noDot) noDot = noDot || (fault.command == key && fault.line == number);

    std::string bytes;
    if (contains(faults.garbageCommands, key)) {
        bytes = kGarbage;
    } else if (line.isValues) {
        // The malformed number is the second value where there is one, so the frequency stays readable.
        const int badField = noDot ? (line.values.size() > 1 ? 1 : 0) : -1;
        bytes = formatValues(line.values, in.setup().binary, badField);
    } else {
        bytes = line.text;
        if (noDot) {
            const auto dot = bytes.find('.');
            if (dot != std::string::npos) bytes.erase(dot, 1);
        }
    }
    ++in.linesSent;
    queue(dueMs + faults.delayMs, bytes + "\r\n", stream, Action::Send);
}

void Session::replyText(const std::string& key, const std::string& text, std::int64_t nowMs) {
    Line line;
    line.text = text;
    reply(key, line, nowMs, false);
}

void Session::replyValues(const std::string& key, const std::vector<double>& values, std::int64_t nowMs) {
    Line line;
    line.values = values;
    line.isValues = true;
    reply(key, line, nowMs, false);
}

void Session::streamSweep(const std::string& key, const StoredSweep& sweep, std::int64_t nowMs) {
    // Each point leaves as soon as it has been measured (at once for a finished sweep).
    const FaultPlan& faults = instrument_.setup().faults;
    std::int64_t due = nowMs;
    for (std::size_t k = 0; k < sweep.deliverable(); ++k) {
        const long point = static_cast<long>(k);
        if (point == faults.dropAtPoint || point == faults.silentAtPoint) {
            breakOff(point == faults.dropAtPoint, due);
            return;
        }
        due = std::max(nowMs, sweep.pointReadyMs(k));
        Line line;
        line.values = sweep.points[k];
        line.isValues = true;
        reply(key, line, due, true);
    }
}

void Session::streamScreen(const std::string& key, const std::vector<std::string>& lines, std::int64_t nowMs) {
    const FaultPlan& faults = instrument_.setup().faults;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const long row = static_cast<long>(k);
        if (row == faults.dropAtRow || row == faults.silentAtRow) {
            breakOff(row == faults.dropAtRow, nowMs);
            return;
        }
        replyText(key, lines[k], nowMs);
    }
}

void Session::breakOff(bool close, std::int64_t dueMs) {
    // A dropped TCP connection closes; a serial line, or a silent instrument, goes deaf.
    const bool closes = close && link_ == LinkKind::Tcp;
    queue(dueMs + instrument_.setup().faults.delayMs, "", true, closes ? Action::Close : Action::Deafen);
}

std::string Session::takeDue(std::int64_t nowMs) {
    std::string out;
    while (!outbox_.empty() && outbox_.front().dueMs <= nowMs) {
        Chunk chunk = std::move(outbox_.front());
        outbox_.pop_front();
        if (chunk.action == Action::Close) {
            closeRequested_ = true;
            outbox_.clear();
        } else if (chunk.action == Action::Deafen) {
            deaf_ = true;
            pending_.clear();
            outbox_.clear();
        } else {
            out += chunk.bytes;
        }
    }
    return out;
}

std::string Session::takeHeard() {
    std::string out;
    out.swap(heard_);
    return out;
}

std::optional<std::int64_t> Session::nextDueMs() const {
    if (outbox_.empty()) return std::nullopt;
    return outbox_.front().dueMs;
}

}  // namespace sim
