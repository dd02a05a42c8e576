// Command-line arguments of the corvane commands: positional words and "--name value" options.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace cli {

struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;  // "--name" -> value ("" for a flag)

    bool has(const std::string& name) const { return options.count(name) != 0; }
    std::string get(const std::string& name, const std::string& fallback = {}) const;
};

// Splits args into positional words and options. Options named in valueOptions take the next
// argument as their value, those in flagOptions none. False, with error set, for an unknown option or
// a missing value.
bool parseArguments(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                    const std::set<std::string>& flagOptions, Arguments& out, std::string& error);

// Whole-text number parsing; false when text is not entirely a number.
bool parseInteger(const std::string& text, long long& value);
bool parseNumber(const std::string& text, double& value);

}  // namespace cli
