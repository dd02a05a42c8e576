// The data browser's commands on the selected rows and the current database: Graph, Diagnose,
// Export to XML or CSV, Import, Delete, Add and Edit, and the database commands of the tool strip.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "db/database_files.h"
#include "gui/analysis/graph_window.h"
#include "gui/app/main_window.h"
#include "gui/db/browser_state.h"
#include "gui/db/database_commands.h"
#include "gui/db/fleet_dialog.h"
#include "gui/db/record_dialogs.h"
#include "gui/interchange/report_command.h"
#include "gui/interchange/touchstone_dialog.h"
#include "gui/resources/browser_ids.h"
#include "gui/resources/resource.h"
#include "interchange/csv_export.h"
#include "interchange/import_file.h"
#include "interchange/xml_export.h"
#include "interchange/xml_import.h"
#include "platform/known_folders.h"
#include "platform/prompter.h"

namespace gui {
namespace {

// The graph window overlays at most this many sweeps.
constexpr std::size_t kMostGraphed = 9;
// Delete acts on at most this many rows at once.
constexpr std::size_t kMostDeleted = 20;
// The diagnosis takes the first selected key with at most this many characters.
constexpr std::size_t kKeyCapacity = 127;

void showError(const char* text, platform::Icon icon = platform::Icon::Warning) {
    platform::showMessage(text, "Error", icon);
}

void diagnose(HWND window) {
    const DataView* v = dataViewOf(window);
    if (!v || !db::databaseIsOpen()) return;
    const std::vector<std::string> keys = selectedKeys(window);
    std::int64_t first = -1, second = -1;
    if (isSweepView(*v) && keys.size() == 2) {
        first = std::atoll(keys[0].c_str());
        second = std::atoll(keys[1].c_str());
    }
    showDiagnosis(mainWindowOf(window), first, second, keys.empty() ? std::string() : keys[0].substr(0, kKeyCapacity));
}

enum class ExportFormat { Xml, Csv };

// The selected sweeps written into a folder the user picks, which starts at Documents.
void exportSweeps(HWND window, ExportFormat format) {
    const std::vector<std::int64_t> ids = selectedSweepIds(window);
    if (ids.empty()) {
        showError("No Sweeps Selected!");
        return;
    }
    std::string documents, folder;
    platform::localAppDataFolder(platform::kFolderDocuments, documents);
    if (!platform::prompter().chooseFolder("Export Directory", documents, folder)) return;
    if (folder.empty()) {
        showError("Invalid Directory Selected", platform::Icon::Information);
        return;
    }
    // One sweep in memory at a time, however many are selected; the writers ask their questions
    // sweep by sweep either way.
    for (std::int64_t id : ids) {
        std::vector<db::SweepBundle> bundle(1);
        if (!db::load_sweep_bundle(id, bundle.front())) continue;
        if (format == ExportFormat::Xml) interchange::exportXml(folder, bundle);
        else interchange::exportSweepReports(folder, bundle);
    }
}

// Each chosen file by its extension. Every file that is not stored is named afterwards, so that
// among many the user knows which ones to look at; an impedance table goes to Edit Sweep first.
void importFiles(HWND window) {
    if (!db::databaseIsOpen()) return;
    platform::FileChoice choice;
    choice.title = "Import into Database";
    choice.filters = {{"CSV Files", "*.csv"},
                      {"Text files", "*.txt"},
                      {"XML Files", "*.xml"},
                      {"Doble SFRA Files", "*.sfra"},
                      {"Megger PAX Files", "*.pax"},
                      {"Touchstone Files", "*.s2p;*.s3p;*.s4p"},
                      {"All Importable Files", "*.csv;*.txt;*.xml;*.sfra;*.pax;*.s2p;*.s3p;*.s4p"}};
    choice.filterIndex = 3;
    choice.mustExist = true;
    choice.multiSelect = true;
    std::vector<std::string> paths;
    if (!platform::prompter().openFile(choice, paths)) return;
    // Network analysers' files hold every port's response: the user says which transmission to read.
    interchange::TouchstoneParameter touchstone;
    for (const std::string& path : paths)
        if (interchange::importKindOf(path) == interchange::ImportKind::Touchstone) {
            if (!chooseTouchstoneParameter(window, touchstone)) return;
            break;
        }

    std::string notImported;
    for (const std::string& path : paths) {
        db::SweepBundle bundle;
        switch (interchange::importIntoDatabase(path, bundle, touchstone)) {
        case interchange::ImportOutcome::Stored: break;
        case interchange::ImportOutcome::ImpedanceTable:
            editSweepDialog(mainWindowOf(window), bundle.sweep, db::kAddChecked);
            break;
        case interchange::ImportOutcome::Skipped:
        case interchange::ImportOutcome::Refused: notImported += "\n" + interchange::fileName(path); break;
        }
    }
    refreshView(window);
    if (!notImported.empty())
        platform::showMessage("These files were not imported:\n" + notImported, "Import Error",
                              platform::Icon::Information);
}

// The first 20 selected records, with what depends on them, after the one confirmation that names
// their kind.
void deleteRows(HWND window) {
    const DataView* v = dataViewOf(window);
    if (!v || !db::databaseIsOpen()) return;
    std::vector<std::string> keys = selectedKeys(window, kMostDeleted + 1);
    if (keys.empty()) return;
    if (keys.size() > kMostDeleted) {
        showError("Too many items selected, only the first 20 items will be deleted");
        keys.resize(kMostDeleted);
    }
    const auto kind = static_cast<db::DeleteKind>(v->context.table);
    if (db::delete_records(kind, db::keySelection(v->context, keys), true)) refreshView(window);
}

void addRecord(HWND window) {
    const DataView* v = dataViewOf(window);
    if (!v || !db::databaseIsOpen()) return;
    HWND owner = mainWindowOf(window);
    bool added = false;
    switch (v->view) {
    case db::kTransformersView: {
        db::TransformerRecord record;
        added = editTransformerDialog(owner, record, TransformerDialogMode::Add);
        break;
    }
    case db::kSetupsView: {
        db::SetupRecord record;
        added = editSetupDialog(owner, record, db::kAddChecked);
        break;
    }
    case db::kEquipmentView: {
        db::EquipmentRecord record;
        added = editEquipmentDialog(owner, record, db::kAddChecked, false);
        break;
    }
    default: break;  // sweeps come from measuring and importing
    }
    if (added) refreshView(window);
}

void editRow(HWND window) {
    const DataView* v = dataViewOf(window);
    if (!v || !db::databaseIsOpen()) return;
    const std::vector<std::string> keys = selectedKeys(window, 2);
    if (keys.size() == 1 && editStoredRecord(mainWindowOf(window), v->context.table, keys[0])) refreshView(window);
}

}  // namespace

std::vector<std::int64_t> selectedSweepIds(HWND window) {
    std::vector<std::int64_t> ids;
    const DataView* v = dataViewOf(window);
    if (!v || !isSweepView(*v)) return ids;
    for (const std::string& key : selectedKeys(window)) ids.push_back(std::atoll(key.c_str()));
    return ids;
}

// The selected sweeps when there are 1 to 9 of them, as a graph and a report hold; otherwise the
// error is shown and there are none.
std::vector<std::int64_t> sweepsToGraph(HWND window) {
    std::vector<std::int64_t> ids = selectedSweepIds(window);
    if (ids.empty()) showError("No Tests Selected!");
    else if (ids.size() > kMostGraphed) showError("Too many tests to graph!");
    else return ids;
    return {};
}

void graphSelectedSweeps(HWND window) {
    const std::vector<std::int64_t> ids = sweepsToGraph(window);
    if (!ids.empty()) showGraphWindow(mainWindowOf(window), ids);
}

void reportSelectedSweeps(HWND window) {
    const std::vector<std::int64_t> ids = sweepsToGraph(window);
    if (!ids.empty()) reportSweeps(mainWindowOf(window), ids, 0);
}

bool onBrowserCommand(HWND window, int id) {
    HWND main = mainWindowOf(window);
    switch (id) {
    case IDC_TOOL_NEW_DATABASE: newDatabaseCommand(main); return true;
    case IDC_TOOL_OPEN_DATABASE: openDatabaseCommand(main); return true;
    case IDC_TOOL_SETTINGS: databaseSettingsCommand(main); return true;
    case IDC_TOOL_FLEET: fleetDatabaseCommand(main); return true;
    case IDC_TOOL_IMPORT: importFiles(window); return true;
    case IDC_TOOL_EXPORT_XML: exportSweeps(window, ExportFormat::Xml); return true;
    case IDC_TOOL_EXPORT_CSV: exportSweeps(window, ExportFormat::Csv); return true;
    case IDC_TOOL_DIAGNOSE:
    case IDM_BROWSER_DIAGNOSE: diagnose(window); return true;
    case IDC_TOOL_GRAPH:
    case IDM_BROWSER_GRAPH: graphSelectedSweeps(window); return true;
    case IDM_BROWSER_REPORT: reportSelectedSweeps(window); return true;
    case IDC_TOOL_ADD: addRecord(window); return true;
    case IDC_TOOL_EDIT:
    case IDM_BROWSER_EDIT: editRow(window); return true;
    case IDC_TOOL_DELETE:
    case IDM_BROWSER_DELETE: deleteRows(window); return true;
    default: return runFinderCommand(window, id);
    }
}

}  // namespace gui
