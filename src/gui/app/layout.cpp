// The layout engine: creating every table's windows, the font table, anchoring, lookups.
#include "gui/app/layout.h"

#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "gui/app/main_window.h"
#include "gui/app/window_classes.h"
#include "gui/resources/resource.h"

namespace gui {
namespace {

Layout& layoutOf(HWND window) { return mainState(window).layout; }

void createFonts(Layout& layout) {
    LOGFONTA base{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof base, &base);
    const LONG h = base.lfHeight;
    const LONG h2 = h * 7 / 5;
    const LONG h4 = h2 * 6 / 5;
    struct FontShape {
        LONG weight, height, escapement;
    };
    const FontShape shapes[kFontCount] = {{400, h, 0},    {700, h, 0},    {400, h2, 0},   {700, h2, 0},
                                          {400, h4, 0},   {700, h4, 0},   {400, h, 2700}, {400, h, 900},
                                          {600, h, 2700}, {600, h, 900}};
    for (int i = 0; i < kFontCount; ++i) {
        LOGFONTA f = base;
        f.lfWeight = shapes[i].weight;
        f.lfHeight = shapes[i].height;
        f.lfEscapement = shapes[i].escapement;
        f.lfOrientation = shapes[i].escapement;
        layout.fonts[i] = CreateFontIndirectA(&f);
    }
}

HFONT tableFont(const Layout& layout, int index) {
    return index >= 0 && index < kFontCount ? layout.fonts[index] : nullptr;
}

bool isPopup(const ControlDescriptor& c) { return (c.style & WS_POPUP) != 0; }

// The main window's growth over its initial outer size.
struct Growth {
    int width = 0;
    int height = 0;
};

Growth mainWindowGrowth(HWND window) {
    const HWND main = mainWindowOf(window);
    const SIZE initial = mainState(main).initialSize;
    RECT outer;
    GetWindowRect(main, &outer);
    return {outer.right - outer.left - initial.cx, outer.bottom - outer.top - initial.cy};
}

}  // namespace

Layout::Layout() : tables(makeDescriptorTables()) {}

Layout::~Layout() {
    for (HFONT f : fonts)
        if (f) DeleteObject(f);
}

analysis::Font canvasFont(HWND window, int index) {
    LOGFONTA f{};
    GetObjectA(tableFont(layoutOf(window), index), sizeof f, &f);
    // The canvas's "MS Shell Dlg" is the default GUI font's face.
    return analysis::Font{"MS Shell Dlg", static_cast<int>(f.lfHeight < 0 ? -f.lfHeight : f.lfHeight),
                          static_cast<int>(f.lfWeight), static_cast<int>(f.lfEscapement)};
}

DescriptorTable& descriptorTable(HWND window, const char* name) {
    std::vector<DescriptorTable>& tables = layoutOf(window).tables;
    for (auto& t : tables)
        if (std::strcmp(t.name, name) == 0) return t;
    return tables.front();
}

ControlDescriptor* findClassDescriptor(HWND window, const char* className) {
    for (auto& t : layoutOf(window).tables)
        for (auto& c : t.entries)
            if (c.className && std::strcmp(c.className, className) == 0) return &c;
    return nullptr;
}

HWND paneWindow(HWND window, const char* className) {
    const ControlDescriptor* c = findClassDescriptor(window, className);
    return c ? c->window : nullptr;
}

void createAllControls(HWND main) {
    Layout& layout = layoutOf(main);
    createFonts(layout);
    for (auto& table : layout.tables) {
        HWND parent = table.parentClass ? paneWindow(main, table.parentClass) : main;
        if (!parent) continue;
        for (auto& c : table.entries) {
            if (!c.className) continue;
            c.parent = parent;
            c.window = CreateWindowExA(c.exStyle, c.className, c.text, c.style, c.rect.x, c.rect.y, c.rect.width,
                                       c.rect.height, parent, isPopup(c) ? nullptr : reinterpret_cast<HMENU>(
                                           static_cast<INT_PTR>(c.id)), programInstance(), nullptr);
            if (c.window)
                SendMessageA(c.window, WM_SETFONT, reinterpret_cast<WPARAM>(tableFont(layout, c.font)), FALSE);
        }
    }
    for (int id : {IDC_FRA_TABLE, IDC_LCR_TABLE, IDC_DATA_LIST})
        if (HWND list = controlWindow(main, id))
            SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
}

void layoutAll(HWND window) {
    const Growth g = mainWindowGrowth(window);
    std::vector<HWND> moved;
    for (auto& table : layoutOf(window).tables) {
        for (auto& c : table.entries) {
            if (!c.window || isPopup(c)) continue;
            RECT client;
            GetClientRect(c.parent, &client);
            const app::ControlRect r = app::anchoredRect(c.baseRect, c.positionRule, c.sizeRule, g.width, g.height,
                                                         client.right, client.bottom);
            if (r == c.rect) continue;
            c.rect = r;
            MoveWindow(c.window, r.x, r.y, r.width, r.height, TRUE);
            moved.push_back(c.window);
        }
    }
    for (HWND w : moved) InvalidateRect(w, nullptr, TRUE);
}

ControlDescriptor* findDescriptor(HWND window, int id) {
    for (auto& t : layoutOf(window).tables) {
        if (id < t.firstId || id > t.lastId) continue;
        for (auto& c : t.entries)
            if (c.className && c.id == id) return &c;
        return nullptr;
    }
    return nullptr;
}

HWND controlWindow(HWND window, int id) {
    const ControlDescriptor* c = findDescriptor(window, id);
    return c ? c->window : nullptr;
}

void markSelected(HWND window, int selectedId, int firstId, int lastId) {
    const Layout& layout = layoutOf(window);
    for (int id = firstId; id <= lastId; ++id) {
        ControlDescriptor* c = findDescriptor(window, id);
        if (!c || !c->window) continue;
        c->font = id == selectedId ? 1 : 0;
        SendMessageA(c->window, WM_SETFONT, reinterpret_cast<WPARAM>(tableFont(layout, c->font)), TRUE);
    }
}

}  // namespace gui
