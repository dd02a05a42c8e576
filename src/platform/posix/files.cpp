// Files and folders on POSIX: thin wrappers over stat, mkdir, rename, unlink, getcwd and chdir.
#include "platform/files.h"

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

char pathSeparator() { return '/'; }

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    const bool folderEnds = folder.back() == '/';
    const bool nameStarts = !name.empty() && name.front() == '/';
    if (folderEnds && nameStarts) return folder + name.substr(1);
    if (folderEnds || nameStarts) return folder + name;
    return folder + '/' + name;
}

bool fileExists(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0;
}

bool makeDirectory(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }

bool replaceFile(const std::string& from, const std::string& to) {
    return !from.empty() && !to.empty() && ::rename(from.c_str(), to.c_str()) == 0;
}

std::string programFolder() {
    std::vector<char> own(4096);
    const ssize_t length = ::readlink("/proc/self/exe", own.data(), own.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= own.size()) return std::string();
    const std::string path(own.data(), static_cast<std::size_t>(length));
    return path.substr(0, path.find_last_of('/'));
}

bool deleteFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

namespace {

std::vector<std::string> listEntries(const std::string& folder, bool folders) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st{};
        if (::stat(joinPath(folder, name).c_str(), &st) != 0) continue;
        if (folders ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode)) names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::vector<std::string> listFiles(const std::string& folder) { return listEntries(folder, false); }
std::vector<std::string> listFolders(const std::string& folder) { return listEntries(folder, true); }

bool setFileHidden(const std::string& path) { return fileExists(path); }

std::string currentDirectory() {
    // The path may be longer than PATH_MAX on Linux; grow the buffer until getcwd fits.
    std::vector<char> buffer(256);
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size()) != nullptr) return std::string(buffer.data());
        if (errno != ERANGE || buffer.size() >= (1u << 20)) return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

bool setCurrentDirectory(const std::string& path) { return !path.empty() && ::chdir(path.c_str()) == 0; }

}  // namespace platform
