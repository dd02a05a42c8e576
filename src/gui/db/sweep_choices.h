// The transformer, measurement setup and measurement equipment a sweep names, as Perform Sweep and
// Edit Sweep choose them in their sweep details: picked from the table when a field gets the focus,
// or added through the field's "New" button. The choices belong to the dialog's record; these
// functions work on its controls (gui/resources/dialog_ids.h, IDC_DETAILS_...). User-interface
// thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace gui {

enum class SweepPart { Transformer, Setup, Equipment };

struct SweepChoices {
    std::string transformer;                       // identifier; "" for none
    std::int64_t setupId = -1, equipmentId = -1;   // -1 for none
    bool picking = false;                          // a picker is open, or asked for
};

// The cue texts and length limits of a sweep's detail fields.
void setUpDetailFields(HWND dialog);

// Shows the chosen record of a part in its field as the program shows it, or empties the field.
void showChoice(HWND dialog, const SweepChoices& choices, SweepPart part);

// A part's field got the focus: asks for its picker (WM_OPEN_PICKER) unless one is open already.
void requestPicker(HWND dialog, SweepChoices& choices, int field);

// WM_OPEN_PICKER: Select from Table on the field's table; a chosen row becomes the part's choice and
// is shown. The focus then moves on past the field (to the next part's "New" button, or after the
// equipment to Comments), chosen or not, so that the field does not reopen the picker at once.
void openPicker(HWND dialog, SweepChoices& choices, int field);

// A part's "New" button: its add dialog; the record added becomes the part's choice and is shown.
// True when one was added.
bool addChoice(HWND dialog, SweepChoices& choices, SweepPart part);

}  // namespace gui
