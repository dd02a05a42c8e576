// The record dialogs under Wine, worked as a user works them: live checks with their indicators and
// status texts, every refusal of OK in order with the focus sent back, what is stored, the pickers and
// "New" buttons, Select from Table's search, double click and "Edit...", a store that fails, and the
// equipment auto-fill from the real simulator over the LAN.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "db/database_files.h"
#include "db/record_lookup.h"
#include "db/record_store.h"
#include "db/row_text.h"
#include "gui/db/record_dialogs.h"
#include "gui/instrument/instrument_link.h"
#include "gui/resources/dialog_ids.h"
#include "gui/support/dialog_driver.h"
#include "gui/support/form_driver.h"
#include "sim_process.h"
#include "support/fault_vfs.h"

namespace gui_testing {
namespace {

using db::TableIndex;

const COLORREF kGreen = RGB(0, 255, 0), kRed = RGB(255, 0, 0);

class RecordDialogs : public RecordsTest {
protected:
    // Presses OK; the "Invalid" refusal it showed ("" when none), with its caption and icon checked.
    std::string refusalOfOk(HWND dialog) {
        const std::size_t before = prompter.boxes.size();
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        if (prompter.boxes.size() == before) return "";
        EXPECT_EQ(prompter.boxes.back().caption, "Invalid");
        EXPECT_EQ(prompter.boxes.back().icon, platform::Icon::Information);
        return prompter.boxes.back().text;
    }

