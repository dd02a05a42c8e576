// Runs a program of the project as a child process, in a folder of the test's own and with a home
// of its own, and captures its exit code and output.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

struct CommandResult {
    int exitCode = -1;
    std::string out, err;
};

// With signal set, the program is sent that signal signalAfterMs after it was started.
struct Interruption {
    int signal = 0;
    unsigned signalAfterMs = 0;
};

CommandResult runCommand(const std::string& program, const std::vector<std::string>& args, const std::string& workDir,
                         const std::string& homeDir, Interruption interruption = {});

// Starts the program with its output discarded, lets it run for delayMicros and kills it with
// SIGKILL, as a crash or a pulled plug of the process would end it. True when the kill ended it,
// false when it had finished by itself before.
bool runAndKill(const std::string& program, const std::vector<std::string>& args, const std::string& homeDir,
                long delayMicros);

}  // namespace testing_support
