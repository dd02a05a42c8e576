// Writing a file in one step, through a temporary beside it that then takes the file's place.
#include <cstdio>
#include <fstream>
#include <random>

#include "platform/files.h"

namespace platform {

bool writeWholeFile(const std::string& path, const std::string& bytes) {
    if (path.empty()) return false;
    // Unique per call, so that two programs writing the same name never share a temporary.
    std::random_device random;
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".~%08x%08x", random(), random());
    const std::string temporary = path + suffix;
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) return false;
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (!replaceFile(temporary, path)) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace platform
