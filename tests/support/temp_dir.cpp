#include "support/temp_dir.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "platform/files.h"
#include "platform/known_folders.h"

namespace testing_support {

TempDir::TempDir() {
    std::string temporary;
    if (!platform::temporaryFolder(temporary)) throw std::runtime_error("no temporary folder");
    // A random name, taken only when no other folder has it.
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const std::string candidate = platform::joinPath(temporary, "corvane-test-" + std::to_string(random()));
        if (platform::makeDirectory(candidate)) path_ = candidate;
    }
    if (path_.empty()) throw std::runtime_error("no temporary folder could be made");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::path(std::u8string(path_.begin(), path_.end())), ec);
}

std::string TempDir::file(const std::string& name) const { return platform::joinPath(path_, name); }

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

}  // namespace testing_support
