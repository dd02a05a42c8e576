// The Windows side of the platform layer where it meets Wine: host and drive paths, the shell's
// folders, the current directory and the trace output. The portable platform tests run in the same
// program against the same layer.
#define NOMINMAX
#include <windows.h>

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/debug_output.h"
#include "platform/files.h"
#include "platform/known_folders.h"
#include "platform/thread.h"
#include "platform/win32/wine_paths.h"
#include "support/temp_dir.h"

using namespace platform;
using testing_support::TempDir;

namespace {

bool isDrivePath(const std::string& path) {
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
           path[2] == '\\' && path.find('/') == std::string::npos;
}

TEST(WinePaths, HostPathsBecomeDrivePathsAndComeBack) {
    ASSERT_TRUE(runningUnderWine());
    TempDir dir;
    const std::string folder = std::filesystem::canonical(dir.path()).string();
    const std::string drive = toSystemPath(folder);
    EXPECT_TRUE(isDrivePath(drive)) << drive;
    EXPECT_EQ(fromSystemPath(drive), folder);

    // Files and folders that do not exist yet, one or several levels down, as settings paths are
    // before the first start has made them.
    for (const std::string name : {"new.ini", "Maker/Product/Corvane.ini", "Prüfung ü/Ω.db"}) {
        const std::string host = folder + "/" + name;
        const std::string system = toSystemPath(host);
        EXPECT_TRUE(isDrivePath(system)) << system;
        EXPECT_EQ(fromSystemPath(system), host) << system;
    }

    EXPECT_EQ(toSystemPath(""), "");
    EXPECT_EQ(fromSystemPath(""), "");
    EXPECT_EQ(toSystemPath("sub/file.txt"), "sub\\file.txt") << "relative paths stay relative";
    EXPECT_EQ(fromSystemPath("sub\\file.txt"), "sub/file.txt");
    EXPECT_EQ(fromSystemPath("/already/a/host/path"), "/already/a/host/path");
}

TEST(WineFiles, NamesWithAnyCharacterReachTheHostFileSystem) {
    TempDir dir;
    EXPECT_EQ(pathSeparator(), '/');
    const std::string folder = joinPath(dir.path(), "Prüfung Ω");
    ASSERT_TRUE(makeDirectory(folder));
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::u8path(folder)));
    ASSERT_TRUE(makeDirectories(joinPath(folder, "a/b/c")));
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::u8path(folder + "/a/b/c")));

    testing_support::writeFile(folder + "/zeta.db", "z");
    testing_support::writeFile(folder + "/Äpfel.csv", "a");
    testing_support::writeFile(folder + "/alpha.db", "a");
    EXPECT_EQ(listFiles(folder), (std::vector<std::string>{"alpha.db", "zeta.db", "Äpfel.csv"}));
    EXPECT_EQ(listFolders(folder), (std::vector<std::string>{"a"}));
    EXPECT_TRUE(listFiles(folder + "/missing").empty());

    EXPECT_TRUE(setFileHidden(folder + "/alpha.db"));
    EXPECT_FALSE(setFileHidden(folder + "/missing.db"));
    EXPECT_TRUE(deleteFile(folder + "/Äpfel.csv"));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(folder + "/Äpfel.csv")));
}

TEST(WineFiles, CurrentDirectoryIsTheWindowsOneAsAHostPath) {
    TempDir dir;
    const std::string folder = std::filesystem::canonical(dir.path()).string();
    const std::string before = currentDirectory();
    ASSERT_FALSE(before.empty());
    EXPECT_EQ(before.front(), '/') << before;

    std::vector<WCHAR> wide(MAX_PATH, 0);
    const std::string system = toSystemPath(folder);
    MultiByteToWideChar(CP_UTF8, 0, system.c_str(), -1, wide.data(), MAX_PATH);
    ASSERT_TRUE(SetCurrentDirectoryW(wide.data()));
    const std::string inside = currentDirectory();
    MultiByteToWideChar(CP_UTF8, 0, toSystemPath(before).c_str(), -1, wide.data(), MAX_PATH);
    SetCurrentDirectoryW(wide.data());
    EXPECT_EQ(inside, folder);
    EXPECT_EQ(currentDirectory(), before);
}

TEST(WineKnownFolders, TheShellNamesExistingHostFolders) {
    std::string local = "unchanged";
    ASSERT_TRUE(localAppDataFolder(kFolderLocalAppData, local));
    EXPECT_EQ(local.front(), '/') << local;
    EXPECT_NE(local.back(), '/');
    EXPECT_TRUE(std::filesystem::is_directory(local)) << local;
    const std::string system = toSystemPath(local);
    EXPECT_TRUE(isDrivePath(system)) << system;
    EXPECT_EQ(system.substr(system.size() - 14), "\\AppData\\Local") << system;

    std::string documents;
    ASSERT_TRUE(localAppDataFolder(kFolderDocuments, documents));
    EXPECT_EQ(documents.front(), '/') << documents;
    EXPECT_NE(documents, local);

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
    const int saved = ::dup(2);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, 2);
    ::close(fd);
    body();
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    return testing_support::readFile(path);
}

TEST(WineDebugOutput, CopiesWholeTextsToStandardErrorOnlyWhileTraceIsSet) {
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

    std::string expected;
    for (int i = 0; i < 4 * 100; ++i) expected += std::string(40, 'x') + "\n";
    EXPECT_EQ(traced, expected);
}

}  // namespace
