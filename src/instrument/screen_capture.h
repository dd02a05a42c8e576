// The instrument's screen, downloaded over the link: the picture's size by model, the download
// commands, the reply rows decoded (black and white, one bit a pixel; colour, one byte a pixel in four
// lines a row) and the download run by a worker while the instrument is held. The parsers are pure;
// downloadScreen runs on the download worker with its own copy of the link record.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "instrument/link.h"
#include "platform/notification_sink.h"

namespace instrument {

// The worker's reports to the "Download" dialog (parameters in brackets).
constexpr int kNotifyScreenDone = 10001;     // the worker is finishing (1 downloaded, 0 failed)
constexpr int kNotifyScreenSteps = 10002;    // the reply lines to come
constexpr int kNotifyScreenStarted = 10003;  // the first line is being asked for
constexpr int kNotifyScreenStep = 10004;     // one more line arrived (lines so far)
constexpr int kNotifyScreenCaption = 10007;  // the download has begun: show kDownloadingCaption
inline constexpr const char* kDownloadingCaption = "Downloading Screenshot...";

// Where the last colour picture is also written, in the user's temporary folder.
inline constexpr const char* kColourScreenFile = "dlcap.bmp";

// The black-and-white picture's room: the largest display of any model fits many times over.
constexpr std::size_t kScreenPixelCapacity = 557056;

// The model-16 instrument's screen selector.
enum ScreenSelector { kScreenGroup1 = 0, kScreenGroup2 = 1, kScreenWhole = 2 };

struct ScreenSize {
    int width = 0;
    int height = 0;
};

// 512 × 272 for models 1, 6 and 16, 320 × 240 for any other identified instrument, 0 × 0 (nothing to
// download) without one.
ScreenSize screenSizeOf(const InstrumentLink& link);

// The download command: "SCREEN?\n" or "SCREEN,COLOUR?\n"; a model-16 instrument is asked for the
// selector's group ("SCREEN,GROUP1?\n", "SCREEN,COLOUR,GROUP2?\n", ...).
std::string screenCommand(int model, bool colour, int selector);

// One downloaded picture. The user interface owns the one it shows and replaces it only with a
// download that succeeded whole.
struct ScreenPicture {
    int width = 0;
    int height = 0;
    bool valid = false;     // a picture has been downloaded
    bool isColour = false;  // the picture is colourRows, else mono
    // Black and white: rows of width / 8 bytes, the leftmost pixel in the top bit, 1 for white (as a
    // one-bit bitmap with a black-and-white palette takes them).
    std::vector<std::uint8_t> mono;
    // Colour: the rows as a 24-bit bitmap keeps them, bottom row first, blue, green, red, each row
    // padded to four bytes.
    std::string colourRows;
};

// A black-and-white reply line: two characters, then width / 8 bytes in hexadecimal digits, nothing
// more. Each byte's bit order is reversed and its bits inverted into row (width / 8 bytes). False,
// row untouched beyond what was decoded, when the line is shorter or longer or a digit is no hex
// digit.
bool parseMonoRow(std::string_view line, int width, std::uint8_t* row);

// A colour reply line: two characters, then width / 4 pixel bytes in hexadecimal digits, nothing
// more, each pixel red in bits 0-1, green in 2-3, blue in 4-5. False as for parseMonoRow.
bool parseColourLine(std::string_view line, int width, std::uint8_t* pixels);

// The intensity of a 2-bit colour level: 0, 64, 128, 255.
std::uint8_t levelIntensity(unsigned level);

struct ScreenRequest {
    ScreenSize size;
    int model = 0;
    bool colour = false;
    int selector = kScreenWhole;
};

// Downloads the screen on an open, held link into picture (made afresh: valid only when the download
// succeeded), reporting to sink as it goes. A reply line that does not come, or is not a row of the
// picture, ends the download: the instrument is interrupted (0x14, 0x19, each with a line feed) and
// its output dropped for 100 ms. False then, and for a size with no pixels or beyond the capacity.
bool downloadScreen(InstrumentLink& link, const ScreenRequest& request, ScreenPicture& picture,
                    platform::NotificationSink& sink);

// Holds the instrument for a download: opens the link, waits 200 ms and writes "SUSPEND,ON\n", runs
// body, then always writes "SUSPEND,OFF\n" and closes the link. False, without running body, when
// the link cannot be opened.
bool holdForScreenDownload(InstrumentLink& link, const std::function<void()>& body);

// "12 seconds" or "2 min 05 sec" for what is left of total lines after done of them took elapsedMs;
// "Unknown" before the first line.
std::string remainingTimeText(std::uint64_t elapsedMs, int done, int total);

// Writes a colour picture as a 24-bit bitmap file, whole or not at all. False for a picture that is
// not a valid colour one, or when the file cannot be written.
bool saveColourScreen(const ScreenPicture& picture, const std::string& path);

}  // namespace instrument
