// Connecting from the main window: the Connect dialog against the real simulator over the LAN and
// over a pseudo-terminal of the host seen as COM port, its validation messages, Save as Default,
// the mode commands sent to a connected instrument, and switching the comms log.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "gui/app/layout.h"
#include "app/instrument_registration.h"
#include "gui/app/main_window.h"
#include "app/startup.h"
#include "db/record_store.h"
#include "instrument/comms_log.h"
#include "gui/instrument/connect_dialog.h"
#include "gui/instrument/instrument_link.h"
#include "instrument/identification.h"
#include "instrument/settings.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/thread.h"
#include "gui/resources/resource.h"
#include "sim_process.h"
#include "gui/support/dialog_driver.h"
#include "gui/support/host_process.h"
#include "gui/support/main_window_fixture.h"

namespace gui_testing {
namespace {

using platform::Answer;

std::string titleOf(HWND w) {
    char text[256] = "";
    GetWindowTextA(w, text, sizeof text);
    return text;
}

// Chooses an interface as the user does: selection and its change notification.
void chooseInterface(HWND dialog, int position) {
    SendDlgItemMessageA(dialog, IDC_INTERFACE, CB_SETCURSEL, position, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_INTERFACE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_INTERFACE)));
}

void chooseListText(HWND dialog, int id, const std::string& text) {
    const LRESULT at = SendDlgItemMessageA(dialog, id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(text.c_str()));
    ASSERT_NE(at, CB_ERR) << text;
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, at, 0);
}

class Connect : public MainWindowTest {
protected:
    int countEquipment() {
        std::vector<std::string> rows;
        db::select_rows(rows, db::TableIndex::Equipment, db::allColumns(db::TableIndex::Equipment), "", false);
        return static_cast<int>(rows.size());
    }
};

TEST_F(Connect, OverLanIdentifiesRegistersAndReadsTheSettings) {
    testing_support::SimProcess sim;
    gui::instrumentLink().lanPort = sim.port();
    instrument::settingsTable() = instrument::makeSettingsTable();
    prompter.queueAnswer(Answer::Ok);     // "The connection was successful"
    prompter.queueAnswer(Answer::Yes);    // add the instrument to the database
    const int before = countEquipment();
    answerNextDialog("Connect", [](HWND dialog) {
        chooseInterface(dialog, 1);
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_IPADDRESS)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_BAUDRATE)));
        EXPECT_EQ(itemText(dialog, IDC_COMPORT_LABEL), "IP Address:");
        setItemText(dialog, IDC_IPADDRESS, "127.0.0.1");
        pressButton(dialog, IDC_CONNECT);
    }, 30000);
    SendMessageA(main, WM_COMMAND, IDM_CONNECTION, 0);
    pumpMessages(100);
    const instrument::InstrumentLink& link = gui::instrumentLink();
    EXPECT_TRUE(link.connected);
    EXPECT_FALSE(link.open);
    EXPECT_EQ(link.interfaceType, instrument::kLan);
    EXPECT_EQ(link.model, 11);
    EXPECT_EQ(titleOf(main), "Corvane v1_5     LAN,QMX74,410-2718,2.07");
    ASSERT_GE(prompter.boxes.size(), 2u);
    EXPECT_EQ(prompter.boxes[0].caption, "Test Connection");
    EXPECT_EQ(prompter.boxes[0].text, "The connection was successful\nVELTRONA,QMX74,410-2718,2.07");
    EXPECT_EQ(prompter.boxes[1].caption, "Add to Database");
    EXPECT_EQ(countEquipment(), before + 1);
    EXPECT_NE(app::currentEquipmentId(), -1);
    // The settings were read from the instrument.
    int read = 0;
    for (const instrument::InstrumentSetting& s : instrument::settingsTable())
        read += s.value != 0 || !s.text.empty() ? 1 : 0;
    EXPECT_GT(read, 20);
    // Connected: the instrument commands are on.
    EXPECT_TRUE(IsWindowEnabled(gui::controlWindow(main, IDC_READ_SFRA)));
    EXPECT_TRUE(IsWindowEnabled(gui::controlWindow(main, IDC_SETTINGS_TOGGLE)));

    // A test against a dead address says so and leaves the connection as it was.
    prompter.boxes.clear();
    answerNextDialog("Connect", [](HWND dialog) {
        gui::instrumentLink().lanPort = 1;   // nothing listens there
        SendMessageA(dialog, WM_COMMAND, IDC_TEST, 0);
        pressButton(dialog, IDCANCEL);
    });
    gui::showConnectDialog(main);
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "Failed to connect to IP address 127.0.0.1");
    EXPECT_TRUE(gui::instrumentLink().connected);
    gui::instrumentLink().lanPort = sim.port();

    // Mode switches now tell the instrument, through a fresh comms log.
    instrument::commsLogStart(dir.path());
    SendMessageA(main, WM_COMMAND, IDM_IMPEDANCE, 0);
    SendMessageA(main, WM_COMMAND, IDM_SFRA, 0);
    instrument::commsLogToggle();
    const std::string traffic = testing_support::readFile(dir.file(instrument::kCommsLogFileName));
    EXPECT_NE(traffic.find(">>\tCONFIG,1,1\n"), std::string::npos) << traffic;
    EXPECT_NE(traffic.find(">>\tCONFIG,1,3\n"), std::string::npos) << traffic;
    EXPECT_FALSE(gui::instrumentLink().open);
}

