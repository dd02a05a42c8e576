// The sweep details Perform Sweep and Edit Sweep share: the name, peak voltage and temperature,
// checked as they are typed, and the transformer, measurement setup and measurement equipment the
// sweep names, picked from their table when a field gets the focus or added through the field's
// "New" button. Their controls are gui/resources/dialog_ids.h's IDC_DETAILS_...; user-interface
// thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "gui/dialog_fields.h"
#include "gui/resources/dialog_ids.h"
#include "measure/sweep_setup.h"

namespace gui {

enum class SweepPart { Transformer, Setup, Equipment };

struct SweepChoices {
    std::string transformer;                       // identifier; "" for none
    std::int64_t setupId = -1, equipmentId = -1;   // -1 for none
};

// A dialog with the sweep details; it judges a typed name and value in its own way, and hears of a
// record added through a "New" button.
class SweepDetailsDialog : public FormDialog {
public:
    SweepChoices choices;

    // The details as typed and chosen, into a form that has their fields.
    template <class Form>
    void readDetails(HWND dialog, Form& form) const {
        form.name = controlText(dialog, IDC_DETAILS_NAME);
        form.peakVoltage = controlText(dialog, IDC_DETAILS_PEAK_VOLTAGE);
        form.temperature = controlText(dialog, IDC_DETAILS_TEMPERATURE);
        form.comments = controlText(dialog, IDC_DETAILS_COMMENTS);
        form.transformerIdentifier = choices.transformer;
        form.setupId = choices.setupId;
        form.equipmentId = choices.equipmentId;
    }

protected:
    // For onInit: the fields' cue texts and limits, their indicators empty.
    void setUpDetails(HWND dialog);
    // Shows the chosen record of a part in its field as the program shows it, or empties the field.
    void showChoice(HWND dialog, SweepPart part) const;
    // The details' commands, for onCommand; false for any other control.
    bool onDetailsCommand(HWND dialog, int id, int code);

    virtual measure::NameStatus checkName(const std::string& name) const = 0;
    virtual int checkValue(const std::string& value) const = 0;
    // The record a part's "New" button added is the part's choice now, and shown.
    virtual void onAdded(HWND dialog, SweepPart part) = 0;

private:
    // Select from Table on the field's table; a chosen row becomes the part's choice and is shown.
    // The focus then moves on past the field (to the next part's "New" button, or after the
    // equipment to Comments), chosen or not, so that the field does not reopen the picker at once.
    void onPicker(HWND dialog, int field) override;
    // A part's "New" button: its add dialog; true when a record was added.
    bool addChoice(HWND dialog, SweepPart part);
};

}  // namespace gui