    // Gives a picking field the focus and answers the Select from Table it opens with its first row.
};

TEST_F(RecordDialogs, ATransformerIsCheckedAsTypedRefusedInOrderAndStored) {
    answerNextDialog("Add/Edit Transformer", [&](HWND d) {
        EXPECT_EQ(itemText(d, IDC_DIALOG_TITLE), "Add Transformer");
        EXPECT_EQ(colourShown(d, IDC_TRANSFORMER_IDENTIFIER_MARK), GetSysColor(COLOR_MENU));
        EXPECT_EQ(refusalOfOk(d), "Transformer Identifier is a required field");
        EXPECT_EQ(focusedControl(d), IDC_TRANSFORMER_IDENTIFIER);
        typeInto(d, IDC_TRANSFORMER_IDENTIFIER, "TX1");
        EXPECT_EQ(itemText(d, IDC_TRANSFORMER_IDENTIFIER_STATUS), "This Identifier is not long enough");
        EXPECT_EQ(colourShown(d, IDC_TRANSFORMER_IDENTIFIER_MARK), kRed);
        EXPECT_EQ(refusalOfOk(d), "Invalid Transformer Identifier");
        typeInto(d, IDC_TRANSFORMER_IDENTIFIER, "tx-100");
        EXPECT_EQ(itemText(d, IDC_TRANSFORMER_IDENTIFIER_STATUS), "This Identifier is already taken");
        typeInto(d, IDC_TRANSFORMER_IDENTIFIER, "TX-200");
        EXPECT_EQ(itemText(d, IDC_TRANSFORMER_IDENTIFIER_STATUS), "OK");
        EXPECT_EQ(colourShown(d, IDC_TRANSFORMER_IDENTIFIER_MARK), kGreen);
        EXPECT_EQ(refusalOfOk(d), "Transformer Manufacturer is a required field");
        EXPECT_EQ(focusedControl(d), IDC_TRANSFORMER_MANUFACTURER);
        typeInto(d, IDC_TRANSFORMER_MANUFACTURER, "O'Neil Transformers");
        EXPECT_EQ(refusalOfOk(d), "Transformer Serial Number is a required field");
        EXPECT_EQ(focusedControl(d), IDC_TRANSFORMER_SERIAL);
        typeInto(d, IDC_TRANSFORMER_SERIAL, "S9");
        EXPECT_EQ(refusalOfOk(d), "");
    });
    db::TransformerRecord added;
    EXPECT_TRUE(gui::editTransformerDialog(main, added, gui::TransformerDialogMode::Add));
    EXPECT_EQ(added.identifier, "TX-200");
    EXPECT_EQ(db::transformerText("TX-200"), "TX-200 O'Neil Transformers S9");

    // The first step of New Database compares with nothing and stores nothing.
    answerNextDialog("Add/Edit Transformer", [](HWND d) {
        typeInto(d, IDC_TRANSFORMER_IDENTIFIER, "tx-100");
        EXPECT_EQ(itemText(d, IDC_TRANSFORMER_IDENTIFIER_STATUS), "OK");
        typeInto(d, IDC_TRANSFORMER_MANUFACTURER, "Maker");
        typeInto(d, IDC_TRANSFORMER_SERIAL, "S1");
        pressButton(d, IDOK);
    });
    db::TransformerRecord first;
    EXPECT_TRUE(gui::editTransformerDialog(main, first, gui::TransformerDialogMode::NewDatabase));
    EXPECT_EQ(first.identifier, "tx-100");
    EXPECT_EQ(rows(TableIndex::Transformer).size(), 2u);
}

TEST_F(RecordDialogs, EditingATransformerChoosesItsFingerprintFromItsOwnSweeps) {
    std::vector<std::string> values;
    ASSERT_TRUE(db::loadRowByKey(TableIndex::Transformer, "TX-100", "", values));
    db::TransformerRecord record = db::transformerFromColumns(values);
    answerNextDialog("Add/Edit Transformer", [&](HWND d) {
        EXPECT_EQ(itemText(d, IDC_DIALOG_TITLE), "Edit Transformer");
        EXPECT_EQ(itemText(d, IDOK), "Confirm");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_TRANSFORMER_IDENTIFIER)));
        EXPECT_EQ(itemText(d, IDC_TRANSFORMER_FINGERPRINT), "");
        pickFirstRow(d, IDC_TRANSFORMER_FINGERPRINT, "Sweeps");
        EXPECT_EQ(itemText(d, IDC_TRANSFORMER_FINGERPRINT), "Tap5 after repair   05-03-2024 10:30   first");
        EXPECT_EQ(focusedControl(d), IDOK);
        typeInto(d, IDC_TRANSFORMER_MANUFACTURER, "Other Maker");
        pressButton(d, IDOK);
    });
    EXPECT_TRUE(gui::editTransformerDialog(main, record, gui::TransformerDialogMode::Edit));
    ASSERT_TRUE(db::loadRowByKey(TableIndex::Transformer, "TX-100", "", values));
    EXPECT_EQ(values[1], "Other Maker");
    EXPECT_EQ(values[3], "1");
}

