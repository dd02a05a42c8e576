#include "db/database_files.h"

#include "common/identity.h"
#include "db/default_setups.h"
#include "db/record_store.h"
#include "db/schema.h"
#include "db/sql_text.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/prompter.h"

namespace db {
namespace {

std::string currentPath;
std::string shownName;
std::string settingsFile;
bool isOpen = false;

void showInformation(const std::string& text) {
    platform::showMessage(text, common::kProductName, platform::Icon::Information);
}

void storeDefaultSetups(int type) {
    for (const DefaultSetup& d : defaultSetups(type)) {
        SetupRecord s;
        s.name = d.name;
        s.referenceTerminal = d.referenceTerminal;
        s.responseTerminal = d.responseTerminal;
        s.connectedTerminals = d.connectedTerminals;
        s.oltc = 3;
        s.unshieldedLength = 30.0f;
        store_setup(s, kAddChecked);
    }
}

}  // namespace

const std::string& currentDatabasePath() { return currentPath; }
void setCurrentDatabasePath(const std::string& path) { currentPath = path; }
bool databaseIsOpen() { return isOpen; }
const std::string& shownDatabaseName() { return shownName; }
void setDatabaseSettingsFile(const std::string& file) { settingsFile = file; }

std::string fileNameOf(const std::string& path) {
    std::size_t cut = path.rfind('\\');
    if (cut == std::string::npos) cut = path.rfind('/');
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool open_current_database(OpenMode mode) {
    close_current_database();
    if (currentPath.empty()) return false;
    bool created = false;
    isOpen = open_database(currentPath, mode, &created, Connection::Main);
    if (isOpen) {
        if (!settingsFile.empty()) platform::writeProfileString(settingsFile, "Init", "DatabaseFile", currentPath);
        shownName = fileNameOf(currentPath);
        return true;
    }
    const char* product = common::kProductName;
    if (mode == OpenMode::CreateIfMissing && !created)
        showInformation(common::stringPrintf("%s is not a %s database file", currentPath.c_str(), product));
    else if (mode == OpenMode::CreateIfMissing)
        showInformation(
            common::stringPrintf("Failed to create file %s as a %s database", currentPath.c_str(), product));
    else showInformation(common::stringPrintf("Unable to open the last used database file <%s>", currentPath.c_str()));
    close_current_database();
    return false;
}

void close_current_database() {
    open_database({}, OpenMode::Close, nullptr, Connection::Main);
    isOpen = false;
}

OpenCommandResult open_database_command() {
    if (isOpen && platform::showMessage(
                      common::stringPrintf("Are you sure you want to break the connection to the database file %s",
                                           currentPath.c_str()),
                      common::kProductName, platform::Icon::None, platform::Buttons::YesNo) != platform::Answer::Yes)
        return OpenCommandResult::Kept;
    close_current_database();
    currentPath.clear();
    platform::FileChoice choice;
    choice.title = "Open Database";
    choice.filters = {{"Database Files *.db", "*.db"}};
    choice.mustExist = true;
    std::vector<std::string> chosen;
    if (!platform::prompter().openFile(choice, chosen) || chosen.empty()) return OpenCommandResult::NoneOpen;
    currentPath = chosen.front();
    if (!open_current_database(OpenMode::Open)) return OpenCommandResult::NoneOpen;
    const std::size_t dot = shownName.rfind('.');
    if (dot != std::string::npos) shownName.resize(dot);
    return OpenCommandResult::Opened;
}

bool create_database(int type, const std::function<bool(TransformerRecord&)>& editTransformer) {
    TransformerRecord transformer;
    transformer.dialogMode = 3;
    if (type != kUserDefinedType && !editTransformer(transformer)) return false;

    platform::FileChoice choice;
    choice.filters = {{"Database File *.db", "*.db"}};
    choice.defaultExtension = "db";
    choice.createPrompt = true;
    std::string path;
    if (!platform::prompter().saveFile(choice, path) || path.empty()) return false;
    // An existing file is not overwritten: it is opened, and the transformer and setups are added.
    if (platform::fileExists(path) &&
        platform::showMessage("A file with that name already exists", common::kProductName, platform::Icon::Warning,
                              platform::Buttons::OkCancel) != platform::Answer::Ok)
        return false;

    currentPath = path;
    if (!open_current_database(OpenMode::CreateIfMissing)) return false;
    if (type != kUserDefinedType) store_transformer(transformer, kAddChecked);
    if (type >= 0 && type < kUserDefinedType) storeDefaultSetups(type);
    return true;
}

}  // namespace db
