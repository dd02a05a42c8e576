// The "Fleet Database" dialog and its progress box.
#include "gui/db/fleet_dialog.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/startup.h"
#include "db/database_files.h"
#include "fleet/sync.h"
#include "gui/db/data_browser.h"
#include "gui/db/database_commands.h"
#include "gui/dialog_fields.h"
#include "gui/resources/database_dialog_ids.h"
#include "platform/profile.h"
#include "platform/prompter.h"

namespace gui {
namespace {

const char* const kSection = "Fleet";

// The identifiers typed, separated by commas or semicolons; none chooses every transformer.
std::vector<std::string> identifiers(const std::string& text) {
    std::vector<std::string> out;
    std::string word;
    auto flush = [&] {
        const std::size_t first = word.find_first_not_of(' '), last = word.find_last_not_of(' ');
        if (first != std::string::npos) out.push_back(word.substr(first, last - first + 1));
        word.clear();
    };
    for (char c : text) {
        if (c == ',' || c == ';') flush();
        else word += c;
    }
    flush();
    return out;
}

// A connection string is remembered unless it carries a password: those belong in libpq's own files.
bool mayRemember(const std::string& conninfo) { return conninfo.find("password") == std::string::npos; }

std::string withCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// The progress box, shown without a loop of its own: the run calls show() after each sweep, which
// updates it and lets the program handle what waits (the box's Stop, repainting), then carries on.
class Progress {
public:
    Progress(HWND owner, const std::string& verb) : verb_(verb) {
        box_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FLEET_PROGRESS), owner, procedure,
                                  reinterpret_cast<LPARAM>(this));
        if (box_) {
            setControlText(box_, IDC_FLEET_PROGRESS_TEXT, verb_ + ": connecting to the server");
            ShowWindow(box_, SW_SHOW);
            UpdateWindow(box_);
        }
    }
    ~Progress() {
        if (box_) DestroyWindow(box_);
    }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    bool show(int done, int total, const std::string& what) {
        if (!box_) return true;
        setControlText(box_, IDC_FLEET_PROGRESS_TEXT,
                       verb_ + ": " + std::to_string(done) + " of " + std::to_string(total) + " sweeps (" + what + ")");
        SendDlgItemMessageW(box_, IDC_FLEET_PROGRESS_BAR, PBM_SETRANGE32, 0, total > 0 ? total : 1);
        SendDlgItemMessageW(box_, IDC_FLEET_PROGRESS_BAR, PBM_SETPOS, done, 0);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that owns it
                stopped_ = true;
                break;
            }
            if (!IsDialogMessageW(box_, &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        return !stopped_;
    }

private:
    static INT_PTR CALLBACK procedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrW(box, DWLP_USER, lParam);
            return TRUE;
        }
        auto* self = reinterpret_cast<Progress*>(GetWindowLongPtrW(box, DWLP_USER));
        if (self && message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
            self->stopped_ = true;
            setControlText(box, IDC_FLEET_PROGRESS_TEXT, self->verb_ + ": stopping after this batch");
            EnableWindow(GetDlgItem(box, IDCANCEL), FALSE);
            return TRUE;
        }
        return FALSE;
    }

    std::string verb_;
    HWND box_ = nullptr;
    bool stopped_ = false;
};

struct FleetDialog final : ModalDialog {
    explicit FleetDialog(HWND main) : main(main) {}

    bool onInit(HWND dialog) override {
        setUpEdits(dialog, {{IDC_FLEET_SERVER, "service=fleet", 400},
                            {IDC_FLEET_TRANSFORMERS, "every transformer", 400},
                            {IDC_FLEET_FILE, "the open database", 260}});
        setControlText(dialog, IDC_FLEET_SERVER,
                       platform::getProfileString(app::dbIniPath(), kSection, "Server", "", 1024));
        return true;
    }

    bool onCommand(HWND dialog, int id, int, LPARAM) override {
        switch (id) {
        case IDC_FLEET_BROWSE: browse(dialog); return true;
        case IDC_FLEET_PUSH: sync(dialog, fleet::SyncKind::Push); return true;
        case IDC_FLEET_PULL: sync(dialog, fleet::SyncKind::Pull); return true;
        case IDC_FLEET_STATUS: sync(dialog, fleet::SyncKind::Status); return true;
        default: return false;
        }
    }

    void browse(HWND dialog) {
        platform::FileChoice choice;
        choice.title = "Pull into Database";
        choice.filters = {{"Database File *.db", "*.db"}};
        choice.defaultExtension = "db";
        std::string path = controlText(dialog, IDC_FLEET_FILE);
        if (platform::prompter().saveFile(choice, path)) setControlText(dialog, IDC_FLEET_FILE, path);
    }

    // A pull into another file makes that file the open database first (created when missing); when
    // it cannot be opened, the one open before is opened again.
    bool openPullFile(HWND dialog) {
        const std::string file = controlText(dialog, IDC_FLEET_FILE);
        if (file.empty() || file == db::currentDatabasePath()) return db::databaseIsOpen();
        const std::string before = db::currentDatabasePath();
        db::setCurrentDatabasePath(file);
        if (db::open_current_database(db::OpenMode::CreateIfMissing)) {
            setControlText(dialog, IDC_FLEET_FILE, "");
            return true;
        }
        db::setCurrentDatabasePath(before);
        if (!before.empty()) db::open_current_database(db::OpenMode::Open);
        return false;
    }

    void sync(HWND dialog, fleet::SyncKind kind) {
        const std::string conninfo = controlText(dialog, IDC_FLEET_SERVER);
        if (conninfo.empty()) {
            refuseField(dialog, "Enter the fleet server's connection, for example service=fleet", IDC_FLEET_SERVER);
            return;
        }
        if (mayRemember(conninfo)) platform::writeProfileString(app::dbIniPath(), kSection, "Server", conninfo);
        const std::vector<std::string> chosen = identifiers(controlText(dialog, IDC_FLEET_TRANSFORMERS));
        const std::string before = db::currentDatabasePath();
        if (kind == fleet::SyncKind::Pull && !openPullFile(dialog)) return;

        const char* verb = kind == fleet::SyncKind::Push ? "Push" : kind == fleet::SyncKind::Pull ? "Pull" : "Status";
        setControlText(dialog, IDC_FLEET_SUMMARY, "");
        EnableWindow(dialog, FALSE);
        fleet::SyncReport report;
        {
            Progress progress(dialog, verb);
            platform::WaitCursor wait;
            fleet::Server server(conninfo);
            if (!server.connected()) {
                report.kind = kind;
                report.message = server.error();
            } else {
                auto tell = [&](int done, int total, const std::string& what) { return progress.show(done, total, what); };
                report = kind == fleet::SyncKind::Push   ? fleet::push(server, db::Connection::Main, chosen, tell)
                         : kind == fleet::SyncKind::Pull ? fleet::pull(server, db::Connection::Main, chosen, tell)
                                                         : fleet::status(server, db::Connection::Main, chosen);
            }
        }
        EnableWindow(dialog, TRUE);
        SetForegroundWindow(dialog);
        std::string summary = fleet::reportText(report);
        if (db::currentDatabasePath() != before) summary += "The open database is now " + db::currentDatabasePath() + "\n";
        setControlText(dialog, IDC_FLEET_SUMMARY, withCrLf(summary));
        if (kind == fleet::SyncKind::Pull) showCurrentDatabase(main);
    }

    HWND main;
};

}  // namespace

void fleetDatabaseCommand(HWND main) {
    FleetDialog dialog(main);
    dialog.run(main, IDD_FLEET_DATABASE);
    fillDataBrowser(main);
}

}  // namespace gui