TEST_F(RecordDialogs, ASetupIsRefusedFieldByFieldThenStoredAndEditedUnderItsOwnName) {
    answerNextDialog("Add/Edit Measurement Setup", [&](HWND d) {
        EXPECT_EQ(itemText(d, IDC_SETUP_ID), "2");
        struct Step {
            int field;
            const char* text;
            const char* refusal;
        } steps[] = {
            {IDC_SETUP_NAME, "OPE", "Invalid Name for this setup"},
            {IDC_SETUP_NAME, "open1 hv", "Invalid Name for this setup"},
            {IDC_SETUP_NAME, "SHORT2", "Reference Terminal is a required field"},
            {IDC_SETUP_REFERENCE, "H2", "Response Terminal is a required field"},
            {IDC_SETUP_RESPONSE, "H0", "Connected Terminals is a required field"},
            {IDC_SETUP_CONNECTED, "X1-X2-X3-X1", "On Load Tap Changer (OLTC) is a required field"},
            {IDC_SETUP_OLTC, "5", "Unshielded Length is a required field"},
            {IDC_SETUP_LENGTH, "12 mm", "Invalid Unshielded Length value"},
        };
        EXPECT_EQ(refusalOfOk(d), "Setup Name is a required field");
        for (const Step& s : steps) {
            typeInto(d, s.field, s.text);
            EXPECT_EQ(refusalOfOk(d), s.refusal) << s.text;
        }
        EXPECT_EQ(focusedControl(d), IDC_SETUP_LENGTH);
        EXPECT_EQ(colourShown(d, IDC_SETUP_LENGTH_MARK), kRed);
        typeInto(d, IDC_SETUP_LENGTH, "2k");
        EXPECT_EQ(colourShown(d, IDC_SETUP_LENGTH_MARK), kGreen);
        SendDlgItemMessageW(d, IDC_SETUP_FLUID, CB_SETCURSEL, 1, 0);
        EXPECT_EQ(refusalOfOk(d), "");
    });
    db::SetupRecord setup;
    ASSERT_TRUE(gui::editSetupDialog(main, setup, db::kAddChecked));
    EXPECT_EQ(setup.id, 2);
    EXPECT_EQ(rows(TableIndex::Measurement, db::whereColumnIs(TableIndex::Measurement, 0, "2")),
              (std::vector<std::string>{"2\tSHORT2\tH2\tH0\tX1-X2-X3-X1\t5\t2000.0\tYes\t "}));

    answerNextDialog("Add/Edit Measurement Setup", [&](HWND d) {
        EXPECT_EQ(itemText(d, IDOK), "Confirm");
        EXPECT_EQ(itemText(d, IDC_SETUP_LENGTH), "2000.00");
        EXPECT_EQ(itemText(d, IDC_SETUP_NAME_STATUS), "OK");
        typeInto(d, IDC_SETUP_NAME, "OPEN1 hv");
        EXPECT_EQ(itemText(d, IDC_SETUP_NAME_STATUS), "This name is already taken");
        EXPECT_EQ(refusalOfOk(d), "Invalid Name for this setup");
        typeInto(d, IDC_SETUP_NAME, "SHORT2");
        typeInto(d, IDC_SETUP_COMMENTS, "re-measured");
        EXPECT_EQ(refusalOfOk(d), "");
    });
    EXPECT_TRUE(gui::editSetupDialog(main, setup, db::kUpdate));
    EXPECT_EQ(db::setupText(2), "SHORT2 H2-H0");
    EXPECT_EQ(setup.comments, "re-measured");
}

TEST_F(RecordDialogs, EquipmentIsRequiredInOrderAndASecondRowOfTheSameInstrumentIsRefused) {
    answerNextDialog("Add/Edit Measurement Equipment", [&](HWND d) {
        EXPECT_EQ(itemText(d, IDC_EQUIPMENT_ID), "2");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_EQUIPMENT_AUTOFILL)));  // no instrument connected
        EXPECT_EQ(refusalOfOk(d), "Measurement Instrument is a required field");
        typeInto(d, IDC_EQUIPMENT_INSTRUMENT, "QMX74");
        EXPECT_EQ(refusalOfOk(d), "Equipment Manufacturer is a required field");
        typeInto(d, IDC_EQUIPMENT_MANUFACTURER, "Veltrona Ltd");
        EXPECT_EQ(refusalOfOk(d), "Equipment Serial Number is a required field");
        EXPECT_EQ(focusedControl(d), IDC_EQUIPMENT_SERIAL);
        typeInto(d, IDC_EQUIPMENT_SERIAL, "410-2718");
        EXPECT_EQ(refusalOfOk(d), "This equipment is already in the database");
        EXPECT_EQ(focusedControl(d), IDC_EQUIPMENT_INSTRUMENT);
        typeInto(d, IDC_EQUIPMENT_SERIAL, "410-9");
        EXPECT_EQ(refusalOfOk(d), "");
    });
    db::EquipmentRecord added;
    ASSERT_TRUE(gui::editEquipmentDialog(main, added, db::kAddChecked, false));
    EXPECT_EQ(db::equipmentText(added.id), "Veltrona Ltd QMX74 410-9");

    // Edited without the auto-fill, the row keeps its calibration due date.
    std::vector<std::string> values;
    ASSERT_TRUE(db::loadRowByKey(TableIndex::Equipment, "1", "", values));
    db::EquipmentRecord stored = db::equipmentFromColumns(values);
    answerNextDialog("Add/Edit Measurement Equipment", [](HWND d) {
        EXPECT_EQ(itemText(d, IDC_DIALOG_TITLE), "Edit Measurement Equipment");
        typeInto(d, IDC_EQUIPMENT_SERIAL, "410-2719");
        pressButton(d, IDOK);
    });
    EXPECT_TRUE(gui::editEquipmentDialog(main, stored, db::kUpdate, false));
    ASSERT_TRUE(db::loadRowByKey(TableIndex::Equipment, "1", "", values));
    EXPECT_EQ(values[3], "410-2719");
    EXPECT_EQ(values[4], "2030-01-31");
}

