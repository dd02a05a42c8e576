// The Connect dialog and what follows it.
#include "gui/instrument/connect_dialog.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "app/instrument_registration.h"
#include "gui/app/main_window.h"
#include "gui/dialog_fields.h"
#include "app/startup.h"
#include "gui/instrument/instrument_link.h"
#include "instrument/identification.h"
#include "instrument/settings.h"
#include "gui/instrument/settings_strip.h"
#include "measure/sweep_job.h"
#include "platform/prompter.h"
#include "gui/resources/resource.h"

namespace gui {
namespace {

constexpr const char* kInterfaces[] = {"USB", "LAN", "Serial"};
constexpr const char* kBaudRates[] = {"1200", "2400", "4800", "9600", "19200", "38400"};
constexpr int kUsbBaudRate = 19200;

struct Connect final : ModalDialog {
    bool onInit(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code, LPARAM) override;
};

std::string itemText(HWND list, LRESULT index) {
    char text[64] = "";
    if (index >= 0 && SendMessageA(list, CB_GETLBTEXTLEN, index, 0) < static_cast<LRESULT>(sizeof text))
        SendMessageA(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

LRESULT selection(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0); }

void selectText(HWND dialog, int id, const std::string& text) {
    const LRESULT index = SendDlgItemMessageA(dialog, id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(text.c_str()));
    if (index != CB_ERR && itemText(GetDlgItem(dialog, id), index) == text)
        SendDlgItemMessageA(dialog, id, CB_SETCURSEL, index, 0);
}

// The serial ports that exist: those that open, and those that are there but busy.
void fillPortList(HWND dialog) {
    for (int n = 1; n <= 254; ++n) {
        char device[32];
        std::snprintf(device, sizeof device, "\\\\.\\COM%d", n);
        HANDLE port = CreateFileA(device, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        bool listed = port != INVALID_HANDLE_VALUE;
        if (listed) {
            CloseHandle(port);
        } else {
            const DWORD error = GetLastError();
            listed = error == ERROR_ACCESS_DENIED || error == ERROR_GEN_FAILURE || error == ERROR_SHARING_VIOLATION;
        }
        if (listed) SendDlgItemMessageA(dialog, IDC_COMPORT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(device + 4));
    }
}

// LAN addresses an instrument by IP address; USB and serial by port, serial also by speed.
void applyInterfaceChoice(HWND dialog) {
    const LRESULT chosen = selection(dialog, IDC_INTERFACE);
    const bool lan = chosen == 1;
    showControl(dialog, IDC_IPADDRESS, lan);
    showControl(dialog, IDC_COMPORT, !lan);
    showControl(dialog, IDC_BAUDRATE, !lan);
    showControl(dialog, IDC_BAUDRATE_LABEL, !lan);
    enableControl(dialog, IDC_BAUDRATE, chosen == 2);
    enableControl(dialog, IDC_BAUDRATE_LABEL, chosen == 2);
    SetDlgItemTextA(dialog, IDC_COMPORT_LABEL, lan ? "IP Address:" : "COM Port:");
}

void onConnect(HWND dialog) {
    instrument::InstrumentLink& link = instrumentLink();
    link.connected = false;
    link.model = 0;
    link.rangeVariant = 0;
    readConnectDialog(dialog);
    if (link.interfaceType != instrument::kNoInterface && !validateConnectChoice(dialog)) return;
    link.connected = instrument::connectAndIdentify(link, true);
    if (link.connected) EndDialog(dialog, IDC_CONNECT);
}

void onTest(HWND dialog) {
    instrument::InstrumentLink& link = instrumentLink();
    readConnectDialog(dialog);
    if (!validateConnectChoice(dialog)) return;
    instrument::connectAndIdentify(link, true);
    instrument::linkClose(link);
}

void onSaveAsDefault(HWND dialog) {
    readConnectDialog(dialog);
    const instrument::InstrumentLink& link = instrumentLink();
    app::saveConnectSettings({link.interfaceType, link.portName.str(), link.baudRate, link.ipAddress.str()});
}

bool Connect::onInit(HWND dialog) {
    for (const char* name : kInterfaces)
        SendDlgItemMessageA(dialog, IDC_INTERFACE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    fillPortList(dialog);
    for (const char* rate : kBaudRates)
        SendDlgItemMessageA(dialog, IDC_BAUDRATE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(rate));
    const instrument::InstrumentLink& link = instrumentLink();
    if (link.interfaceType > 0) {
        SendDlgItemMessageA(dialog, IDC_INTERFACE, CB_SETCURSEL, link.interfaceType - 1, 0);
        applyInterfaceChoice(dialog);
    }
    selectText(dialog, IDC_COMPORT, link.portName.str());
    selectText(dialog, IDC_BAUDRATE, std::to_string(link.baudRate));
    SetDlgItemTextA(dialog, IDC_IPADDRESS, link.ipAddress.c_str());
    showControl(dialog, IDC_TEST, true);
    return true;
}

bool Connect::onCommand(HWND dialog, int id, int code, LPARAM) {
    switch (id) {
    case IDC_INTERFACE:
        if (code == CBN_SELCHANGE) applyInterfaceChoice(dialog);
        return true;
    case IDC_CONNECT: onConnect(dialog); return true;
    case IDC_TEST: onTest(dialog); return true;
    case IDC_SAVE_DEFAULT: onSaveAsDefault(dialog); return true;
    default: return false;
    }
}

}  // namespace

INT_PTR showConnectDialog(HWND owner) {
    Connect dialog;
    return dialog.run(owner, IDD_CONNECT);
}

void readConnectDialog(HWND dialog) {
    instrument::InstrumentLink& link = instrumentLink();
    const LRESULT chosen = selection(dialog, IDC_INTERFACE);
    if (chosen != CB_ERR) link.interfaceType = static_cast<std::int32_t>(chosen + 1);
    link.portName = itemText(GetDlgItem(dialog, IDC_COMPORT), selection(dialog, IDC_COMPORT)).substr(0, 6);
    if (link.interfaceType == instrument::kUsb) {
        link.baudRate = kUsbBaudRate;
    } else {
        const LRESULT rate = selection(dialog, IDC_BAUDRATE);
        if (rate != CB_ERR) link.baudRate = std::atoi(itemText(GetDlgItem(dialog, IDC_BAUDRATE), rate).c_str());
    }
    char address[32] = "";
    GetDlgItemTextA(dialog, IDC_IPADDRESS, address, sizeof address);
    std::string text = std::string(address).substr(0, 15);
    if (text == "0.0.0.0") text.clear();
    link.ipAddress = text;
}

bool validateConnectChoice(HWND) {
    const instrument::InstrumentLink& link = instrumentLink();
    const char* problem = nullptr;
    if (link.interfaceType == instrument::kUsb || link.interfaceType == instrument::kSerial) {
        if (link.portName.empty())
            problem = "Please select a COM Port";
        else if (link.baudRate == 0)
            problem = "Please choose a baudrate";
    } else if (link.interfaceType == instrument::kLan && link.ipAddress.empty()) {
        problem = "Please enter an IP address";
    }
    if (!problem) return true;
    platform::showMessage(problem, "Test Connection", platform::Icon::Information);
    return false;
}

void afterConnectDialog(HWND main) {
    instrument::InstrumentLink& link = instrumentLink();
    refreshControlStates(main, false, link.connected, measure::sweepRunning() != 0);
    showConnectDialog(main);
    const std::string title = app::afterConnect(link, instrument::settingsTable());
    SetWindowTextA(main, title.c_str());
    PostMessageA(main, WM_COMMAND, CMD_REFRESH_CONTROLS, 0);
    redrawCurrentPage(main);
}

}  // namespace gui
