#include "cli/arguments.h"

#include <cerrno>
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
