// The impedance pane's Export Sweep dialog under Wine: choosing the file from the location field or
// "...", writing the table on OK, OK without a file, a file that cannot be written, and no points.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/interchange/export_sweep_dialog.h"
#include "gui/resources/dialog_ids.h"
#include "gui/support/dialog_driver.h"
#include "gui/support/form_driver.h"
#include "platform/files.h"

namespace gui_testing {
namespace {

using ExportSweep = MainWindowTest;

const std::vector<db::LcrPoint> kPoints = {{100, 1e-3, -80, 1000, 80, 0.5, 0, 10}, {200, 2e-3, -81, 500, 81, 0.4, 0, 11}};

TEST_F(ExportSweep, TheLocationFieldAsksForTheFileAndOkWritesTheTable) {
    prompter.saveResults.push_back(dir.file("tap5"));
    answerNextDialog("Export Sweep", [&](HWND d) {
        EXPECT_EQ(itemText(d, IDC_EXPORT_LOCATION), "File Location...");
        SendMessageW(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(d, IDC_EXPORT_LOCATION)), TRUE);
        EXPECT_TRUE(pumpUntil([&] { return itemText(d, IDC_EXPORT_LOCATION) != "File Location..."; }));
        EXPECT_EQ(itemText(d, IDC_EXPORT_LOCATION), dir.file("tap5"));
        EXPECT_EQ(focusedControl(d), IDOK);
        pressButton(d, IDOK);
    });
    EXPECT_TRUE(gui::exportSweepDialog(main, kPoints));
    ASSERT_EQ(prompter.choicesShown.size(), 1u);
    EXPECT_EQ(prompter.choicesShown[0].title, "Basic transformer details");
    EXPECT_TRUE(prompter.choicesShown[0].mustExist);
    const std::string table = testing_support::readFile(dir.file("tap5.csv"));
    EXPECT_EQ(table.rfind("File Version,1.0\r\nSteps,2\r\n", 0), 0u) << table;
    EXPECT_NE(table.find("\r\n1,100.00000000,"), std::string::npos) << table;
}

TEST_F(ExportSweep, OkWithoutAFileAsksAndAFileThatCannotBeWrittenIsReported) {
    const std::string nowhere = dir.file("no such folder/tap5.csv");
    prompter.saveResults.push_back("");       // OK asks; the user cancels
    prompter.saveResults.push_back(nowhere);  // "..." then names a file in a folder that is not there
    answerNextDialog("Export Sweep", [&](HWND d) {
        SendMessageW(d, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(prompter.choicesShown.size(), 1u);
        EXPECT_EQ(itemText(d, IDC_EXPORT_LOCATION), "File Location...");
        clickButton(d, IDC_EXPORT_BROWSE);
        SendMessageW(d, WM_COMMAND, IDOK, 0);
        ASSERT_EQ(prompter.boxes.size(), 1u);
        EXPECT_EQ(prompter.boxes[0].caption, "Export Error");
        EXPECT_EQ(prompter.boxes[0].text, "The file could not be written:\n" + nowhere);
        pressButton(d, IDCANCEL);
    });
    EXPECT_FALSE(gui::exportSweepDialog(main, kPoints));
    EXPECT_FALSE(platform::fileExists(nowhere));

    // Without points the exporter says so and the dialog closes.
    prompter.boxes.clear();
    prompter.saveResults.push_back(dir.file("empty.csv"));
    answerNextDialog("Export Sweep", [](HWND d) { SendMessageW(d, WM_COMMAND, IDOK, 0); });
    EXPECT_FALSE(gui::exportSweepDialog(main, {}));
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "There is no test data to export");
    EXPECT_FALSE(platform::fileExists(dir.file("empty.csv")));
}

}  // namespace
}  // namespace gui_testing