TEST_F(Connect, OverAComPortMappedToThePseudoTerminal) {
    testing_support::SimProcess sim({}, true);
    const std::string port = mapComPort(sim.device(), 7);
    ASSERT_FALSE(port.empty());
    prompter.queueAnswer(Answer::Ok);
    prompter.queueAnswer(Answer::No);     // not added to the database
    answerNextDialog("Connect", [&](HWND dialog) {
        chooseInterface(dialog, 2);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_BAUDRATE)));
        chooseListText(dialog, IDC_COMPORT, port);
        chooseListText(dialog, IDC_BAUDRATE, "19200");
        pressButton(dialog, IDC_CONNECT);
    }, 30000);
    SendMessageA(main, WM_COMMAND, IDM_CONNECTION, 0);
    pumpMessages(100);
    const instrument::InstrumentLink& link = gui::instrumentLink();
    EXPECT_TRUE(link.connected);
    EXPECT_EQ(link.portName.str(), port);
    EXPECT_EQ(link.baudRate, 19200);
    EXPECT_EQ(titleOf(main), "Corvane v1_5     SER,QMX74,410-2718,2.07");
    EXPECT_EQ(app::currentEquipmentId(), -1);
}

TEST_F(Connect, EachMissingChoiceIsNamedAndTheDialogStaysOpen) {
    // A port that exists, so that the list offers it; nothing is sent to it.
    testing_support::SimProcess sim({}, true);
    const std::string port = mapComPort(sim.device(), 9);
    ASSERT_FALSE(port.empty());
    answerNextDialog("Connect", [&](HWND dialog) {
        chooseInterface(dialog, 2);   // Serial with a port but no speed
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_BAUDRATE)));
        chooseListText(dialog, IDC_COMPORT, port);
        SendMessageA(dialog, WM_COMMAND, IDC_TEST, 0);
        chooseInterface(dialog, 0);   // USB without a port
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_BAUDRATE)));
        SendDlgItemMessageA(dialog, IDC_COMPORT, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        SendMessageA(dialog, WM_COMMAND, IDC_CONNECT, 0);
        chooseInterface(dialog, 1);   // LAN without an address, and with 0.0.0.0
        SendMessageA(dialog, WM_COMMAND, IDC_CONNECT, 0);
        setItemText(dialog, IDC_IPADDRESS, "0.0.0.0");
        SendMessageA(dialog, WM_COMMAND, IDC_CONNECT, 0);
        chooseInterface(dialog, 0);   // USB with a port: the speed is 19200 whatever the list shows
        chooseListText(dialog, IDC_COMPORT, port);
        SendDlgItemMessageA(dialog, IDC_BAUDRATE, CB_SETCURSEL, 0, 0);
        gui::readConnectDialog(dialog);
        EXPECT_EQ(gui::instrumentLink().baudRate, 19200);
        pressButton(dialog, IDCANCEL);
    });
    prompter.queueAnswer(Answer::Ok);
    SendMessageA(main, WM_COMMAND, IDM_CONNECTION, 0);
    ASSERT_GE(prompter.boxes.size(), 5u);
    EXPECT_EQ(prompter.boxes[0].text, "Please choose a baudrate");
    EXPECT_EQ(prompter.boxes[1].text, "Please select a COM Port");
    EXPECT_EQ(prompter.boxes[2].text, "Please enter an IP address");
    EXPECT_EQ(prompter.boxes[3].text, "Please enter an IP address");
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(prompter.boxes[i].caption, "Test Connection");
        EXPECT_EQ(prompter.boxes[i].icon, platform::Icon::Information);
    }
    EXPECT_EQ(prompter.boxes[4].text, "No connection was made");
    EXPECT_EQ(prompter.boxes[4].caption, "Corvane");
    EXPECT_FALSE(gui::instrumentLink().connected);
    EXPECT_EQ(titleOf(main), "Corvane v1_5");
}

