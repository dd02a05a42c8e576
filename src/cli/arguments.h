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

// A mistake in the command line; the command prints its reason and the usage and exits with 2.
struct UsageError {
    std::string reason;
};

// Prints "corvane: reason" and the usage lines on standard error; returns the exit code 2.
int reportUsageError(const std::string& reason, const std::string& usage);

// Runs body and returns its exit code; a UsageError thrown inside is reported with the usage lines.
template <typename Body>
int runCommand(const std::string& usage, Body&& body) {
    try {
        return body();
    } catch (const UsageError& e) {
        return reportUsageError(e.reason, usage);
    }
}

// parseArguments, throwing UsageError.
Arguments parseOrThrow(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                       const std::set<std::string>& flagOptions = {});

// Positional word i (UsageError "missing what" when absent); no more than n positional words.
const std::string& positional(const Arguments& a, std::size_t i, const char* what);
void expectPositionals(const Arguments& a, std::size_t n);

// An option that must be given, and options read as numbers (fallback when absent); UsageError when
// missing or not a number.
const std::string& requiredOption(const Arguments& a, const std::string& name);
long long integerOption(const Arguments& a, const std::string& name, long long fallback);
double numberOption(const Arguments& a, const std::string& name, double fallback);

// Whole-text number parsing; false when text is not entirely a number.
bool parseInteger(const std::string& text, long long& value);
bool parseNumber(const std::string& text, double& value);

}  // namespace cli
