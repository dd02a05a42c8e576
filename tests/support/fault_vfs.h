// A fault seam under SQLite for tests: a VFS that wraps the system's own and, on request, makes
// every write to a database or journal file fail, as a full or failing disk would.
#pragma once

namespace testing_support {

class FaultVfs {
public:
    // Registers the wrapper as SQLite's default VFS (for connections opened afterwards).
    FaultVfs();
    // Restores the system's VFS as the default.
    ~FaultVfs();
    FaultVfs(const FaultVfs&) = delete;
    FaultVfs& operator=(const FaultVfs&) = delete;

    // From now on, after the first afterWrites writes, every write fails with the given SQLite result
    // code (0: writes work again).
    void failWritesWith(int code, int afterWrites = 0);
};

}  // namespace testing_support
