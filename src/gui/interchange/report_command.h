// Writing a test report from the GUI, for the graph window's "Report..." and the data browser's
// context menu: the "Report" dialog (what the title block says and the paper, kept in the database
// settings), then the save dialog, then the PDF. Modal; user-interface thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace gui {

// The report of the sweeps (ids in graph order), assessed against referenceId when it is not 0.
// Failures are shown with their reason and the path. True when a file was written.
bool reportSweeps(HWND owner, const std::vector<std::int64_t>& ids, std::int64_t referenceId);

}  // namespace gui
