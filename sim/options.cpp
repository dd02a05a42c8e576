// Command-line parsing of corvane-sim.
#include "options.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace sim {

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool parseCount(const std::string& text, long minimum, long maximum, long& out) {
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < minimum || v > maximum) return false;
    out = static_cast<long>(v);
    return true;
}

bool parseSeed(const std::string& text, std::uint64_t& out) {
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0') return false;
    out = v;
    return true;
}

}  // namespace

std::string usageText() {
    return "usage: corvane-sim [options]\n"
           "  --port N             TCP port on 127.0.0.1 (default 10001, 0 picks a free port)\n"
           "  --pty                also serve a pseudo-terminal (serial line; not on Windows)\n"
           "  --identity TEXT      reply to *IDN? (default VELTRONA,QMX74,410-2718,2.07)\n"
           "  --calibration TEXT   reply to calstr? (default: 100 days ago as DD_MON_YYYY)\n"
           "  --profile NAME       healthy | repeat | gentle | obvious | severe (default healthy)\n"
           "  --seed N             measurement noise seed (default 1)\n"
           "  --point-ms N         measuring time per sweep point in ms (default 5)\n"
           "  --fast               measure instantly\n"
           "  --binary             measured values in the packed binary form\n"
           "  --log PATH           append what the instrument hears to PATH, a line each: \"tcp> CMD\" or\n"
           "                       \"pty> CMD\" (interrupt bytes as \\024 and \\031), and \"tcp: open\" and\n"
           "                       \"tcp: closed\" as clients come and go\n"
           "  --fault FAULT        inject a fault; may be repeated:\n"
           "                         silent-after:N     no reply at all after N reply lines\n"
           "                         silent:CMD         never answer CMD\n"
           "                         garbage:CMD        answer CMD with non-numeric garbage\n"
           "                         nodot:CMD[:K]      K-th reply line to CMD (default 1) has a number\n"
           "                                            without its decimal point\n"
           "                         drop-at-point:N    break off every sweep read-out after N points\n"
           "                                            (TCP: close; serial: discard until 0x14)\n"
           "                         silent-at-point:N  fall silent in every sweep read-out after N\n"
           "                                            points, discarding everything until 0x14\n"
           "                         drop-at-row:N      break off every screen read-out after N lines\n"
           "                                            (TCP: close; serial: discard until 0x14)\n"
           "                         silent-at-row:N    fall silent in every screen read-out after N\n"
           "                                            lines, discarding everything until 0x14\n"
           "                         delay:MS           delay every reply by MS\n"
           "  --help               this text\n";
}

std::string calibrationDaysBefore(std::time_t now, int days) {
    static const char* const months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                         "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    const std::time_t then = now - static_cast<std::time_t>(days) * 86400;
    std::tm local{};
    localtime_r(&then, &local);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d_%s_%04d", local.tm_mday, months[local.tm_mon], local.tm_year + 1900);
    return buffer;
}

bool parseFault(const std::string& text, FaultPlan& plan) {
    const auto colon = text.find(':');
    if (colon == std::string::npos) return false;
    const std::string kind = text.substr(0, colon);
    const std::string arg = text.substr(colon + 1);
    long n = 0;
    if (kind == "silent-after") {
        if (!parseCount(arg, 0, LONG_MAX, n)) return false;
        plan.silentAfterLines = n;
    } else if (kind == "drop-at-point" || kind == "silent-at-point") {
        if (!parseCount(arg, 0, LONG_MAX, n)) return false;
        (kind == "drop-at-point" ? plan.dropAtPoint : plan.silentAtPoint) = n;
    } else if (kind == "drop-at-row" || kind == "silent-at-row") {
        if (!parseCount(arg, 0, LONG_MAX, n)) return false;
        (kind == "drop-at-row" ? plan.dropAtRow : plan.silentAtRow) = n;
    } else if (kind == "delay") {
        if (!parseCount(arg, 0, 600000, n)) return false;
        plan.delayMs = static_cast<int>(n);
    } else if (kind == "silent" || kind == "garbage") {
        if (arg.empty()) return false;
        (kind == "silent" ? plan.silentCommands : plan.garbageCommands).push_back(lower(arg));
    } else if (kind == "nodot") {
        // nodot:CMD or nodot:CMD:K; commands hold no colon, so a trailing ":K" is the line number.
        FaultPlan::NoDot fault;
        fault.command = lower(arg);
        const auto last = arg.rfind(':');
        if (last != std::string::npos) {
            if (!parseCount(arg.substr(last + 1), 1, LONG_MAX, n)) return false;
            fault.command = lower(arg.substr(0, last));
            fault.line = n;
        }
        if (fault.command.empty()) return false;
        plan.noDot.push_back(fault);
    } else {
        return false;
    }
    return true;
}

bool parseOptions(const std::vector<std::string>& args, std::time_t today, Options& out, std::string& error) {
    Options o;
    o.setup.calibration = calibrationDaysBefore(today, 100);
    bool fast = false;
    long pointMs = o.setup.pointMs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            v = args[++i];
            return true;
        };
        std::string v;
        long n = 0;
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--pty") {
            o.pty = true;
        } else if (a == "--fast") {
            fast = true;
        } else if (a == "--binary") {
            o.setup.binary = true;
        } else if (a == "--port") {
            if (!value(v)) return false;
            if (!parseCount(v, 0, 65535, n)) {
                error = "invalid port: " + v;
                return false;
            }
            o.port = static_cast<int>(n);
        } else if (a == "--log") {
            if (!value(v)) return false;
            if (v.empty()) {
                error = "--log needs a file";
                return false;
            }
            o.logPath = v;
        } else if (a == "--identity") {
            if (!value(v)) return false;
            if (v.empty() || v.find('\n') != std::string::npos) {
                error = "invalid identity";
                return false;
            }
            o.setup.identity = v;
        } else if (a == "--calibration") {
            if (!value(v)) return false;
            if (v.empty() || v.find('\n') != std::string::npos) {
                error = "invalid calibration text";
                return false;
            }
            o.setup.calibration = v;
        } else if (a == "--profile") {
            if (!value(v)) return false;
            if (!parseProfile(v, o.setup.profile)) {
                error = "unknown profile: " + v;
                return false;
            }
        } else if (a == "--seed") {
            if (!value(v)) return false;
            if (!parseSeed(v, o.setup.seed)) {
                error = "invalid seed: " + v;
                return false;
            }
        } else if (a == "--point-ms") {
            if (!value(v)) return false;
            if (!parseCount(v, 0, 60000, pointMs)) {
                error = "invalid --point-ms: " + v;
                return false;
            }
        } else if (a == "--fault") {
            if (!value(v)) return false;
            if (!parseFault(v, o.setup.faults)) {
                error = "invalid fault: " + v;
                return false;
            }
        } else {
            error = "unknown option: " + a;
            return false;
        }
    }
    o.setup.pointMs = fast ? 0 : static_cast<int>(pointMs);
    out = std::move(o);
    return true;
}

}  // namespace sim
