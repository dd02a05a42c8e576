// The instrument settings strip and the screen capture under Wine against the real simulator: the
// pages after READ SFRA, the live checks, SET UP SFRA writing only what was edited; black-and-white
// and colour downloads compared pixel by pixel with what the simulator sends, a broken-off download,
// the bitmap file and the .docx written where no word processor is registered.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>
#include <zip.h>

#include <string>
#include <vector>

#include "gui/app/layout.h"
#include "gui/app/window_classes.h"
#include "gui/dialog_fields.h"
#include "gui/instrument/instrument_link.h"
#include "gui/instrument/settings_strip.h"
#include "gui/resources/capture_ids.h"
#include "gui/resources/resource.h"
#include "gui/resources/settings_page_ids.h"
#include "gui/support/dialog_driver.h"
#include "gui/support/form_driver.h"
#include "gui/support/main_window_fixture.h"
#include "instrument/comms_log.h"
#include "instrument/settings.h"
#include "platform/win32/wide_text.h"
#include "sim_process.h"

namespace gui_testing {
namespace {

using gui::controlWindow;

class InstrumentPages : public SimulatorTest {
protected:
    void click(int id) { SendMessageA(controlWindow(main, id), BM_CLICK, 0, 0); }
    HWND control(int id) { return controlWindow(main, id); }
    // A control of the settings page shown, made by the strip itself.
    HWND pageControl(int id) { return GetDlgItem(gui::paneWindow(main, gui::kConfigClass), id); }

