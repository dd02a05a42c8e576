// The screen-capture pane: the picture area beside the buttons, the downloads behind the "Download"
// dialog, and the picture's way to the clipboard, a bitmap file or a word-processor document.
#include "gui/instrument/capture_pane.h"

#include <commctrl.h>

#include <vector>

#include "gui/app/layout.h"
#include "gui/app/window_classes.h"
#include "gui/bitmap_file.h"
#include "gui/instrument/instrument_link.h"
#include "gui/instrument/screen_download_dialog.h"
#include "gui/interchange/office_automation.h"
#include "gui/resources/capture_ids.h"
#include "gui/resources/resource.h"
#include "gui/window_record.h"
#include "platform/files.h"
#include "platform/known_folders.h"
#include "platform/prompter.h"

namespace gui {
namespace {

// Where the picture area begins: right of the buttons, below the title.
constexpr int kAreaLeft = 170;
constexpr int kAreaTop = 28;
constexpr int kAreaMargin = 6;

// The model-16 screen selector, above the buttons.
constexpr RECT kSelectorLabel = {6, 128, 156, 146};
constexpr RECT kSelector = {6, 146, 156, 300};
const char* const kSelectorChoices[] = {"Group 1", "Group 2", "Whole Screen"};

constexpr const char* kWordPictureFile = "screencap.bmp";

// The pane window's record: the picture shown (replaced only by a download that succeeded whole) and
// the selector's windows.
struct CapturePane {
    instrument::ScreenPicture picture;
    HWND selectorLabel = nullptr;
    HWND selector = nullptr;
};

CapturePane& paneOf(HWND pane) { return *windowRecord<CapturePane>(pane); }

RECT pictureArea(HWND pane) {
    RECT client;
    GetClientRect(pane, &client);
    return {kAreaLeft, kAreaTop, client.right - kAreaMargin, client.bottom - kAreaMargin};
}

// The picture's rows as a bitmap takes them, each padded to four bytes.
void drawPicture(HDC dc, const instrument::ScreenPicture& p, int x, int y) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD palette[2];
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = p.width;
    info.header.biPlanes = 1;
    info.header.biCompression = BI_RGB;
    if (p.isColour) {
        info.header.biHeight = p.height;  // bottom-up, as the colour rows are kept
        info.header.biBitCount = 24;
        SetDIBitsToDevice(dc, x, y, p.width, p.height, 0, 0, 0, p.height, p.colourRows.data(),
                          reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
        return;
    }
    const std::size_t stride = static_cast<std::size_t>(p.width / 8);
    const std::size_t padded = (stride + 3) & ~std::size_t{3};
    std::vector<std::uint8_t> rows(padded * p.height);
    for (int row = 0; row < p.height; ++row)
        std::copy_n(p.mono.data() + stride * row, stride, rows.data() + padded * row);
    info.header.biHeight = -p.height;  // top-down, as the lines came
    info.header.biBitCount = 1;
    info.palette[1] = {255, 255, 255, 0};  // 0 black, 1 white
    SetDIBitsToDevice(dc, x, y, p.width, p.height, 0, 0, 0, p.height, rows.data(),
                      reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
}

// The picture area, width × height, drawn at the context's origin: white, the picture at its top
// left inside the frame.
void drawArea(HDC dc, const instrument::ScreenPicture& picture, int width, int height) {
    RECT area{0, 0, width, height};
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (picture.valid) {
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, 1, 1, width - 1, height - 1);
        drawPicture(dc, picture, 1, 1);
        RestoreDC(dc, saved);
    }
    FrameRect(dc, &area, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
}

// The whole client area: the pane's background and the picture area.
void drawClient(HWND pane, HDC dc) {
    RECT client;
    GetClientRect(pane, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const RECT area = pictureArea(pane);
    if (area.right <= area.left || area.bottom <= area.top) return;
    POINT origin;
    SetViewportOrgEx(dc, area.left, area.top, &origin);
    drawArea(dc, paneOf(pane).picture, area.right - area.left, area.bottom - area.top);
    SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
}

// Through a memory context, so that the picture never flickers.
void paint(HWND pane) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(pane, &ps);
    RECT client;
    GetClientRect(pane, &client);
    paintOffScreen(pane, dc, client, [pane](HDC memory) { drawClient(pane, memory); });
    EndPaint(pane, &ps);
}

void onCreate(HWND pane) {
    CapturePane& state = paneOf(pane);
    auto child = [pane](const char* className, const char* text, DWORD style, RECT r, int id) {
        return CreateWindowExA(0, className, text, WS_CHILD | style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                               pane, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), programInstance(), nullptr);
    };
    state.selectorLabel = child(WC_STATICA, "Screen:", SS_LEFT, kSelectorLabel, IDC_CAPTURE_SCREEN_LABEL);
    state.selector = child(WC_COMBOBOXA, "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, kSelector,
                           IDC_CAPTURE_SCREEN_SELECT);
    for (const char* choice : kSelectorChoices)
        SendMessageA(state.selector, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice));
    SendMessageA(state.selector, CB_SETCURSEL, instrument::kScreenWhole, 0);
}

// The selector is for a model-16 instrument only; it takes the buttons' font and state.
void onRefresh(HWND pane) {
    const CapturePane& state = paneOf(pane);
    const instrument::InstrumentLink& link = instrumentLink();
    HWND button = controlWindow(pane, IDC_CAPTURE_MONO_DOWNLOAD);
    const bool shown = link.connected && link.model == 16;
    for (HWND w : {state.selectorLabel, state.selector}) {
        SendMessageA(w, WM_SETFONT, SendMessageA(button, WM_GETFONT, 0, 0), FALSE);
        EnableWindow(w, IsWindowEnabled(button));
        ShowWindow(w, shown ? SW_SHOWNA : SW_HIDE);
    }
    InvalidateRect(pane, nullptr, FALSE);
}

int selectedScreen(HWND pane) {
    const LRESULT chosen = SendMessageA(paneOf(pane).selector, CB_GETCURSEL, 0, 0);
    return chosen == CB_ERR ? instrument::kScreenWhole : static_cast<int>(chosen);
}

// The picture area as a bitmap the caller owns; null when there is no area.
HBITMAP areaBitmap(HWND pane) {
    const RECT area = pictureArea(pane);
    const int width = area.right - area.left, height = area.bottom - area.top;
    const instrument::ScreenPicture& picture = paneOf(pane).picture;
    return drawToBitmap(pane, width, height, [&](HDC dc) { drawArea(dc, picture, width, height); });
}

void copyToClipboard(HWND pane) { copyPicture(pane, areaBitmap(pane), "Copy to Clipboard"); }

void exportToBitmapFile(HWND pane) {
    platform::FileChoice choice;
    choice.title = "Choose Save Location...";
    choice.mustExist = true;  // the folder must exist
    std::string path = "*.bmp";
    if (platform::prompter().saveFile(choice, path)) savePicture(areaBitmap(pane), path, "Export to .bmp");
}

void exportToWord(HWND pane) {
    std::string folder;
    if (!platform::temporaryFolder(folder)) return;
    const std::string path = platform::joinPath(folder, kWordPictureFile);
    if (savePicture(areaBitmap(pane), path, "Export to Word")) exportPictureToWord(pane, path);
}

void onCommand(HWND pane, int id) {
    switch (id) {
    case IDC_CAPTURE_MONO_DOWNLOAD:
    case IDC_CAPTURE_COLOUR_DOWNLOAD:
        downloadScreen(pane, id == IDC_CAPTURE_COLOUR_DOWNLOAD);
        break;
    case IDC_CAPTURE_TO_CLIPBOARD:
    case IDC_CAPTURE_TO_BITMAP:
    case IDC_CAPTURE_TO_WORD:
        exportScreen(pane, id);
        break;
    case CMD_CAPTURE_REFRESH:
        onRefresh(pane);
        break;
    default:
        break;
    }
}

}  // namespace

