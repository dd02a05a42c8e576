// The screen download: reply rows decoded from literal lines, refused when they do not fit the
// picture, and the whole download against a scripted instrument, broken off or complete.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/bmp_file.h"
#include "instrument/screen_capture.h"
#include "support/script_peer.h"
#include "support/temp_dir.h"

using namespace instrument;
using testing_support::ScriptPeer;

namespace {

// Counts the worker's reports.
struct CountingSink final : platform::NotificationSink {
    void notify(int command, long long parameter) override {
        if (command == kNotifyScreenSteps) steps = parameter;
        if (command == kNotifyScreenStep) last = parameter;
    }
    long long steps = 0, last = 0;
};

InstrumentLink linkTo(const ScriptPeer& peer, int model) {
    InstrumentLink link;
    link.interfaceType = kLan;
    link.ipAddress = "127.0.0.1";
    link.lanPort = peer.port();
    link.connected = true;
    link.model = model;
    return link;
}

// n lines of "#M" and the same 40 bytes.
std::string monoLines(int n, const std::string& hexRow) {
    std::string lines;
    for (int i = 0; i < n; ++i) lines += "#M" + hexRow + "\r\n";
    return lines;
}

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

}  // namespace

TEST(ScreenRows, BlackAndWhiteBytesAreBitReversedAndInvertedColourLevelsSpreadOverTheirIntensities) {
    // Ink in pixel 0 (bit 0) becomes a black leftmost pixel (top bit clear); 0x80 inks pixel 7.
    std::uint8_t row[2];
    ASSERT_TRUE(parseMonoRow("#M0180", 16, row));
    EXPECT_EQ(row[0], 0x7F);
    EXPECT_EQ(row[1], 0xFE);
    ASSERT_TRUE(parseMonoRow("xxfF00\n", 16, row)) << "any two leading characters, either case, a serial line end";
    EXPECT_EQ(row[0], 0x00);
    EXPECT_EQ(row[1], 0xFF);

    std::uint8_t pixels[4];
    ASSERT_TRUE(parseColourLine("#C0003302A", 16, pixels));
    EXPECT_EQ(pixels[1], 0x03);
    EXPECT_EQ(pixels[3], 0x2A);
    EXPECT_EQ(levelIntensity(0), 0);
    EXPECT_EQ(levelIntensity(1), 64);
    EXPECT_EQ(levelIntensity(2), 128);
    EXPECT_EQ(levelIntensity(3), 255);
}

TEST(ScreenRows, LinesThatDoNotFitTheRowAreRefusedWithoutWritingPastIt) {
    std::uint8_t buffer[6];
    std::memset(buffer, 0xAA, sizeof buffer);
    std::uint8_t* row = buffer + 2;  // two guard bytes either side of a 16-pixel row
    EXPECT_FALSE(parseMonoRow("#M010203", 16, row)) << "one byte too many";
    EXPECT_FALSE(parseMonoRow("#M01", 16, row)) << "one byte short";
    EXPECT_FALSE(parseMonoRow("#M0G00", 16, row)) << "not a hex digit";
    EXPECT_FALSE(parseMonoRow("#M 100", 16, row));
    EXPECT_FALSE(parseMonoRow("", 16, row));
    EXPECT_FALSE(parseColourLine("#C00112233FF", 16, row)) << "five pixel bytes for a quarter of four";
    for (int guard : {0, 1, 4, 5}) EXPECT_EQ(buffer[guard], 0xAA) << guard;
}

TEST(ScreenDownload, SizesAndCommandsFollowTheModel) {
    InstrumentLink link;
    EXPECT_EQ(screenSizeOf(link).width, 0) << "nothing to download without an identified instrument";
    link.connected = true;
    link.model = 11;
    EXPECT_EQ(screenSizeOf(link).width, 320);
    EXPECT_EQ(screenSizeOf(link).height, 240);
    link.model = 16;
    EXPECT_EQ(screenSizeOf(link).width, 512);
    EXPECT_EQ(screenSizeOf(link).height, 272);

    EXPECT_EQ(screenCommand(11, false, kScreenGroup1), "SCREEN?\n") << "groups are the model-16 display's";
    EXPECT_EQ(screenCommand(16, false, kScreenGroup1), "SCREEN,GROUP1?\n");
    EXPECT_EQ(screenCommand(16, true, kScreenGroup2), "SCREEN,COLOUR,GROUP2?\n");
    EXPECT_EQ(screenCommand(16, true, kScreenWhole), "SCREEN,COLOUR?\n");
    EXPECT_EQ(remainingTimeText(0, 0, 240), "Unknown");
    EXPECT_EQ(remainingTimeText(2000, 40, 240), "10 seconds");
    EXPECT_EQ(remainingTimeText(30000, 100, 400), "1 min 30 sec");
}

