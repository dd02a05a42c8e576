// Files, folders and the user's shell folders as the environment describes them.
#include "platform/files.h"
#include "platform/known_folders.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

#include "support/temp_dir.h"

using namespace platform;
using testing_support::TempDir;
using testing_support::writeFile;

namespace {

TEST(Files, JoinPathNeverDoublesTheSeparator) {
    const std::string sep(1, pathSeparator());
    EXPECT_EQ(joinPath("data", "a.db"), "data" + sep + "a.db");
    EXPECT_EQ(joinPath("data" + sep, "a.db"), "data" + sep + "a.db");
    EXPECT_EQ(joinPath("data" + sep, sep + "a.db"), "data" + sep + "a.db");
    EXPECT_EQ(joinPath("", "a.db"), "a.db");
}

// A file written whole replaces the old one in one step and leaves nothing else behind; a write that
// cannot be made leaves the old file as it was.
TEST(Files, WriteWholeFileReplacesInOneStepOrNotAtAll) {
    TempDir dir;
    const std::string file = dir.file("dlcap.bmp");
    writeFile(file, "old picture");
    EXPECT_TRUE(writeWholeFile(file, std::string("new\0picture", 11)));
    EXPECT_EQ(testing_support::readFile(file), std::string("new\0picture", 11));
    EXPECT_EQ(listFiles(dir.path()), std::vector<std::string>{"dlcap.bmp"});

    EXPECT_FALSE(writeWholeFile(dir.file("missing/folder.bmp"), "x"));
    std::filesystem::create_directory(dir.file("taken"));
    EXPECT_FALSE(writeWholeFile(dir.file("taken"), "x")) << "a folder is not replaced by a file";
    EXPECT_EQ(listFiles(dir.path()), std::vector<std::string>{"dlcap.bmp"});
    EXPECT_EQ(testing_support::readFile(file), std::string("new\0picture", 11));
}

TEST(Files, ExistsMakeAndDelete) {
    TempDir dir;
    const std::string folder = dir.file("made");
    const std::string file = dir.file("f.txt");

    EXPECT_TRUE(fileExists(dir.path()));
    EXPECT_FALSE(fileExists(folder));

    EXPECT_TRUE(makeDirectory(folder));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_TRUE(fileExists(folder));
    EXPECT_FALSE(makeDirectory(folder)) << "an existing folder is a failure";
    EXPECT_FALSE(makeDirectory(dir.file("no/parents/here"))) << "only one level is made";

    writeFile(file, "x");
    EXPECT_TRUE(fileExists(file));
    EXPECT_TRUE(deleteFile(file));
    EXPECT_FALSE(fileExists(file));
    EXPECT_FALSE(deleteFile(file));
    EXPECT_FALSE(deleteFile(folder)) << "folders are not files";
}

// POSIX only: the Windows platform tests change the current directory the Windows way.
#ifndef _WIN32
TEST(Files, CurrentDirectoryFollowsChdir) {
    TempDir dir;
    const std::string before = currentDirectory();
    ASSERT_FALSE(before.empty());
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    const std::string inside = currentDirectory();
    ASSERT_EQ(::chdir(before.c_str()), 0);
    EXPECT_EQ(inside, std::filesystem::canonical(dir.path()).string());
    EXPECT_EQ(currentDirectory(), before);
}
#endif

// The shell folders from the XDG variables are POSIX only; on Windows the shell answers (the Windows
// platform tests check that side).
#ifndef _WIN32
// Sets or clears an environment variable for one test and restores it afterwards.
class EnvVar {
public:
    explicit EnvVar(const char* name) : name_(name) {
        if (const char* v = std::getenv(name)) saved_ = v;
    }
    ~EnvVar() {
        if (saved_)
            ::setenv(name_, saved_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    void set(const char* value) { ::setenv(name_, value, 1); }
    void clear() { ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> saved_;
};

class KnownFolders : public ::testing::Test {
protected:
    EnvVar home{"HOME"};
    EnvVar data{"XDG_DATA_HOME"};
    EnvVar documents{"XDG_DOCUMENTS_DIR"};
};

TEST_F(KnownFolders, XdgVariablesWinOverHomeWhenSetAndNotEmpty) {
    std::string local, docs;
    home.set("/home/someone/");
    data.set("/srv/data/");
    documents.set("/srv/docs");
    ASSERT_TRUE(localAppDataFolder(kFolderLocalAppData, local) && localAppDataFolder(kFolderDocuments, docs));
    EXPECT_EQ(local, "/srv/data");
    EXPECT_EQ(docs, "/srv/docs");

    data.set("");
    documents.clear();
    ASSERT_TRUE(localAppDataFolder(kFolderLocalAppData, local) && localAppDataFolder(kFolderDocuments, docs));
    EXPECT_EQ(local, "/home/someone/.local/share");
    EXPECT_EQ(docs, "/home/someone/Documents");
}

TEST_F(KnownFolders, NoHomeOrUnknownFolderFailsAndLeavesOutAlone) {
    data.clear();
    documents.clear();
    std::string out = "unchanged";

    home.clear();
    EXPECT_FALSE(localAppDataFolder(kFolderLocalAppData, out));
    EXPECT_FALSE(localAppDataFolder(kFolderDocuments, out));
    home.set("");
    EXPECT_FALSE(localAppDataFolder(kFolderLocalAppData, out));
    EXPECT_EQ(out, "unchanged");

    // Without HOME the XDG variable alone is enough.
    data.set("/xdg/data");
    EXPECT_TRUE(localAppDataFolder(kFolderLocalAppData, out));
    EXPECT_EQ(out, "/xdg/data");

    home.set("/home/someone");
    out = "unchanged";
    EXPECT_FALSE(localAppDataFolder(26, out));  // roaming application data: not provided
    EXPECT_FALSE(localAppDataFolder(0, out));
    EXPECT_EQ(out, "unchanged");
}
#endif

}  // namespace
