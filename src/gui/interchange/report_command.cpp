// The GUI's report: the "Report" dialog, the save dialog and the writing under the wait cursor.
#include "gui/interchange/report_command.h"

#include "app/startup.h"
#include "common/string_printf.h"
#include "db/database_files.h"
#include "gui/dialog_fields.h"
#include "gui/resources/dialog_ids.h"
#include "interchange/test_report.h"
#include "interchange/text_format.h"
#include "platform/prompter.h"

namespace gui {
namespace {

const char* const kPapers[] = {"A4", "Letter"};

struct ReportDialog final : ModalDialog {
    ReportDialog(interchange::ReportSettings& settings, std::string summary)
        : settings(settings), summary(std::move(summary)) {}

    bool onInit(HWND dialog) override {
        setControlText(dialog, IDC_REPORT_SWEEPS, summary);
        setUpEdits(dialog, {{IDC_REPORT_TITLE, nullptr, 200}, {IDC_REPORT_SITE, "left out when empty", 200}});
        setControlText(dialog, IDC_REPORT_TITLE, settings.title);
        setControlText(dialog, IDC_REPORT_SITE, settings.site);
        HWND paper = GetDlgItem(dialog, IDC_REPORT_PAPER);
        for (const char* name : kPapers) SendMessageA(paper, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        SendMessageA(paper, CB_SETCURSEL, settings.paper == interchange::Paper::Letter ? 1 : 0, 0);
        return true;
    }

    bool onCommand(HWND dialog, int id, int, LPARAM) override {
        if (id != IDOK) return false;
        settings.title = controlText(dialog, IDC_REPORT_TITLE);
        settings.site = controlText(dialog, IDC_REPORT_SITE);
        settings.paper = SendDlgItemMessageA(dialog, IDC_REPORT_PAPER, CB_GETCURSEL, 0, 0) == 1 ? interchange::Paper::Letter
                                                                                              : interchange::Paper::A4;
        EndDialog(dialog, IDOK);
        return true;
    }

    interchange::ReportSettings& settings;
    std::string summary;
};

void showFailure(const std::string& text) { platform::showMessage(text, "Report", platform::Icon::Error); }

}  // namespace

bool reportSweeps(HWND owner, const std::vector<std::int64_t>& ids, std::int64_t referenceId) {
    interchange::ReportInput input;
    std::string failure;
    {
        platform::WaitCursor wait;
        failure = interchange::loadReport(ids, referenceId, input);
    }
    if (!failure.empty()) {
        showFailure(failure);
        return false;
    }
    input.databaseFile = db::currentDatabasePath();
    const std::string ini = app::dbIniPath();
    interchange::readReportIni(ini, input);
    std::string summary = common::stringPrintf("A report of %zu sweep%s of %s", input.sweeps.size(),
                                               input.sweeps.size() == 1 ? "" : "s",
                                               input.transformers.front().record.identifier.c_str());
    if (input.reference >= 0)
        summary += ", assessed against " + input.sweeps[static_cast<std::size_t>(input.reference)].sweep.name.str();
    ReportDialog dialog(input.settings, summary);
    if (dialog.run(owner, IDD_REPORT) != IDOK) return false;
    interchange::writeReportSettings(ini, input.settings);

    platform::FileChoice choice;
    choice.title = "Save Report";
    choice.filters = {{"PDF Files", "*.pdf"}};
    choice.defaultExtension = "pdf";
    choice.overwritePrompt = true;
    const db::SweepRecord& first = input.sweeps.front().sweep;
    std::string path = interchange::safeFileNamePart(input.transformers.front().record.identifier.str() + " " +
                                                     first.date.str()) + " report.pdf";
    if (!platform::prompter().saveFile(choice, path)) return false;

    {
        platform::WaitCursor wait;
        failure = interchange::writeReport(input, path);
    }
    if (!failure.empty()) showFailure(failure);
    return failure.empty();
}

}  // namespace gui
