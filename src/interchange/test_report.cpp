// The test report's content and its flow over the pages.
#include "interchange/test_report.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "analysis/assessment_table.h"
#include "analysis/diagnosis_panel.h"
#include "analysis/plot_engine.h"
#include "common/identity.h"
#include "common/string_printf.h"
#include "db/diagnosis_sweeps.h"
#include "db/record_store.h"
#include "db/row_text.h"
#include "interchange/pdf_canvas.h"
#include "interchange/pdf_document.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/profile.h"

namespace interchange {
namespace {

constexpr const char* kSection = "Report";
constexpr double kMargin = 40, kFooter = 28;
constexpr double kBodySize = 8.5, kHeadingSize = 12, kTitleSize = 16, kPad = 3;
constexpr int kGraphWidth = 1000, kGraphHeight = 620;  // the plot engine's drawing, in its pixels
const PdfColour kInk{0, 0, 0}, kGrey{0.45, 0.45, 0.45}, kRule{0.6, 0.6, 0.6}, kShade{0.92, 0.92, 0.92};
const PdfColour kAlarm{0.75, 0, 0};

std::string versionText() {
    return std::string(common::kProductName) + " " + common::kVersionMajor + "." + common::kVersionMinor + "." +
           common::kVersionBuild;
}

PdfColour pdfColour(analysis::Colour c) {
    return {analysis::redOf(c) / 255.0, analysis::greenOf(c) / 255.0, analysis::blueOf(c) / 255.0};
}

std::string number(double v, const char* format) { return common::stringPrintf(format, v); }

// One cell of a table: its text, bold, shaded.
struct Cell {
    std::string text;
    bool bold = false;
    bool shaded = false;
    PdfColour colour = kInk;
};
// A row: its cells, their widths as shares of the table's width, and the size of their text.
struct Row {
    std::vector<Cell> cells;
    std::vector<double> shares;
    double size = kBodySize;
};

// The page flow: a cursor going down the current page; what does not fit in the room left starts
// the next page.
class Flow {
public:
    Flow(PdfDocument& doc, Paper paper)
        : doc_(doc), width_(paper == Paper::A4 ? 595.28 : 612), height_(paper == Paper::A4 ? 841.89 : 792) {
        newPage();
    }

    double contentWidth() const { return width_ - 2 * kMargin; }
    double y() const { return y_; }
    int page() const { return page_; }

    void newPage() {
        page_ = doc_.addPage(width_, height_);
        y_ = height_ - kMargin;
    }
    void need(double height) {
        if (y_ - height < kMargin + kFooter && y_ < height_ - kMargin - 1) newPage();
    }
    void space(double height) { y_ -= height; }

    // text cut into lines no wider than width, at blanks where it can be and within a word where not.
    std::vector<std::string> wrap(const std::string& text, double width, bool bold, double size) {
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start <= text.size()) {
            const std::size_t end = text.find('\n', start);
            wrapParagraph(text.substr(start, end == std::string::npos ? std::string::npos : end - start), width,
                          bold, size, lines);
            if (end == std::string::npos) break;
            start = end + 1;
        }
        return lines;
    }

    void line(const std::string& text, bool bold, double size, PdfColour colour = kInk) {
        for (const std::string& l : wrap(text, contentWidth(), bold, size)) {
            need(size * 1.35);
            y_ -= size * 1.15;
            doc_.text(page_, kMargin, y_, l, bold, size, colour);
            y_ -= size * 0.2;
        }
    }

    void heading(const std::string& text, double keepWith) {
        need(kHeadingSize * 1.8 + keepWith);
        y_ -= kHeadingSize * 0.6;
        line(text, true, kHeadingSize);
        y_ -= 2;
    }

    double rowHeight(const Row& row) {
        std::size_t most = 1;
        for (std::size_t i = 0; i < row.cells.size(); ++i)
            most = std::max(most, wrap(row.cells[i].text, cellWidth(row, i) - 2 * kPad, row.cells[i].bold, row.size).size());
        return most * row.size * 1.3 + 2 * kPad;
    }

