#include "cli/terminal_prompter.h"

#include <cstdio>

namespace cli {

using platform::Answer;
using platform::Buttons;

Answer TerminalPrompter::messageBox(const std::string& text, const std::string& caption, platform::Icon,
                                    Buttons buttons) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::OkCancel: return answerYes_ ? Answer::Ok : Answer::Cancel;
    case Buttons::YesNo: return answerYes_ ? Answer::Yes : Answer::No;
    case Buttons::YesNoCancel: return answerYes_ ? Answer::Yes : Answer::Cancel;
    }
    return Answer::Cancel;
}

bool TerminalPrompter::openFile(const platform::FileChoice&, std::vector<std::string>&) { return false; }
bool TerminalPrompter::saveFile(const platform::FileChoice&, std::string& path) {
    path = saveAnswer_;
    saveAnswer_.clear();
    return !path.empty();
}
bool TerminalPrompter::chooseFolder(const std::string&, const std::string&, std::string&) { return false; }

}  // namespace cli
