// The analyser's numbered configuration items: their kinds, accepted ranges and current values, as the
// instrument holds them (in its own numbering, before any folding of values onto labels).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sim {

class SettingsItems {
public:
    enum class Kind { Choice, Number, Text };

    struct Item {
        int index = 0;
        Kind kind = Kind::Choice;
        const char* name = "";
        double minimum = 0;       // whole-number or numeric-text range, both inclusive
        double maximum = 0;
        bool ranged = false;      // text items: must be a number within minimum..maximum
        int value = 0;            // choice and number items
        std::string text;         // text items
    };

    // Every item with its power-on value.
    SettingsItems();

    // The item with this index, or nullptr for an index the instrument does not have.
    const Item* find(int index) const;

    // The reply to "config,N?": the whole number or the stored text; empty when there is no such item.
    std::string query(int index) const;

    // "config,N,VALUE": true when accepted; false (value kept) when the item is unknown or the value is
    // malformed or out of range.
    bool set(int index, std::string_view value);

    // Typed reads for the measuring code (fallback when a text item does not hold a number).
    int number(int index) const;
    double numberFromText(int index, double fallback) const;

    std::size_t size() const { return items_.size(); }

private:
    Item* findMutable(int index);
    std::vector<Item> items_;
};

// Parses a whole number or a complete decimal number (surrounding blanks allowed); false if malformed.
bool parseWholeNumber(std::string_view text, long& out);
bool parseDecimal(std::string_view text, double& out);

}  // namespace sim
