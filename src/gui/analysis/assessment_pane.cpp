// The assessment beside a diagnosis: which comparison it shows (time-based against the diagnosis's
// fingerprint, construction-based among three phases, type-based against a sister unit), the
// comparability findings, the verdicts of the fixed DL/T 911 analysis and of the user's custom
// analysis, and every band's indices: standard controls, so that the user, the keyboard and
// assistive tools read the same texts. The results panel under the curves is left as it was.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>

#include "analysis/assessment.h"
#include "app/startup.h"
#include "db/diagnosis_sweeps.h"
#include "db/record_store.h"
#include "db/schema.h"
#include "gui/analysis/graph_state.h"
#include "gui/db/record_dialogs.h"
#include "gui/resources/graph_ids.h"
#include "platform/prompter.h"
#include "platform/win32/wide_text.h"

namespace gui {
namespace {

constexpr int kGap = 6, kButtonHeight = 24, kLabelHeight = 16, kHeadingHeight = 44;
constexpr int kFindingsHeight = 100, kVerdictsHeight = 76;
constexpr int kCellPadding = 16;  // a list view cell's margins
const int kButtons[] = {IDC_ASSESS_FINGERPRINT, IDC_ASSESS_PHASES, IDC_ASSESS_SISTER, IDC_ASSESS_CUSTOM};

HWND control(HWND graph, int id) { return GetDlgItem(graph, id); }

void setText(HWND graph, int id, const std::string& text) {
    SetWindowTextW(control(graph, id), platform::win32::widen(text).c_str());
}

// A list box of lines, scrolled sideways only when a line is wider than the box.
void fillLines(HWND graph, int id, const std::vector<std::string>& lines) {
    HWND box = control(graph, id);
    SendMessageW(box, LB_RESETCONTENT, 0, 0);
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(box, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (const std::string& line : lines) {
        const platform::win32::WideString text = platform::win32::widen(line);
        SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), text.length(), &size);
        widest = std::max<int>(widest, size.cx);
    }
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    SendMessageW(box, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
}

int textWidth(HWND list, const std::string& text) {
    return static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0,
                                         reinterpret_cast<LPARAM>(platform::win32::widen(text).c_str())));
}

