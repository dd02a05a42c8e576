// The terminal on POSIX: it shows the program's UTF-8 bytes as they are.
#include "platform/console.h"

namespace platform {

void useUtf8Console() {}

}  // namespace platform
