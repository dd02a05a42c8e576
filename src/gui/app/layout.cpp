// The layout engine: creating every table's windows, the font table, anchoring, lookups.
#include "gui/app/layout.h"

#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "gui/app/window_classes.h"

namespace gui {
namespace {

HFONT fonts[10] = {};
HWND mainWindow = nullptr;
SIZE initialOuterSize = {0, 0};

void createFonts() {
    LOGFONTA base{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof base, &base);
    const LONG h = base.lfHeight;
    const LONG h2 = h * 7 / 5;
    const LONG h4 = h2 * 6 / 5;
    struct FontShape {
        LONG weight, height, escapement;
    };
    const FontShape shapes[10] = {{400, h, 0},    {700, h, 0},    {400, h2, 0},   {700, h2, 0},   {400, h4, 0},
                            {700, h4, 0},   {400, h, 2700}, {400, h, 900},  {600, h, 2700}, {600, h, 900}};
    for (int i = 0; i < 10; ++i) {
        LOGFONTA f = base;
        f.lfWeight = shapes[i].weight;
        f.lfHeight = shapes[i].height;
        f.lfEscapement = shapes[i].escapement;
        f.lfOrientation = shapes[i].escapement;
        fonts[i] = CreateFontIndirectA(&f);
    }
}

bool isPopup(const ControlDescriptor& c) { return (c.style & WS_POPUP) != 0; }

// The main window's growth over its initial outer size.
struct Growth {
    int width = 0;
    int height = 0;
};

Growth mainWindowGrowth() {
    if (!mainWindow) return {};
    RECT outer;
    GetWindowRect(mainWindow, &outer);
    return {outer.right - outer.left - initialOuterSize.cx, outer.bottom - outer.top - initialOuterSize.cy};
}

}  // namespace

std::vector<DescriptorTable>& descriptorTables() {
    static std::vector<DescriptorTable> tables = makeDescriptorTables();
    return tables;
}

HFONT tableFont(int index) { return index >= 0 && index < 10 ? fonts[index] : nullptr; }

analysis::Font canvasFont(int index) {
    LOGFONTA f{};
    GetObjectA(tableFont(index), sizeof f, &f);
    // The canvas's "MS Shell Dlg" is the default GUI font's face.
    return analysis::Font{"MS Shell Dlg", static_cast<int>(f.lfHeight < 0 ? -f.lfHeight : f.lfHeight),
                          static_cast<int>(f.lfWeight), static_cast<int>(f.lfEscapement)};
}

DescriptorTable& descriptorTable(const char* name) {
    for (auto& t : descriptorTables())
        if (std::strcmp(t.name, name) == 0) return t;
    return descriptorTables().front();
}

ControlDescriptor* findClassDescriptor(const char* className) {
    for (auto& t : descriptorTables())
        for (auto& c : t.entries)
            if (c.className && std::strcmp(c.className, className) == 0) return &c;
    return nullptr;
}

HWND paneWindow(const char* className) {
    const ControlDescriptor* c = findClassDescriptor(className);
    return c ? c->window : nullptr;
}

void createAllControls(HWND main) {
    mainWindow = main;
    RECT outer;
    GetWindowRect(main, &outer);
    initialOuterSize = {outer.right - outer.left, outer.bottom - outer.top};
    createFonts();
    for (auto& table : descriptorTables()) {
        HWND parent = table.parentClass ? paneWindow(table.parentClass) : main;
        if (!parent) continue;
        for (auto& c : table.entries) {
            if (!c.className) continue;
            c.parent = parent;
            c.window = CreateWindowExA(c.exStyle, c.className, c.text, c.style, c.rect.x, c.rect.y, c.rect.width,
                                       c.rect.height, parent, isPopup(c) ? nullptr : reinterpret_cast<HMENU>(
                                           static_cast<INT_PTR>(c.id)), programInstance(), nullptr);
            if (c.window) SendMessageA(c.window, WM_SETFONT, reinterpret_cast<WPARAM>(tableFont(c.font)), FALSE);
        }
    }
    for (int id : {10200, 10400, 10805})
        if (HWND list = controlWindow(id))
            SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
}

void layoutAll() {
    const Growth g = mainWindowGrowth();
    std::vector<HWND> moved;
    for (auto& table : descriptorTables()) {
        for (auto& c : table.entries) {
            if (!c.window || isPopup(c)) continue;
            RECT client;
            GetClientRect(c.parent, &client);
            const app::ControlRect r =
                app::anchoredRect(c.baseRect, c.positionRule, c.sizeRule, g.width, g.height, client.right, client.bottom);
            if (r == c.rect) continue;
            c.rect = r;
            MoveWindow(c.window, r.x, r.y, r.width, r.height, TRUE);
            moved.push_back(c.window);
        }
    }
    for (HWND w : moved) InvalidateRect(w, nullptr, TRUE);
}

ControlDescriptor* findDescriptor(int id) {
    for (auto& t : descriptorTables()) {
        if (id < t.firstId || id > t.lastId) continue;
        for (auto& c : t.entries)
            if (c.className && c.id == id) return &c;
        return nullptr;
    }
    return nullptr;
}

HWND controlWindow(int id) {
    const ControlDescriptor* c = findDescriptor(id);
    return c ? c->window : nullptr;
}

void markSelected(int selectedId, int firstId, int lastId) {
    for (int id = firstId; id <= lastId; ++id) {
        ControlDescriptor* c = findDescriptor(id);
        if (!c || !c->window) continue;
        c->font = id == selectedId ? 1 : 0;
        SendMessageA(c->window, WM_SETFONT, reinterpret_cast<WPARAM>(tableFont(c->font)), TRUE);
    }
}

void destroyAllControls() {
    descriptorTables() = makeDescriptorTables();
    for (HFONT& f : fonts) {
        if (f) DeleteObject(f);
        f = nullptr;
    }
    mainWindow = nullptr;
}

}  // namespace gui
