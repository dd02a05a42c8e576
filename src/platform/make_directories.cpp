// Making a chain of folders, in terms of the single make-directory call of either system.
#include "platform/files.h"

namespace platform {

bool makeDirectories(const std::string& path) {
    const char sep = pathSeparator();
    // Every prefix that ends just before a separator is a folder on the way; the first character is
    // skipped so that a root ("/" or "\\server") is not attempted on its own.
    for (std::size_t i = 1; i < path.size(); ++i) {
        if ((path[i] == sep || path[i] == '/') && path[i - 1] != ':' && path[i - 1] != sep) {
            std::string prefix = path.substr(0, i);
            if (!fileExists(prefix)) makeDirectory(prefix);
        }
    }
    if (!fileExists(path)) makeDirectory(path);
    return fileExists(path);
}

}  // namespace platform
