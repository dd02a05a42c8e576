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
                         const std::string& homeDir) {
    TempDir capture;
    std::string command = "cd " + shellQuote(workDir) + " && env -u XDG_DATA_HOME -u XDG_DOCUMENTS_DIR HOME=" +
                          shellQuote(homeDir) + " " + shellQuote(program);
    for (const auto& a : args) command += " " + shellQuote(a);
    command += " >" + shellQuote(capture.file("out")) + " 2>" + shellQuote(capture.file("err")) + " </dev/null";
    int status = std::system(command.c_str());
    CommandResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = readFile(capture.file("out"));
    r.err = readFile(capture.file("err"));
    return r;
}

}  // namespace testing_support