    // What a page control shows, in UTF-8: a list's chosen label or a box's text.
    std::string shown(int id) {
        HWND w = pageControl(id);
        char className[32] = "";
        GetClassNameA(w, className, sizeof className);
        if (lstrcmpiA(className, WC_COMBOBOXA) != 0) return gui::controlText(GetParent(w), id);
        const LRESULT chosen = SendMessageW(w, CB_GETCURSEL, 0, 0);
        if (chosen == CB_ERR) return {};
        WCHAR label[128] = L"";
        const LRESULT length = SendMessageW(w, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(label));
        return platform::win32::narrow(label, static_cast<std::size_t>(length));
    }
    // Chooses a label in a page's list as a user does: the selection and its CBN_SELCHANGE.
    void choose(int id, const std::string& label) {
        HWND w = pageControl(id);
        const LRESULT at = SendMessageA(w, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(label.c_str()));
        ASSERT_NE(at, CB_ERR) << label;
        SendMessageA(w, CB_SETCURSEL, at, 0);
        SendMessageA(GetParent(w), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(w));
    }
    // The ids of the page controls (edits and lists) shown now.
    std::vector<int> shownPageControls() {
        std::vector<int> ids;
        HWND strip = gui::paneWindow(main, gui::kConfigClass);
        for (HWND w = GetWindow(strip, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
            const int id = GetDlgCtrlID(w);
            if (IsWindowVisible(w) && gui::pageControlSetting(main, id)) ids.push_back(id);
        }
        return ids;
    }
};

// The pages with their buttons and titles; COMMS, DUT, AUX and PROG have none.
struct PageButton {
    int id;
    const char* title;
};
constexpr PageButton kPages[] = {
    {IDC_PAGE_ACQU, "Acquisition Control"}, {IDC_PAGE_SWEEP, "Sweep Settings"}, {IDC_PAGE_TRIM, "Trim Control"},
    {IDC_PAGE_OUT, "Generator Settings"},   {IDC_PAGE_CH1, "Input Settings CH1"}, {IDC_PAGE_CH2, "Input Settings CH2"},
    {IDC_PAGE_SYS, "System Settings"},      {IDC_PAGE_MODE, "Measurement Settings"},
};

TEST_F(InstrumentPages, EveryPageShowsTheInstrumentsValuesAfterReadSfra) {
    testing_support::SimProcess sim({"--fast"});
    connectTo(sim.lanLink());
    instrument::settingsTable() = instrument::makeSettingsTable();
    click(IDC_SETTINGS_TOGGLE);
    click(IDC_READ_SFRA);
    // What the simulator holds, read over a link of the test's own.
    std::vector<instrument::InstrumentSetting> expected = instrument::makeSettingsTable();
    instrument::InstrumentLink own = sim.lanLink();
    ASSERT_EQ(instrument::linkOpen(own), 0);
    ASSERT_TRUE(instrument::readAllSettings(expected, own));
    instrument::linkClose(own);

    int checked = 0;
    for (const PageButton& page : kPages) {
        SCOPED_TRACE(page.title);
        click(page.id);
        EXPECT_EQ(windowText(control(IDC_SETTINGS_TITLE)), std::string("Configuration: ") + page.title);
        const std::vector<int> ids = shownPageControls();
        EXPECT_FALSE(ids.empty());
        for (int id : ids) {
            const instrument::InstrumentSetting* s = gui::pageControlSetting(main, id);
            const instrument::InstrumentSetting* want = instrument::findSetting(expected, s->name);
            ASSERT_NE(want, nullptr);
            EXPECT_EQ(shown(id), want->shownValue()) << s->name;
            EXPECT_FALSE(shown(id).empty()) << s->name;
            EXPECT_TRUE(IsWindowEnabled(pageControl(id))) << s->name;
            ++checked;
        }
    }
    EXPECT_GT(checked, 50);
    // The buttons without a page are disabled, and their command shows nothing.
    for (int id : {IDC_PAGE_COMMS, IDC_PAGE_DUT, IDC_PAGE_AUX, IDC_PAGE_PROG}) {
        EXPECT_FALSE(IsWindowEnabled(control(id)));
        SendMessageA(gui::paneWindow(main, gui::kConfigClass), WM_COMMAND, id, 0);
        EXPECT_EQ(windowText(control(IDC_SETTINGS_TITLE)), "Configuration: Measurement Settings");
    }
    EXPECT_FALSE(gui::instrumentLink().open);
}

// Typing 150 into Minimum Cycles: the third digit is refused and 15 stays; Delay 61 likewise. The
// acquisition mode reshapes the page, the focus staying in its list.
TEST_F(InstrumentPages, LiveChecksKeepTheOldTextAndTheModeReshapesThePage) {
    testing_support::SimProcess sim({"--fast"});
    connectTo(sim.lanLink());
    click(IDC_SETTINGS_TOGGLE);
    click(IDC_READ_SFRA);
    click(IDC_PAGE_ACQU);
    for (const char* typed : {"1", "15", "150"}) SetWindowTextA(pageControl(IDC_ACQU_MIN_CYCLES), typed);
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "Minimum Cycles must be set between 1 and 100");
    EXPECT_EQ(prompter.boxes[0].caption, "Incorrect Value");
    EXPECT_EQ(windowText(pageControl(IDC_ACQU_MIN_CYCLES)), "15");
    EXPECT_EQ(instrument::findSetting(instrument::settingsTable(), "Acqu:mCyc")->shownValue(), "15");

    const std::string delay = windowText(pageControl(IDC_ACQU_DELAY));
    SetWindowTextA(pageControl(IDC_ACQU_DELAY), "61");
    ASSERT_EQ(prompter.boxes.size(), 2u);
    EXPECT_EQ(prompter.boxes[1].text, "Delay must be set between 0 and 60");
    EXPECT_EQ(windowText(pageControl(IDC_ACQU_DELAY)), delay);
    SetWindowTextA(pageControl(IDC_ACQU_DELAY), "");
    EXPECT_EQ(prompter.boxes.size(), 2u) << "an empty box changes nothing";

