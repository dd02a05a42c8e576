// The diagnosis results panel: its cells with and without a diagnosis, the gradient boxes and their
// grading of the band factors, and the fixed view of a diagnosis.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "analysis/diagnosis_panel.h"
#include "analysis/plot_engine.h"
#include "support/recording_canvas.h"

using namespace analysis;
using testing_support::DrawCall;
using testing_support::RecordingCanvas;

namespace {

// A strip 884 wide at (70, 100): cells of 147 pixels, 28 high inside the frame.
constexpr int kX = 70, kY = 100, kWidth = 884, kCell = kWidth / 6;

Rect cellRect(int e) { return {kX + e * kCell + 1, kY + 1, kX + (e + 1) * kCell + (e == 5 ? 1 : 0), kY + 29}; }

DiagnosisPanelData panel(int classCode, double rlf, double rmf, double rhf) {
    DiagnosisPanelData p;
    p.result.classCode = classCode;
    p.result.bands[kRLF].Rxy = rlf;
    p.result.bands[kRMF].Rxy = rmf;
    p.result.bands[kRHF].Rxy = rhf;
    p.fingerprintName = "Tap 5 2019";
    p.diagnosedName = "Tap 5 2023";
    return p;
}

RecordingCanvas drawPanel(const DiagnosisPanelData& p, int background = kBackgroundBlack) {
    GraphSettings s;
    s.background = background;
    RecordingCanvas canvas;
    DrawDiagnosisPanel(canvas, p, s, kX, kY, kWidth);
    return canvas;
}

bool inside(const Rect& inner, const Rect& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

// The top colour of the gradient drawn in cell e, or -1 when the cell has none.
long long boxTop(const RecordingCanvas& c, int e) {
    for (const auto& call : c.ofKind(DrawCall::FillRect))
        if (inside(call.rect, cellRect(e))) return call.colour;
    return -1;
}

// The text drawn in the lower (value) half of cell e.
DrawCall value(const RecordingCanvas& c, int e) {
    const Rect cell = cellRect(e);
    for (const auto& call : c.ofKind(DrawCall::DrawText))
        if (call.rect.left == cell.left + 6 && call.rect.bottom == cell.bottom) return call;
    return {};
}

DrawCall label(const RecordingCanvas& c, int e) {
    const Rect cell = cellRect(e);
    for (const auto& call : c.ofKind(DrawCall::DrawText))
        if (call.rect.left == cell.left + 6 && call.rect.top == cell.top) return call;
    return {};
}

const Colour kRedTop = rgb(255, 0, 0), kOrangeTop = rgb(247, 130, 27), kYellowTop = rgb(255, 255, 51),
             kGreenTop = rgb(0, 255, 0);

}  // namespace

TEST(DiagnosisPanel, WithoutDiagnosisEveryCellSaysSo) {
    RecordingCanvas c = drawPanel(DiagnosisPanelData{});
    EXPECT_EQ(c.texts(), (std::vector<std::string>{"Diagnosis:", "No Diagnosis Info.", "No Sweep Selected",
                                                   "No Sweep Selected", "Results:", "No Diagnosis Info.",
                                                   "RLF (1k-100k):", "No Diagnosis Info.", "RMF (100k-600k):",
                                                   "No Diagnosis Info.", "RHF (600k-1M):", "No Diagnosis Info."}));
    for (const auto& call : c.ofKind(DrawCall::DrawText)) EXPECT_EQ(call.colour, kWhite);
    EXPECT_EQ(label(c, 0).font.weight, 400);
    EXPECT_EQ(value(c, 0).font.weight, 700);

    // The strip: one pixel larger than its place, 6 cells + 4 wide, framed; then each cell framed.
    const auto fills = c.ofKind(DrawCall::FillRect);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect, (Rect{kX - 1, kY - 1, kX - 1 + 6 * kCell + 4, kY + 31}));
    const auto frames = c.ofKind(DrawCall::FrameRect);
    ASSERT_EQ(frames.size(), 7u);
    EXPECT_EQ(frames[0].colour, kStockLightGrey);
    for (int e = 0; e < 6; ++e) EXPECT_EQ(frames[1 + e].rect, cellRect(e));

    RecordingCanvas white = drawPanel(DiagnosisPanelData{}, kBackgroundWhite);
    EXPECT_EQ(white.ofKind(DrawCall::FrameRect)[0].colour, kStockDarkGrey);
    EXPECT_EQ(white.ofKind(DrawCall::FillRect)[0].colour, kWhite);
    EXPECT_EQ(white.ofKind(DrawCall::DrawText)[0].colour, kBlack);
}

