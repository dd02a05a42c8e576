// Help > About ...: the product name and version.
#pragma once

#include <windows.h>

namespace gui {

void showAboutDialog(HWND owner);

}  // namespace gui
