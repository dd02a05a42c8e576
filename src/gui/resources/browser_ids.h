// Command and message identifiers of the data browser's context menu, beside its controls' ids in
// resource.h. The menu's commands reach the data view pane as WM_COMMAND, from the menu or sent by
// UI automation; they keep clear of every control range of the main window.
#pragma once

// The fixed items of the list's context menu
#define IDM_BROWSER_DELETE          10850
#define IDM_BROWSER_EDIT            10851
#define IDM_BROWSER_DIAGNOSE        10852
#define IDM_BROWSER_GRAPH           10853
#define IDM_BROWSER_REPORT          10854

// The finders of the context menu, numbered in the order of db::RowFinders::all(): the first is
// IDM_BROWSER_FINDER_FIRST, and a menu holds at most as many as this range.
#define IDM_BROWSER_FINDER_FIRST    50000
#define IDM_BROWSER_FINDER_LAST     59999

// Posted by the data view pane to itself when its list found its rows out of date while painting:
// the list is loaded anew once the paint is over.
#define WM_BROWSER_RELOAD           (WM_APP + 40)
// The browser takes the next rows of a list that is still being loaded.
#define WM_BROWSER_LOAD_MORE        (WM_APP + 41)
