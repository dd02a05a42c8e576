// The process-wide Prompter slot and the quiet Prompter used until the program installs its own.
#include "platform/prompter.h"

#include "platform/debug_output.h"

namespace platform {
namespace {

class QuietPrompter final : public Prompter {
public:
    Answer messageBox(const std::string& text, const std::string& caption, Icon, Buttons buttons) override {
        debugOutput(caption + ": " + text + "\n");
        switch (buttons) {
        case Buttons::Ok: return Answer::Ok;
        case Buttons::YesNo: return Answer::No;
        case Buttons::OkCancel:
        case Buttons::YesNoCancel: return Answer::Cancel;
        }
        return Answer::Cancel;
    }
    bool openFile(const FileChoice&, std::vector<std::string>&) override { return false; }
    bool saveFile(const FileChoice&, std::string&) override { return false; }
    bool chooseFolder(const std::string&, const std::string&, std::string&) override { return false; }
    void beginWait() override {}
    void endWait() override {}
};

QuietPrompter quietPrompter;
Prompter* current = &quietPrompter;

}  // namespace

Prompter& prompter() { return *current; }

Prompter* setPrompter(Prompter* p) {
    Prompter* previous = current;
    current = p ? p : &quietPrompter;
    return previous;
}

Answer showMessage(const std::string& text, const std::string& caption, Icon icon, Buttons buttons) {
    return prompter().messageBox(text, caption, icon, buttons);
}

}  // namespace platform
