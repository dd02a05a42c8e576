#include "support/run_command.h"

#include <sys/wait.h>

#include <cstdlib>

#include "support/temp_dir.h"

namespace testing_support {
namespace {

std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

}  // namespace

CommandResult runCommand(const std::string& program, const std::vector<std::string>& args, const std::string& workDir,
                         const std::string& homeDir, Interruption interruption) {
    TempDir capture;
    std::string run = "env -u XDG_DATA_HOME -u XDG_DOCUMENTS_DIR HOME=" + shellQuote(homeDir) + " " + shellQuote(program);
    for (const auto& a : args) run += " " + shellQuote(a);
    run += " >" + shellQuote(capture.file("out")) + " 2>" + shellQuote(capture.file("err")) + " </dev/null";
    if (interruption.signal != 0) {
        // In the background, so that the shell can signal it and then wait for its exit status.
        run = "{ " + run + " & child=$!; sleep " + std::to_string(interruption.signalAfterMs / 1000.0) + "; kill -" +
              std::to_string(interruption.signal) + " $child; wait $child; }";
    }
    const std::string command = "cd " + shellQuote(workDir) + " && " + run;
    int status = std::system(command.c_str());
    CommandResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = readFile(capture.file("out"));
    r.err = readFile(capture.file("err"));
    return r;
}

}  // namespace testing_support
