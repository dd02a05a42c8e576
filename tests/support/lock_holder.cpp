#include "support/lock_holder.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace testing_support {

LockHolder::LockHolder(const std::string& database, double seconds, Lock lock) {
    // The holder says it holds the lock by making a file: it writes to no pipe that could be gone.
    const std::string mark = database + ".held";
    std::filesystem::remove(mark);
    pid_ = fork();
    if (pid_ == 0) {
        const std::string hold = std::to_string(seconds);
        const char* begin = lock == Lock::Exclusive ? "BEGIN EXCLUSIVE" : "BEGIN IMMEDIATE";
        execlp("python3", "python3", "-c",
               "import sqlite3, sys, time\n"
               "c = sqlite3.connect(sys.argv[1], isolation_level=None)\n"
               "c.execute(sys.argv[3])\n"
               "open(sys.argv[4], 'w').close()\n"
               "time.sleep(float(sys.argv[2]))\n"
               "c.execute('ROLLBACK')\n",
               database.c_str(), hold.c_str(), begin, mark.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    for (int waited = 0; pid_ > 0 && waited < 30000 && !held_; waited += 10) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        held_ = std::filesystem::exists(mark);
    }
}

LockHolder::~LockHolder() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
}

}  // namespace testing_support
