// The data browser's "Touchstone Import" question: which transmission of the chosen Touchstone files
// becomes each one's sweep. Modal; user-interface thread only.
#pragma once

#include <windows.h>

#include "interchange/touchstone_import.h"

namespace gui {

// Shows the question with parameter proposed; true for OK with parameter set to the choice.
bool chooseTouchstoneParameter(HWND owner, interchange::TouchstoneParameter& parameter);

}  // namespace gui
