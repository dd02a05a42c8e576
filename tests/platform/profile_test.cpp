// Settings files: reading and writing with the Windows private-profile rules, and the edits leaving
// every other byte of the file alone.
#include "platform/profile.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"

using namespace platform;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

namespace {

// A settings file's text as these tests compare it. Natively every byte counts. On Windows the
// system's profile functions write the whole file back in their own layout (CR LF line ends, no
// blank lines, no blanks around '='), so there the lines' content is compared, in order.
std::string layout(const std::string& text) {
#ifdef _WIN32
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
        while (!line.empty() && blank(line.back())) line.pop_back();
        while (!line.empty() && blank(line.front())) line.erase(0, 1);
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos && line[0] != ';' && line[0] != '[') {
            std::size_t nameEnd = eq, valueStart = eq + 1;
            while (nameEnd > 0 && blank(line[nameEnd - 1])) --nameEnd;
            while (valueStart < line.size() && blank(line[valueStart])) ++valueStart;
            line = line.substr(0, nameEnd) + "=" + line.substr(valueStart);
        }
        if (!line.empty()) out += line + "\n";
    }
    return out;
#else
    return text;
#endif
}

class Profile : public ::testing::Test {
protected:
    std::string get(const std::string& section, const std::string& key, std::size_t capacity = 256) {
        return getProfileString(path, section, key, "<def>", capacity);
    }
    // Writes key=value to a file that held before, and returns what the file holds afterwards.
    std::string edit(const std::string& before, const std::string& section, const std::string& key,
                     const std::string& value) {
        writeFile(path, before);
        EXPECT_TRUE(writeProfileString(path, section, key, value));
        return readFile(path);
    }
    TempDir dir;
    std::string path = dir.file("settings.ini");
};

TEST_F(Profile, ReadsIgnoringCaseBlanksCommentsAndOtherSections) {
    writeFile(path,
              "; top\nloose=0\n[General]\nName=Alpha\n  Spaced Key  =   padded value  \n;hidden=1\n"
              "  ; indented=2\njusttext\n\t[ Other ]\t\nname=Beta\n[general]\nonly=inSecondCopy\nname=Gamma\n");
    EXPECT_EQ(get("general", "NAME"), "Alpha");
    EXPECT_EQ(get("GENERAL", "spaced key"), "padded value");
    EXPECT_EQ(get("other", "Name"), "Beta");
    for (const char* notAKey : {"hidden", ";hidden", "indented", "justtext", "Spaced"}) {
#ifdef _WIN32
        // Wine's profile functions take a comment line for a key named with its semicolon.
        if (std::string(notAKey) == ";hidden") continue;
#endif
        EXPECT_EQ(get("General", notAKey), "<def>") << notAKey;
    }
    EXPECT_EQ(get("General", "loose"), "<def>");
    EXPECT_EQ(get("General", "only"), "<def>") << "the first section of a name wins";
    EXPECT_EQ(get("Missing", "name"), "<def>");
    EXPECT_EQ(getProfileString(dir.file("none.ini"), "General", "Name", "dflt", 64), "dflt");
}

TEST_F(Profile, ReadsQuotedValuesAndCrlfFiles) {
    writeFile(path, "[Q]\r\ndouble=\"  inner  \"\r\nsingle='abc'\r\nmixed=\"abc'\r\nlone=\"\r\n"
                    "inside=a\"b\"c\r\nk=first\r\nK=second\r\nlast=end");
    EXPECT_EQ(get("Q", "double"), "  inner  ");
    EXPECT_EQ(get("Q", "single"), "abc");
    EXPECT_EQ(get("Q", "mixed"), "\"abc'");
    EXPECT_EQ(get("Q", "lone"), "\"");
    EXPECT_EQ(get("Q", "inside"), "a\"b\"c");
    EXPECT_EQ(get("Q", "k"), "first");
    EXPECT_EQ(get("Q", "last"), "end");
}

TEST_F(Profile, TruncatesToCapacityLessOne) {
    writeFile(path, "[A]\nlong=abcdefgh\n");
    EXPECT_EQ(get("A", "long", 4), "abc");
    EXPECT_EQ(get("A", "long", 9), "abcdefgh");
    EXPECT_EQ(get("A", "long", 1), "");
    EXPECT_EQ(get("A", "long", 0), "");
    EXPECT_EQ(get("A", "missing", 3), "<d") << "the default is truncated too";
}

