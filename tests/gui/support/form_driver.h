// Working a form dialog from a test as a user or UI automation would: typing into an edit (its text
// and the EN_CHANGE notification), reading what an indicator shows and what a list view holds,
// choosing from a popup menu; and a main window whose fresh database holds one record of each kind.
// User-interface thread only, like the dialog driver.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "db/records.h"
#include "gui/support/main_window_fixture.h"
#include "instrument/link.h"

namespace gui_testing {

// Sets the edit's text and notifies its dialog, as typing does.
void typeInto(HWND dialog, int id, const std::string& text);

// Clicks a button with BM_CLICK (returns once its command, modal dialogs included, has run).
void clickButton(HWND dialog, int id);

// The colour shown at the centre of a control, once it has painted.
COLORREF colourShown(HWND dialog, int id);

// The id of the dialog's control that has the focus (0 when none of its controls has).
int focusedControl(HWND dialog);

// A list view's row count and the text of one cell.
int listRows(HWND list);
std::string listCell(HWND list, int row, int column);

// Selects a row of a dialog's list view and sends the notification a double click sends.
void doubleClickRow(HWND dialog, int listId, int row);

// Moves the focus to a picking field of the dialog and chooses the first row of the Select from
// Table dialog it opens; expects the field to show the choice and, when table is given, the picker
// to name that table ("Table: Transformers").
void pickFirstRow(HWND dialog, int field, const std::string& table = {});

// Pumps messages until done() or ms pass; the last done().
bool pumpUntil(const std::function<bool()>& done, unsigned ms = 5000);

// With CORVANE_SCREENSHOTS naming a host folder, the window as the screen shows it, saved there as
// name.png for a person to look at; nothing otherwise.
void screenshotIfAsked(HWND window, const std::string& name);

// Expects a popup menu within ms: runs check on it, then chooses its item at position (0 first)
// with the keyboard, or closes it without a choice when position is negative.
void answerNextMenu(std::function<void(HMENU)> check, int position, unsigned ms = 5000);

// A main window (see MainWindowTest) whose database holds transformer "TX-100", setup 1 "OPEN1 HV",
// equipment 1 (a QMX74) and sweep 1 "Tap5 after repair" of TX-100 taken with them.
class RecordsTest : public MainWindowTest {
protected:
    void SetUp() override;

    // The rows of a table that match where ("" for all), as select_rows gives them.
    static std::vector<std::string> rows(db::TableIndex table, const std::string& where = {});
};

// A RecordsTest whose instrument is the simulator: identified over the link given as Connect does,
// the traffic logged in the test's folder; the link, the settings table and the current equipment
// are put back afterwards.
class SimulatorTest : public RecordsTest {
protected:
    void connectTo(const instrument::InstrumentLink& link);
    void TearDown() override;
    // The comms log so far.
    std::string traffic();
};

}  // namespace gui_testing
