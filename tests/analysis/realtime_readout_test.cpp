// The realtime readout: value texts, the tile grid, the fitted fonts, and a value-only redraw.
#include <gtest/gtest.h>

#include <vector>

#include "analysis/realtime_readout.h"
#include "support/recording_canvas.h"

using namespace analysis;
using testing_support::DrawCall;
using testing_support::RecordingCanvas;

TEST(RealtimeReadout, ValuesCarryTheirUnitsAfterTheNumber) {
    const auto fra = fraReadoutValues({2500, 0.5, 1.5e-3, 0, -123.4567, 12e-6});
    EXPECT_EQ(fra,
              (std::vector<std::string>{"2.5000 kHz", "500.00 mV", "1.5000 mV", "0.00dB", "-123.46°", "12.000 us"}));
    EXPECT_EQ(fraReadoutValues({1, 0, 0, 12.34567, 100, 0})[3], "12.346dB");
    EXPECT_EQ(fraReadoutValues({1, 0, 0, 12.34567, 100, 0})[4], "100.00°");

    const double longReply[14] = {1000, 1, 0.02, 50, -45, 35, 1e-3, 2e-6, 70, 2e-3, 1e-6, 0.0123, 81.3, -35};
    const auto lcr = lcrReadoutValues(longReply);
    ASSERT_EQ(lcr.size(), 14u);
    EXPECT_EQ(lcr[3], "50.000 Ω");
    EXPECT_EQ(lcr[4], "-45.000°");
    EXPECT_EQ(lcr[11], "12.300 m");  // Tan δ has no unit
    EXPECT_EQ(readoutLabels(ReadoutForm::LcrLong)[11], "Tan δ");

    const double shortReply[11] = {1000, 1, 0.02, 50, -45, 35, -35, 0.02, 45, 0.014, 0.014};
    const auto shortForm = lcrReadoutValues(shortReply);
    ASSERT_EQ(shortForm.size(), 11u);
    EXPECT_EQ(readoutLabels(ReadoutForm::LcrShort)[7], "Admittance");
    EXPECT_EQ(shortForm[7], "20.000 mS");  // an admittance in siemens, not ohms
    EXPECT_EQ(shortForm[8], "45.000°");
}

TEST(RealtimeReadout, GridIsTheFirstLayoutThatHoldsTheTiles) {
    auto grid = [](int n, int w, int h) {
        const TileGrid g = readoutGrid(n, w, h);
        return std::pair{g.columns, g.rows};
    };
    EXPECT_EQ(grid(6, 986, 278), (std::pair{3, 2}));
    EXPECT_EQ(grid(6, 278, 986), (std::pair{3, 2}));
    EXPECT_EQ(grid(2, 100, 100), (std::pair{1, 2}));
    EXPECT_EQ(grid(11, 986, 278), (std::pair{4, 4}));
    EXPECT_EQ(grid(14, 986, 278), (std::pair{4, 4}));
    EXPECT_EQ(grid(30, 600, 400), (std::pair{6, 5}));
    EXPECT_EQ(grid(30, 400, 400), (std::pair{5, 6}));
}

TEST(RealtimeReadout, FontsAreTheLargestThatFitTheirBoxes) {
    for (const ReadoutForm form : {ReadoutForm::Fra, ReadoutForm::LcrLong, ReadoutForm::LcrShort})
        for (const auto& [w, h] : {std::pair{986, 452}, std::pair{986, 180}, std::pair{300, 60}}) {
            RecordingCanvas canvas;
            const ReadoutLayout layout = layOutReadout(canvas, form, w, h);
            EXPECT_TRUE(layout.matches(form, w, h));
            ASSERT_EQ(static_cast<int>(layout.tiles.size()), readoutTileCount(form));
            std::vector<std::string> samples;
            for (const auto& label : readoutLabels(form)) samples.push_back("8" + label + "8");
            const Rect labelBox = layout.tiles[0].labelBox, valueBox = layout.tiles[0].valueBox;
            // Whether every sample fits the box at a height, measured afresh.
            auto fitsAt = [&](Font font, int height, const std::vector<std::string>& texts, const Rect& box) {
                font.height = height;
                RecordingCanvas probe;
                probe.selectFont(font);
                for (const auto& t : texts) {
                    const Size e = probe.textExtent(t);
                    if (e.cx > box.width() || e.cy > box.height()) return false;
                }
                return true;
            };
            ASSERT_GT(layout.labelFont.height, 0);
            EXPECT_TRUE(fitsAt(layout.labelFont, layout.labelFont.height, samples, labelBox));
            EXPECT_FALSE(fitsAt(layout.labelFont, layout.labelFont.height + 1, samples, labelBox));
            ASSERT_GT(layout.valueFont.height, 0);
            EXPECT_TRUE(fitsAt(layout.valueFont, layout.valueFont.height, {" -8.8888E88 Hz "}, valueBox));
            EXPECT_FALSE(fitsAt(layout.valueFont, layout.valueFont.height + 1, {" -8.8888E88 Hz "}, valueBox));
        }
    RecordingCanvas canvas;
    EXPECT_EQ(layOutReadout(canvas, ReadoutForm::Fra, 30, 6).valueFont.height, 0);  // nothing fits
}

TEST(RealtimeReadout, ANewReadingRedrawsTheValueBoxesAlone) {
    RecordingCanvas measure;
    const ReadoutLayout layout = layOutReadout(measure, ReadoutForm::Fra, 986, 452);
    const auto values = fraReadoutValues({2500, 0.5, 1.5e-3, 0, -12.5, 12e-6});

    RecordingCanvas whole;
    drawReadout(whole, layout, values, rgb(240, 240, 240));
    EXPECT_EQ(whole.textCalls("Magnitude 1").size(), 1u);
    ASSERT_EQ(whole.textCalls("-12.500°").size(), 1u);
    EXPECT_EQ(whole.textCalls("-12.500°")[0].rect, layout.tiles[4].valueBox);
    EXPECT_EQ(whole.textCalls("-12.500°")[0].colour, rgb(255, 255, 0));

    RecordingCanvas values_only;
    drawReadoutValues(values_only, layout, values);
    ASSERT_FALSE(values_only.calls.empty());
    for (const DrawCall& c : values_only.calls) {
        bool inABox = false;
        for (const auto& tile : layout.tiles) inABox = inABox || c.rect == tile.valueBox;
        EXPECT_TRUE(inABox) << c.text;
    }
    EXPECT_EQ(values_only.texts(), values);
}