    // A table row, whole on one page.
    void row(const Row& row) {
        const double h = rowHeight(row);
        need(h);
        double x = kMargin;
        for (std::size_t i = 0; i < row.cells.size(); ++i) {
            const Cell& c = row.cells[i];
            const double w = cellWidth(row, i);
            if (c.shaded) doc_.fillRect(page_, x, y_ - h, w, h, kShade);
            doc_.strokeRect(page_, x, y_ - h, w, h, 0.4, kRule);
            double baseline = y_ - kPad - row.size;
            for (const std::string& l : wrap(c.text, w - 2 * kPad, c.bold, row.size)) {
                doc_.text(page_, x + kPad, baseline, l, c.bold, row.size, c.colour);
                baseline -= row.size * 1.3;
            }
            x += w;
        }
        y_ -= h;
    }

    void rows(const std::vector<Row>& rows) {
        for (const Row& r : rows) row(r);
    }

    // The plot engine's drawing of view, its top part (the plot with its titles and legend) scaled to
    // the content's width.
    void graph(const analysis::GraphView& view) {
        const double scale = contentWidth() / kGraphWidth;
        const int cropped = analysis::diagnosisNamesPlace(kGraphWidth, kGraphHeight, analysis::kBitmapLegendOffset).top - 2;
        const double h = cropped * scale;
        need(h + 6);
        y_ -= 3;
        doc_.beginClip(page_, kMargin, y_ - h, contentWidth(), h);
        {
            PdfCanvas canvas(doc_, page_, kMargin, y_, scale);
            analysis::DrawGraph(canvas, view, kGraphWidth, kGraphHeight, analysis::kBitmapLegendOffset);
        }
        doc_.endClip(page_);
        y_ -= h + 3;
    }

    // "Page N of M" and the program beside it, on every page once all are laid out.
    void footers() {
        const int count = doc_.pageCount();
        for (int p = 0; p < count; ++p) {
            doc_.line(p, kMargin, kMargin - 8, width_ - kMargin, kMargin - 8, 0.4, kRule);
            doc_.text(p, kMargin, kMargin - 20, versionText(), false, 8, kGrey);
            const std::string page = common::stringPrintf("Page %d of %d", p + 1, count);
            doc_.text(p, width_ - kMargin - doc_.textWidth(page, false, 8), kMargin - 20, page, false, 8, kGrey);
        }
    }

private:
    double cellWidth(const Row& row, std::size_t i) const { return row.shares[i] * contentWidth(); }

    void wrapParagraph(const std::string& text, double width, bool bold, double size, std::vector<std::string>& lines) {
        std::string current;
        std::size_t at = 0;
        if (text.empty()) lines.push_back(std::string());
        while (at < text.size()) {
            std::size_t next = text.find(' ', at);
            if (next == std::string::npos) next = text.size();
            std::string word = text.substr(at, next - at);
            at = next + 1;
            const std::string joined = current.empty() ? word : current + " " + word;
            if (doc_.textWidth(joined, bold, size) <= width) {
                current = joined;
                continue;
            }
            if (!current.empty()) lines.push_back(current);
            current.clear();
            // A word wider than the line is cut between characters (never inside one).
            while (!word.empty() && doc_.textWidth(word, bold, size) > width) {
                std::size_t cut = word.size();
                while (cut > 1 && doc_.textWidth(word.substr(0, cut), bold, size) > width) {
                    --cut;
                    while (cut > 1 && (static_cast<unsigned char>(word[cut]) & 0xC0) == 0x80) --cut;
                }
                lines.push_back(word.substr(0, cut));
                word.erase(0, cut);
            }
            current = word;
        }
        if (!current.empty()) lines.push_back(current);
    }

