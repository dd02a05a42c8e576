#include "cli/arguments.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace cli {

std::string Arguments::get(const std::string& name, const std::string& fallback) const {
    auto it = options.find(name);
    return it == options.end() ? fallback : it->second;
}

bool parseArguments(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                    const std::set<std::string>& flagOptions, Arguments& out, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() < 3 || a.compare(0, 2, "--") != 0) {
            out.positional.push_back(a);
        } else if (flagOptions.count(a)) {
            out.options[a] = "";
        } else if (valueOptions.count(a)) {
            if (i + 1 >= args.size()) {
                error = "option " + a + " needs a value";
                return false;
            }
            out.options[a] = args[++i];
        } else {
            error = "unknown option " + a;
            return false;
        }
    }
    return true;
}

int reportUsageError(const std::string& reason, const std::string& usage) {
    std::fprintf(stderr, "corvane: %s\nusage:\n%s", reason.c_str(), usage.c_str());
    return 2;
}

Arguments parseOrThrow(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                       const std::set<std::string>& flagOptions) {
    Arguments a;
    std::string error;
    if (!parseArguments(args, valueOptions, flagOptions, a, error)) throw UsageError{error};
    return a;
}

const std::string& positional(const Arguments& a, std::size_t i, const char* what) {
    if (i >= a.positional.size()) throw UsageError{std::string("missing ") + what};
    return a.positional[i];
}

void expectPositionals(const Arguments& a, std::size_t n) {
    if (a.positional.size() > n) throw UsageError{"unexpected argument " + a.positional[n]};
}

const std::string& requiredOption(const Arguments& a, const std::string& name) {
    auto it = a.options.find(name);
    if (it == a.options.end()) throw UsageError{"missing " + name};
    return it->second;
}

long long integerOption(const Arguments& a, const std::string& name, long long fallback) {
    if (!a.has(name)) return fallback;
    long long v = 0;
    if (!parseInteger(a.get(name), v)) throw UsageError{name + " needs a whole number"};
    return v;
}

double numberOption(const Arguments& a, const std::string& name, double fallback) {
    if (!a.has(name)) return fallback;
    double v = 0;
    if (!parseNumber(a.get(name), v)) throw UsageError{name + " needs a number"};
    return v;
}

bool parseInteger(const std::string& text, long long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

bool parseNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return errno != ERANGE && *end == '\0';
}

}  // namespace cli
