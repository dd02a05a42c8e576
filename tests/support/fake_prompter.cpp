#include "support/fake_prompter.h"

namespace testing_support {

using platform::Answer;
using platform::Buttons;

FakePrompter::FakePrompter() : previous_(platform::setPrompter(this)) {}

FakePrompter::~FakePrompter() { platform::setPrompter(previous_); }

Answer FakePrompter::messageBox(const std::string& text, const std::string& caption, platform::Icon icon,
                                Buttons buttons) {
    boxes.push_back({text, caption, icon, buttons});
    if (!answers.empty()) {
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::YesNo: return Answer::No;
    default: return Answer::Cancel;
    }
}

bool FakePrompter::openFile(const platform::FileChoice& choice, std::vector<std::string>& paths) {
    choicesShown.push_back(choice);
    if (openResults.empty()) return false;
    paths = openResults.front();
    openResults.pop_front();
    return !paths.empty();
}

bool FakePrompter::saveFile(const platform::FileChoice& choice, std::string& path) {
    choicesShown.push_back(choice);
    if (saveResults.empty()) return false;
    path = saveResults.front();
    saveResults.pop_front();
    return !path.empty();
}

bool FakePrompter::chooseFolder(const std::string& title, const std::string& startFolder, std::string& folder) {
    foldersShown.emplace_back(title, startFolder);
    if (folderResults.empty()) return false;
    folder = folderResults.front();
    folderResults.pop_front();
    if (folder == kNotAFolder) {
        folder.clear();
        return true;
    }
    return !folder.empty();
}

void FakePrompter::beginWait() {
    ++waitDepth;
    ++waitCount;
}

void FakePrompter::endWait() { --waitDepth; }

std::string FakePrompter::captions() const {
    std::string out;
    for (const auto& b : boxes) {
        if (!out.empty()) out += "|";
        out += b.caption;
    }
    return out;
}

}  // namespace testing_support
