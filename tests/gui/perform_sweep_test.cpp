// Perform Sweep under Wine, worked as a user works it: every refusal in the program's order, the
// confirmed sweep's details and the settings written to the real simulator, the pickers and "New"
// buttons with the default equipment, the impedance sweep's empty values, the dialog without a
// database, and its scrolling on a low screen.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "app/instrument_registration.h"
#include "db/database_files.h"
#include "db/record_lookup.h"
#include "gui/instrument/instrument_link.h"
#include "gui/measure/perform_sweep_dialog.h"
#include "gui/resources/dialog_ids.h"
#include "gui/support/dialog_driver.h"
#include "gui/support/form_driver.h"
#include "instrument/settings.h"
#include "platform/win32/wide_text.h"
#include "sim_process.h"

namespace gui_testing {
namespace {

using instrument::findSetting;
using measure::SweepKind;

const COLORREF kGreen = RGB(0, 255, 0), kRed = RGB(255, 0, 0);

class PerformSweep : public RecordsTest {
protected:
    void SetUp() override {
        RecordsTest::SetUp();
        app::setCurrentEquipmentId(1);
        table() = instrument::makeSettingsTable();
    }
    void TearDown() override {
        app::setCurrentEquipmentId(-1);
        RecordsTest::TearDown();
    }
    static std::vector<instrument::InstrumentSetting>& table() { return instrument::settingsTable(); }

    // The settings as the instrument keeps them, so that confirming changes none.
    static void settingsAsShown() {
        findSetting(table(), "Sweep:Steps")->value = 2000;
        findSetting(table(), "Sweep:Start")->text = "1.0000E+01";
        findSetting(table(), "Sweep:End")->text = "2.0000E+07";
        findSetting(table(), "Acqu:mCyc")->text = "1";
    }

    std::string refusalOfOk(HWND dialog) {
        const std::size_t before = prompter.boxes.size();
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        if (prompter.boxes.size() == before) return "";
        EXPECT_EQ(prompter.boxes.back().caption, "Invalid");
        EXPECT_EQ(prompter.boxes.back().icon, platform::Icon::Information);
        return prompter.boxes.back().text;
    }

    static std::string cueText(HWND dialog, int id) {
        WCHAR cue[128] = {};
        SendDlgItemMessageW(dialog, id, EM_GETCUEBANNER, reinterpret_cast<WPARAM>(cue), 128);
        return platform::win32::narrow(cue);
    }