    EXPECT_TRUE(IsWindowVisible(pageControl(IDC_ACQU_GRAPH)));
    EXPECT_FALSE(IsWindowVisible(pageControl(IDC_ACQU_TIMEBASE)));
    SetFocus(pageControl(IDC_ACQU_MODE));
    choose(IDC_ACQU_MODE, "Oscilloscope");
    EXPECT_FALSE(IsWindowVisible(pageControl(IDC_ACQU_GRAPH)));
    EXPECT_TRUE(IsWindowVisible(pageControl(IDC_ACQU_TIMEBASE)));
    EXPECT_EQ(GetFocus(), pageControl(IDC_ACQU_MODE));
    EXPECT_TRUE(instrument::findSetting(instrument::settingsTable(), "Acqu:mode")->changed);
}

// An edited item reaches the instrument with SET UP SFRA, and nothing else is written.
TEST_F(InstrumentPages, SetUpSfraWritesOnlyTheEditedItem) {
    testing_support::SimProcess sim({"--fast"});
    connectTo(sim.lanLink());
    click(IDC_SETTINGS_TOGGLE);
    click(IDC_READ_SFRA);
    for (const instrument::InstrumentSetting& s : instrument::settingsTable()) ASSERT_FALSE(s.changed) << s.name;
    click(IDC_PAGE_ACQU);
    SetWindowTextA(pageControl(IDC_ACQU_DELAY), "7");
    EXPECT_TRUE(instrument::findSetting(instrument::settingsTable(), "Acqu:delay")->changed);
    const std::size_t before = traffic().size();
    click(IDC_SETUP_SFRA);
    const std::string written = traffic().substr(before);
    const instrument::InstrumentSetting* delay = instrument::findSetting(instrument::settingsTable(), "Acqu:delay");
    std::size_t writes = 0;
    for (std::size_t at = written.find(">>\tconfig,"); at != std::string::npos; at = written.find(">>\tconfig,", at + 1)) {
        const std::size_t end = written.find('\n', at);
        if (written.substr(at, end - at).find('?') == std::string::npos) ++writes;
    }
    EXPECT_EQ(writes, 1u) << written;
    EXPECT_NE(written.find(">>\tconfig," + std::to_string(delay->configIndex) + ",7\n"), std::string::npos) << written;
    EXPECT_FALSE(delay->changed);
    // The simulator has it.
    instrument::InstrumentLink own = sim.lanLink();
    ASSERT_EQ(instrument::linkOpen(own), 0);
    EXPECT_EQ(instrument::queryItemText(delay->configIndex, 20, own), "7");
    instrument::linkClose(own);
}

// The picture area as the clipboard gets it, one 0x00RRGGBB value a pixel, top row first.
struct AreaPixels {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;
    DWORD at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF; }
};

AreaPixels bitmapPixels(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    AreaPixels area{info.bmWidth, info.bmHeight, std::vector<DWORD>(static_cast<std::size_t>(info.bmWidth) * info.bmHeight)};
    BITMAPINFO header{};
    header.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, info.bmHeight, area.pixels.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return area;
}

class ScreenCapture : public InstrumentPages {
protected:
    AreaPixels clipboardPicture() {
        click(IDC_CAPTURE_TO_CLIPBOARD);
        AreaPixels area;
        if (!OpenClipboard(main)) return area;
        if (HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) area = bitmapPixels(bitmap);
        CloseClipboard();
        return area;
    }
    // The screen as the simulator sends it, read over a link of the test's own.
    std::vector<std::string> simulatorLines(const testing_support::SimProcess& sim, const char* command, int count) {
        instrument::InstrumentLink own = sim.lanLink();
        std::vector<std::string> lines;
        if (instrument::linkOpen(own) != 0) return lines;
        instrument::linkWrite(command, own);
        std::string line;
        for (int i = 0; i < count && instrument::linkReadLine(line, 600, own) > 0; ++i) lines.push_back(line);
        instrument::linkClose(own);
        return lines;
    }
};

int hexByte(const std::string& line, std::size_t at) { return std::stoi(line.substr(at, 2), nullptr, 16); }

// Both screen sizes: what the pane shows is the simulator's screen, pixel for pixel: black where the
// instrument draws ink and white elsewhere, or each colour's levels at 0, 64, 128, 255.
TEST_F(ScreenCapture, DownloadsReproduceTheSimulatorsScreenPixelForPixel) {
    struct Case {
        const char* identity;
        int model, width, height;
    };
    for (const Case& c : {Case{"VELTRONA,QMX74,410-2718,2.07", 11, 320, 240}, Case{"VELTRONA,ZWA97,77,1.00", 16, 512, 272}}) {
        SCOPED_TRACE(c.identity);
        testing_support::SimProcess sim({"--fast", "--identity", c.identity});
        gui::instrumentLink() = sim.lanLink();
        gui::instrumentLink().connected = true;  // the program identifies QMX instruments only
        gui::instrumentLink().model = c.model;
        SendMessageA(main, WM_COMMAND, CMD_REFRESH_CONTROLS, 0);
        SendMessageA(main, WM_COMMAND, IDM_CAPTURE, 0);
        ASSERT_TRUE(IsWindowEnabled(control(IDC_CAPTURE_MONO_DOWNLOAD)));
        // A model-16 instrument's screen selector asks for the first group of its screen.
        HWND selector = GetDlgItem(gui::paneWindow(main, gui::kCaptureClass), IDC_CAPTURE_SCREEN_SELECT);
        EXPECT_EQ(IsWindowVisible(selector) != FALSE, c.model == 16);
        SendMessageA(selector, CB_SETCURSEL, 0, 0);
        if (!instrument::commsLogEnabled()) instrument::commsLogStart(dir.path());

        const std::vector<std::string> mono = simulatorLines(sim, "SCREEN?\n", c.height);
        ASSERT_EQ(static_cast<int>(mono.size()), c.height);
        click(IDC_CAPTURE_MONO_DOWNLOAD);
        EXPECT_FALSE(gui::instrumentLink().open);
        AreaPixels area = clipboardPicture();
        ASSERT_GT(area.width, c.width + 1);
        ASSERT_GT(area.height, c.height + 1);
        int ink = 0, mismatches = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const bool isInk = (hexByte(mono[y], 2 + 2 * (x / 8)) >> (x % 8) & 1) != 0;
                ink += isInk;
                mismatches += area.at(x + 1, y + 1) != (isInk ? 0x000000u : 0xFFFFFFu);
            }
        EXPECT_GT(ink, 500);
        EXPECT_EQ(mismatches, 0);
        EXPECT_NE(traffic().find(c.model == 16 ? ">>\tSCREEN,GROUP1?\n" : ">>\tSCREEN?\n"), std::string::npos);
        SendMessageA(selector, CB_SETCURSEL, 2, 0);  // the whole screen
        EXPECT_EQ(area.at(c.width + 1, c.height / 2), 0xFFFFFFu) << "white right of the picture";

        const std::vector<std::string> colour = simulatorLines(sim, "SCREEN,COLOUR?\n", 4 * c.height);
        ASSERT_EQ(static_cast<int>(colour.size()), 4 * c.height);
        click(IDC_CAPTURE_COLOUR_DOWNLOAD);
        area = clipboardPicture();
        static const DWORD kLevel[4] = {0, 64, 128, 255};
        mismatches = 0;
        const int perLine = c.width / 4;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const int b = hexByte(colour[4 * y + x / perLine], 2 + 2 * (x % perLine));
                const DWORD want = kLevel[b & 3] << 16 | kLevel[b >> 2 & 3] << 8 | kLevel[b >> 4 & 3];
                mismatches += area.at(x + 1, y + 1) != want;
            }
        EXPECT_EQ(mismatches, 0);
        EXPECT_TRUE(prompter.boxes.empty()) << prompter.captions();
        EXPECT_TRUE(finishDialogs());
    }
}

