// The instrument's own settings: the table of the 73 configuration items the program knows, the
// commands that query and set one item with the instrument's status check, and the two whole-table
// procedures ("READ SFRA" and "SET UP SFRA"). User-interface thread, except that a measurement worker
// may query one item on the link it holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "instrument/link.h"

namespace instrument {

// A query or setting that failed: the low 16 bits hold the item's index, the high 16 bits a detail
// (0 no reply, 0xFFFF an empty reply, 0xFFFE a reply that is not a number, the number read when it
// was out of range, the instrument's status flags when a setting was refused).
struct SettingError {
    std::int32_t code;
};

enum class Kind { Choice, Number, Text };

constexpr double kNoLimit = -99.0;

// The longest text the instrument keeps in a text item.
constexpr std::size_t kMaxItemText = 19;

struct InstrumentSetting {
    InstrumentSetting(const char* name, std::int32_t configIndex, Kind kind, double minimum, double maximum,
                      std::vector<const char*> options, const char* messageName)
        : name(name), configIndex(configIndex), kind(kind), minimum(minimum), maximum(maximum),
          options(std::move(options)), messageName(messageName) {}

    const char* name;            // "Acqu:mode"
    std::int32_t configIndex;    // the instrument's item number
    Kind kind;
    double minimum, maximum;     // kNoLimit: no limit on that side
    std::vector<const char*> options;
    const char* messageName;     // "Acqu::mode", used in the range message
    std::int32_t value = 0;      // choice and number items
    std::string text;            // text items, at most kMaxItemText characters
    bool changed = false;

    bool isText() const { return kind == Kind::Text; }
    // The index of the choice shown with label, or -1.
    int choiceIndex(const std::string& label) const;
    // What the settings pages show: the choice's label, the text, or the number.
    std::string shownValue() const;
};

// The process's table, built on first use: every value 0, every text empty, nothing changed.
std::vector<InstrumentSetting>& settingsTable();
// A fresh table in its starting state.
std::vector<InstrumentSetting> makeSettingsTable();
// The entry of that name, or nullptr.
InstrumentSetting* findSetting(std::vector<InstrumentSetting>& table, const std::string& name);
const InstrumentSetting* findSetting(const std::vector<InstrumentSetting>& table, const std::string& name);

// The instrument's number for a table value and back (three items fold extra instrument values onto
// a label).
std::int32_t toInstrumentValue(const InstrumentSetting& s, std::int32_t tableValue);
std::int32_t fromInstrumentValue(const InstrumentSetting& s, std::int32_t instrumentValue);

// One item on an open link. These throw SettingError.
std::string queryItemText(int index, int size, InstrumentLink& link);
int queryItemNumber(int index, double minimum, double maximum, InstrumentLink& link);
void setItemText(int index, const std::string& text, InstrumentLink& link);
void setItemNumber(int index, int value, InstrumentLink& link);
void readItem(InstrumentSetting& setting, InstrumentLink& link);
// False, with nothing sent, when the value lies outside the item's range.
bool writeItem(const InstrumentSetting& setting, InstrumentLink& link);

// Reads every item into the table, holding the instrument meanwhile. Opens and closes the link; a
// failure is shown ("Read SFRA") and leaves the items read so far with their new values. True when
// every item was read.
bool readAllSettings(std::vector<InstrumentSetting>& table, InstrumentLink& link);

// Writes every changed item in table order, clearing its flag. A value out of range or a text longer
// than kMaxItemText stops with its message, a refused setting with the error message ("Set Up
// SFRA"); the item and those after it keep their flags. Opens and closes the link. True when every
// changed item was written.
bool writeChangedSettings(std::vector<InstrumentSetting>& table, InstrumentLink& link);

}  // namespace instrument
