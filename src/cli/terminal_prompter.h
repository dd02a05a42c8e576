// The Prompter of the command line: every box is printed on standard error as "CAPTION: TEXT";
// questions are answered Yes (or Ok) only when the command was given --yes. The CLI has no choosers:
// its commands take paths as arguments and hand them in as the choosers' answers; a chooser without
// one counts as cancelled.
#pragma once

#include "platform/prompter.h"

namespace cli {

class TerminalPrompter final : public platform::Prompter {
public:
    void setAnswerYes(bool yes) { answerYes_ = yes; }
    // The path the next save-file chooser returns.
    void setSaveAnswer(const std::string& path) { saveAnswer_ = path; }

    platform::Answer messageBox(const std::string& text, const std::string& caption, platform::Icon icon,
                                platform::Buttons buttons) override;
    bool openFile(const platform::FileChoice& choice, std::vector<std::string>& paths) override;
    bool saveFile(const platform::FileChoice& choice, std::string& path) override;
    bool chooseFolder(const std::string& title, const std::string& startFolder, std::string& folder) override;
    void beginWait() override {}
    void endWait() override {}

private:
    bool answerYes_ = false;
    std::string saveAnswer_;
};

}  // namespace cli
