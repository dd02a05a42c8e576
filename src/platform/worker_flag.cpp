// Which threads are workers: one flag per thread, shared by the POSIX and Windows WorkerThread.
#include "platform/thread.h"

namespace platform {
namespace {

thread_local bool workerThread = false;

}  // namespace

bool onWorkerThread() { return workerThread; }

void markWorkerThread() { workerThread = true; }

}  // namespace platform
