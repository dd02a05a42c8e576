// Writing a file in one step, through a temporary beside it and a rename, with the C and C++ libraries
// so that the path is the core's own on either system (under Wine the program's libraries take host
// paths). Not <filesystem>: built by wineg++ it takes itself for a Windows build (_WIN32) and converts
// paths to a wchar_t of another size than the library's, writing past its buffers.
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
    // rename replaces an existing file in one step.
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace platform