// A download the instrument breaks off: the communication error, the instrument let go, and the
// picture shown before stays whole.
TEST_F(ScreenCapture, ABrokenOffDownloadReportsTheErrorAndReleasesTheInstrument) {
    for (const char* fault : {"drop-at-row:30", "silent-at-row:30"}) {
        SCOPED_TRACE(fault);
        testing_support::SimProcess sim({"--fast", "--fault", fault});
        connectTo(sim.lanLink());
        SendMessageA(main, WM_COMMAND, IDM_CAPTURE, 0);
        prompter.boxes.clear();
        click(IDC_CAPTURE_MONO_DOWNLOAD);
        ASSERT_EQ(prompter.boxes.size(), 1u) << prompter.captions();
        EXPECT_EQ(prompter.boxes[0].caption, "Communication Error");
        EXPECT_EQ(prompter.boxes[0].text,
                  "A communication error has occured while downloading the screenshot from the instrument");
        EXPECT_FALSE(gui::instrumentLink().open);
        const AreaPixels area = clipboardPicture();
        int black = 0;
        for (int y = 1; y < area.height - 1; ++y)
            for (int x = 1; x < area.width - 1; ++x) black += area.at(x, y) == 0;
        EXPECT_EQ(black, 0) << "no half picture is shown";
        instrument::commsLogToggle();
        const std::string log = traffic();
        const std::size_t asked = log.rfind(">>\tSCREEN?\n");
        ASSERT_NE(asked, std::string::npos) << log;
        EXPECT_NE(log.find(">>\tSUSPEND,OFF\n", asked), std::string::npos);
        EXPECT_TRUE(finishDialogs());
    }
}