TEST_F(RecordDialogs, AMeasuredSweepIsCheckedCompletedThroughPickersAndNewAndStoredWithItsPoints) {
    db::SweepRecord sweep;
    sweep.dataType = db::kDataLcr;
    sweep.date = "2024-06-01";
    sweep.time = "09:15";
    sweep.equipmentId = 7;  // an instrument this database does not know
    sweep.lcrPoints = {{100, 1e-3, -80, 1000, 80, 0.5, 0, 10}, {200, 2e-3, -81, 500, 81, 0.4, 0, 11}};
    answerNextDialog("Edit Sweep", [&](HWND d) {
        EXPECT_EQ(itemText(d, IDOK), "Add Sweep");
        EXPECT_EQ(itemText(d, IDC_DETAILS_ID), "2");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_DETAILS_EQUIPMENT)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDC_DETAILS_NEW_EQUIPMENT)));
        EXPECT_EQ(refusalOfOk(d), "Sweep Name is a required field");
        typeInto(d, IDC_DETAILS_NAME, "Tap");
        EXPECT_EQ(refusalOfOk(d), "Sweep Name is too short");
        typeInto(d, IDC_DETAILS_NAME, "TAP5 AFTER REPAIR");
        EXPECT_EQ(itemText(d, IDC_DETAILS_NAME_STATUS), "This name is already taken");
        EXPECT_EQ(refusalOfOk(d), "Sweep Name is already taken");
        typeInto(d, IDC_DETAILS_NAME, "Tap6 impedance");
        typeInto(d, IDC_DETAILS_PEAK_VOLTAGE, "0");
        EXPECT_EQ(refusalOfOk(d), "Invalid Peak Voltage value");
        EXPECT_EQ(focusedControl(d), IDC_DETAILS_PEAK_VOLTAGE);
        typeInto(d, IDC_DETAILS_PEAK_VOLTAGE, "1k2");
        typeInto(d, IDC_DETAILS_TEMPERATURE, "-5");
        EXPECT_EQ(colourShown(d, IDC_DETAILS_TEMPERATURE_MARK), kRed);
        EXPECT_EQ(refusalOfOk(d), "Invalid Temperature value");
        typeInto(d, IDC_DETAILS_TEMPERATURE, "");
        answerNextDialog("Select from Table", [](HWND picker) { pressButton(picker, IDCANCEL); });
        EXPECT_EQ(refusalOfOk(d), "Transformer is a required field");  // its field opens the picker
        EXPECT_TRUE(pumpUntil([&] { return focusedControl(d) == IDC_DETAILS_NEW_SETUP; }));
        pickFirstRow(d, IDC_DETAILS_TRANSFORMER, "Transformers");
        EXPECT_EQ(itemText(d, IDC_DETAILS_TRANSFORMER), "TX-100 Maker Co S123");
        pickFirstRow(d, IDC_DETAILS_SETUP, "Measurement Setups");
        EXPECT_EQ(itemText(d, IDC_DETAILS_SETUP), "OPEN1 HV H1-H0");
        answerNextDialog("Add/Edit Measurement Equipment", [](HWND e) {
            typeInto(e, IDC_EQUIPMENT_INSTRUMENT, "QMX27");
            typeInto(e, IDC_EQUIPMENT_MANUFACTURER, "Veltrona Ltd");
            typeInto(e, IDC_EQUIPMENT_SERIAL, "27-1");
            pressButton(e, IDOK);
        });
        clickButton(d, IDC_DETAILS_NEW_EQUIPMENT);
        EXPECT_EQ(itemText(d, IDC_DETAILS_EQUIPMENT), "Veltrona Ltd QMX27 27-1");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_DETAILS_NEW_EQUIPMENT)));
        EXPECT_EQ(refusalOfOk(d), "");
    });
    ASSERT_TRUE(gui::editSweepDialog(main, sweep, db::kAddChecked));
    db::SweepRecord stored;
    ASSERT_TRUE(db::load_sweep(sweep.id, stored));
    EXPECT_EQ(stored.name, "Tap6 impedance");
    EXPECT_EQ(stored.peakVoltage, 1002.0);  // 1k2 reads 1002, as the program has always read it
    EXPECT_EQ(stored.temperature, 0.0);
    EXPECT_EQ(stored.transformerIdentifier, "TX-100");
    EXPECT_EQ(stored.setupId, 1);
    EXPECT_EQ(stored.equipmentId, 2);
    EXPECT_EQ(stored.dataType, db::kDataLcr);
    EXPECT_EQ(stored.lcrPoints.size(), 2u);
}