    measure::PendingSweep pending;
};

TEST_F(PerformSweep, EachFieldIsRefusedInOrderAndTheConfirmedSweepWritesItsSettings) {
    testing_support::SimProcess sim;
    instrument::InstrumentLink& link = gui::instrumentLink();
    link.interfaceType = instrument::kLan;
    link.ipAddress = "127.0.0.1";
    link.lanPort = sim.port();
    link.connected = true;
    ASSERT_TRUE(instrument::readAllSettings(table(), link));
    const std::string stepsShown = std::to_string(findSetting(table(), "Sweep:Steps")->value);

    answerNextDialog("Perform Sweep", [&](HWND d) {
        EXPECT_EQ(itemText(d, IDC_PERFORM_STEPS), stepsShown);
        EXPECT_EQ(itemText(d, IDC_DETAILS_ID), "2");
        EXPECT_EQ(itemText(d, IDC_DETAILS_EQUIPMENT), "Veltrona Ltd QMX74 410-2718");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_DETAILS_NEW_EQUIPMENT)));
        EXPECT_EQ(cueText(d, IDC_DETAILS_TEMPERATURE), "In °C");
        EXPECT_EQ(SendDlgItemMessageW(d, IDC_PERFORM_SPEED, CB_GETCOUNT, 0, 0), 6);
        EXPECT_EQ(refusalOfOk(d), "Sweep Name is a required field");
        EXPECT_EQ(focusedControl(d), IDC_DETAILS_NAME);
        typeInto(d, IDC_DETAILS_NAME, "Tap");
        EXPECT_EQ(itemText(d, IDC_DETAILS_NAME_STATUS), "The name is too short");
        EXPECT_EQ(refusalOfOk(d), "Sweep Name is too short");
        typeInto(d, IDC_DETAILS_NAME, "tap5 AFTER repair");
        EXPECT_EQ(itemText(d, IDC_DETAILS_NAME_STATUS), "This name is already taken");
        EXPECT_EQ(colourShown(d, IDC_DETAILS_NAME_MARK), kRed);
        EXPECT_EQ(refusalOfOk(d), "Sweep Name is already taken");
        typeInto(d, IDC_DETAILS_NAME, "Tap6 after repair");
        EXPECT_EQ(colourShown(d, IDC_DETAILS_NAME_MARK), kGreen);
        EXPECT_EQ(colourShown(d, IDC_DETAILS_PEAK_VOLTAGE_MARK), GetSysColor(COLOR_MENU));
        typeInto(d, IDC_DETAILS_PEAK_VOLTAGE, "11kV");
        EXPECT_EQ(colourShown(d, IDC_DETAILS_PEAK_VOLTAGE_MARK), kRed);
        EXPECT_EQ(refusalOfOk(d), "Invalid Peak Voltage value");
        EXPECT_EQ(focusedControl(d), IDC_DETAILS_PEAK_VOLTAGE);
        typeInto(d, IDC_DETAILS_PEAK_VOLTAGE, "10");
        typeInto(d, IDC_DETAILS_TEMPERATURE, "0");
        EXPECT_EQ(refusalOfOk(d), "Invalid Temperature value");
        EXPECT_EQ(focusedControl(d), IDC_DETAILS_TEMPERATURE);
        typeInto(d, IDC_DETAILS_TEMPERATURE, "21.5");
        EXPECT_EQ(refusalOfOk(d), "Transformer is a required field");
        pickFirstRow(d, IDC_DETAILS_TRANSFORMER);
        EXPECT_EQ(itemText(d, IDC_DETAILS_TRANSFORMER), "TX-100 Maker Co S123");
        EXPECT_EQ(focusedControl(d), IDC_DETAILS_NEW_SETUP);
        EXPECT_EQ(refusalOfOk(d), "Measurement Setup is a required field");
        pickFirstRow(d, IDC_DETAILS_SETUP);
        EXPECT_EQ(itemText(d, IDC_DETAILS_SETUP), "OPEN1 HV H1-H0");
        // The equipment's New button is disabled: the focus goes on to Comments.
        EXPECT_EQ(focusedControl(d), IDC_DETAILS_COMMENTS);
        typeInto(d, IDC_DETAILS_COMMENTS, "after the repair");

