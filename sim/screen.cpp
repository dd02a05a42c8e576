// Draws the analyser's display (title bar, gain graph with grid and labels, status line) and encodes it
// in the two download forms.
#include "screen.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace sim {

namespace {

constexpr std::uint8_t kWhite = 0x3F;
constexpr std::uint8_t kGrey = 0x15;
constexpr std::uint8_t kLightGrey = 0x2A;
constexpr std::uint8_t kYellow = 0x0F;
constexpr std::uint8_t kTitleBar = 0x24;  // teal

// On the monochrome form the background and the title bar are paper, everything drawn is ink.
bool isInk(std::uint8_t colour) { return colour != ScreenImage::kBackground && colour != kTitleBar; }

// A 3 x 5 pixel font: five rows of three bits, left pixel first.
struct Glyph {
    char c;
    const char* rows;
};
constexpr Glyph kFont[] = {
    {'0', "111101101101111"}, {'1', "010110010010111"}, {'2', "111001111100111"}, {'3', "111001111001111"},
    {'4', "101101111001001"}, {'5', "111100111001111"}, {'6', "111100111101111"}, {'7', "111001001001001"},
    {'8', "111101111101111"}, {'9', "111101111001111"}, {'A', "010101111101101"}, {'B', "110101110101110"},
    {'C', "011100100100011"}, {'D', "110101101101110"}, {'E', "111100110100111"}, {'F', "111100110100100"},
    {'G', "011100101101011"}, {'H', "101101111101101"}, {'I', "111010010010111"}, {'J', "001001001101010"},
    {'K', "101101110101101"}, {'L', "100100100100111"}, {'M', "101111111101101"}, {'N', "110101101101101"},
    {'O', "010101101101010"}, {'P', "110101110100100"}, {'Q', "010101101110011"}, {'R', "110101110101101"},
    {'S', "011100010001110"}, {'T', "111010010010010"}, {'U', "101101101101111"}, {'V', "101101101101010"},
    {'W', "101101111111101"}, {'X', "101101010101101"}, {'Y', "101101010010010"}, {'Z', "111001010100111"},
    {'.', "000000000000010"}, {'-', "000000111000000"}, {'+', "000010111010000"}, {':', "000010000010000"},
    {'/', "001001010100100"}, {',', "000000000010100"}, {'_', "000000000000111"},
};

const char* glyphRows(char c) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const Glyph& g : kFont) {
        if (g.c == upper) return g.rows;
    }
    return nullptr;
}

std::string hexByte(unsigned value) {
    char buffer[3];
    std::snprintf(buffer, sizeof buffer, "%02X", value & 0xFF);
    return buffer;
}

// Frequency axis label such as 100, 10K, 1M.
std::string frequencyLabel(double hz) {
    char buffer[16];
    if (hz >= 1e6) {
        std::snprintf(buffer, sizeof buffer, "%gM", hz / 1e6);
    } else if (hz >= 1e3) {
        std::snprintf(buffer, sizeof buffer, "%gK", hz / 1e3);
    } else {
        std::snprintf(buffer, sizeof buffer, "%g", hz);
    }
    return buffer;
}

}  // namespace

ScreenSize screenSizeForIdentity(const std::string& identity) {
    const auto comma = identity.find(',');
    const std::string model = comma == std::string::npos ? std::string() : identity.substr(comma + 1);
    auto startsWith = [&](const char* prefix) { return model.rfind(prefix, 0) == 0; };
    // ZWA77 is a narrow-display model although its name begins like the ZWA7 family.
    if (startsWith("ZWA77")) return {};
    if (startsWith("ZWA97") || startsWith("ZWA87") || startsWith("ZWA7")) return {512, 272};
    return {};
}

ScreenImage::ScreenImage(ScreenSize size, const ScreenContent& content)
    : width_(size.width), height_(size.height), pixels_(static_cast<std::size_t>(size.width) * size.height, kBackground) {
    draw(content);
}

void ScreenImage::plot(int x, int y, std::uint8_t colour) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[static_cast<std::size_t>(y) * width_ + x] = colour;
}

void ScreenImage::fill(int x0, int y0, int x1, int y1, std::uint8_t colour) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) plot(x, y, colour);
}