TEST_F(RecordDialogs, ASweepThatCannotBeStoredLeavesNothingBehind) {
    testing_support::FaultVfs disk;
    ASSERT_TRUE(db::open_current_database(db::OpenMode::Open));  // now through the failing disk
    db::SweepRecord sweep;
    sweep.dataType = db::kDataBasicFra;
    sweep.equipmentId = 1;
    sweep.basicPoints.assign(50, {1000, -20, 45});
    answerNextDialog("Edit Sweep", [&](HWND d) {
        typeInto(d, IDC_DETAILS_NAME, "Disk full sweep");
        pickFirstRow(d, IDC_DETAILS_TRANSFORMER, "Transformers");
        pickFirstRow(d, IDC_DETAILS_SETUP, "Measurement Setups");
        disk.failWritesWith(SQLITE_FULL);
        pressButton(d, IDOK);
    });
    EXPECT_FALSE(gui::editSweepDialog(main, sweep, db::kAddChecked));
    disk.failWritesWith(SQLITE_OK);
    EXPECT_NE(prompter.captions().find("Database Error"), std::string::npos) << prompter.captions();
    EXPECT_EQ(rows(TableIndex::Sweep).size(), 1u);
    EXPECT_TRUE(rows(TableIndex::Data).empty());
}

TEST_F(RecordDialogs, SelectFromTableSearchesOnEnterPicksByDoubleClickAndEditsARow) {
    answerNextDialog("Select from Table", [](HWND d) {
        HWND list = GetDlgItem(d, IDC_SELECT_LIST);
        EXPECT_EQ(listRows(list), 1);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDOK)));
        setItemText(d, IDC_SELECT_SEARCH, "no such sweep");
        PostMessageW(GetDlgItem(d, IDC_SELECT_SEARCH), WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_TRUE(pumpUntil([&] { return listRows(list) == 0; }));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDOK)));
        setItemText(d, IDC_SELECT_SEARCH, "03-2024");  // a date typed day first
        PostMessageW(GetDlgItem(d, IDC_SELECT_SEARCH), WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_TRUE(pumpUntil([&] { return listRows(list) == 1; }));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDOK)));

        // "Edit..." on the list's context menu opens the sweep for editing; the list shows the change.
        answerNextMenu([](HMENU menu) {
            char text[32] = "";
            GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
            EXPECT_STREQ(text, "Edit...");
        }, 0);
        answerNextDialog("Edit Sweep", [](HWND e) {
            EXPECT_EQ(itemText(e, IDOK), "Confirm");
            EXPECT_EQ(itemText(e, IDC_DETAILS_NAME_STATUS), "OK");
            EXPECT_EQ(itemText(e, IDC_DETAILS_EQUIPMENT), "Veltrona Ltd QMX74 410-2718");
            typeInto(e, IDC_DETAILS_NAME, "Tap5 repaired");
            pressButton(e, IDOK);
        });
        SendMessageW(d, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(100, 100));
        EXPECT_EQ(listCell(list, 0, 1), "Tap5 repaired");
        doubleClickRow(d, IDC_SELECT_LIST, 0);
    });
    EXPECT_EQ(gui::selectFromTable(main, TableIndex::Sweep, {0, 4, 7, 8}), "1");
    db::SweepRecord edited;
    ASSERT_TRUE(db::load_sweep(1, edited));
    EXPECT_EQ(edited.name, "Tap5 repaired");
    EXPECT_EQ(edited.peakVoltage, 10.0);  // left as shown, kept as stored
    EXPECT_EQ(edited.dataType, db::kDataFra);

    answerNextDialog("Select from Table", [](HWND d) { pressButton(d, IDCANCEL); });
    EXPECT_EQ(gui::selectFromTable(main, TableIndex::Transformer, {0, 1, 2}), "");
}

