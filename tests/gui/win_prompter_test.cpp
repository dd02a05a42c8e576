// The Windows Prompter against real message boxes and common dialogs, answered by the dialog driver.
#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "gui/support/dialog_driver.h"
#include "gui/win_prompter.h"
#include "support/temp_dir.h"

namespace {

using gui_testing::answerNextDialog;
using gui_testing::answerNextWindow;
using gui_testing::finishDialogs;
using gui_testing::pressButton;
using platform::Answer;
using platform::Buttons;
using platform::FileChoice;
using platform::Icon;
using testing_support::TempDir;

class WinPrompterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { gui_testing::initialiseGuiForTests(); }
    void TearDown() override { EXPECT_TRUE(finishDialogs()); }

    gui::WinPrompter prompter;
};

// --- The message box ---------------------------------------------------------------------------

TEST(MessageBoxMapping, ClosingCountsAsCancelOrNoAndButtonsOutsideTheSetAreNotTrusted) {
    EXPECT_EQ(gui::answerOf(IDOK, Buttons::Ok), Answer::Ok);
    EXPECT_EQ(gui::answerOf(IDCANCEL, Buttons::Ok), Answer::Ok);
    EXPECT_EQ(gui::answerOf(0, Buttons::Ok), Answer::Ok);
    EXPECT_EQ(gui::answerOf(IDOK, Buttons::OkCancel), Answer::Ok);
    EXPECT_EQ(gui::answerOf(IDCANCEL, Buttons::OkCancel), Answer::Cancel);
    EXPECT_EQ(gui::answerOf(0, Buttons::OkCancel), Answer::Cancel);
    EXPECT_EQ(gui::answerOf(IDYES, Buttons::YesNo), Answer::Yes);
    EXPECT_EQ(gui::answerOf(IDNO, Buttons::YesNo), Answer::No);
    EXPECT_EQ(gui::answerOf(IDCANCEL, Buttons::YesNo), Answer::No);
    EXPECT_EQ(gui::answerOf(0, Buttons::YesNo), Answer::No);
    EXPECT_EQ(gui::answerOf(IDOK, Buttons::YesNo), Answer::No);
    EXPECT_EQ(gui::answerOf(IDYES, Buttons::YesNoCancel), Answer::Yes);
    EXPECT_EQ(gui::answerOf(IDNO, Buttons::YesNoCancel), Answer::No);
    EXPECT_EQ(gui::answerOf(IDCANCEL, Buttons::YesNoCancel), Answer::Cancel);
    EXPECT_EQ(gui::answerOf(0, Buttons::YesNoCancel), Answer::Cancel);
    EXPECT_EQ(gui::answerOf(IDYES, Buttons::OkCancel), Answer::Cancel);
}

TEST_F(WinPrompterTest, MessageBoxShowsTheTextAndReturnsThePressedButton) {
    const std::string text = "Phase above 180\xC2\xB0\nContinue?";
    answerNextDialog("Corvane", [&](HWND box) {
        EXPECT_EQ(gui_testing::messageBoxText(box), text);
        EXPECT_NE(GetDlgItem(box, IDYES), nullptr);
        EXPECT_NE(GetDlgItem(box, IDNO), nullptr);
        EXPECT_NE(GetDlgItem(box, IDCANCEL), nullptr);
        pressButton(box, IDNO);
    });
    EXPECT_EQ(prompter.messageBox(text, "Corvane", Icon::Question, Buttons::YesNoCancel), Answer::No);

    answerNextDialog("Corvane", [](HWND box) {
        EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
        pressButton(box, IDYES);
    });
    EXPECT_EQ(prompter.messageBox("Delete?", "Corvane", Icon::Warning, Buttons::YesNo), Answer::Yes);
}

TEST_F(WinPrompterTest, EscapingABoxIsCancel) {
    answerNextDialog("Error", [](HWND box) { pressButton(box, IDCANCEL); });
    EXPECT_EQ(prompter.messageBox("Not found", "Error", Icon::Error, Buttons::OkCancel), Answer::Cancel);
    answerNextDialog("Databse Full!", [](HWND box) {
        EXPECT_EQ(gui_testing::messageBoxText(box), "Databse Full!");
        pressButton(box, IDOK);
    });
    EXPECT_EQ(prompter.messageBox("Databse Full!", "Databse Full!", Icon::Information, Buttons::Ok), Answer::Ok);
}

