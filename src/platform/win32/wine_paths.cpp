// Paths under Wine: Wine's own conversion between host paths and drive paths, looked up at run time
// so that the same program runs unchanged on Windows, where the entry points do not exist.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include "platform/win32/wine_paths.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {
namespace {

// Both return memory of the process heap, released with HeapFree; null when they cannot convert.
using UnixFileName = char*(CDECL*)(const WCHAR*);
using DosFileName = WCHAR*(CDECL*)(const char*);

struct WineEntryPoints {
    UnixFileName toUnix = nullptr;
    DosFileName toDos = nullptr;
};

const WineEntryPoints& wine() {
    static const WineEntryPoints entries = [] {
        WineEntryPoints e;
        if (HMODULE kernel = GetModuleHandleA("kernel32.dll")) {
            // Through void* because GetProcAddress's own function type has no parameters.
            e.toUnix = reinterpret_cast<UnixFileName>(
                reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_unix_file_name")));
            e.toDos = reinterpret_cast<DosFileName>(
                reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_dos_file_name")));
        }
        if (!e.toUnix || !e.toDos) e = WineEntryPoints{};
        return e;
    }();
    return entries;
}

// A path with every separator of one kind replaced by the other.
std::string withSeparators(std::string path, char from, char to) {
    for (char& c : path)
        if (c == from) c = to;
    return path;
}

// True for "C:..." and "\\..." paths, which Wine resolves without the current directory.
bool isAbsoluteDrivePath(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') return true;
    return !path.empty() && path[0] == '\\';
}

// Wine's host path for an absolute drive path, or "" when it has none. Wine converts a path only
// while everything above its last name exists, so the longest convertible head is converted and
// the missing names are appended: a settings folder that is still to be made gets its host path.
std::string unixPath(const std::string& drivePath) {
    std::string head = drivePath;
    std::string tail;
    for (;;) {
        win32::WideString wide = win32::widen(head);
        if (char* converted = wine().toUnix(wide.data())) {
            std::string result(converted);
            HeapFree(GetProcessHeap(), 0, converted);
            if (tail.empty()) return result;
            if (result.empty() || result.back() != '/') result += '/';
            return result + tail;
        }
        const std::size_t cut = head.find_last_of("\\/");
        // Stop at the drive's root: a path Wine cannot place on any drive has no host form.
        if (cut == std::string::npos || cut < 3) return std::string();
        const std::string name = head.substr(cut + 1);
        if (!name.empty()) tail = tail.empty() ? name : name + "/" + tail;
        head.erase(cut);
    }
}

}  // namespace

bool runningUnderWine() { return wine().toUnix != nullptr; }

std::string toSystemPath(const std::string& path) {
    if (!runningUnderWine() || path.empty()) return path;
    // A relative host path stays relative; only its separators change.
    if (path[0] != '/') return withSeparators(path, '/', '\\');
    WCHAR* converted = wine().toDos(path.c_str());
    if (!converted) return path;
    std::string result = win32::narrow(converted);
    HeapFree(GetProcessHeap(), 0, converted);
    return result.empty() ? path : result;
}

std::string fromSystemPath(const std::string& path) {
    // A path that starts with '/' is a host path already.
    if (!runningUnderWine() || path.empty() || path[0] == '/') return path;
    if (!isAbsoluteDrivePath(path)) return withSeparators(path, '\\', '/');
    std::string result = unixPath(path);
    return result.empty() ? path : result;
}

}  // namespace platform
