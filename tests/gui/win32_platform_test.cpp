// The Windows side of the platform layer: drive paths, names with any character (the programs run
// with UTF-8 as their code page, so the C runtime's file calls take the same names as the wide
// calls), the shell's folders, the current directory and the trace output. The portable platform
// tests run in the same program against the same layer.
#define NOMINMAX
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>

#include "platform/debug_output.h"
#include "platform/files.h"
#include "platform/known_folders.h"
#include "platform/thread.h"
#include "platform/win32/wide_text.h"
#include "support/temp_dir.h"

using namespace platform;
using testing_support::TempDir;

namespace {

bool isDrivePath(const std::string& path) {
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
           path[2] == '\\' && path.find('/') == std::string::npos;
}

std::filesystem::path widePath(const std::string& utf8) { return std::filesystem::path(std::u8string(utf8.begin(), utf8.end())); }

TEST(Win32Files, NamesWithAnyCharacterAreTheSameToTheCRuntimeAndTheWideCalls) {
    EXPECT_EQ(GetACP(), 65001u) << "the program's manifest makes UTF-8 its code page";
    TempDir dir;
    EXPECT_TRUE(isDrivePath(dir.path())) << dir.path();
    EXPECT_EQ(pathSeparator(), '\\');
    const std::string folder = joinPath(dir.path(), "Prüfung Ω");
    EXPECT_EQ(folder, dir.path() + "\\Prüfung Ω");
    ASSERT_TRUE(makeDirectory(folder));
    EXPECT_TRUE(std::filesystem::is_directory(widePath(folder)));
    ASSERT_TRUE(makeDirectories(joinPath(folder, "a\\b/c")));
    EXPECT_TRUE(std::filesystem::is_directory(widePath(folder + "\\a\\b\\c")));

    // Written by the C runtime (as the core writes its files), found by the wide calls, and back.
    std::FILE* f = std::fopen((folder + "\\Äpfel.csv").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("a", f);
    std::fclose(f);
    testing_support::writeFile(folder + "\\zeta.db", "z");
    testing_support::writeFile(folder + "\\alpha.db", "a");
    EXPECT_EQ(listFiles(folder), (std::vector<std::string>{"alpha.db", "zeta.db", "Äpfel.csv"}));
    EXPECT_EQ(listFolders(folder), (std::vector<std::string>{"a"}));
    EXPECT_EQ(testing_support::readFile(folder + "\\Äpfel.csv"), "a");
    EXPECT_TRUE(listFiles(folder + "\\missing").empty());

    EXPECT_TRUE(setFileHidden(folder + "\\alpha.db"));
    EXPECT_NE(GetFileAttributesW(platform::win32::widen(folder + "\\alpha.db").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_FALSE(setFileHidden(folder + "\\missing.db"));
    EXPECT_TRUE(deleteFile(folder + "\\Äpfel.csv"));
    EXPECT_FALSE(std::filesystem::exists(widePath(folder + "\\Äpfel.csv")));
}

TEST(Win32Files, CurrentDirectoryFollowsTheWindowsOne) {
    TempDir dir;
    const std::string folder = joinPath(dir.path(), "Ω");
    ASSERT_TRUE(makeDirectory(folder));
    const std::string before = currentDirectory();
    ASSERT_TRUE(isDrivePath(before)) << before;

    ASSERT_TRUE(SetCurrentDirectoryW(platform::win32::widen(folder).c_str()));
    const std::string inside = currentDirectory();
    SetCurrentDirectoryW(platform::win32::widen(before).c_str());
    EXPECT_EQ(inside, folder);
    EXPECT_EQ(currentDirectory(), before);
}

TEST(Win32KnownFolders, TheShellNamesExistingFolders) {
    std::string local = "unchanged";
    ASSERT_TRUE(localAppDataFolder(kFolderLocalAppData, local));
    EXPECT_TRUE(isDrivePath(local)) << local;
    EXPECT_NE(local.back(), '\\');
    EXPECT_TRUE(std::filesystem::is_directory(widePath(local))) << local;
    EXPECT_EQ(local.substr(local.size() - 14), "\\AppData\\Local") << local;

    std::string documents;
    ASSERT_TRUE(localAppDataFolder(kFolderDocuments, documents));
    EXPECT_TRUE(isDrivePath(documents)) << documents;
    EXPECT_NE(documents, local);

    std::string temporary;
    ASSERT_TRUE(temporaryFolder(temporary));
    EXPECT_TRUE(isDrivePath(temporary)) << temporary;
    EXPECT_NE(temporary.back(), '\\');

    std::string out = "unchanged";
    EXPECT_FALSE(localAppDataFolder(0x7e, out)) << "no such folder";
    EXPECT_EQ(out, "unchanged");
}

// Standard error captured in a file while body runs.
template <class F>
std::string standardErrorOf(F body) {
    TempDir dir;
    const std::string path = dir.file("stderr.txt");
    std::fflush(stderr);
    const int saved = _dup(2);
    const int fd = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC, 0600);
    _dup2(fd, 2);
    _close(fd);
    body();
    std::fflush(stderr);
    _dup2(saved, 2);
    _close(saved);
    return testing_support::readFile(path);
}

TEST(Win32DebugOutput, CopiesWholeTextsToStandardErrorOnlyWhileTraceIsSet) {
    char saved[256] = {};
    const bool wasSet = GetEnvironmentVariableA("CORVANE_TRACE", saved, sizeof saved) > 0;

    SetEnvironmentVariableA("CORVANE_TRACE", nullptr);
    EXPECT_EQ(standardErrorOf([] { debugOutput("quiet\n"); }), "");

    SetEnvironmentVariableA("CORVANE_TRACE", "");  // set, even if empty
    const std::string traced = standardErrorOf([] {
        WorkerThread threads[4];
        for (WorkerThread& t : threads)
            t.start([] {
                for (int i = 0; i < 100; ++i) debugOutput(std::string(40, 'x') + "\n");
            });
        for (WorkerThread& t : threads) t.wait(10000);
    });
    SetEnvironmentVariableA("CORVANE_TRACE", wasSet ? saved : nullptr);

    // Standard error is a text stream on Windows: each line ends in CR LF there.
    std::string expected;
    for (int i = 0; i < 4 * 100; ++i) expected += std::string(40, 'x') + "\r\n";
    EXPECT_EQ(traced, expected);
}

}  // namespace