TEST_F(WinPrompterTest, BoxesBelongToTheMainWindowWhileItExists) {
    HWND main = CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(main, nullptr);
    prompter.setOwner(main);
    EXPECT_EQ(prompter.owner(), main);
    answerNextDialog("Owned", [&](HWND box) {
        EXPECT_EQ(GetWindow(box, GW_OWNER), main);
        pressButton(box, IDOK);
    });
    prompter.messageBox("text", "Owned", Icon::None, Buttons::Ok);

    DestroyWindow(main);
    EXPECT_EQ(prompter.owner(), nullptr);
    answerNextDialog("Orphan", [](HWND box) {
        EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
        pressButton(box, IDOK);
    });
    EXPECT_EQ(prompter.messageBox("text", "Orphan", Icon::None, Buttons::Ok), Answer::Ok);
}

// A box or chooser asked for from within a modal dialog comes up over that dialog, which waits
// disabled beneath it, not behind it over the main window.
TEST_F(WinPrompterTest, BoxesAskedForUnderAModalDialogBelongToThatDialog) {
    HWND main = CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(main, nullptr);
    prompter.setOwner(main);
    answerNextDialog("Modal dialog", [&](HWND dialog) {
        EXPECT_EQ(prompter.owner(), dialog);
        answerNextDialog("From the dialog", [dialog](HWND box) {
            EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
            EXPECT_FALSE(IsWindowEnabled(dialog));
            pressButton(box, IDOK);
        });
        prompter.messageBox("Asked while the dialog is open", "From the dialog", Icon::Warning, Buttons::Ok);
        answerNextDialog("Chosen from the dialog", [dialog](HWND chooser) {
            EXPECT_EQ(GetWindow(chooser, GW_OWNER), dialog);
            pressButton(chooser, IDCANCEL);
        });
        FileChoice choice;
        choice.title = "Chosen from the dialog";
        std::string path;
        prompter.saveFile(choice, path);
        EXPECT_TRUE(IsWindowEnabled(dialog));
        pressButton(dialog, IDOK);
    });
    MessageBoxW(main, L"The dialog", L"Modal dialog", MB_OK);
    EXPECT_TRUE(finishDialogs());
    DestroyWindow(main);
}

// --- The file dialogs ----------------------------------------------------------------------------

TEST(FileDialogParts, FiltersAreNulSeparatedPairsEndingInTwoNuls) {
    EXPECT_EQ(gui::fileDialogFilter({}), "");
    using namespace std::string_literals;
    EXPECT_EQ(gui::fileDialogFilter({{"CSV Files", "*.csv"}, {"Text files", "*.txt"}}),
              "CSV Files\0*.csv\0Text files\0*.txt\0\0"s);
}

TEST(FileDialogParts, OneNameIsAFullPathSeveralComeAfterTheirFolder) {
    using namespace std::string_literals;
    const std::string one = "C:\\data\\a.db\0\0"s;
    EXPECT_EQ(gui::splitFileDialogNames(one.data(), one.size()), (std::vector<std::string>{"C:\\data\\a.db"}));
    const std::string several = "Z:\\tmp\\in\0a.csv\0b.csv\0\0"s;
    EXPECT_EQ(gui::splitFileDialogNames(several.data(), several.size()),
              (std::vector<std::string>{"Z:\\tmp\\in\\a.csv", "Z:\\tmp\\in\\b.csv"}));
    const std::string atRoot = "C:\\\0a.csv\0b.csv\0\0"s;
    EXPECT_EQ(gui::splitFileDialogNames(atRoot.data(), atRoot.size()),
              (std::vector<std::string>{"C:\\a.csv", "C:\\b.csv"}));
    const std::string none(4, '\0');
    EXPECT_TRUE(gui::splitFileDialogNames(none.data(), none.size()).empty());
    // A buffer filled to the end without its terminator is not read past.
    const std::string full = "C:\\abc";
    EXPECT_EQ(gui::splitFileDialogNames(full.data(), full.size()), (std::vector<std::string>{"C:\\abc"}));
}

TEST(FileDialogParts, ChoicesBecomeTheDialogFlags) {
    FileChoice open;
    EXPECT_EQ(gui::openFileFlags(open), static_cast<DWORD>(OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR));
    open.mustExist = true;
    open.multiSelect = true;
    open.overwritePrompt = true;  // save only
    EXPECT_EQ(gui::openFileFlags(open), static_cast<DWORD>(OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                                                           OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST |
                                                           OFN_ALLOWMULTISELECT));
    FileChoice save;
    save.mustExist = true;
    save.createPrompt = true;
    save.overwritePrompt = true;
    save.multiSelect = true;  // open only
    EXPECT_EQ(gui::saveFileFlags(save), static_cast<DWORD>(OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                                                           OFN_PATHMUSTEXIST | OFN_CREATEPROMPT |
                                                           OFN_OVERWRITEPROMPT));
}

