// The user's shell folders on Windows, from the shell's folder lookup loaded at run time, so that
// the program still starts on a system without it.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include "platform/known_folders.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {
namespace {

using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
constexpr DWORD kDefaultFolderPath = 1;  // SHGFP_TYPE_DEFAULT

}  // namespace

bool localAppDataFolder(int csidl, std::string& out) {
    HMODULE library = LoadLibraryA("SHFOLDER.DLL");
    if (!library) return false;
    // Through void* because GetProcAddress's own function type has no parameters.
    auto lookUp =
        reinterpret_cast<GetFolderPath>(reinterpret_cast<void*>(GetProcAddress(library, "SHGetFolderPathA")));
    char path[MAX_PATH + 1] = {};
    const bool found = lookUp && SUCCEEDED(lookUp(nullptr, csidl, nullptr, kDefaultFolderPath, path)) && path[0];
    FreeLibrary(library);
    if (!found) return false;

    // The answer is in the ANSI code page; the core's texts are UTF-8.
    std::string folder = win32::fromAnsi(path);
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    out = folder;
    return true;
}

bool temporaryFolder(std::string& out) {
    WCHAR path[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, path);
    if (length == 0 || length > MAX_PATH) return false;
    std::string folder = win32::narrow(path, length);
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    out = folder;
    return true;
}

}  // namespace platform