void downloadScreen(HWND pane, bool colour) {
    instrument::InstrumentLink& link = instrumentLink();
    ScreenDownload download;
    download.request = {instrument::screenSizeOf(link), link.model, colour, selectedScreen(pane)};
    if (download.request.size.width <= 0) return;
    platform::WaitCursor wait;
    const bool held = instrument::holdForScreenDownload(link, [&] { runScreenDownloadDialog(pane, link, download); });
    if (!held || !download.finished) {
        platform::showMessage("Failed to capture screen data", "Error", platform::Icon::Information);
        return;
    }
    if (!download.succeeded) return;  // the dialog has said so; the picture shown stays whole
    paneOf(pane).picture = std::move(download.picture);
    InvalidateRect(pane, nullptr, FALSE);
}

void exportScreen(HWND pane, int target) {
    if (target == IDC_CAPTURE_TO_CLIPBOARD) copyToClipboard(pane);
    else if (target == IDC_CAPTURE_TO_BITMAP) exportToBitmapFile(pane);
    else if (target == IDC_CAPTURE_TO_WORD) exportToWord(pane);
}

LRESULT CALLBACK capturePaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        attachRecord(window, new CapturePane);
        break;
    case WM_CREATE:
        onCreate(window);
        return 0;
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_PRINTCLIENT:
        drawClient(window, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;  // painting covers every pixel
    case WM_SIZE:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_COMMAND:
        onCommand(window, LOWORD(wParam));
        return 0;
    case WM_NCDESTROY:
        delete detachRecord<CapturePane>(window);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace gui
