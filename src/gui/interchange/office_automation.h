// Office automation: a picture placed in a new, visible word-processor document through its COM
// automation interface ("Word.Application", late-bound IDispatch calls by member name), and, where no
// word processor can be driven (never under Wine), the offer to write the picture into a new .docx
// file instead. User-interface thread only; COM is initialised for the calls and uninitialised after.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace gui {

// Raised for the fifth and every later failed automation call of the program's run.
struct ExcelErrorException {};

// Calls member of target with flags (DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT; a
// property put passes its one argument as the named DISPID_PROPERTYPUT) and the arguments in the
// order given, the result going to result when not null. Returns 0 at once without a target, the
// name lookup's failure as it is, else the call's HRESULT; the first four failed calls of the run are
// returned, later ones throw ExcelErrorException.
HRESULT InvokeByName(WORD flags, VARIANT* result, IDispatch* target, const char* member, int argumentCount,
                     VARIANT* arguments);

// What InsertPictureIntoWord came to.
enum WordResult { kPictureInWord = 0, kWordNotRegistered = -1, kWordNotStarted = -2, kWordCallFailed = 1 };

// Starts the word processor, makes it visible, adds a document and inserts the bitmap file at
// picturePath into it; the word processor stays open with the document. A word processor that is not
// registered or cannot be started is reported in an information box (the Prompter's, over the main
// window).
WordResult InsertPictureIntoWord(const std::string& picturePath);

// The "Export to Word" command for a bitmap file: InsertPictureIntoWord, and when there is no word
// processor to drive, the offer to write the picture into a new .docx file the user chooses, which
// is opened with the system's program for it (on behalf of owner) when the user agrees.
void exportPictureToWord(HWND owner, const std::string& picturePath);

}  // namespace gui
