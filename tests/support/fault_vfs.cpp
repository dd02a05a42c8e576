#include "support/fault_vfs.h"

#include <sqlite3.h>

#include <cstring>

namespace testing_support {
namespace {

sqlite3_vfs* realVfs = nullptr;
sqlite3_vfs faultVfs;
int writeFailure = 0;
int writesBeforeFailure = 0;

// Our file object, followed in memory by the real VFS's own file object.
struct FaultFile {
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_file* real(sqlite3_file* f) { return reinterpret_cast<FaultFile*>(f)->real; }

int xClose(sqlite3_file* f) { return real(f)->pMethods->xClose(real(f)); }
int xRead(sqlite3_file* f, void* p, int n, sqlite3_int64 o) { return real(f)->pMethods->xRead(real(f), p, n, o); }
int xWrite(sqlite3_file* f, const void* p, int n, sqlite3_int64 o) {
    if (writeFailure && writesBeforeFailure-- <= 0) return writeFailure;
    return real(f)->pMethods->xWrite(real(f), p, n, o);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 s) { return real(f)->pMethods->xTruncate(real(f), s); }
int xSync(sqlite3_file* f, int flags) { return real(f)->pMethods->xSync(real(f), flags); }
int xFileSize(sqlite3_file* f, sqlite3_int64* s) { return real(f)->pMethods->xFileSize(real(f), s); }
int xLock(sqlite3_file* f, int l) { return real(f)->pMethods->xLock(real(f), l); }
int xUnlock(sqlite3_file* f, int l) { return real(f)->pMethods->xUnlock(real(f), l); }
int xCheckReservedLock(sqlite3_file* f, int* r) { return real(f)->pMethods->xCheckReservedLock(real(f), r); }
int xFileControl(sqlite3_file* f, int op, void* a) { return real(f)->pMethods->xFileControl(real(f), op, a); }
int xSectorSize(sqlite3_file* f) { return real(f)->pMethods->xSectorSize(real(f)); }
int xDeviceCharacteristics(sqlite3_file* f) { return real(f)->pMethods->xDeviceCharacteristics(real(f)); }
int xShmMap(sqlite3_file* f, int i, int s, int e, void volatile** p) {
    return real(f)->pMethods->xShmMap(real(f), i, s, e, p);
}
int xShmLock(sqlite3_file* f, int o, int n, int flags) { return real(f)->pMethods->xShmLock(real(f), o, n, flags); }
void xShmBarrier(sqlite3_file* f) { real(f)->pMethods->xShmBarrier(real(f)); }
int xShmUnmap(sqlite3_file* f, int d) { return real(f)->pMethods->xShmUnmap(real(f), d); }

const sqlite3_io_methods kMethods = {
    2,       xClose,       xRead,    xWrite,      xTruncate,  xSync,   xFileSize, xLock, xUnlock, xCheckReservedLock,
    xFileControl, xSectorSize, xDeviceCharacteristics, xShmMap, xShmLock, xShmBarrier, xShmUnmap, nullptr, nullptr};

int xOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    FaultFile* file = reinterpret_cast<FaultFile*>(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    int rc = realVfs->xOpen(realVfs, name, file->real, flags, outFlags);
    file->base.pMethods = rc == SQLITE_OK && file->real->pMethods ? &kMethods : nullptr;
    return rc;
}

}  // namespace

FaultVfs::FaultVfs() {
    realVfs = sqlite3_vfs_find(nullptr);
    std::memcpy(&faultVfs, realVfs, sizeof faultVfs);
    faultVfs.iVersion = 1;  // no system-call overrides: they would bypass the wrapper
    faultVfs.szOsFile = static_cast<int>(sizeof(FaultFile)) + realVfs->szOsFile;
    faultVfs.zName = "corvane-fault";
    faultVfs.pNext = nullptr;
    faultVfs.xOpen = xOpen;
    faultVfs.pAppData = realVfs->pAppData;
    writeFailure = 0;
    sqlite3_vfs_register(&faultVfs, 1);
}

FaultVfs::~FaultVfs() {
    writeFailure = 0;
    sqlite3_vfs_unregister(&faultVfs);
    sqlite3_vfs_register(realVfs, 1);
}

void FaultVfs::failWritesWith(int code, int afterWrites) {
    writeFailure = code;
    writesBeforeFailure = afterWrites;
}

}  // namespace testing_support