TEST_F(WinPrompterTest, SaveStartsWithTheGivenNameAndAnswersAHostPath) {
    TempDir dir;
    const std::string target = dir.file("graph.bmp");
    FileChoice choice;
    choice.title = "Save to Bitmap";
    choice.mustExist = true;
    answerNextDialog("Save to Bitmap", [&](HWND dialog) {
        EXPECT_EQ(gui_testing::fileDialogName(dialog), "capture.bmp");
        gui_testing::chooseFileName(dialog, target);
    });
    std::string path = "capture.bmp";
    ASSERT_TRUE(prompter.saveFile(choice, path));
    EXPECT_EQ(path, target);
}

TEST_F(WinPrompterTest, SaveWithAPatternAsItsInitialNameStillAnswersTheTypedName) {
    TempDir dir;
    const std::string target = dir.file("screen.bmp");
    FileChoice choice;
    choice.title = "Choose Save Location...";
    answerNextDialog("Choose Save Location...", [&](HWND dialog) {
        EXPECT_EQ(gui_testing::fileDialogName(dialog), "*.bmp");
        gui_testing::chooseFileName(dialog, target);
    });
    std::string path = "*.bmp";
    ASSERT_TRUE(prompter.saveFile(choice, path));
    EXPECT_EQ(path, target);
}

TEST_F(WinPrompterTest, SaveAsksBeforeReplacingAFileWhenTold) {
    TempDir dir;
    const std::string target = dir.file("old.db");
    testing_support::writeFile(target, "keep");
    FileChoice choice;
    choice.title = "Save Database";
    choice.overwritePrompt = true;
    answerNextDialog("Save Database",
                     [&](HWND dialog) { gui_testing::chooseFileName(dialog, target); });
    // The question comes up over the disabled file dialog.
    auto question = answerNextWindow([](HWND box) { return GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO); },
                                     [](HWND box) { pressButton(box, IDYES); }, "overwrite question");
    std::string path;
    ASSERT_TRUE(prompter.saveFile(choice, path));
    EXPECT_EQ(path, target);
    EXPECT_TRUE(question->appeared);
}

TEST_F(WinPrompterTest, SaveAddsTheDefaultExtensionInTheInitialFolder) {
    TempDir dir;
    FileChoice choice;
    choice.title = "New Database";
    choice.filters = {{"Database File *.db", "*.db"}};
    choice.defaultExtension = "db";
    choice.initialFolder = dir.path();
    answerNextDialog("New Database", [](HWND dialog) { gui_testing::chooseFileName(dialog, "plant"); });
    std::string path;
    ASSERT_TRUE(prompter.saveFile(choice, path));
    EXPECT_EQ(path, dir.file("plant.db"));
}

TEST_F(WinPrompterTest, CancellingASaveLeavesThePathAlone) {
    FileChoice choice;
    choice.title = "Choose Save Location...";
    answerNextDialog("Choose Save Location...", [](HWND dialog) { pressButton(dialog, IDCANCEL); });
    std::string path = "*.bmp";
    EXPECT_FALSE(prompter.saveFile(choice, path));
    EXPECT_EQ(path, "*.bmp");
}

TEST_F(WinPrompterTest, OpenFindsFilesInTheInitialFolder) {
    TempDir dir;
    testing_support::writeFile(dir.file("a.csv"), "1");
    FileChoice choice;
    choice.title = "Import into Database";
    choice.filters = {{"CSV Files", "*.csv"}, {"Text files", "*.txt"}};
    choice.mustExist = true;
    choice.initialFolder = dir.path();
    answerNextDialog("Import into Database", [](HWND dialog) { gui_testing::chooseFileName(dialog, "a.csv"); });
    std::vector<std::string> paths{"stale"};
    ASSERT_TRUE(prompter.openFile(choice, paths));
    EXPECT_EQ(paths, (std::vector<std::string>{dir.file("a.csv")}));
}

TEST_F(WinPrompterTest, OpenTakesSeveralFilesAtOnce) {
    TempDir dir;
    testing_support::writeFile(dir.file("a.csv"), "1");
    testing_support::writeFile(dir.file("b.csv"), "2");
    FileChoice choice;
    choice.title = "Import Files";
    choice.multiSelect = true;
    choice.mustExist = true;
    choice.initialFolder = dir.path();
    answerNextDialog("Import Files", [](HWND dialog) { gui_testing::chooseFileName(dialog, "\"a.csv\" \"b.csv\""); });
    std::vector<std::string> paths;
    ASSERT_TRUE(prompter.openFile(choice, paths));
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{dir.file("a.csv"), dir.file("b.csv")}));
}

