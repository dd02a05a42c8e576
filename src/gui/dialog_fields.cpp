// Control texts, cue texts, list views, progress bars, focus, refusals, the title font and the field
// indicators.
#include "gui/dialog_fields.h"

#include <commctrl.h>

#include <algorithm>

#include "measure/sweep_setup.h"
#include "platform/win32/wide_text.h"

namespace gui {

using platform::win32::narrow;
using platform::win32::widen;

namespace {

constexpr UINT kMarqueeStepMs = 80;

COLORREF markColour(int state) {
    switch (state) {
    case 1: return RGB(0, 255, 0);
    case 0: return RGB(255, 0, 0);
    default: return GetSysColor(COLOR_MENU);
    }
}

}  // namespace

std::string controlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    const int length = control ? GetWindowTextLengthW(control) : 0;
    if (length <= 0) return {};
    std::vector<WCHAR> text(static_cast<std::size_t>(length) + 1, 0);
    const int copied = GetWindowTextW(control, text.data(), length + 1);
    return narrow(text.data(), static_cast<std::size_t>(std::max(copied, 0)));
}

void setControlText(HWND dialog, int id, const std::string& text) { SetDlgItemTextW(dialog, id, widen(text).c_str()); }

void setCueText(HWND dialog, int id, const std::string& cue) {
    // Shown while the edit is empty, even while it has the focus, so that a field's purpose stays
    // readable as the user starts typing.
    SendDlgItemMessageW(dialog, id, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(widen(cue).c_str()));
}

void limitText(HWND dialog, int id, int characters) { SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, characters, 0); }

void setUpEdits(HWND dialog, std::initializer_list<EditField> edits) {
    for (const EditField& e : edits) {
        if (e.cue) setCueText(dialog, e.id, e.cue);
        if (e.characters) limitText(dialog, e.id, e.characters);
    }
}

void showControl(HWND dialog, int id, bool shown) { ShowWindow(GetDlgItem(dialog, id), shown ? SW_SHOW : SW_HIDE); }

void enableControl(HWND dialog, int id, bool enabled) { EnableWindow(GetDlgItem(dialog, id), enabled ? TRUE : FALSE); }

void fillOneColumnList(HWND dialog, int listId, const std::string& title, const std::vector<std::string>& rows) {
    HWND list = GetDlgItem(dialog, listId);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    platform::win32::WideString heading = widen(title);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = heading.data();
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    for (std::size_t row = 0; row < rows.size(); ++row) {
        platform::win32::WideString text = widen(rows[row]);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(row);
        item.pszText = text.data();
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
}

int selectedListRow(HWND dialog, int listId) {
    return static_cast<int>(
        SendDlgItemMessageW(dialog, listId, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void startMarquee(HWND dialog, int barId) {
    SendDlgItemMessageW(dialog, barId, PBM_SETMARQUEE, TRUE, kMarqueeStepMs);
}

void countSteps(HWND dialog, int barId, int steps) {
    HWND bar = GetDlgItem(dialog, barId);
    SendMessageW(bar, PBM_SETMARQUEE, FALSE, 0);
    SetWindowLongW(bar, GWL_STYLE, GetWindowLongW(bar, GWL_STYLE) & ~PBS_MARQUEE);
    SendMessageW(bar, PBM_SETRANGE32, 0, steps);
    SendMessageW(bar, PBM_SETPOS, 0, 0);
}

namespace {

LRESULT CALLBACK searchBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclass,
                               DWORD_PTR search) {
    switch (message) {
    case WM_GETDLGCODE:
        if (wParam == VK_RETURN) return DLGC_WANTALLKEYS | DefSubclassProc(box, message, wParam, lParam);
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            reinterpret_cast<void (*)(HWND)>(search)(GetParent(box));
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == '\r') return 0;  // no beep for the Enter just handled
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(box, searchBoxProc, subclass);
        break;
    default:
        break;
    }
    return DefSubclassProc(box, message, wParam, lParam);
}

}  // namespace

void searchOnEnter(HWND box, void (*search)(HWND parent)) {
    SetWindowSubclass(box, searchBoxProc, 0, reinterpret_cast<DWORD_PTR>(search));
}

void focusControl(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    // The control's own visibility: while the dialog opens it is not yet visible itself.
    if (control && (!IsWindowEnabled(control) || !(GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE)))
        control = GetNextDlgTabItem(dialog, control, FALSE);
    if (control) SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

void refuseField(HWND dialog, const std::string& message, int field) {
    measure::showRefusal(message);
    focusControl(dialog, field);
}

DialogLook::~DialogLook() {
    if (titleFont_) DeleteObject(titleFont_);
}

void DialogLook::setTitleFont(HWND dialog, int titleId) {
    LOGFONTW font{};
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    if (!dialogFont || !GetObjectW(dialogFont, sizeof font, &font)) return;
    font.lfHeight = font.lfHeight * 3 / 2;
    font.lfWeight = FW_BOLD;
    if (titleFont_) DeleteObject(titleFont_);
    titleFont_ = CreateFontIndirectW(&font);
    SendDlgItemMessageW(dialog, titleId, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), TRUE);
}

void DialogLook::setMark(HWND dialog, int markId, int state) {
    auto found = std::find_if(marks_.begin(), marks_.end(), [markId](const auto& m) { return m.first == markId; });
    if (found == marks_.end()) marks_.emplace_back(markId, state);
    else found->second = state;
    InvalidateRect(GetDlgItem(dialog, markId), nullptr, TRUE);
}

bool DialogLook::drawMark(const DRAWITEMSTRUCT& item) const {
    const auto found = std::find_if(marks_.begin(), marks_.end(),
                                    [&item](const auto& m) { return m.first == static_cast<int>(item.CtlID); });
    if (item.CtlType != ODT_STATIC || found == marks_.end()) return false;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    // A small lamp with a thin rim, so that an empty field's lamp still shows where it is.
    HBRUSH fill = CreateSolidBrush(markColour(found->second));
    HGDIOBJ oldBrush = SelectObject(item.hDC, fill);
    HGDIOBJ oldPen = SelectObject(item.hDC, GetStockObject(DC_PEN));
    SetDCPenColor(item.hDC, GetSysColor(COLOR_BTNSHADOW));
    const RECT& r = item.rcItem;
    Ellipse(item.hDC, r.left, r.top, r.right, r.bottom);
    SelectObject(item.hDC, oldPen);
    SelectObject(item.hDC, oldBrush);
    DeleteObject(fill);
    return true;
}

}  // namespace gui