void fillIndices(HWND graph, const std::vector<std::vector<std::string>>& rows) {
    HWND list = control(graph, IDC_ASSESS_INDICES);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            platform::win32::WideString text = platform::win32::widen(rows[r][c]);
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(r);
            item.iSubItem = static_cast<int>(c);
            item.pszText = text.data();
            SendMessageW(list, c == 0 ? LVM_INSERTITEMW : LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
    }
    // Each column as wide as its widest text, its title included.
    for (std::size_t c = 0; c < analysis::kIndexColumns.size(); ++c) {
        int width = textWidth(list, analysis::kIndexColumns[c]);
        for (const auto& row : rows) width = std::max(width, textWidth(list, row[c]));
        SendMessageW(list, LVM_SETCOLUMNWIDTH, c, width + kCellPadding);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void showAssessment(HWND graph) {
    const GraphState& s = *graphState(graph);
    const analysis::AssessmentTable table = analysis::tabulate(s.assessed);
    std::string heading = s.comparison;
    if (!s.assessed.empty())
        heading += "\nGrid: the reference's " + std::to_string(s.assessed.front().assessment.difference.size()) +
                   " frequencies within the sweep's range, the sweep interpolated linearly in frequency and dB";
    setText(graph, IDC_ASSESS_HEADING, heading);
    fillLines(graph, IDC_ASSESS_FINDINGS, table.findings);
    fillLines(graph, IDC_ASSESS_VERDICTS, table.verdicts);
    fillIndices(graph, table.rows);
}

// The stored sweeps with their records, under the wait cursor; false, with a message, when one is gone.
bool loadBundles(const std::vector<std::int64_t>& ids, std::vector<db::SweepBundle>& bundles) {
    platform::WaitCursor wait;
    bundles.assign(ids.size(), db::SweepBundle{});
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (!db::load_sweep_bundle(ids[i], bundles[i])) {
            platform::showMessage("Sweep " + std::to_string(ids[i]) + " is no longer in the database", "Error",
                                  platform::Icon::Error);
            return false;
        }
    }
    return true;
}

// The user's custom analysis as saved, if any.
std::optional<analysis::CustomAnalysisSettings> savedCustomAnalysis() {
    analysis::CustomAnalysisSettings settings;
    if (!analysis::readCustomAnalysis(app::dbIniPath(), settings)) return std::nullopt;
    return settings;
}

const analysis::CustomAnalysisSettings* orNull(const std::optional<analysis::CustomAnalysisSettings>& s) {
    return s ? &*s : nullptr;
}

std::string nameOf(const db::SweepBundle& b) { return b.sweep.name.str(); }

void comparePhases(HWND graph) {
    GraphState& s = *graphState(graph);
    std::vector<std::int64_t> phases = db::proposePhaseSweeps(s.diagnosed().id);
    std::vector<db::SweepBundle> b;
    if (!selectPhaseSweeps(graph, s.diagnosed().transformerIdentifier.str(), phases) || !loadBundles(phases, b))
        return;
    const auto custom = savedCustomAnalysis();
    const std::vector<analysis::Assessment> pairs = analysis::assessPhases(b[0], b[1], b[2], orNull(custom));
    s.assessed = {{"A-B", pairs[0]}, {"B-C", pairs[1]}, {"C-A", pairs[2]}};
    s.comparison = "Construction-based: A " + nameOf(b[0]) + ", B " + nameOf(b[1]) + ", C " + nameOf(b[2]) +
                   ", of " + b[0].sweep.transformerIdentifier.str();
    showAssessment(graph);
}

void compareSisterUnit(HWND graph) {
    GraphState& s = *graphState(graph);
    const db::SweepRecord& own = s.diagnosed();
    const std::string transformer = own.transformerIdentifier.str();
    const std::string sister = selectFromTable(graph, db::TableIndex::Transformer, {0, 1, 2},
                                               db::sisterUnitPickerClause(transformer));
    if (sister.empty()) return;
    const std::int64_t sisterSweep = db::sisterUnitSweep(own.id, sister);
    if (sisterSweep == 0) {
        platform::showMessage("Transformer " + sister + " has no FRA sweep of the same setup as " + own.name.str(),
                              "Sister Unit", platform::Icon::Information);
        return;
    }
    std::vector<db::SweepBundle> b;
    if (!loadBundles({sisterSweep, own.id}, b)) return;
    const auto custom = savedCustomAnalysis();
    s.assessed = {{"", analysis::assess(b[0], b[1], analysis::ComparisonKind::TypeBased, orNull(custom))}};
    s.comparison = "Type-based: " + nameOf(b[1]) + " of " + transformer + " against " + nameOf(b[0]) +
                   " of its sister unit " + sister;
    showAssessment(graph);
}

// The comparison shown, again with the custom analysis as now saved.
void reassess(HWND graph) {
    GraphState& s = *graphState(graph);
    const auto custom = savedCustomAnalysis();
    for (analysis::LabelledAssessment& l : s.assessed) {
        std::vector<db::SweepBundle> b;
        if (!loadBundles({l.assessment.referenceId, l.assessment.sweepId}, b)) return;
        l.assessment = analysis::assess(b[0], b[1], l.assessment.kind, orNull(custom));
    }
    showAssessment(graph);
}

}  // namespace