        typeInto(d, IDC_PERFORM_STEPS, "1");
        EXPECT_EQ(refusalOfOk(d), "The sweep must be between 2 and 2000 steps");
        typeInto(d, IDC_PERFORM_STEPS, "500");
        typeInto(d, IDC_PERFORM_START, "4.99");
        EXPECT_EQ(refusalOfOk(d), "The start frequency must be between 5 Hz and 45Mhz");
        EXPECT_TRUE(findSetting(table(), "Sweep:Steps")->changed);  // accepted before the start was refused
        typeInto(d, IDC_PERFORM_START, "20");
        typeInto(d, IDC_PERFORM_END, "45.1M");
        EXPECT_EQ(refusalOfOk(d), "The end frequency must be between 5 Hz and 45Mhz");
        typeInto(d, IDC_PERFORM_END, "2M");
        typeInto(d, IDC_PERFORM_MIN_CYCLES, "101");
        EXPECT_EQ(refusalOfOk(d), "The minimum cycles must be between 1 and 100");
        typeInto(d, IDC_PERFORM_MIN_CYCLES, "3");
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(d, IDC_PERFORM_WINDOW)));
        SendDlgItemMessageW(d, IDC_PERFORM_SPEED, CB_SETCURSEL, 5, 0);
        SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDC_PERFORM_SPEED, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(d, IDC_PERFORM_SPEED)));
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(d, IDC_PERFORM_WINDOW)));
        typeInto(d, IDC_PERFORM_WINDOW, "100");
        EXPECT_EQ(refusalOfOk(d), "");
    }, 30000);
    ASSERT_TRUE(gui::runPerformSweep(main, SweepKind::Fra, pending));

    const db::SweepRecord& r = pending.record;
    EXPECT_TRUE(pending.save);
    EXPECT_EQ(r.id, 2);
    EXPECT_EQ(r.name, "Tap6 after repair");
    EXPECT_EQ(r.peakVoltage, 10.0);
    EXPECT_EQ(r.temperature, 21.5);
    EXPECT_EQ(r.transformerIdentifier, "TX-100");
    EXPECT_EQ(r.setupId, 1);
    EXPECT_EQ(r.equipmentId, 1);
    EXPECT_EQ(r.comments, "after the repair");
    EXPECT_EQ(r.date.size(), 10u);
    EXPECT_EQ(r.time.size(), 5u);
    // Written to the instrument, which now keeps them.
    std::vector<instrument::InstrumentSetting> kept = instrument::makeSettingsTable();
    ASSERT_TRUE(instrument::readAllSettings(kept, link));
    EXPECT_EQ(findSetting(kept, "Sweep:Steps")->value, 500);
    EXPECT_EQ(findSetting(kept, "Acqu:speed")->value, 5);
    EXPECT_EQ(findSetting(kept, "Acqu:mCyc")->text, "3");
    EXPECT_EQ(findSetting(kept, "Acqu:window")->text, "100");
    EXPECT_EQ(findSetting(table(), "Sweep:Start")->text, "2.0000E+01");
    EXPECT_FALSE(findSetting(table(), "Sweep:Steps")->changed);
}

TEST_F(PerformSweep, NewRecordsAreChosenAndANewEquipmentBecomesTheDefault) {
    app::setCurrentEquipmentId(9);  // an instrument this database does not hold
    settingsAsShown();
    answerNextDialog("Perform Sweep", [&](HWND d) {
        EXPECT_EQ(itemText(d, IDC_DETAILS_EQUIPMENT), "");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDC_DETAILS_NEW_EQUIPMENT)));
        typeInto(d, IDC_DETAILS_NAME, "Impedance tap 1");
        answerNextDialog("Add/Edit Transformer", [](HWND t) {
            typeInto(t, IDC_TRANSFORMER_IDENTIFIER, "TX-300");
            typeInto(t, IDC_TRANSFORMER_MANUFACTURER, "Maker Co");
            typeInto(t, IDC_TRANSFORMER_SERIAL, "S300");
            pressButton(t, IDOK);
        });
        clickButton(d, IDC_DETAILS_NEW_TRANSFORMER);
        EXPECT_EQ(itemText(d, IDC_DETAILS_TRANSFORMER), "TX-300 Maker Co S300");
        answerNextDialog("Add/Edit Measurement Setup", [](HWND s) {
            typeInto(s, IDC_SETUP_NAME, "SHORT1 HV");
            typeInto(s, IDC_SETUP_REFERENCE, "H1");
            typeInto(s, IDC_SETUP_RESPONSE, "H0");
            typeInto(s, IDC_SETUP_CONNECTED, "X1-X2-X3");
            typeInto(s, IDC_SETUP_OLTC, "3");
            typeInto(s, IDC_SETUP_LENGTH, "300");
            pressButton(s, IDOK);
        });
        clickButton(d, IDC_DETAILS_NEW_SETUP);
        EXPECT_EQ(itemText(d, IDC_DETAILS_SETUP), "SHORT1 HV H1-H0");
        // The impedance sweep lets empty values pass; the equipment is still required.
        EXPECT_EQ(refusalOfOk(d), "Measurement Equipment is a required field");
        answerNextDialog("Add/Edit Measurement Equipment", [](HWND e) {
            typeInto(e, IDC_EQUIPMENT_INSTRUMENT, "QMX27");
            typeInto(e, IDC_EQUIPMENT_MANUFACTURER, "Veltrona Ltd");
            typeInto(e, IDC_EQUIPMENT_SERIAL, "27-5");
            pressButton(e, IDOK);
        });
        clickButton(d, IDC_DETAILS_NEW_EQUIPMENT);
        EXPECT_EQ(itemText(d, IDC_DETAILS_EQUIPMENT), "Veltrona Ltd QMX27 27-5");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_DETAILS_NEW_EQUIPMENT)));
        EXPECT_EQ(refusalOfOk(d), "");
    });
    ASSERT_TRUE(gui::runPerformSweep(main, SweepKind::Lcr, pending));
    EXPECT_EQ(app::currentEquipmentId(), 2);
    EXPECT_EQ(pending.record.equipmentId, 2);
    EXPECT_EQ(pending.record.transformerIdentifier, "TX-300");
    EXPECT_EQ(pending.record.setupId, 2);
    EXPECT_EQ(pending.record.peakVoltage, 0.0);
}