void ScreenImage::line(int x0, int y0, int x1, int y1, std::uint8_t colour) {
    // Bresenham.
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        plot(x0, y0, colour);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void ScreenImage::text(int x, int y, const std::string& s, std::uint8_t colour, int scale) {
    for (char c : s) {
        if (const char* rows = glyphRows(c)) {
            for (int r = 0; r < 5; ++r)
                for (int col = 0; col < 3; ++col)
                    if (rows[r * 3 + col] == '1')
                        fill(x + col * scale, y + r * scale, x + col * scale + scale - 1, y + r * scale + scale - 1, colour);
        }
        x += 4 * scale;
    }
}

void ScreenImage::draw(const ScreenContent& content) {
    const int scale = width_ >= 512 ? 2 : 1;
    // Title bar and outer frame.
    fill(0, 0, width_ - 1, 8 * scale, kTitleBar);
    text(3 * scale, 2 * scale, content.title, kWhite, scale);
    line(0, 0, width_ - 1, 0, kWhite);
    line(0, height_ - 1, width_ - 1, height_ - 1, kWhite);
    line(0, 0, 0, height_ - 1, kWhite);
    line(width_ - 1, 0, width_ - 1, height_ - 1, kWhite);

    // Graph area.
    const int left = 24 * scale, right = width_ - 8 * scale;
    const int top = 14 * scale, bottom = height_ - 22 * scale;
    double fMin = 20, fMax = 2e6, gMin = -100, gMax = 0;
    if (content.gainCurve.size() >= 2) {
        fMin = content.gainCurve.front().first;
        fMax = content.gainCurve.back().first;
        if (fMin > fMax) std::swap(fMin, fMax);
        double lo = 1e9, hi = -1e9;
        for (const auto& [f, g] : content.gainCurve) {
            lo = std::min(lo, g);
            hi = std::max(hi, g);
        }
        gMin = std::floor(lo / 20.0) * 20.0;
        gMax = std::ceil(hi / 20.0) * 20.0;
        if (gMax - gMin < 20) gMax = gMin + 20;
    }
    if (fMin <= 0) fMin = 1e-3;
    if (fMax <= fMin) fMax = fMin * 10;
    const double lf0 = std::log10(fMin), lf1 = std::log10(fMax);
    auto xOf = [&](double f) { return left + static_cast<int>(std::lround((std::log10(f) - lf0) / (lf1 - lf0) * (right - left))); };
    auto yOf = [&](double g) { return bottom - static_cast<int>(std::lround((g - gMin) / (gMax - gMin) * (bottom - top))); };

    // Grid: decades across, 20 dB steps up, each labelled.
    for (double decade = std::pow(10.0, std::ceil(lf0)); decade <= fMax * 1.0001; decade *= 10) {
        const int x = xOf(decade);
        for (int y = top; y <= bottom; y += 2) plot(x, y, kGrey);
        text(x - 4 * scale, bottom + 3 * scale, frequencyLabel(decade), kLightGrey, scale);
    }
    for (double g = gMin; g <= gMax + 1e-9; g += 20) {
        const int y = yOf(g);
        for (int x = left; x <= right; x += 2) plot(x, y, kGrey);
        char label[8];
        std::snprintf(label, sizeof label, "%d", static_cast<int>(g));
        text(2 * scale, y - 2 * scale, label, kLightGrey, scale);
    }
    line(left, top, left, bottom, kWhite);
    line(left, bottom, right, bottom, kWhite);
    line(left, top, right, top, kLightGrey);
    line(right, top, right, bottom, kLightGrey);

    // The gain curve.
    for (std::size_t i = 1; i < content.gainCurve.size(); ++i) {
        const auto& [f0, g0] = content.gainCurve[i - 1];
        const auto& [f1, g1] = content.gainCurve[i];
        if (f0 <= 0 || f1 <= 0) continue;
        line(xOf(f0), yOf(g0), xOf(f1), yOf(g1), kYellow);
    }
    text(left + 4 * scale, top + 3 * scale, "GAIN DB", kYellow, scale);
    text(3 * scale, height_ - 8 * scale, content.status, kWhite, scale);
}

bool ScreenImage::ink(int x, int y) const { return isInk(pixel(x, y)); }

std::vector<std::string> ScreenImage::monochromeLines() const {
    std::vector<std::string> lines;
    lines.reserve(height_);
    for (int y = 0; y < height_; ++y) {
        std::string row = "#M";
        for (int b = 0; b < width_ / 8; ++b) {
            unsigned byte = 0;
            for (int i = 0; i < 8; ++i)
                if (ink(8 * b + i, y)) byte |= 1u << i;
            row += hexByte(byte);
        }
        lines.push_back(std::move(row));
    }
    return lines;
}

std::vector<std::string> ScreenImage::colourLines() const {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(height_) * 4);
    const int perLine = width_ / 4;
    for (int y = 0; y < height_; ++y) {
        for (int quarter = 0; quarter < 4; ++quarter) {
            std::string row = "#C";
            for (int x = quarter * perLine; x < (quarter + 1) * perLine; ++x) row += hexByte(pixel(x, y));
            lines.push_back(std::move(row));
        }
    }
    return lines;
}

}  // namespace sim
