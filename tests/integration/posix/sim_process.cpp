// Starting and ending the simulator on POSIX: fork and exec, SIGTERM and waitpid.
#include "sim_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

void SimProcess::launch(const std::vector<std::string>& arguments, bool, const std::string& outFile) {
    std::vector<std::string> argv{CORVANE_SIM};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    process_ = ::fork();
    if (process_ == 0) {
        int fd = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, STDOUT_FILENO);
        ::close(fd);
        std::vector<char*> pointers;
        for (auto& a : argv) pointers.push_back(a.data());
        pointers.push_back(nullptr);
        ::execv(pointers[0], pointers.data());
        ::_exit(127);
    }
}

void SimProcess::end() {
    if (process_ > 0) {
        ::kill(static_cast<pid_t>(process_), SIGTERM);
        ::waitpid(static_cast<pid_t>(process_), nullptr, 0);
    }
    process_ = -1;
}

}  // namespace testing_support
