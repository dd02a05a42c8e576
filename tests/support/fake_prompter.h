// A scripted Prompter for tests: records every box and chooser shown, answers from a queue.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/prompter.h"

namespace testing_support {

struct ShownBox {
    std::string text;
    std::string caption;
    platform::Icon icon;
    platform::Buttons buttons;
};

// A folder chooser's answer that is not a file-system folder.
inline constexpr const char* kNotAFolder = "<not a folder>";

class FakePrompter final : public platform::Prompter {
public:
    // Installs itself as the process's Prompter; the destructor puts the previous one back.
    FakePrompter();
    ~FakePrompter() override;

    // Answers for the next boxes, in order. When the queue is empty a box gets Ok, No or Cancel as
    // the quiet Prompter would.
    void queueAnswer(platform::Answer a) { answers.push_back(a); }

    platform::Answer messageBox(const std::string& text, const std::string& caption, platform::Icon icon,
                                platform::Buttons buttons) override;
    bool openFile(const platform::FileChoice& choice, std::vector<std::string>& paths) override;
    bool saveFile(const platform::FileChoice& choice, std::string& path) override;
    bool chooseFolder(const std::string& title, const std::string& startFolder, std::string& folder) override;
    void beginWait() override;
    void endWait() override;

    std::vector<ShownBox> boxes;                  // every box, in order
    std::deque<platform::Answer> answers;
    std::deque<std::vector<std::string>> openResults;  // one entry per open chooser; empty: cancel
    std::deque<std::string> saveResults;          // one entry per save chooser; "": cancel
    std::deque<std::string> folderResults;        // one entry per folder chooser; "": cancel,
                                                  // kNotAFolder: a choice that is no file-system folder
    std::vector<platform::FileChoice> choicesShown;
    std::vector<std::pair<std::string, std::string>> foldersShown;  // each folder chooser's title and start
    int waitDepth = 0;                            // current nesting of the wait cursor
    int waitCount = 0;                            // how many times it was shown

    // The captions of all boxes shown, joined with "|" (handy in assertions).
    std::string captions() const;

private:
    platform::Prompter* previous_;
};

}  // namespace testing_support