TEST_F(WinPrompterTest, CancellingAnOpenGivesNoFiles) {
    FileChoice choice;
    choice.title = "Open Database";
    answerNextDialog("Open Database", [](HWND dialog) { pressButton(dialog, IDCANCEL); });
    std::vector<std::string> paths{"stale"};
    EXPECT_FALSE(prompter.openFile(choice, paths));
    EXPECT_TRUE(paths.empty());
}

// --- The folder browser --------------------------------------------------------------------------

TEST_F(WinPrompterTest, FolderBrowserStartsAtTheStartFolderAndAnswersItsPath) {
    // A folder nobody writes to while the test runs: the browser finds its start folder by comparing
    // the items it lists with the parsed path, file times included.
    const std::string start = "C:\\windows\\system32";
    ASSERT_TRUE(std::filesystem::is_directory(start));
    answerNextWindow(
        gui_testing::dialogShowing("Comms log folder"),
        [](HWND browser) {
            EXPECT_EQ(gui_testing::windowText(gui_testing::findDescendant(browser, "Edit")), "system32");
            pressButton(browser, IDOK);
        },
        "folder browser");
    std::string folder;
    ASSERT_TRUE(prompter.chooseFolder("Comms log folder", start, folder));
    EXPECT_TRUE(std::filesystem::equivalent(folder, start)) << folder;
}

TEST_F(WinPrompterTest, FolderBrowserGivenAFileStartsAtItsFolder) {
    const std::string file = "C:\\windows\\system32\\kernel32.dll";
    ASSERT_TRUE(std::filesystem::is_regular_file(file)) << file;
    answerNextWindow(
        gui_testing::dialogShowing("Comms log folder"),
        [](HWND browser) {
            EXPECT_EQ(gui_testing::windowText(gui_testing::findDescendant(browser, "Edit")), "system32");
            pressButton(browser, IDOK);
        },
        "folder browser");
    std::string folder;
    ASSERT_TRUE(prompter.chooseFolder("Comms log folder", file, folder));
    EXPECT_TRUE(std::filesystem::equivalent(folder, std::filesystem::path(file).parent_path())) << folder;
}

TEST_F(WinPrompterTest, CancellingTheFolderBrowserChangesNothing) {
    TempDir dir;
    answerNextWindow(gui_testing::dialogShowing("Export Directory"),
                     [](HWND browser) { pressButton(browser, IDCANCEL); }, "folder browser");
    std::string folder = "unchanged";
    EXPECT_FALSE(prompter.chooseFolder("Export Directory", dir.path(), folder));
    EXPECT_EQ(folder, "unchanged");
}

// --- The dialog driver's own failures --------------------------------------------------------------

TEST(DialogDriver, ADialogThatNeverAppearsIsAFailure) {
    gui_testing::initialiseGuiForTests();
    const auto expectNothing = [] {
        answerNextDialog("Never shown", [](HWND) {}, 200);
        gui_testing::finishDialogs(2000);
    };
    EXPECT_NONFATAL_FAILURE(expectNothing(), "did not appear");
    EXPECT_TRUE(finishDialogs(0));
}

TEST(DialogDriver, ADialogLeftOpenByItsAnswerIsCancelledAndAFailure) {
    gui_testing::initialiseGuiForTests();
    gui::WinPrompter prompter;
    Answer answer = Answer::Ok;
    const auto leaveItOpen = [&] {
        answerNextDialog("Left open", [](HWND) {}, 300);
        answer = prompter.messageBox("Nobody answers", "Left open", Icon::None, Buttons::OkCancel);
        gui_testing::finishDialogs(2000);
    };
    EXPECT_NONFATAL_FAILURE(leaveItOpen(), "still open");
    EXPECT_EQ(answer, Answer::Cancel);
}

// --- The wait cursor -----------------------------------------------------------------------------

TEST_F(WinPrompterTest, WaitCursorNestsAndRestoresTheCursorBefore) {
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
    SetCursor(arrow);
    prompter.beginWait();
    EXPECT_EQ(GetCursor(), wait);
    prompter.beginWait();
    prompter.endWait();
    EXPECT_TRUE(prompter.waiting());
    EXPECT_EQ(GetCursor(), wait);
    prompter.endWait();
    EXPECT_FALSE(prompter.waiting());
    EXPECT_EQ(GetCursor(), arrow);
    prompter.endWait();  // one too many changes nothing
    EXPECT_FALSE(prompter.waiting());
    EXPECT_EQ(GetCursor(), arrow);
    prompter.beginWait();
    EXPECT_EQ(GetCursor(), wait);
    prompter.endWait();
}

}  // namespace