TEST(DiagnosisPanel, NormalWindingPasses) {
    RecordingCanvas c = drawPanel(panel(kNormalWinding, 10, 10, 10));
    EXPECT_EQ(value(c, 0).text, "PASS");
    EXPECT_EQ(value(c, 0).colour, kGreenTop);
    EXPECT_EQ(boxTop(c, 0), -1);
    const auto names = c.textCalls("Tap 5 2019");
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(names[0].flags & kTextCenter);
    EXPECT_EQ(c.textCalls("Tap 5 2023").size(), 1u);
    EXPECT_EQ(value(c, 2).text, "Normal Winding");
    EXPECT_EQ(value(c, 2).colour, kBlack);
    EXPECT_EQ(boxTop(c, 2), kGreenTop);
    for (int e = 3; e < 6; ++e) {
        EXPECT_EQ(value(c, e).text, "10.0000");
        EXPECT_EQ(boxTop(c, e), kGreenTop);
    }
}

TEST(DiagnosisPanel, GentleDeformationWarns) {
    RecordingCanvas c = drawPanel(panel(kGentleDeformation, 1.2, 1.5, 0.3));
    EXPECT_EQ(value(c, 0).text, "WARNING");
    EXPECT_EQ(value(c, 0).colour, rgb(247, 130, 27));
    EXPECT_EQ(value(c, 2).text, "Gentle Deformation");
    EXPECT_EQ(boxTop(c, 2), kYellowTop);
    EXPECT_EQ(value(c, 3).text, "1.2000");
    EXPECT_EQ(boxTop(c, 3), kYellowTop);
    EXPECT_EQ(boxTop(c, 4), kYellowTop);
    // On red, label and value are white.
    EXPECT_EQ(boxTop(c, 5), kRedTop);
    EXPECT_EQ(value(c, 5).text, "0.3000");
    EXPECT_EQ(value(c, 5).colour, kWhite);
    EXPECT_EQ(label(c, 5).text, "RHF (600k-1M):");
    EXPECT_EQ(label(c, 5).colour, kWhite);
}

TEST(DiagnosisPanel, UnknownAndFailingClasses) {
    RecordingCanvas unknown = drawPanel(panel(kUnknownDiagnosis, 2.5, 0.8, 0.7));
    EXPECT_EQ(value(unknown, 0).text, "UNKNOWN");
    EXPECT_EQ(value(unknown, 0).colour, kWhite);
    EXPECT_EQ(value(unknown, 2).text, "Unknown");
    EXPECT_EQ(boxTop(unknown, 2), -1);
    EXPECT_EQ(boxTop(unknown, 3), kGreenTop);
    EXPECT_EQ(value(unknown, 4).text, "0.8000");
    EXPECT_EQ(boxTop(unknown, 4), kGreenTop);
    EXPECT_EQ(boxTop(unknown, 5), kGreenTop);

    RecordingCanvas obvious = drawPanel(panel(kObviousDeformation, 0.8, 1.5, 1.0));
    EXPECT_EQ(value(obvious, 0).text, "FAIL");
    EXPECT_EQ(value(obvious, 0).colour, kRedTop);
    EXPECT_EQ(value(obvious, 2).text, "Obvious Deformation");
    EXPECT_EQ(boxTop(obvious, 2), kOrangeTop);
    EXPECT_EQ(boxTop(obvious, 3), kOrangeTop);

    RecordingCanvas severe = drawPanel(panel(kSevereDeformation, -0.301, 0.2, 0.1));
    EXPECT_EQ(value(severe, 2).text, "Severe Deformation");
    EXPECT_EQ(value(severe, 2).colour, kWhite);
    EXPECT_EQ(value(severe, 3).text, "-0.3010");
}

TEST(DiagnosisPanel, BandWithoutPointsIsNotGraded) {
    RecordingCanvas c = drawPanel(panel(kUnknownDiagnosis, 10, 10, std::nan("")));
    EXPECT_EQ(value(c, 5).text, "N/A");
    EXPECT_EQ(boxTop(c, 5), -1);
    EXPECT_EQ(value(c, 5).colour, kWhite);
}

TEST(DiagnosisPanel, GradingOfTheBandFactors) {
    EXPECT_EQ(bandBox(kRLF, 0.59), GradientBox::Red);
    EXPECT_EQ(bandBox(kRLF, 0.6), GradientBox::Orange);
    EXPECT_EQ(bandBox(kRLF, 0.99), GradientBox::Orange);
    EXPECT_EQ(bandBox(kRLF, 1.0), GradientBox::Yellow);
    EXPECT_EQ(bandBox(kRLF, 2.0), GradientBox::Green);
    EXPECT_EQ(bandBox(kRMF, 0.59), GradientBox::Red);
    EXPECT_EQ(bandBox(kRMF, 0.8), GradientBox::Green);
    EXPECT_EQ(bandBox(kRMF, 1.99), GradientBox::Yellow);
    EXPECT_EQ(bandBox(kRMF, 2.5), GradientBox::Green);
    EXPECT_EQ(bandBox(kRHF, 0.59), GradientBox::Red);
    EXPECT_EQ(bandBox(kRHF, 1.5), GradientBox::Green);
    EXPECT_EQ(bandBox(kRLF, INFINITY), GradientBox::None);
    EXPECT_EQ(bandValueText(std::nan("")), "N/A");
    EXPECT_EQ(bandValueText(0.8), "0.8000");
    EXPECT_EQ(classBox(kUnknownDiagnosis), GradientBox::None);
}

