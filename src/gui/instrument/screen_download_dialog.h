// The "Download" dialog: runs the screen download on a worker thread with its own copy of the link
// record and shows its progress; the worker's failure is reported here, on the user-interface
// thread, as "Communication Error". Modal; user-interface thread only.
#pragma once

#include <windows.h>

#include "instrument/link.h"
#include "instrument/screen_capture.h"

namespace gui {

// One download: what is asked for, and what came of it once the dialog has returned.
struct ScreenDownload {
    instrument::ScreenRequest request;
    instrument::ScreenPicture picture;  // valid only when succeeded
    bool finished = false;              // the worker ran to its end (and has ended)
    bool succeeded = false;             // the whole picture came
};

// Runs the dialog over owner for a download on link, which the caller has opened and holds; the
// worker works on a copy, so link itself is not touched meanwhile. Returns once the worker has ended
// (or could not be started: finished stays false then). A colour picture that came is also written to
// instrument::kColourScreenFile in the temporary folder.
void runScreenDownloadDialog(HWND owner, const instrument::InstrumentLink& link, ScreenDownload& download);

}  // namespace gui