TEST_F(PerformSweep, WithoutADatabaseTheSweepRunsUnsavedAndUncheckingDisablesTheDetails) {
    settingsAsShown();
    answerNextDialog("Perform Sweep", [](HWND d) {
        EXPECT_EQ(IsDlgButtonChecked(d, IDC_PERFORM_SAVE), BST_CHECKED);
        clickButton(d, IDC_PERFORM_SAVE);
        for (int id : {IDC_DETAILS_NAME, IDC_DETAILS_TRANSFORMER, IDC_DETAILS_NEW_SETUP, IDC_DETAILS_COMMENTS})
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, id))) << id;
        pressButton(d, IDCANCEL);
    });
    EXPECT_FALSE(gui::runPerformSweep(main, SweepKind::Fra, pending));

    db::close_current_database();
    answerNextDialog("Perform Sweep", [&](HWND d) {
        EXPECT_EQ(IsDlgButtonChecked(d, IDC_PERFORM_SAVE), BST_UNCHECKED);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_PERFORM_SAVE)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_DETAILS_NAME)));
        EXPECT_EQ(refusalOfOk(d), "");
    });
    ASSERT_TRUE(gui::runPerformSweep(main, SweepKind::Fra, pending));
    EXPECT_FALSE(pending.save);
    EXPECT_TRUE(prompter.boxes.empty()) << prompter.captions();
}

TEST_F(PerformSweep, OnAScreenLowerThanTheDialogItScrollsTwentyPixelsALineAndFollowsTheThumb) {
    RECT saved;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &saved, 0);
    RECT low{0, 0, 1600, 400};
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETWORKAREA, 0, &low, 0));
    answerNextDialog("Perform Sweep", [](HWND d) {
        RECT window;
        GetWindowRect(d, &window);
        EXPECT_EQ(window.top, 0);
        EXPECT_EQ(window.bottom, 400);
        EXPECT_TRUE(GetWindowLongW(d, GWL_STYLE) & WS_VSCROLL);
        auto top = [d](int id) {
            RECT r;
            GetWindowRect(GetDlgItem(d, id), &r);
            return static_cast<int>(r.top);
        };
        const int ok = top(IDOK);
        EXPECT_GT(ok, 400);  // below the screen until scrolled to
        SendMessageW(d, WM_VSCROLL, SB_LINEDOWN, 0);
        EXPECT_EQ(top(IDOK), ok - 20);
        SendMessageW(d, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 57), 0);
        EXPECT_EQ(top(IDOK), ok - 57);
        EXPECT_EQ(GetScrollPos(d, SB_VERT), 57);
        SendMessageW(d, WM_VSCROLL, SB_BOTTOM, 0);
        EXPECT_LT(top(IDOK), 400);
        pressButton(d, IDCANCEL);
    });
    gui::runPerformSweep(main, SweepKind::Fra, pending);
    SystemParametersInfoW(SPI_SETWORKAREA, 0, &saved, 0);
}

}  // namespace
}  // namespace gui_testing