TEST(DiagnosisPanel, GradientShadesInTenBands) {
    RecordingCanvas c;
    drawGradient(c, {0, 0, 10, 30}, rgb(255, 0, 0), rgb(255, 150, 150));
    const auto fills = c.ofKind(DrawCall::FillRect);
    ASSERT_EQ(fills.size(), 10u);
    EXPECT_EQ(fills[0].rect, (Rect{0, 0, 10, 3}));
    EXPECT_EQ(fills[0].colour, rgb(255, 0, 0));
    EXPECT_EQ(fills[5].rect, (Rect{0, 15, 10, 18}));
    EXPECT_EQ(fills[5].colour, rgb(255, 75, 75));
    EXPECT_EQ(fills[9].colour, rgb(255, 135, 135));

    // Bands of ceil(height / 10) pixels stop at the bottom.
    RecordingCanvas odd;
    drawGradient(odd, {0, 0, 10, 26}, rgb(0, 255, 0), rgb(200, 255, 200));
    const auto oddFills = odd.ofKind(DrawCall::FillRect);
    ASSERT_EQ(oddFills.size(), 9u);
    EXPECT_EQ(oddFills.back().rect, (Rect{0, 24, 10, 26}));
}

TEST(DiagnosisPanel, SitsUnderTheLegendOfTheGraph) {
    db::SweepRecord s;
    s.name = "a";
    s.basicPoints = {{100, -40, 0}, {1000, -50, 0}};
    std::vector<db::SweepRecord> sweeps = {s};
    GraphView v;
    v.sweeps = sweeps;
    for (int offset : {kWindowLegendOffset, kBitmapLegendOffset}) {
        RecordingCanvas c;
        DrawGraph(c, v, 1024, 625, offset);
        const auto texts = c.textCalls("Diagnosis:");
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].rect.top, 475 + offset + 20 + 1);
        const Rect names = diagnosisNamesPlace(1024, 625, offset);
        const auto frames = c.ofKind(DrawCall::FrameRect);
        EXPECT_TRUE(std::any_of(frames.begin(), frames.end(), [&](const DrawCall& f) { return f.rect == names; }))
            << "the names' cell is where the graph draws it";
    }
}

TEST(DiagnosisPanel, ANameWiderThanItsCellEndsInAnEllipsisWhereItIsCut) {
    DiagnosisPanelData p = panel(kNormalWinding, 1.5, 1.5, 1.5);
    p.fingerprintName = "Commissioning fingerprint HV-LV Ω tap 9";  // 39 characters, 6 pixels each
    RecordingCanvas c = drawPanel(p);
    std::vector<DrawCall> names;
    for (const auto& call : c.ofKind(DrawCall::DrawText))
        if (inside(call.rect, cellRect(1))) names.push_back(call);
    ASSERT_EQ(names.size(), 2u);
    const std::string& cut = names[0].text;
    EXPECT_TRUE(cut.starts_with("Commissioning finge")) << cut;
    EXPECT_TRUE(cut.ends_with("...")) << cut;
    EXPECT_LE(c.textExtent(cut).cx, names[0].rect.width());
    EXPECT_GT(c.textExtent(cut.substr(0, cut.size() - 3) + "x...").cx, names[0].rect.width()) << "as much as fits";
    EXPECT_EQ(names[1].text, "Tap 5 2023") << "a name that fits is whole";
    EXPECT_EQ(diagnosisNamesCell(kX, kY, kWidth), cellRect(1));

    // A cut never splits a character: 22 characters fit, the last three of them the ellipsis.
    p.fingerprintName = std::string(18, 'x') + "ΩΩΩΩΩ";
    RecordingCanvas omega = drawPanel(p);
    EXPECT_EQ(omega.textCalls(std::string(18, 'x') + "Ω...").size(), 1u);
}

TEST(DiagnosisView, ShowsOnlyTheTwoGainCurves) {
    GraphSettings s;
    AxisRanges r;
    r.leftMin = -70;
    s.logFrequency = false;
    s.leftCursorVisible = true;
    applyDiagnosisView(s, r, 2, 0);
    EXPECT_TRUE(s.logFrequency);
    EXPECT_FALSE(s.leftCursorVisible);
    EXPECT_EQ(s.frequencyScaling, kScaleManual);
    EXPECT_EQ(r.frequencyMin, 1000);
    EXPECT_EQ(r.frequencyMax, 1000000);
    EXPECT_EQ(r.leftMin, -70);
    for (int i = 0; i < kMaxSweeps; ++i) {
        EXPECT_FALSE(s.plots[i].rightVisible);
        EXPECT_EQ(s.plots[i].leftVisible, i == 0 || i == 2);
    }
}
