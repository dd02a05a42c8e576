#include "support/lock_holder.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

LockHolder::LockHolder(const std::string& database, double seconds, Lock lock) {
    int out[2];
    if (pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], 1);
        close(out[0]);
        const std::string hold = std::to_string(seconds);
        const char* begin = lock == Lock::Exclusive ? "BEGIN EXCLUSIVE" : "BEGIN IMMEDIATE";
        execlp("python3", "python3", "-c",
               "import sqlite3, sys, time\n"
               "c = sqlite3.connect(sys.argv[1], isolation_level=None)\n"
               "c.execute(sys.argv[3])\n"
               "print('held', flush=True)\n"
               "time.sleep(float(sys.argv[2]))\n"
               "c.execute('ROLLBACK')\n",
               database.c_str(), hold.c_str(), begin, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    char said[4] = {};
    held_ = pid_ > 0 && read(out[0], said, 4) == 4 && std::string(said, 4) == "held";
    close(out[0]);
}

LockHolder::~LockHolder() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
}

}  // namespace testing_support