    PdfDocument& doc_;
    double width_, height_;
    int page_ = -1;
    double y_ = 0;
};

Row pairRow(const std::string& k1, const std::string& v1, const std::string& k2, const std::string& v2) {
    return {{{k1, false, true}, {v1}, {k2, false, true}, {v2}}, {0.2, 0.3, 0.2, 0.3}};
}
Row wideRow(const std::string& k, const std::string& v) { return {{{k, false, true}, {v}}, {0.2, 0.8}}; }

std::string orNone(const std::string& text) { return text.empty() ? "-" : text; }



void titleBlock(Flow& f, const ReportInput& in) {
    f.line(in.settings.title, true, kTitleSize);
    if (!in.settings.site.empty()) f.line(in.settings.site, false, 12);
    f.space(4);
    f.line("Report date: " + in.date + "     Database: " + in.databaseFile, false, kBodySize, kGrey);
    f.space(6);
}

void transformerSection(Flow& f, const ReportInput& in) {
    std::vector<Row> rows;
    rows.push_back({{{"Identifier", true, true}, {"Manufacturer", true, true}, {"Serial number", true, true},
                     {"Fingerprint sweep", true, true}},
                    {0.22, 0.25, 0.18, 0.35}});
    for (const ReportTransformer& t : in.transformers)
        rows.push_back({{{t.record.identifier.str()}, {orNone(t.record.manufacturer.str())},
                         {orNone(t.record.serialNumber.str())}, {t.fingerprint}},
                        rows.front().shares});
    f.heading(in.transformers.size() == 1 ? "Transformer" : "Transformers", f.rowHeight(rows[0]) * 2);
    f.rows(rows);
}

void sweepSection(Flow& f, const ReportInput& in) {
    const auto plots = analysis::defaultPlots();
    f.heading("Sweeps", 60);
    for (std::size_t i = 0; i < in.sweeps.size(); ++i) {
        const db::SweepBundle& b = in.sweeps[i];
        const db::SweepRecord& s = b.sweep;
        const bool overdue = analysis::calibrationWasOverdue(b);
        std::string title = common::stringPrintf("%zu. %s", i + 1, s.name.c_str());
        if (static_cast<int>(i) == in.reference) title += "  (reference)";
        const Row head{{{"\xE2\x96\xA0", true, false, pdfColour(analysis::curveColour(plots[i].leftColour, 0))},
                        {title + "    sweep id " + std::to_string(s.id), true}},
                       {0.04, 0.96}};
        std::vector<Row> rows = {
            pairRow("Date and time", s.date.str() + " " + s.time.str(), "Data type",
                    std::string(db::dataTypeName(s.dataType)) + ", " + std::to_string(s.pointCount()) + " points"),
            pairRow("Setup", orNone(b.setup.name.str()), "OLTC position", std::to_string(b.setup.oltc)),
            pairRow("Reference terminal", orNone(b.setup.referenceTerminal.str()), "Response terminal",
                    orNone(b.setup.responseTerminal.str())),
            pairRow("Connected terminals", orNone(b.setup.connectedTerminals.str()), "Unshielded lead length",
                    number(b.setup.unshieldedLength, "%.1f mm")),
            pairRow("Fluid filled", b.setup.fluidFilled ? "Yes" : "No", "Temperature", number(s.temperature, "%.1f \xC2\xB0" "C")),
            pairRow("Equipment", orNone(b.equipment.manufacturer.str() + " " + b.equipment.instrument.str()),
                    "Serial number", orNone(b.equipment.serialNumber.str())),
            pairRow("Calibration due", orNone(db::shownDate(b.equipment.calibrationDueDate.str())) + (overdue ? "  OVERDUE on the sweep's date" : ""),
                    "Peak voltage", number(s.peakVoltage, "%.2f V")),
            wideRow("Comments", orNone(s.comments.str())),
        };
        if (overdue) rows[6].cells[1].colour = kAlarm;
        f.need(f.rowHeight(head) + f.rowHeight(rows[0]) + 4);
        f.space(4);
        f.row(head);
        f.rows(rows);
    }
}

// The overlay of the sweeps on white, of their left-axis or right-axis quantity, the bands marked.
analysis::GraphView overlayView(const std::vector<db::SweepRecord>& sweeps, bool left) {
    analysis::GraphView view;
    view.sweeps = sweeps;
    view.plotOnly = true;
    analysis::GraphSettings& g = view.settings;
    g.background = analysis::kBackgroundWhite;
    g.logFrequency = true;
    g.leftCursorVisible = g.rightCursorVisible = false;
    for (std::size_t i = 0; i < sweeps.size(); ++i) {
        g.plots[i].leftVisible = left;
        g.plots[i].rightVisible = !left;
    }
    analysis::AutoscaleFrequency(view.ranges, sweeps);
    analysis::AutoscaleLeftAxis(view.ranges, sweeps);
    analysis::AutoscaleRightAxis(view.ranges, sweeps);
    if (!analysis::isLcrGraph(sweeps)) view.difference.bands = analysis::dlt911Bands();
    return view;
}

void graphSection(Flow& f, const std::vector<db::SweepRecord>& sweeps, bool lcr) {
    f.heading(lcr ? "Impedance" : "Frequency response", 290);
    f.line(lcr ? "Left-axis quantity of each sweep" : "Gain", true, kBodySize);
    f.graph(overlayView(sweeps, true));
    f.line(lcr ? "Right-axis quantity of each sweep" : "Phase", true, kBodySize);
    f.graph(overlayView(sweeps, false));
}

void assessmentSection(Flow& f, const ReportInput& in) {
    const db::SweepBundle& reference = in.sweeps[static_cast<std::size_t>(in.reference)];
    const analysis::CustomAnalysisSettings* custom = in.custom ? &*in.custom : nullptr;
    for (std::size_t i = 0; i < in.sweeps.size(); ++i) {
        if (static_cast<int>(i) == in.reference) continue;
        const db::SweepBundle& sweep = in.sweeps[i];
        const analysis::Assessment a = analysis::assess(reference, sweep, analysis::ComparisonKind::TimeBased, custom);
        const analysis::AssessmentTable table = analysis::tabulate({{"", a}});
        f.heading("Assessment: " + sweep.sweep.name.str() + " against " + reference.sweep.name.str(), 290);

        const std::vector<db::SweepRecord> pair = {reference.sweep, sweep.sweep};
        analysis::GraphView view = overlayView(pair, true);
        analysis::applyDiagnosisView(view.settings, view.ranges, 0, 1);
        view.settings.background = analysis::kBackgroundWhite;
        view.difference = analysis::diagnosisDifference(reference.sweep, sweep.sweep);
        f.graph(view);
        f.line(common::stringPrintf("Grid: the reference's %zu frequencies within the sweep's range, the sweep "
                                    "interpolated linearly in frequency and dB",
                                    a.difference.size()),
               false, kBodySize, kGrey);
        f.line("Comparability", true, kBodySize);
        for (const std::string& finding : table.findings) f.line("\xE2\x80\xA2 " + finding, false, kBodySize);
        f.line("Verdicts", true, kBodySize);
        for (const std::string& verdict : table.verdicts) f.line(verdict, true, kBodySize);
        f.space(3);
        // The indices table without its columns of band edges, which the band names and the verdict
        // lines already give.
        const std::vector<std::size_t> shown = {0, 1, 2, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
        const std::vector<double> shares = {0.1, 0.06, 0.09, 0.05, 0.07, 0.06, 0.1, 0.07, 0.07, 0.07, 0.07, 0.08, 0.11};
        constexpr double kTableSize = 7;
        Row head{{}, shares, kTableSize};
        for (std::size_t c : shown) head.cells.push_back({analysis::kIndexColumns[c], true, true});
        f.need(f.rowHeight(head) * 2);
        f.row(head);
        for (const auto& cells : table.rows) {
            Row r{{}, shares, kTableSize};
            for (std::size_t c : shown) r.cells.push_back({cells[c]});
            f.row(r);
        }
    }
}

void signatureSection(Flow& f) {
    const Row names{{{"Tested by", true, true}, {"Reviewed by", true, true}}, {0.5, 0.5}};
    const Row lines{{{"Name:\n\nSignature:\n\nDate:\n"}, {"Name:\n\nSignature:\n\nDate:\n"}}, {0.5, 0.5}};
    f.need(f.rowHeight(names) + f.rowHeight(lines) + 20);
    f.space(14);
    f.row(names);
    f.row(lines);
}

std::string describeSweep(std::int64_t id) {
    db::DiagnosisSweep s;
    if (id <= 0 || !db::findDiagnosisSweep(std::to_string(id), s)) return "none";
    std::string text = s.text;
    std::replace(text.begin(), text.end(), '\t', ' ');
    return text + " (sweep id " + s.id + ")";
}

}  // namespace

ReportSettings readReportSettings(const std::string& iniPath) {
    ReportSettings s;
    s.title = platform::getProfileString(iniPath, kSection, "Title", s.title, 256);
    s.site = platform::getProfileString(iniPath, kSection, "Site", "", 256);
    s.paper = platform::getProfileString(iniPath, kSection, "Paper", "A4", 16) == "Letter" ? Paper::Letter : Paper::A4;
    return s;
}

bool writeReportSettings(const std::string& iniPath, const ReportSettings& s) {
    return platform::writeProfileString(iniPath, kSection, "Title", s.title) &&
           platform::writeProfileString(iniPath, kSection, "Site", s.site) &&
           platform::writeProfileString(iniPath, kSection, "Paper", s.paper == Paper::Letter ? "Letter" : "A4");
}

void readReportIni(const std::string& iniPath, ReportInput& input) {
    input.settings = readReportSettings(iniPath);
    analysis::CustomAnalysisSettings custom;
    if (analysis::readCustomAnalysis(iniPath, custom)) input.custom = custom;
    else input.custom.reset();
}

std::string loadReport(const std::vector<std::int64_t>& ids, std::int64_t referenceId, ReportInput& input) {
    std::vector<std::int64_t> all = ids;
    if (referenceId > 0 && std::find(all.begin(), all.end(), referenceId) == all.end()) all.insert(all.begin(), referenceId);
    if (all.empty()) return "No sweeps to report";
    if (all.size() > static_cast<std::size_t>(analysis::kMaxSweeps)) return "A report holds at most nine sweeps";
    input.sweeps.assign(all.size(), db::SweepBundle{});
    input.transformers.clear();
    input.reference = -1;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < all.size(); ++i) {
        db::SweepBundle& b = input.sweeps[i];
        if (!db::load_sweep_bundle(all[i], b)) return "There is no sweep with id " + std::to_string(all[i]);
        if (all[i] == referenceId) input.reference = static_cast<int>(i);
        if (seen.insert(b.transformer.identifier.str()).second)
            input.transformers.push_back({b.transformer, describeSweep(b.transformer.fingerprintSweepId)});
    }
    const platform::LocalTime t = platform::localTimeNow();
    input.date = common::stringPrintf("%02d-%02d-%04d", t.day, t.month, t.year);
    const bool lcr = input.sweeps.front().sweep.dataType == db::kDataLcr;
    for (const db::SweepBundle& b : input.sweeps)
        if ((b.sweep.dataType == db::kDataLcr) != lcr) return "LCR and FRA sweeps cannot be reported together";
    if (lcr && input.reference >= 0) return "Only FRA sweeps can be assessed against a reference";
    return std::string();
}

std::string reportBytes(const ReportInput& in, std::string& error) {
    PdfDocument doc(shippedFontFolder());
    Flow f(doc, in.settings.paper);
    std::vector<db::SweepRecord> sweeps;
    for (const db::SweepBundle& b : in.sweeps) sweeps.push_back(b.sweep);
    titleBlock(f, in);
    transformerSection(f, in);
    sweepSection(f, in);
    if (!sweeps.empty()) graphSection(f, sweeps, analysis::isLcrGraph(sweeps));
    if (in.reference >= 0) assessmentSection(f, in);
    signatureSection(f);
    f.footers();
    std::string bytes = doc.bytes();
    error = doc.error();
    return bytes;
}

std::string writeReport(const ReportInput& input, const std::string& path) {
    std::string error;
    const std::string bytes = reportBytes(input, error);
    if (bytes.empty()) return "The report could not be made: " + error;
    if (!platform::writeWholeFile(path, bytes)) return "The report could not be written to " + path;
    return std::string();
}

}  // namespace interchange