// A model-10 instrument: 240 lines of 40 bytes, held with SUSPEND,ON and let go with SUSPEND,OFF.
TEST(ScreenDownload, ABlackAndWhiteScreenOfAModelTenInstrument) {
    ScriptPeer peer(ScriptPeer::Kind::Tcp);
    peer.on("SCREEN?", monoLines(239, repeat("00", 39) + "01") + "#M" + repeat("FF", 40) + "\r\n");
    InstrumentLink link = linkTo(peer, 10);
    CountingSink sink;
    ScreenPicture picture;
    bool downloaded = false;
    ASSERT_TRUE(holdForScreenDownload(link, [&] {
        downloaded = downloadScreen(link, {screenSizeOf(link), link.model, false, kScreenWhole}, picture, sink);
    }));
    EXPECT_FALSE(link.open);
    ASSERT_TRUE(downloaded);
    EXPECT_TRUE(picture.valid);
    EXPECT_FALSE(picture.isColour);
    ASSERT_EQ(picture.mono.size(), 40u * 240);
    EXPECT_EQ(picture.mono[0], 0xFF);
    EXPECT_EQ(picture.mono[39], 0x7F) << "the last pixel of row 0 is ink";
    EXPECT_EQ(picture.mono[40 * 239], 0x00) << "the bottom row is all ink";
    EXPECT_EQ(sink.steps, 240);
    EXPECT_EQ(sink.last, 240);
    ASSERT_TRUE(peer.waitFor("SUSPEND,OFF\n"));
    const std::string wire = peer.received();
    EXPECT_LT(wire.find("SUSPEND,ON\n"), wire.find("SCREEN?\n"));
    EXPECT_LT(wire.find("SCREEN?\n"), wire.find("SUSPEND,OFF\n"));
}

// Four lines a row; the picture is kept bottom-up as the bitmap file wants it, and written whole.
TEST(ScreenDownload, AColourScreenWrittenAsABitmapFile) {
    ScriptPeer peer(ScriptPeer::Kind::Tcp);
    // Row 0 starts with a red pixel (level 3), then green level 1; every other pixel blue level 2.
    const std::string blue = repeat("20", 80);
    std::string lines = "#C030" + std::string("4") + repeat("20", 78) + "\r\n";
    for (int i = 1; i < 4 * 240; ++i) lines += "#C" + blue + "\r\n";
    peer.on("SCREEN,COLOUR?", lines);
    InstrumentLink link = linkTo(peer, 11);
    CountingSink sink;
    ScreenPicture picture;
    ASSERT_TRUE(holdForScreenDownload(link, [&] {
        EXPECT_TRUE(downloadScreen(link, {screenSizeOf(link), link.model, true, kScreenWhole}, picture, sink));
    }));
    EXPECT_EQ(sink.last, 960);
    ASSERT_TRUE(picture.valid && picture.isColour);
    const std::size_t stride = 960;  // 320 pixels of 3 bytes
    const std::string topRow = picture.colourRows.substr(stride * 239, 9);
    EXPECT_EQ(topRow, std::string("\x00\x00\xFF\x00\x40\x00\x80\x00\x00", 9)) << "blue, green, red bytes";

    testing_support::TempDir dir;
    ASSERT_TRUE(saveColourScreen(picture, dir.file(kColourScreenFile)));
    const std::string file = testing_support::readFile(dir.file(kColourScreenFile));
    std::uint32_t width = 0, height = 0;
    ASSERT_TRUE(common::bmpPictureSize(file, width, height));
    EXPECT_EQ(width, 320u);
    EXPECT_EQ(height, 240u);
    EXPECT_EQ(file.substr(54), picture.colourRows);
}

// A reply that stops after ten rows, or a row longer than the picture's: the instrument is
// interrupted, the picture is not valid, and the caller still lets the instrument go.
TEST(ScreenDownload, ABrokenOffOrMalformedReplyEndsTheDownloadAndInterruptsTheInstrument) {
    for (const std::string& reply : {monoLines(10, repeat("00", 40)), monoLines(3, repeat("00", 41))}) {
        ScriptPeer peer(ScriptPeer::Kind::Tcp);
        peer.on("SCREEN?", reply);
        InstrumentLink link = linkTo(peer, 11);
        CountingSink sink;
        ScreenPicture picture;
        ASSERT_TRUE(holdForScreenDownload(link, [&] {
            linkSetReadTimeout(300, link);
            EXPECT_FALSE(downloadScreen(link, {screenSizeOf(link), link.model, false, kScreenWhole}, picture, sink));
        }));
        linkSetReadTimeout(5000, link);
        EXPECT_FALSE(picture.valid);
        EXPECT_FALSE(link.open);
        ASSERT_TRUE(peer.waitFor("SUSPEND,OFF\n"));
        const std::string wire = peer.received();
        const std::size_t abort = wire.find(std::string("\x14\n\0\x19\n\0", 6));
        ASSERT_NE(abort, std::string::npos);
        EXPECT_LT(abort, wire.find("SUSPEND,OFF\n"));
    }
}