TEST_F(Profile, ParsesIntegersLikeWindows) {
    writeFile(path, "[N]\nplain=42\nneg=-5\nplus=+7\nletters=abc\ntrailing=12abc\nempty=\nquoted=\"  31\"\n"
                    "sign=-\nspaced=- 4\n");
    const std::pair<const char*, int> cases[] = {{"plain", 42},   {"NEG", -5},    {"plus", 7},  {"letters", 0},
                                                 {"trailing", 12}, {"empty", 99}, {"quoted", 31}, {"sign", 0},
                                                 {"spaced", 0},    {"missing", 99}};
    for (const auto& [key, expected] : cases) EXPECT_EQ(getProfileInt(path, "n", key, 99), expected) << key;
    EXPECT_EQ(getProfileInt(dir.file("none.ini"), "N", "plain", -1), -1);
}

TEST_F(Profile, CreatesFileAndAppendsNewSections) {
    ASSERT_TRUE(writeProfileString(path, "Main", "Key", "Value"));
    EXPECT_EQ(layout(readFile(path)), layout("[Main]\nKey=Value\n"));
    EXPECT_EQ(getProfileString(path, "main", "key", "", 64), "Value");

    EXPECT_EQ(layout(edit("[A]\nx=1\n", "B", "y", "2")), layout("[A]\nx=1\n\n[B]\ny=2\n"));
    EXPECT_EQ(layout(edit("[A]\nx=1\n\n", "B", "y", "2")), layout("[A]\nx=1\n\n[B]\ny=2\n"));
    EXPECT_EQ(layout(edit("[A]\nx=1", "B", "y", "2")), layout("[A]\nx=1\n\n[B]\ny=2\n"));
}

TEST_F(Profile, ReplacingAValueLeavesEveryOtherByteAlone) {
    EXPECT_EQ(layout(edit("; settings\n[First]\nalpha = 1   \n  MixedCase  =  old ; not a comment\n\n; between\n"
                          "[Second]\nmixedcase=untouched\n",
                          "FIRST", "mixedcase", "new")),
              layout("; settings\n[First]\nalpha = 1   \n  MixedCase=new\n\n; between\n"
                     "[Second]\nmixedcase=untouched\n"));
    EXPECT_EQ(layout(edit("[A]\nx=1", "A", "x", "9")), layout("[A]\nx=9"));
}

TEST_F(Profile, NewKeyGoesAfterItsSectionsLastNonBlankLine) {
    EXPECT_EQ(layout(edit("[A]\nx=1\n\n\n[B]\ny=2\n", "a", "z", "3")), layout("[A]\nx=1\nz=3\n\n\n[B]\ny=2\n"));
    EXPECT_EQ(layout(edit("[Empty]\n[Next]\nn=1\n", "Empty", "k", "v")), layout("[Empty]\nk=v\n[Next]\nn=1\n"));
    EXPECT_EQ(layout(edit("[A]\nx=1", "A", "y", "2")), layout("[A]\nx=1\ny=2\n"));
}

TEST_F(Profile, CrlfFileKeepsCrlfLineEnds) {
    writeFile(path, "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    ASSERT_TRUE(writeProfileString(path, "A", "x", "5"));
    ASSERT_TRUE(writeProfileString(path, "A", "new", "6"));
    ASSERT_TRUE(writeProfileString(path, "C", "z", "7"));
    EXPECT_EQ(layout(readFile(path)), layout("[A]\r\nx=5\r\nnew=6\r\n\r\n[B]\r\ny=2\r\n\r\n[C]\r\nz=7\r\n"));
}

TEST_F(Profile, WriteFailsCleanlyAndReplacesTheFileWhole) {
    EXPECT_FALSE(writeProfileString(dir.file("no-such-folder/s.ini"), "A", "k", "v"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("no-such-folder")));

    // The replacement leaves no temporary file behind and, on POSIX, keeps the old file's permissions.
    writeFile(path, "[A]\nx=1\n");
#ifndef _WIN32
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
#endif
    ASSERT_TRUE(writeProfileString(path, "A", "x", "2"));
#ifndef _WIN32
    struct stat st{};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
#endif
    auto entries = std::filesystem::directory_iterator(dir.path());
    EXPECT_EQ(std::distance(begin(entries), end(entries)), 1);
    EXPECT_EQ(layout(readFile(path)), layout("[A]\nx=2\n"));
#ifndef _WIN32

    // Through a symbolic link the link stays and its target changes.
    const std::string link = dir.file("link.ini");
    std::filesystem::create_symlink(path, link);
    ASSERT_TRUE(writeProfileString(link, "A", "x", "3"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(layout(readFile(path)), layout("[A]\nx=3\n"));
#endif
}

}  // namespace
