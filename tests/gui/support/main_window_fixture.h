// A GUI test with the program's real main window: created as the program creates it (start-up
// sequence included) in a fresh current directory, with a recording Prompter, and destroyed after
// the test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/fake_prompter.h"
#include "support/temp_dir.h"

namespace gui_testing {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The window's position inside its parent's client area.
    static RECT placeOf(HWND window);
    // Resizes the main window by the given growth over its initial size and lays it out.
    void grow(int dw, int dh);

    testing_support::TempDir dir;
    testing_support::FakePrompter prompter;
    HWND main = nullptr;
};

// The settings folder of the program in this Wine prefix.
std::string settingsFolderPath();

}  // namespace gui_testing