// Export to .bmp writes the picture area as a file that reads back equal; Export to Word, with no
// word processor registered, says so and writes a .docx holding that picture.
TEST_F(ScreenCapture, TheBitmapFileReadsBackEqualAndTheDocumentHoldsThePicture) {
    testing_support::SimProcess sim({"--fast"});
    connectTo(sim.lanLink());
    SendMessageA(main, WM_COMMAND, IDM_CAPTURE, 0);
    click(IDC_CAPTURE_MONO_DOWNLOAD);
    const AreaPixels area = clipboardPicture();

    prompter.saveResults.push_back(dir.file("screen.bmp"));
    click(IDC_CAPTURE_TO_BITMAP);
    ASSERT_EQ(prompter.choicesShown.size(), 1u);
    EXPECT_EQ(prompter.choicesShown[0].title, "Choose Save Location...");
    HBITMAP file = static_cast<HBITMAP>(LoadImageA(nullptr, dir.file("screen.bmp").c_str(), IMAGE_BITMAP, 0, 0,
                                                   LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(file, nullptr);
    const AreaPixels back = bitmapPixels(file);
    DeleteObject(file);
    EXPECT_EQ(back.width, area.width);
    EXPECT_EQ(back.height, area.height);
    EXPECT_TRUE(back.pixels == area.pixels);
    // A file that cannot be written is said so.
    const std::string nowhere = dir.file("no folder/screen.bmp");
    prompter.saveResults.push_back(nowhere);
    click(IDC_CAPTURE_TO_BITMAP);
    ASSERT_EQ(prompter.boxes.size(), 1u) << prompter.captions();
    EXPECT_EQ(prompter.boxes[0].text, "The picture could not be written to " + nowhere);
    EXPECT_EQ(prompter.boxes[0].caption, "Export to .bmp");

    prompter.boxes.clear();
    prompter.queueAnswer(platform::Answer::Ok);   // no word processor
    prompter.queueAnswer(platform::Answer::Yes);  // a .docx instead
    prompter.queueAnswer(platform::Answer::No);   // not opened now
    prompter.saveResults.push_back(dir.file("report.docx"));
    click(IDC_CAPTURE_TO_WORD);
    ASSERT_EQ(prompter.boxes.size(), 3u) << prompter.captions();
    EXPECT_EQ(prompter.boxes[0].icon, platform::Icon::Information);
    int error = 0;
    zip_t* document = zip_open(dir.file("report.docx").c_str(), ZIP_RDONLY, &error);
    ASSERT_NE(document, nullptr);
    zip_stat_t picture;
    ASSERT_EQ(zip_stat(document, "word/media/image1.bmp", 0, &picture), 0);
    EXPECT_GT(picture.size, static_cast<zip_uint64_t>(area.width) * area.height / 8);
    EXPECT_GE(zip_name_locate(document, "word/document.xml", 0), 0);
    zip_discard(document);
}

}  // namespace
}  // namespace gui_testing
