// The user's shell folders on POSIX, taken from the XDG environment variables with the usual
// fall-backs under $HOME.
#include "platform/known_folders.h"

#include <cstdlib>

namespace platform {
namespace {

// The variable's value, or "" when it is unset.
std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// Drops trailing separators, keeping a lone "/" for the root.
std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// $variable when set and non-empty, otherwise $HOME/underHome; "" when neither can be had.
std::string lookUp(const char* variable, const char* underHome) {
    std::string value = environment(variable);
    if (!value.empty()) return withoutTrailingSlash(value);
    std::string home = withoutTrailingSlash(environment("HOME"));
    if (home.empty()) return std::string();
    if (home != "/") home += '/';
    return home + underHome;
}

}  // namespace

bool localAppDataFolder(int csidl, std::string& out) {
    std::string found;
    if (csidl == kFolderLocalAppData)
        found = lookUp("XDG_DATA_HOME", ".local/share");
    else if (csidl == kFolderDocuments)
        found = lookUp("XDG_DOCUMENTS_DIR", "Documents");
    else
        return false;
    if (found.empty()) return false;
    out = found;
    return true;
}

bool temporaryFolder(std::string& out) {
    const std::string folder = environment("TMPDIR");
    out = folder.empty() ? std::string("/tmp") : withoutTrailingSlash(folder);
    return true;
}

}  // namespace platform