class EquipmentAutoFill : public RecordsTest {
protected:
    void connectTo(const testing_support::SimProcess& sim) {
        instrument::InstrumentLink& link = gui::instrumentLink();
        link.interfaceType = instrument::kLan;
        link.ipAddress = "127.0.0.1";
        link.lanPort = sim.port();
        link.connected = true;
    }
};

TEST_F(EquipmentAutoFill, TheConnectedInstrumentFillsTheFieldsAndTheDueDate) {
    testing_support::SimProcess sim({"--identity", "VELTRONA,QMX74,410-3001,2.07", "--calibration", "15_MAR_2023"});
    connectTo(sim);
    answerNextDialog("Add/Edit Measurement Equipment", [](HWND d) {
        EXPECT_EQ(itemText(d, IDC_EQUIPMENT_INSTRUMENT), "QMX74");
        EXPECT_EQ(itemText(d, IDC_EQUIPMENT_MANUFACTURER), "Veltrona Ltd");
        EXPECT_EQ(itemText(d, IDC_EQUIPMENT_SERIAL), "410-3001");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_EQUIPMENT_SERIAL)));
        pressButton(d, IDOK);
    }, 30000);
    db::EquipmentRecord added;
    ASSERT_TRUE(gui::editEquipmentDialog(main, added, db::kAddChecked, true));
    std::vector<std::string> values;
    ASSERT_TRUE(db::loadRowByKey(TableIndex::Equipment, std::to_string(added.id), "", values));
    EXPECT_EQ(values[4], "2024-03-15");
    EXPECT_FALSE(gui::instrumentLink().open);
}

TEST_F(EquipmentAutoFill, ASilentInstrumentIsReportedAndTheFieldsStayForTyping) {
    testing_support::SimProcess sim({"--fault", "silent:*idn?"});
    connectTo(sim);
    answerNextDialog("Add/Edit Measurement Equipment", [](HWND d) {
        typeInto(d, IDC_EQUIPMENT_INSTRUMENT, "typed");
        clickButton(d, IDC_EQUIPMENT_AUTOFILL);
        EXPECT_EQ(itemText(d, IDC_EQUIPMENT_INSTRUMENT), "typed");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDC_EQUIPMENT_INSTRUMENT)));
        pressButton(d, IDCANCEL);
    }, 30000);
    db::EquipmentRecord record;
    EXPECT_FALSE(gui::editEquipmentDialog(main, record, db::kAddChecked, false));
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text,
              "Unable to communicate with instrument, please check the connection and try again");
    EXPECT_EQ(prompter.boxes[0].caption, "Error: Unable to Auto-fill");
}

}  // namespace
}  // namespace gui_testing
