// The console on Windows: UTF-8 both ways, so that names such as "Müller" and "°C" show as written.
#include "platform/console.h"

#include <windows.h>

namespace platform {

void useUtf8Console() {
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
}

}  // namespace platform
