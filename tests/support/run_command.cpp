#include "support/run_command.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

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

bool runAndKill(const std::string& program, const std::vector<std::string>& args, const std::string& homeDir,
                long delayMicros) {
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    std::string home = "HOME=" + homeDir;
    char* envp[] = {home.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return false;

    std::this_thread::sleep_for(std::chrono::microseconds(delayMicros));
    kill(pid, SIGKILL);  // a child that has ended already is a zombie until waited for: no other process
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

}  // namespace testing_support
