// The analyser's display as it is read out over the link: a drawn picture of the last sweep, serialised
// as monochrome rows (one bit per pixel) or colour rows (one byte per pixel, four reply lines a row).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace sim {

// Display size by the model in the identity ("maker,model,serial,version"): the wide display of the
// ZWA87, ZWA97 and ZWA7 families is 512 x 272, every other model 320 x 240.
struct ScreenSize {
    int width = 320;
    int height = 240;
};
ScreenSize screenSizeForIdentity(const std::string& identity);

// What the display shows.
struct ScreenContent {
    std::string title;                                 // top bar
    std::vector<std::pair<double, double>> gainCurve;  // (Hz, dB), ascending frequency
    std::string status;                                // bottom line
};

class ScreenImage {
public:
    ScreenImage(ScreenSize size, const ScreenContent& content);

    int width() const { return width_; }
    int height() const { return height_; }
    // Colour of one pixel: bits 0-1 red, 2-3 green, 4-5 blue.
    std::uint8_t pixel(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    // Whether the black-and-white form shows the pixel as ink: everything drawn, but not the
    // background or the title bar.
    bool ink(int x, int y) const;

    // height lines of prefix + width/8 bytes in hex; bit i of byte b is pixel 8b+i, set where something
    // is drawn (the background and the title bar are left clear).
    std::vector<std::string> monochromeLines() const;
    // 4 x height lines of prefix + width/4 pixel bytes in hex; four lines make one row, left to right.
    std::vector<std::string> colourLines() const;

    static constexpr std::uint8_t kBackground = 0x10;  // dark blue

private:
    void fill(int x0, int y0, int x1, int y1, std::uint8_t colour);
    void plot(int x, int y, std::uint8_t colour);
    void line(int x0, int y0, int x1, int y1, std::uint8_t colour);
    void text(int x, int y, const std::string& s, std::uint8_t colour, int scale);
    void draw(const ScreenContent& content);

    int width_, height_;
    std::vector<std::uint8_t> pixels_;
};

}  // namespace sim
