// A user's journey through Corvane.exe, worked from outside its process as UI automation works it: a new
// database, Connect, two saved sweeps from the simulator, the transformer's fingerprint, the data
// browser's Graph, Diagnose and exports, and the Fleet Database's push to a server of the host's own and
// pull of the transformer into a new file; then the files it left and the server are checked on the
// host. Screenshots of the main window, the data browser, the graph windows and the fleet dialog are
// left in DIR/screenshots.
// Usage: ui_journey --program EXE --simulator EXE --work DIR --fleet-server SCRIPT
//        (host or Windows paths; SCRIPT is tools/fleet_test_server.sh, run on the host)
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/identity.h"
#include "gui/app/window_classes.h"
#include "gui/resources/browser_ids.h"
#include "gui/resources/database_dialog_ids.h"
#include "gui/resources/dialog_ids.h"
#include "gui/resources/graph_ids.h"
#include "gui/resources/resource.h"
#include "gui/support/host_process.h"
#include "platform/win32/wide_text.h"
#include "remote_ui.h"

namespace {

using namespace automation;
using platform::win32::widen;

constexpr const char* kSteps = "100";
constexpr int kSimulatorPort = 10001;  // the program's LAN port

// A process started for the journey, ended with it whatever happens.
class Child {
public:
    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() { end(); }