void createAssessmentPane(HWND graph) {
    createGraphControls(graph, {
        {IDC_ASSESS_FINGERPRINT, "BUTTON", "Fingerprint", BS_PUSHBUTTON | WS_TABSTOP},
        {IDC_ASSESS_PHASES, "BUTTON", "Phases...", BS_PUSHBUTTON | WS_TABSTOP},
        {IDC_ASSESS_SISTER, "BUTTON", "Sister Unit...", BS_PUSHBUTTON | WS_TABSTOP},
        {IDC_ASSESS_CUSTOM, "BUTTON", "Custom Analysis...", BS_PUSHBUTTON | WS_TABSTOP},
        {IDC_ASSESS_HEADING, "STATIC", "", SS_LEFT | SS_NOPREFIX},
        {IDC_ASSESS_FINDINGS_LABEL, "STATIC", "Comparability:", SS_LEFT},
        {IDC_ASSESS_FINDINGS, "LISTBOX", "", LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_BORDER | WS_TABSTOP},
        {IDC_ASSESS_VERDICTS_LABEL, "STATIC", "Verdicts:", SS_LEFT},
        {IDC_ASSESS_VERDICTS, "LISTBOX", "", LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_BORDER | WS_TABSTOP},
        {IDC_ASSESS_INDICES_LABEL, "STATIC", "Indices per band:", SS_LEFT},
        {IDC_ASSESS_INDICES, WC_LISTVIEWA, "",
         LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_BORDER | WS_TABSTOP},
    });
    HWND list = control(graph, IDC_ASSESS_INDICES);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (std::size_t c = 0; c < analysis::kIndexColumns.size(); ++c) {
        platform::win32::WideString title = platform::win32::widen(analysis::kIndexColumns[c]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = c < 3 ? LVCFMT_LEFT : LVCFMT_RIGHT;
        column.cx = 60;
        column.pszText = title.data();
        SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
}

// From the top: the buttons in a row, the heading, the findings, the verdicts and the table in the
// height that is left.
void layoutAssessmentPane(HWND graph, const RECT& pane, bool shown) {
    const int left = pane.left, width = pane.right - pane.left;
    int y = pane.top;
    const int buttonWidth = (width - 3 * kGap) / 4;
    for (int i = 0; i < 4; ++i)
        MoveWindow(control(graph, kButtons[i]), left + i * (buttonWidth + kGap), y, buttonWidth, kButtonHeight, TRUE);
    y += kButtonHeight + kGap;
    const struct {
        int id;
        int height;
    } column[] = {{IDC_ASSESS_HEADING, kHeadingHeight},          {IDC_ASSESS_FINDINGS_LABEL, kLabelHeight},
                  {IDC_ASSESS_FINDINGS, kFindingsHeight},        {IDC_ASSESS_VERDICTS_LABEL, kLabelHeight},
                  {IDC_ASSESS_VERDICTS, kVerdictsHeight},        {IDC_ASSESS_INDICES_LABEL, kLabelHeight},
                  {IDC_ASSESS_INDICES, 0}};
    for (const auto& c : column) {
        const int height = c.height ? c.height : std::max<int>(pane.bottom - y, 40);
        MoveWindow(control(graph, c.id), left, y, width, height, TRUE);
        y += height + (c.id == IDC_ASSESS_HEADING || c.height == kLabelHeight ? 0 : kGap);
    }
    for (int id = IDC_ASSESS_FINGERPRINT; id <= IDC_ASSESS_INDICES; ++id)
        ShowWindow(control(graph, id), shown ? SW_SHOWNA : SW_HIDE);
}

void assessDiagnosis(HWND graph) {
    GraphState& s = *graphState(graph);
    s.assessed.clear();
    s.comparison.clear();
    std::vector<db::SweepBundle> b;
    if (loadBundles({s.fingerprint().id, s.diagnosed().id}, b)) {
        const auto custom = savedCustomAnalysis();
        s.assessed = {{"", analysis::assess(b[0], b[1], analysis::ComparisonKind::TimeBased, orNull(custom))}};
        s.comparison = "Time-based: " + nameOf(b[1]) + " against " + nameOf(b[0]) + " of " +
                       b[0].sweep.transformerIdentifier.str();
    }
    showAssessment(graph);
}

bool runAssessmentCommand(HWND graph, int id, int code) {
    if (id < IDC_ASSESS_FINGERPRINT || id > IDC_ASSESS_INDICES) return false;
    if (code != BN_CLICKED || !graphState(graph)->diagnosing) return true;
    switch (id) {
    case IDC_ASSESS_FINGERPRINT: assessDiagnosis(graph); break;
    case IDC_ASSESS_PHASES: comparePhases(graph); break;
    case IDC_ASSESS_SISTER: compareSisterUnit(graph); break;
    case IDC_ASSESS_CUSTOM:
        if (editCustomAnalysis(graph, app::dbIniPath())) reassess(graph);
        break;
    default: break;
    }
    return true;
}

}  // namespace gui
