// COM automation by member name, the word processor's picture insertion, and the .docx fallback.
#include "gui/interchange/office_automation.h"

#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>

#include <vector>

#include "common/string_printf.h"
#include "interchange/docx_export.h"
#include "platform/prompter.h"
#include "platform/win32/wide_text.h"

namespace gui {
namespace {

constexpr LCID kUserDefaultLocale = 1024;
constexpr LCID kSystemDefaultLocale = 2048;
constexpr int kFailuresReturned = 4;
constexpr std::size_t kLongestPath = 261;
constexpr const char* kCaption = "Export to Word";

// Failed automation calls in the program's run so far.
int& automationFailures() {
    static int failures = 0;
    return failures;
}

// A dispatch pointer from a call's result, or null when the result holds none.
IDispatch* dispatchOf(const VARIANT& v) { return V_VT(&v) == VT_DISPATCH ? V_DISPATCH(&v) : nullptr; }

void release(IDispatch* d) {
    if (d) d->Release();
}

// The steps once the word processor runs: visible, a new document, the picture in it. False at the
// first call that fails.
bool addPictureDocument(IDispatch* application, const std::string& picturePath) {
    VARIANT visible;
    VariantInit(&visible);
    V_VT(&visible) = VT_I4;
    V_I4(&visible) = 1;
    if (FAILED(InvokeByName(DISPATCH_PROPERTYPUT, nullptr, application, "Visible", 1, &visible))) return false;

    VARIANT documents, document, shapes;
    for (VARIANT* v : {&documents, &document, &shapes}) VariantInit(v);
    VARIANT omitted[4];
    for (VARIANT& v : omitted) {
        VariantInit(&v);
        V_VT(&v) = VT_ERROR;
        V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
    }
    platform::win32::WideString wide = platform::win32::widen(picturePath);
    const std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(wide.length()), kLongestPath);
    VARIANT file;
    VariantInit(&file);
    V_VT(&file) = VT_BSTR;
    V_BSTR(&file) = SysAllocStringLen(wide.c_str(), static_cast<UINT>(length));

    const bool done = SUCCEEDED(InvokeByName(DISPATCH_PROPERTYGET, &documents, application, "Documents", 0, nullptr)) &&
                      SUCCEEDED(InvokeByName(DISPATCH_METHOD, &document, dispatchOf(documents), "Add", 4, omitted)) &&
                      SUCCEEDED(InvokeByName(DISPATCH_PROPERTYGET, &shapes, dispatchOf(document), "InlineShapes", 0,
                                             nullptr)) &&
                      SUCCEEDED(InvokeByName(DISPATCH_METHOD, nullptr, dispatchOf(shapes), "AddPicture", 1, &file));
    for (VARIANT* v : {&file, &shapes, &document, &documents}) VariantClear(v);
    return done;
}

// Writes the picture into a new .docx file the user chooses and offers to open it.
void offerDocument(HWND owner, const std::string& picturePath) {
    if (platform::showMessage("Save the picture in a new Word document (.docx) instead?", kCaption,
                              platform::Icon::Question, platform::Buttons::YesNo) != platform::Answer::Yes)
        return;
    platform::FileChoice choice;
    choice.title = "Save Word Document";
    choice.filters = {{"Word Document (*.docx)", "*.docx"}};
    choice.defaultExtension = "docx";
    choice.mustExist = true;  // the folder must exist
    choice.overwritePrompt = true;
    std::string path = "Screen Capture.docx";
    if (!platform::prompter().saveFile(choice, path)) return;
    if (!interchange::writePictureDocument(path, picturePath)) {
        platform::showMessage(common::stringPrintf("The document %s could not be written.", path.c_str()), kCaption,
                              platform::Icon::Warning);
        return;
    }
    if (platform::showMessage(common::stringPrintf("The picture has been saved in %s.\nOpen the document now?",
                                                   path.c_str()),
                              kCaption, platform::Icon::Question, platform::Buttons::YesNo) == platform::Answer::Yes)
        ShellExecuteA(owner, "open", platform::win32::toAnsi(path).c_str(), nullptr, nullptr,
                      SW_SHOWNORMAL);
}

}  // namespace

HRESULT InvokeByName(WORD flags, VARIANT* result, IDispatch* target, const char* member, int argumentCount,
                     VARIANT* arguments) {
    if (!target) return 0;
    platform::win32::WideString name = platform::win32::widen(member);
    LPOLESTR names[] = {name.data()};
    DISPID id = 0;
    const HRESULT found = target->GetIDsOfNames(IID_NULL, names, 1, kUserDefaultLocale, &id);
    if (FAILED(found)) return found;

    std::vector<VARIANT> copied(arguments, arguments + argumentCount);
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{copied.data(), nullptr, static_cast<UINT>(argumentCount), 0};
    if (flags & DISPATCH_PROPERTYPUT) {
        parameters.rgdispidNamedArgs = &putId;
        parameters.cNamedArgs = 1;
    }
    const HRESULT called = target->Invoke(id, IID_NULL, kSystemDefaultLocale, flags, &parameters, result, nullptr, nullptr);
    if (SUCCEEDED(called)) {
        // Lets calls queued for this thread through.
        SleepEx(1, TRUE);
        return called;
    }
    if (automationFailures()++ < kFailuresReturned) return called;
    throw ExcelErrorException{};
}

WordResult InsertPictureIntoWord(const std::string& picturePath) {
    const HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    WordResult outcome = kWordCallFailed;
    CLSID word;
    IDispatch* application = nullptr;
    const platform::win32::WideString progId = platform::win32::widen("Word.Application");
    if (FAILED(CLSIDFromProgID(progId.c_str(), &word))) {
        outcome = kWordNotRegistered;
    } else if (FAILED(CoCreateInstance(word, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                       reinterpret_cast<void**>(&application)))) {
        outcome = kWordNotStarted;
    } else {
        try {
            if (addPictureDocument(application, picturePath)) outcome = kPictureInWord;
        } catch (const ExcelErrorException&) {
            outcome = kWordCallFailed;
        }
    }
    release(application);
    if (SUCCEEDED(initialised)) CoUninitialize();
    if (outcome == kWordNotRegistered)
        platform::showMessage("Word is not installed on this computer.", kCaption, platform::Icon::Information);
    else if (outcome == kWordNotStarted)
        platform::showMessage("Word could not be started.", kCaption, platform::Icon::Information);
    return outcome;
}

void exportPictureToWord(HWND owner, const std::string& picturePath) {
    const WordResult result = InsertPictureIntoWord(picturePath);
    if (result == kWordNotRegistered || result == kWordNotStarted) offerDocument(owner, picturePath);
}

}  // namespace gui
