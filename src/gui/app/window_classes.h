// The program's window classes, registered once before the main window exists.
#pragma once

#include <windows.h>

namespace gui {

inline constexpr const char* kMainClass = "VTCorvane2WClass";
inline constexpr const char* kConfigClass = "VTCorvane2ConfigWClass";
inline constexpr const char* kFraClass = "VTCorvane2FRAWClass";
inline constexpr const char* kFraResultsClass = "VTCorvane2FRAResultsWClass";
inline constexpr const char* kLcrClass = "VTCorvane2LCRWClass";
inline constexpr const char* kLcrResultsClass = "VTCorvane2LCRResultsWClass";
inline constexpr const char* kCaptureClass = "VTCorvane2CapWClass";
inline constexpr const char* kDataToolsClass = "VTCorvane2DataToolsWClass";
inline constexpr const char* kDataViewClass = "VTCorvane2DataViewWClass";
inline constexpr const char* kGraphClass = "VTCorvane2GraphDialogClass";

// Registers the ten classes, the main class first (with the large icon and the main menu), and
// remembers the instance for all later window creation and resource loading. A class that fails to
// register is left out; its panes are then simply not created.
void registerWindowClasses(HINSTANCE instance);

HINSTANCE programInstance();

}  // namespace gui