TEST_F(Connect, SaveAsDefaultWritesTheConnectKeysAndAFailedTestSaysSo) {
    answerNextDialog("Connect", [&](HWND dialog) {
        chooseInterface(dialog, 1);
        setItemText(dialog, IDC_IPADDRESS, "127.0.0.1");
        SendMessageA(dialog, WM_COMMAND, IDC_SAVE_DEFAULT, 0);
        gui::instrumentLink().lanPort = 1;   // nothing listens there
        SendMessageA(dialog, WM_COMMAND, IDC_TEST, 0);
        pressButton(dialog, IDCANCEL);
    });
    SendMessageA(main, WM_COMMAND, IDM_CONNECTION, 0);
    const std::string& ini = app::mainIniPath();
    EXPECT_EQ(platform::getProfileInt(ini, "Connect", "Interface", -1), 2);
    EXPECT_EQ(platform::getProfileString(ini, "Connect", "IPAddr", "", 128), "127.0.0.1");
    ASSERT_GE(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "Failed to connect to IP address 127.0.0.1");
    EXPECT_FALSE(gui::instrumentLink().connected);
    platform::writeProfileString(ini, "Connect", "Interface", "0");
    platform::writeProfileString(ini, "Connect", "IPAddr", "");
}

TEST_F(Connect, DebugSwitchesTheCommsLogWithACheckMark) {
    const std::string folder = dir.file("logs");
    platform::makeDirectory(folder);
    testing_support::writeFile(platform::joinPath(folder, instrument::kCommsLogFileName), "old log\n");
    prompter.folderResults.push_back(folder);
    SendMessageA(main, WM_COMMAND, IDM_DEBUG, 0);
    EXPECT_TRUE(instrument::commsLogEnabled());
    EXPECT_TRUE(GetMenuState(GetMenu(main), IDM_DEBUG, MF_BYCOMMAND) & MF_CHECKED);
    instrument::commsLogWrite("entry\n");
    const std::string log = testing_support::readFile(platform::joinPath(folder, instrument::kCommsLogFileName));
    EXPECT_EQ(log.find("old log"), std::string::npos);
    EXPECT_NE(log.find("LOG FILE OPENED"), std::string::npos);
    SendMessageA(main, WM_COMMAND, IDM_DEBUG, 0);
    EXPECT_FALSE(instrument::commsLogEnabled());
    EXPECT_FALSE(GetMenuState(GetMenu(main), IDM_DEBUG, MF_BYCOMMAND) & MF_CHECKED);
    prompter.folderResults.push_back("");   // cancelled: stays off
    SendMessageA(main, WM_COMMAND, IDM_DEBUG, 0);
    EXPECT_FALSE(instrument::commsLogEnabled());
    EXPECT_TRUE(prompter.boxes.empty());
    prompter.folderResults.push_back(testing_support::kNotAFolder);
    SendMessageA(main, WM_COMMAND, IDM_DEBUG, 0);
    EXPECT_FALSE(instrument::commsLogEnabled());
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "Invalid Directory Selected");
    EXPECT_EQ(prompter.boxes[0].caption, "Error");
    EXPECT_EQ(prompter.boxes[0].icon, platform::Icon::Information);
}

TEST_F(Connect, ALogThatCannotBeWrittenFromAWorkerIsReportedByTheMainWindow) {
    // A file stands where the log's folder should be made.
    testing_support::writeFile(dir.file("blocker"), "not a folder");
    prompter.folderResults.push_back(dir.file("blocker"));
    SendMessageA(main, WM_COMMAND, IDM_DEBUG, 0);
    ASSERT_TRUE(GetMenuState(GetMenu(main), IDM_DEBUG, MF_BYCOMMAND) & MF_CHECKED);
    platform::WorkerThread worker;
    ASSERT_TRUE(worker.start([] { instrument::commsLogWrite("from a sweep\n"); }));
    ASSERT_TRUE(worker.wait(10000));
    EXPECT_TRUE(prompter.boxes.empty());   // nothing shown from the worker
    pumpMessages(100);
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "Error opening comms log for writing\nComms Logging disabled");
    EXPECT_EQ(prompter.boxes[0].caption, "Error");
    EXPECT_FALSE(instrument::commsLogEnabled());
    EXPECT_FALSE(GetMenuState(GetMenu(main), IDM_DEBUG, MF_BYCOMMAND) & MF_CHECKED);
}

}  // namespace
}  // namespace gui_testing
