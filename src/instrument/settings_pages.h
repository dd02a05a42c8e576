// What the settings pages show and how an edit on them changes the table: which items a page shows
// for the instrument's acquisition mode, speed and traces, which items reshape a page when they
// change, and the checks of an edit before the table takes it. Pure; user-interface thread (the
// table is the process's).
#pragma once

#include <string>
#include <vector>

#include "instrument/settings.h"

namespace instrument {

// Whether the pages show the item with the table as it stands: the window length only at the
// "Window" speed, the FRA, oscilloscope and impedance items only in their acquisition modes, the
// trigger channel only when there is more than one trace to trigger on.
bool itemShown(const std::vector<InstrumentSetting>& table, const std::string& item);

// True for the items whose change can show or hide others (Acqu:mode, Acqu:speed, Mode:SCO:Traces).
bool shapesPages(const std::string& item);

// What became of an edit.
struct EditResult {
    bool taken = false;     // the item holds the new text (or number) and is marked changed
    std::string refusal;    // why it was refused ("" when taken or when there was nothing to take)
};

// Text typed into an item's box. An empty text changes nothing. Minimum Cycles must be a number from
// 1 to 100 and Delay one from 0 to 60; otherwise the item keeps its text and the refusal says why.
// Any other text (cut to kMaxItemText characters) becomes the item's text, or for a number item its
// leading whole number the value.
EditResult applyEdit(InstrumentSetting& setting, const std::string& text);

// A choice made in an item's list: a position that differs from the value becomes the value and
// marks the item changed (true). A position outside the labels (no choice) changes nothing.
bool applyChoice(InstrumentSetting& setting, int position);

}  // namespace instrument
