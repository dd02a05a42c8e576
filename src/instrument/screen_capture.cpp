// Screen sizes, download commands, reply rows and the download itself.
#include "instrument/screen_capture.h"

#include "common/bmp_file.h"
#include "common/string_printf.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace instrument {
namespace {

constexpr int kMonoLineSize = 256;    // at most 255 characters
constexpr int kColourLineSize = 512;  // at most 511 characters
constexpr int kLinePrefix = 2;        // the characters before a line's digits

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Decodes exactly count bytes of hexadecimal digits after the line's prefix; false when the line
// holds fewer or more digits or anything else. The line feed a serial reply keeps is no part of it.
template <typename Store>
bool decodeHexLine(std::string_view line, std::size_t count, Store store) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (line.size() != kLinePrefix + 2 * count) return false;
    for (std::size_t i = 0; i < count; ++i) {
        const int high = hexDigit(line[kLinePrefix + 2 * i]);
        const int low = hexDigit(line[kLinePrefix + 2 * i + 1]);
        if (high < 0 || low < 0) return false;
        store(i, static_cast<std::uint8_t>(high << 4 | low));
    }
    return true;
}

std::uint8_t reverseBits(std::uint8_t b) {
    b = static_cast<std::uint8_t>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
    b = static_cast<std::uint8_t>((b & 0xCC) >> 2 | (b & 0x33) << 2);
    return static_cast<std::uint8_t>((b & 0xAA) >> 1 | (b & 0x55) << 1);
}

// The instrument stops sending and forgets the download.
void abortDownload(InstrumentLink& link) {
    linkWrite("\x14\n", link);
    linkWrite("\x19\n", link);
    linkDiscard(link, 100);
}

// Reads the lines of a black-and-white picture into picture.mono.
bool readMono(InstrumentLink& link, ScreenPicture& picture, platform::NotificationSink& sink) {
    const std::size_t stride = static_cast<std::size_t>(picture.width / 8);
    picture.mono.assign(stride * picture.height, 0xFF);
    std::string line;
    for (int y = 0; y < picture.height; ++y) {
        if (linkReadLine(line, kMonoLineSize, link) < 1 ||
            !parseMonoRow(line, picture.width, picture.mono.data() + stride * y))
            return false;
        sink.notify(kNotifyScreenStep, y + 1);
    }
    return true;
}

// Reads the four lines of each colour row into picture.colourRows, bottom row first.
bool readColour(InstrumentLink& link, ScreenPicture& picture, platform::NotificationSink& sink) {
    const int perLine = picture.width / 4;
    const std::uint32_t stride = common::bmpRowStride(static_cast<std::uint32_t>(picture.width));
    picture.colourRows.assign(static_cast<std::size_t>(stride) * picture.height, '\0');
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(perLine));
    std::string line;
    for (int y = 0; y < picture.height; ++y) {
        char* row = picture.colourRows.data() + static_cast<std::size_t>(stride) * (picture.height - 1 - y);
        for (int quarter = 0; quarter < 4; ++quarter) {
            if (linkReadLine(line, kColourLineSize, link) < 1 || !parseColourLine(line, picture.width, pixels.data()))
                return false;
            for (int i = 0; i < perLine; ++i) {
                char* bgr = row + 3 * (quarter * perLine + i);
                bgr[0] = static_cast<char>(levelIntensity(pixels[i] >> 4 & 3));
                bgr[1] = static_cast<char>(levelIntensity(pixels[i] >> 2 & 3));
                bgr[2] = static_cast<char>(levelIntensity(pixels[i] & 3));
            }
            sink.notify(kNotifyScreenStep, 4 * y + quarter + 1);
        }
    }
    return true;
}

}  // namespace

ScreenSize screenSizeOf(const InstrumentLink& link) {
    if (!link.connected) return {};
    if (link.model == 1 || link.model == 6 || link.model == 16) return {512, 272};
    return {320, 240};
}

std::string screenCommand(int model, bool colour, int selector) {
    std::string command = colour ? "SCREEN,COLOUR" : "SCREEN";
    if (model == 16 && selector == kScreenGroup1) command += ",GROUP1";
    else if (model == 16 && selector == kScreenGroup2) command += ",GROUP2";
    return command + "?\n";
}

bool parseMonoRow(std::string_view line, int width, std::uint8_t* row) {
    if (width <= 0 || width % 8 != 0) return false;
    return decodeHexLine(line, static_cast<std::size_t>(width / 8),
                         [row](std::size_t i, std::uint8_t b) { row[i] = static_cast<std::uint8_t>(~reverseBits(b)); });
}

bool parseColourLine(std::string_view line, int width, std::uint8_t* pixels) {
    if (width <= 0 || width % 4 != 0) return false;
    return decodeHexLine(line, static_cast<std::size_t>(width / 4), [pixels](std::size_t i, std::uint8_t b) { pixels[i] = b; });
}

std::uint8_t levelIntensity(unsigned level) {
    static const std::uint8_t kIntensity[4] = {0, 64, 128, 255};
    return kIntensity[level & 3];
}

bool downloadScreen(InstrumentLink& link, const ScreenRequest& request, ScreenPicture& picture,
                    platform::NotificationSink& sink) {
    picture = ScreenPicture{};
    const ScreenSize size = request.size;
    if (size.width <= 0 || size.height <= 0 || size.width % 8 != 0 ||
        static_cast<std::size_t>(size.width) / 8 * size.height > kScreenPixelCapacity)
        return false;
    picture.width = size.width;
    picture.height = size.height;
    sink.notify(kNotifyScreenCaption, 0);
    sink.notify(kNotifyScreenSteps, request.colour ? 4 * size.height : size.height);
    linkWrite(screenCommand(request.model, request.colour, request.selector), link);
    sink.notify(kNotifyScreenStarted, 0);
    const bool complete = request.colour ? readColour(link, picture, sink) : readMono(link, picture, sink);
    if (!complete) {
        abortDownload(link);
        return false;
    }
    picture.valid = true;
    picture.isColour = request.colour;
    return true;
}

bool holdForScreenDownload(InstrumentLink& link, const std::function<void()>& body) {
    if (linkOpen(link) != 0) return false;
    platform::sleepMs(200);
    linkWrite("SUSPEND,ON\n", link);
    body();
    linkWrite("SUSPEND,OFF\n", link);
    linkClose(link);
    return true;
}

std::string remainingTimeText(std::uint64_t elapsedMs, int done, int total) {
    if (done <= 0) return "Unknown";
    const std::uint64_t left = total > done ? static_cast<std::uint64_t>(total - done) : 0;
    const std::uint64_t seconds = (elapsedMs * left / static_cast<std::uint64_t>(done) + 999) / 1000;
    if (seconds < 60) return common::stringPrintf("%llu seconds", static_cast<unsigned long long>(seconds));
    return common::stringPrintf("%llu min %02llu sec", static_cast<unsigned long long>(seconds / 60),
                                static_cast<unsigned long long>(seconds % 60));
}

bool saveColourScreen(const ScreenPicture& picture, const std::string& path) {
    if (!picture.valid || !picture.isColour) return false;
    const std::string file = common::bmpFileBytes(static_cast<std::uint32_t>(picture.width),
                                                  static_cast<std::uint32_t>(picture.height), picture.colourRows);
    return !file.empty() && platform::writeWholeFile(path, file);
}

}  // namespace instrument
