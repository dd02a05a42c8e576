// Another program holding a database file's lock for some seconds from the moment it is made, as the
// sqlite3 shell, a second window of the program in the middle of a write, or a backup tool holds it:
// exclusive (nobody reads or writes) or for writing (others still read).
#pragma once

#include <sys/types.h>

#include <string>

namespace testing_support {

class LockHolder {
public:
    enum class Lock { Exclusive, Write };
    LockHolder(const std::string& database, double seconds, Lock lock = Lock::Exclusive);
    ~LockHolder();
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    // Whether the lock is held (it is, from the constructor's return, unless this is false).
    bool held() const { return held_; }

private:
    pid_t pid_ = -1;
    bool held_ = false;
};

}  // namespace testing_support