    // Starts commandLine in folder, its output going to outputFile (or nowhere).
    void start(const std::string& commandLine, const std::string& folder, const std::string& outputFile = {}) {
        end();
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE out = outputFile.empty() ? INVALID_HANDLE_VALUE
                                        : CreateFileW(widen(outputFile).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                                      &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (out != INVALID_HANDLE_VALUE) {
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdOutput = startup.hStdError = out;
        }
        platform::win32::WideString line = widen(commandLine);
        const bool started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, out != INVALID_HANDLE_VALUE,
                                            CREATE_NO_WINDOW, nullptr, widen(folder).c_str(), &startup, &info_);
        if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
        if (!started) throw StepFailure("could not start " + commandLine);
        CloseHandle(info_.hThread);
    }
    // Waits up to ms for the process to end by itself.
    bool awaitExit(unsigned ms) { return info_.hProcess && WaitForSingleObject(info_.hProcess, ms) == WAIT_OBJECT_0; }
    void end() {
        if (!info_.hProcess) return;
        if (!awaitExit(0)) TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
        CloseHandle(info_.hProcess);
        info_ = {};
    }
    DWORD id() const { return info_.dwProcessId; }
    HANDLE handle() const { return info_.hProcess; }

private:
    PROCESS_INFORMATION info_{};
};

std::string inQuotes(const std::string& argument) { return "\"" + argument + "\""; }

// A path as this program names it: host paths are turned into Windows ones.
std::string asWindowsPath(const std::string& path) {
    return !path.empty() && path[0] == '/' ? gui_testing::windowsPath(path) : path;
}

std::string join(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

std::filesystem::path fsPath(const std::string& path) { return std::filesystem::path(widen(path).c_str()); }

std::string readText(const std::string& path) {
    std::ifstream in(fsPath(path), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class Journey {
public:
    Journey(std::string program, std::string simulator, std::string work, std::string fleetServer)
        : program_(std::move(program)),
          simulator_(std::move(simulator)),
          work_(std::move(work)),
          fleetServer_(std::move(fleetServer)) {}

    int run() {
        try {
            prepare();
            createDatabase();
            connect(true);
            sweep("Fingerprint", false);
            // The winding after a fault, on an instrument started afresh: connected anew, as a user
            // does, so that the program reads the instrument's settings again.
            startSimulator("obvious");
            connect(false);
            sweep("After fault", true);
            chooseFingerprint();
            graphAndDiagnose();
            csvFile_ = exportSweep(IDC_TOOL_EXPORT_CSV, ".csv");
            xmlFile_ = exportSweep(IDC_TOOL_EXPORT_XML, ".xml");
            startFleetServer();
            pushAndPull();
            closeProgram();
            checkFiles();
            stopFleetServer();
        } catch (const std::exception& failure) {
            std::printf("FAILED in step \"%s\": %s\n", step_.c_str(), failure.what());
            if (target_) {
                std::printf("the program was showing:\n%s", target_->describe().c_str());
                screenshot(nullptr, "failure");
            }
            stopFleetServer();
            return 1;
        }
        std::printf("the journey went through\n");
        return 0;
    }

private:
    void step(const std::string& name) {
        step_ = name;
        std::printf("-- %s\n", name.c_str());
        std::fflush(stdout);
    }

    // The whole screen, or the window's part of it, as a PNG file in the work folder's screenshots.
    void screenshot(HWND window, const std::string& name) {
        std::string crop;
        RECT r;
        if (window && GetWindowRect(window, &r))
            crop = " -crop " + std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + "+" +
                   std::to_string(r.left) + "+" + std::to_string(r.top) + " +repage";
        const std::string file = gui_testing::hostPath(join(join(work_, "screenshots"), name + ".png"));
        if (gui_testing::runHostCommand("import -window root" + crop + " " + gui_testing::shellQuoted(file), 30000) != 0)
            std::printf("(no screenshot %s)\n", name.c_str());
    }

    // A fresh working folder, a fresh settings folder (where the program looks for it), the simulator
    // and the program.
    void prepare() {
        step("start the simulator and " + program_);
        std::filesystem::remove_all(fsPath(work_));
        std::filesystem::create_directories(fsPath(join(work_, "screenshots")));
        std::filesystem::create_directories(fsPath(join(work_, "export")));
        WCHAR appData[MAX_PATH] = {};
        if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_DEFAULT, appData)))
            throw StepFailure("no local application data folder");
        std::filesystem::remove_all(std::filesystem::path(appData) / common::kMakerName / common::kProductName);
        startSimulator("healthy");
        program_process_.start(inQuotes(program_), work_);
        target_ = std::make_unique<Target>(program_process_.id(), program_process_.handle());
        main_ = target_->awaitWindow("the main window \"" + common::mainWindowTitle() + "\"", [](HWND w) {
            return className(w) == gui::kMainClass && textOf(w) == common::mainWindowTitle();
        }, 30000);
    }

    void startSimulator(const std::string& profile) {
        simulator_process_.end();
        const std::string output = join(work_, "simulator-" + profile + ".txt");
        simulator_process_.start(inQuotes(simulator_) + " --port " + std::to_string(kSimulatorPort) + " --fast --profile " +
                                     profile, work_, output);
        const std::string listening = "listening on 127.0.0.1:" + std::to_string(kSimulatorPort);
        try {
            waitUntil("the simulator's line \"" + listening + "\"",
                      [&] { return readText(output).find(listening) != std::string::npos; });
        } catch (const StepFailure& failure) {
            throw StepFailure(failure.what() + std::string("; it said: ") + readText(output));
        }
    }

    HWND tool(int id) { return control(main_, id); }
    HWND list() { return control(main_, IDC_DATA_LIST); }

    // DATABASE > New Database: a three-phase type, its transformer, the file through the Save dialog.
    void createDatabase() {
        step("create a database");
        click(main_, IDC_DATABASE);
        click(tool(IDC_TOOL_NEW_DATABASE));
        HWND create = target_->awaitWindow("Create New Database");
        target_->selectRows(control(create, IDC_CREATE_TYPE_LIST), {0});
        waitUntil("Create Database to be enabled", [&] { return IsWindowEnabled(control(create, IDOK)) != 0; });
        click(create, IDOK);
        HWND transformer = target_->awaitWindow("Add/Edit Transformer");
        typeInto(transformer, IDC_TRANSFORMER_IDENTIFIER, "TX-E2E");
        typeInto(transformer, IDC_TRANSFORMER_MANUFACTURER, "Müller & Söhne");
        typeInto(transformer, IDC_TRANSFORMER_SERIAL, "SN-2026-0147");
        click(transformer, IDOK);
        // The Save dialog's name box: edt1 in the classic layout, cmb13 in the newer one.
        HWND save = target_->awaitWindow("the Save dialog", [](HWND w) {
            return !isMessageBox(w) && (GetDlgItem(w, 0x480) || GetDlgItem(w, 0x47C));
        });
        database_ = join(work_, "Umspannwerk Süd.db");
        typeInto(save, GetDlgItem(save, 0x480) ? 0x480 : 0x47C, database_);
        notifyPressed(save, IDOK);
        target_->awaitClosed(save, "the Save dialog");
        target_->awaitClosed(create, "Create New Database");
        waitUntil("the browser to show the new database", [&] {
            return textOf(main_, IDC_DATA_CAPTION) == "Sweeps (Umspannwerk Süd.db)  Sweep details";
        });
    }

    // Configure > Connection...: LAN at 127.0.0.1; an instrument new to the database is added to it.
    void connect(bool newInstrument) {
        step("connect over the LAN");
        PostMessageW(main_, WM_COMMAND, IDM_CONNECTION, 0);
        HWND dialog = target_->awaitWindow("Connect");
        chooseItem(dialog, IDC_INTERFACE, "LAN");
        typeInto(dialog, IDC_IPADDRESS, "127.0.0.1");
        click(dialog, IDC_CONNECT);
        HWND success = target_->awaitMessageBox("Test Connection", 30000);
        const std::string message = messageOf(success);
        if (message.rfind("The connection was successful", 0) != 0) throw StepFailure("the connection said: " + message);
        click(success, IDOK);
        if (newInstrument) click(target_->awaitMessageBox("Add to Database"), IDYES);
        const std::string connected = common::mainWindowTitle() + "     LAN,QMX74,410-2718,2.07";
        waitUntil("the title \"" + connected + "\"", [&] { return textOf(main_) == connected; }, 30000);
    }

    // Picks the first row of a picking field's Select from Table.
    void pickFirst(HWND dialog, int field) {
        focus(dialog, field);
        HWND picker = target_->awaitWindow("Select from Table");
        click(picker, IDOK);
        target_->awaitClosed(picker, "Select from Table");
        waitUntil("the choice in field " + std::to_string(field), [&] { return !textOf(dialog, field).empty(); });
    }

    // MEASURE > SWEEP > Perform Sweep, saved under name; the Sweep Data dialog closed with View Sweep or
    // Go to Database.
    void sweep(const std::string& name, bool goToDatabase) {
        step("sweep \"" + name + "\"");
        click(main_, IDC_MEASURE);
        waitUntil("the FRA pane's SWEEP", [&] {
            HWND start = control(main_, IDC_FRA_START);
            return IsWindowVisible(start) && IsWindowEnabled(start) && textOf(start) == "SWEEP";
        });
        click(main_, IDC_FRA_START);
        HWND perform = target_->awaitWindow("Perform Sweep");
        typeInto(perform, IDC_PERFORM_STEPS, kSteps);
        typeInto(perform, IDC_DETAILS_NAME, name);
        typeInto(perform, IDC_DETAILS_PEAK_VOLTAGE, "10");
        typeInto(perform, IDC_DETAILS_TEMPERATURE, "21");
        pickFirst(perform, IDC_DETAILS_TRANSFORMER);
        pickFirst(perform, IDC_DETAILS_SETUP);
        const std::string equipment = textOf(perform, IDC_DETAILS_EQUIPMENT);
        if (equipment != "Veltrona Ltd QMX74 410-2718") throw StepFailure("the equipment shown is \"" + equipment + "\"");
        click(perform, IDOK);
        HWND data = target_->awaitWindow("Sweep Data");
        waitUntil("\"Sweep Added to Database Successfully\"", [&] {
            return textOf(data, IDC_SWEEP_STATUS) == "Sweep Added to Database Successfully";
        }, 60000);
        click(data, goToDatabase ? IDC_SWEEP_GO_TO_DATABASE : IDC_SWEEP_VIEW);
        target_->awaitClosed(data, "Sweep Data");
        if (!goToDatabase) {
            screenshot(main_, "main-window");
            return;
        }
        waitUntil("the data browser's two sweeps", [&] {
            return IsWindowVisible(list()) && target_->listRows(list()) == 2;
        });
    }

    // The sweeps in the browser's list, by name, in its order.
    std::vector<std::string> sweepNames() {
        std::vector<std::string> names;
        for (int row = 0; row < target_->listRows(list()); ++row) names.push_back(target_->listCell(list(), row, 1));
        return names;
    }
    int rowOf(const std::string& name) {
        const std::vector<std::string> names = sweepNames();
        for (std::size_t row = 0; row < names.size(); ++row)
            if (names[row] == name) return static_cast<int>(row);
        throw StepFailure("no sweep \"" + name + "\" in the browser's list");
    }

    // The transformer's record: Edit, its fingerprint picked from its sweeps.
    void chooseFingerprint() {
        step("make the first sweep the transformer's fingerprint");
        chooseItem(main_, IDC_DATA_VIEW_SELECTOR, "Transformers");
        waitUntil("the transformer in the list", [&] {
            return target_->listRows(list()) == 1 && target_->listCell(list(), 0, 0) == "TX-E2E";
        });
        target_->selectRows(list(), {0});
        click(tool(IDC_TOOL_EDIT));
        HWND edit = target_->awaitWindow("Add/Edit Transformer");
        focus(edit, IDC_TRANSFORMER_FINGERPRINT);
        HWND picker = target_->awaitWindow("Select from Table");
        HWND sweeps = control(picker, IDC_SELECT_LIST);
        if (target_->listCell(sweeps, 0, 1) != "Fingerprint")
            throw StepFailure("the first sweep offered is \"" + target_->listCell(sweeps, 0, 1) + "\"");
        click(picker, IDOK);
        waitUntil("the fingerprint field", [&] { return !textOf(edit, IDC_TRANSFORMER_FINGERPRINT).empty(); });
        click(edit, IDOK);
        target_->awaitClosed(edit, "Add/Edit Transformer");
        chooseItem(main_, IDC_DATA_VIEW_SELECTOR, "Sweeps");
        waitUntil("the two sweeps in the list", [&] { return target_->listRows(list()) == 2; });
        screenshot(main_, "data-browser");
    }

    // The graph window the browser opened, once it shows the sweeps named.
    HWND awaitGraph(const std::vector<std::string>& names) {
        HWND graph = target_->awaitWindow("the graph window", [](HWND w) { return className(w) == gui::kGraphClass; });
        const std::vector<std::string> shown = comboItems(control(graph, IDC_GRAPH_ACTIVE_SWEEP));
        if (shown != names) throw StepFailure("the graph window's sweeps are not the ones chosen");
        return graph;
    }

    void graphAndDiagnose() {
        step("graph the fingerprint");
        target_->selectRows(list(), {rowOf("Fingerprint")});
        click(tool(IDC_TOOL_GRAPH));
        HWND graph = awaitGraph({"Fingerprint"});
        screenshot(graph, "graph-window");
        PostMessageW(graph, WM_CLOSE, 0, 0);
        target_->awaitClosed(graph, "the graph window");

        step("diagnose the second sweep against the fingerprint");
        target_->selectRows(list(), {rowOf("After fault")});
        click(tool(IDC_TOOL_DIAGNOSE));
        HWND choice = target_->awaitWindow("Select sweeps for diagnosis");
        const std::string fingerprint = textOf(choice, IDC_DIAGNOSIS_FINGERPRINT);
        const std::string diagnosed = textOf(choice, IDC_DIAGNOSIS_SWEEP);
        if (fingerprint.rfind("Fingerprint", 0) != 0 || diagnosed.rfind("After fault", 0) != 0)
            throw StepFailure("proposed were \"" + fingerprint + "\" and \"" + diagnosed + "\"");
        click(choice, IDOK);
        graph = awaitGraph({"Fingerprint", "After fault"});
        waitUntil("the diagnosis mode's Back", [&] { return textOf(graph, IDC_GRAPH_DIAGNOSE) == "Back"; });
        // Beside the results panel, the assessment: its comparison, its findings and every band's indices.
        HWND indices = control(graph, IDC_ASSESS_INDICES);
        waitUntil("the assessment's indices table", [&] { return target_->listRows(indices) == 3; });
        if (target_->listCell(indices, 0, 0) != "DL/T 911" || target_->listCell(indices, 1, 1) != "RMF" ||
            textOf(graph, IDC_ASSESS_HEADING).rfind("Time-based: After fault against Fingerprint", 0) != 0)
            throw StepFailure("the assessment shows \"" + textOf(graph, IDC_ASSESS_HEADING) + "\" over " +
                              target_->listCell(indices, 0, 0) + " " + target_->listCell(indices, 1, 1));
        screenshot(graph, "diagnosis");
        PostMessageW(graph, WM_CLOSE, 0, 0);
        target_->awaitClosed(graph, "the graph window");
    }

    // The fingerprint exported by a browser tool into the work folder's export, chosen in the folder
    // browser (which ignores its edit box under Wine) by the browser's own selection message.
    std::string exportSweep(int toolId, const std::string& extension) {
        step("export the fingerprint as " + extension);
        target_->selectRows(list(), {rowOf("Fingerprint")});
        const std::string date = target_->listCell(list(), rowOf("Fingerprint"), 2);
        click(tool(toolId));
        HWND browser = target_->awaitWindow("the folder browser", [](HWND w) {
            return !isMessageBox(w) && descendantOfClass(w, "SysTreeView32") != nullptr;
        });
        const std::string folder = join(work_, "export");
        target_->sendWithText(browser, BFFM_SETSELECTIONW, TRUE, folder);
        click(browser, IDOK);
        target_->awaitClosed(browser, "the folder browser");
        const std::string file = join(folder, "Fingerprint_" + date + extension);
        waitUntil(file, [&] { return std::filesystem::exists(fsPath(file)); });
        return file;
    }

    // A PostgreSQL server on the host, its fleet schema made by the installed command line under Wine.
    void startFleetServer() {
        step("start a fleet server on the host");
        fleetDir_ = join(work_, "fleet-server");
        conninfo_ = host(gui_testing::shellQuoted(gui_testing::hostPath(fleetServer_)) + " start " +
                         gui_testing::shellQuoted(gui_testing::hostPath(fleetDir_)));
        while (!conninfo_.empty() && (conninfo_.back() == '\n' || conninfo_.back() == '\r')) conninfo_.pop_back();
        const std::string cli = program_.substr(0, program_.rfind('\\')) + "\\cli\\corvane.exe";
        const std::string output = join(work_, "fleet-init.txt");
        Child init;
        init.start(inQuotes(cli) + " fleet init --server " + inQuotes(conninfo_), work_, output);
        if (!init.awaitExit(60000) || readText(output).find("fleet schema: version 1 (created)") == std::string::npos)
            throw StepFailure("corvane fleet init said: " + readText(output));
    }

    void stopFleetServer() {
        if (fleetDir_.empty()) return;
        gui_testing::runHostCommand(gui_testing::shellQuoted(gui_testing::hostPath(fleetServer_)) + " stop " +
                                        gui_testing::shellQuoted(gui_testing::hostPath(fleetDir_)),
                                    30000);
        fleetDir_.clear();
    }

    // The summary the Fleet Database dialog shows once its command has run; throws unless it begins so.
    std::string awaitSummary(HWND dialog, const std::string& beginning) {
        std::string summary;
        try {
            waitUntil("the summary \"" + beginning + "\"", [&] {
                summary = textOf(dialog, IDC_FLEET_SUMMARY);
                return summary.rfind(beginning, 0) == 0;
            }, 60000);
        } catch (const StepFailure& failure) {
            throw StepFailure(failure.what() + std::string("; it shows: ") + summary);
        }
        return summary;
    }

    // DATABASE > Fleet Database...: the open database pushed, then its transformer pulled into a new
    // file, which the browser then shows.
    void pushAndPull() {
        step("push the database to the fleet server");
        click(tool(IDC_TOOL_FLEET));
        HWND fleet = target_->awaitWindow("Fleet Database");
        typeInto(fleet, IDC_FLEET_SERVER, conninfo_);
        click(fleet, IDC_FLEET_PUSH);
        const std::string pushed = awaitSummary(fleet, "Push complete: ");
        if (pushed.find("2 sweeps, 1 transformer, 1 setup and 1 instrument sent") == std::string::npos)
            throw StepFailure("the push says: " + pushed);
        screenshot(fleet, "fleet-push");

        step("pull the transformer into a new file");
        pulled_ = join(work_, "Pulled.db");
        typeInto(fleet, IDC_FLEET_TRANSFORMERS, "TX-E2E");
        typeInto(fleet, IDC_FLEET_FILE, pulled_);
        click(fleet, IDC_FLEET_PULL);
        const std::string brought = awaitSummary(fleet, "Pull complete: ");
        if (brought.find("2 sweeps, 1 transformer, 1 setup and 1 instrument brought") == std::string::npos)
            throw StepFailure("the pull says: " + brought);
        screenshot(fleet, "fleet-pull");
        click(fleet, IDCANCEL);
        target_->awaitClosed(fleet, "Fleet Database");
        waitUntil("the browser to show the pulled file's two sweeps", [&] {
            return textOf(main_, IDC_DATA_CAPTION) == "Sweeps (Pulled.db)  Sweep details" && target_->listRows(list()) == 2;
        });
    }

    void closeProgram() {
        step("close the program");
        PostMessageW(main_, WM_CLOSE, 0, 0);
        if (!program_process_.awaitExit(20000)) throw StepFailure("the program did not end within 20 s of WM_CLOSE");
        target_.reset();
        simulator_process_.end();
    }

    // A host command's standard output (and error), which must end with status 0.
    std::string host(const std::string& command) {
        const std::string out = join(work_, "host-output.txt");
        const int status = gui_testing::runHostCommand(
            command + " > " + gui_testing::shellQuoted(gui_testing::hostPath(out)) + " 2>&1", 30000);
        const std::string text = readText(out);
        if (status != 0) throw StepFailure(command + " ended with " + std::to_string(status) + ": " + text);
        return text;
    }

    // The database opens whole in the host's sqlite3 with both sweeps and their points; the exports
    // are well formed with the sweep's points.
    void checkFiles() {
        step("check the database and the exported files on the host");
        const std::string expected = std::string("ok\nTX-E2E|1\nFingerprint|") + kSteps + "\nAfter fault|" + kSteps + "\n";
        const std::string stored = host(
            "sqlite3 " + gui_testing::shellQuoted(gui_testing::hostPath(database_)) +
            " 'PRAGMA integrity_check; SELECT Transformer_Identifier, Fingerprint_Sweep_Id FROM Transformer; "
            "SELECT Name, (SELECT count(*) FROM Data_FRA WHERE Sweep_Id = SweepId) FROM Sweep ORDER BY SweepId'");
        if (stored != expected) throw StepFailure("the database holds:\n" + stored);
        const std::string pulled = host(
            "sqlite3 " + gui_testing::shellQuoted(gui_testing::hostPath(pulled_)) +
            " 'PRAGMA integrity_check; SELECT Transformer_Identifier, Fingerprint_Sweep_Id FROM Transformer; "
            "SELECT Name, (SELECT count(*) FROM Data_FRA WHERE Sweep_Id = SweepId) FROM Sweep ORDER BY SweepId'");
        if (pulled != expected) throw StepFailure("the pulled file holds:\n" + pulled);
        const std::string onServer = host("psql -X -q -t -A " + gui_testing::shellQuoted(conninfo_) +
                                          " -c 'SELECT count(*) FROM fleet_sweep' -c 'SELECT count(*) FROM fleet_point_fra'");
        if (onServer != "2\n" + std::to_string(2 * std::stoi(kSteps)) + "\n")
            throw StepFailure("the fleet server holds:\n" + onServer);
        const std::string points = host(
            "python3 -c 'import sys, xml.dom.minidom as m; print(len(m.parse(sys.argv[1]).getElementsByTagName(\"Point\")))' " +
            gui_testing::shellQuoted(gui_testing::hostPath(xmlFile_)));
        if (points != std::string(kSteps) + "\n") throw StepFailure("the XML file has " + points + " points");
        const std::string csv = readText(csvFile_);
        const std::string header = "\r\nFrequency,Magnitude1,Magnitude2,Gain,Phase,Delay\r\n";
        const std::size_t data = csv.find(header);
        std::size_t lines = 0;
        if (data != std::string::npos) {
            std::istringstream rows(csv.substr(data + header.size()));
            for (std::string row; std::getline(rows, row);) lines += row != "\r" && !row.empty();
        }
        if (csv.rfind("File Version:\t1.0\r\n", 0) != 0 || lines != std::stoul(kSteps) ||
            csv.find(std::string("\r\nSteps:\t") + kSteps + "\r\n") == std::string::npos)
            throw StepFailure("the CSV report is not the sweep's: " + csv.substr(0, 400));
    }

    std::string program_, simulator_, work_, fleetServer_, step_, database_, csvFile_, xmlFile_;
    std::string fleetDir_, conninfo_, pulled_;
    Child simulator_process_, program_process_;
    std::unique_ptr<Target> target_;
    HWND main_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    std::map<std::string, std::string> options = {
        {"--program", ""}, {"--simulator", ""}, {"--work", ""}, {"--fleet-server", ""}};
    for (int i = 1; i + 1 < argc; i += 2) {
        auto option = options.find(argv[i]);
        if (option == options.end()) {
            std::fprintf(stderr, "unknown option %s\n", argv[i]);
            return 2;
        }
        option->second = asWindowsPath(argv[i + 1]);
    }
    for (const auto& [name, value] : options) {
        if (value.empty()) {
            std::fprintf(stderr, "usage: ui_journey --program EXE --simulator EXE --work DIR --fleet-server SCRIPT\n");
            return 2;
        }
    }
    return Journey(options["--program"], options["--simulator"], options["--work"], options["--fleet-server"]).run();
}
