// A window's state record hangs off its handle (GWLP_USERDATA): the window's procedure attaches a
// new record at WM_NCCREATE and deletes it at WM_NCDESTROY, so that the record lives exactly as long
// as the window and a second window of the class gets a record of its own. User-interface thread only.
#pragma once

#include <windows.h>

namespace gui {

// The record of a window of our own classes; nullptr for no window or one without a record yet.
template <class Record>
Record* windowRecord(HWND window) {
    return window ? reinterpret_cast<Record*>(GetWindowLongPtrA(window, GWLP_USERDATA)) : nullptr;
}

// At WM_NCCREATE: the window owns record from now on.
template <class Record>
void attachRecord(HWND window, Record* record) {
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
}

// At WM_NCDESTROY: the record, for the caller to delete; the window no longer has one.
template <class Record>
Record* detachRecord(HWND window) {
    Record* record = windowRecord<Record>(window);
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    return record;
}

}  // namespace gui
