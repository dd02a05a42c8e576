// The REALTIME view of the FRA and impedance (LCR) results windows: the instrument's current reading
// as a grid of tiles, each a label over a black box with the value in yellow, in fonts fitted to the
// tiles. The results window keeps a ReadoutLayout, made again only when its size or the reading's
// form changes, and draws with it on the user-interface thread; nothing here keeps state.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "analysis/canvas.h"
#include "db/records.h"

namespace analysis {

// The three kinds of reading: FRA (6 values), and the LCR instrument's long (14) and short (11) replies.
enum class ReadoutForm { Fra, LcrLong, LcrShort };

// The form of an LCR reply of valueCount values: 11 gives the short form, anything else the long one.
ReadoutForm lcrReadoutForm(int valueCount);
// How many values, labels and tiles a form has.
int readoutTileCount(ReadoutForm form);
// The tiles' labels, in the order of the instrument's values.
std::vector<std::string> readoutLabels(ReadoutForm form);

// Columns and rows for a number of tiles: the first layout of (2,1,2), (4,2,2), (6,3,2), (9,3,3),
// (16,4,4), (25,5,5), (30,5,6) that holds them all, the last one (30,6,5) in a drawing wider than tall.
struct TileGrid {
    int columns = 1, rows = 1;
};
TileGrid readoutGrid(int tileCount, int width, int height);

struct ReadoutTile {
    Rect labelBox;  // the tile's upper half less one pixel
    Rect valueBox;  // its lower half from one pixel below the middle, 2 pixels in at each side
};

// Everything that depends on the drawing's size and the form: the tiles and the two fitted fonts. A
// font whose height is 0 fits nowhere, and its texts are not drawn.
struct ReadoutLayout {
    ReadoutForm form = ReadoutForm::Fra;
    int width = 0, height = 0;
    std::vector<ReadoutTile> tiles;
    Font labelFont;  // the largest in which "8%s8" of every label fits a label box
    Font valueFont;  // the largest in which " -8.8888E88 Hz " fits a value box

    // True when the layout was made for this form and size, so that it can be drawn with again.
    bool matches(ReadoutForm f, int w, int h) const { return form == f && width == w && height == h; }
};

// Lays the tiles out over a drawing of width x height and fits the fonts, measuring texts with the
// canvas (it selects fonts on it and draws nothing). Call once per size and form.
ReadoutLayout layOutReadout(Canvas& canvas, ReadoutForm form, int width, int height);

// The largest font of the face and weight of base, at most the box's height, in which every text
// fits the box; height 0 when none does.
Font fitFont(Canvas& canvas, const Font& base, const std::vector<std::string>& texts, const Rect& box);

// The value texts of a reading, with their units after the number: gains and phases "%.3f" ("%.2f"
// from a magnitude of 100 up, "0.00" for exactly 0: "-123.46dB"), the rest in engineering notation
// ("2.5000 kHz"). An FRA reading gives 6; an LCR reply of 14 or 11 values gives as many.
std::vector<std::string> fraReadoutValues(const db::FraPoint& reading);
std::vector<std::string> lcrReadoutValues(std::span<const double> reply);

// Draws the whole readout: the background, every label and every value box.
void drawReadout(Canvas& canvas, const ReadoutLayout& layout, const std::vector<std::string>& values,
                 Colour background);
// Draws the value boxes alone, for a new reading over a drawing that already shows the labels.
void drawReadoutValues(Canvas& canvas, const ReadoutLayout& layout, const std::vector<std::string>& values);

}  // namespace analysis
