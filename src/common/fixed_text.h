// A text field with a fixed capacity, as the records keep them: capacity counts a terminator, so a
// field of capacity 51 holds at most 50 bytes. Longer texts are cut on assignment, never mid-way
// through a UTF-8 character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace common {

template <std::size_t Capacity>
class FixedText {
    static_assert(Capacity >= 1);

public:
    static constexpr std::size_t kMaxLength = Capacity - 1;

    FixedText() = default;
    FixedText(std::string_view text) { assign(text); }  // NOLINT: implicit by design, like a char array
    FixedText& operator=(std::string_view text) {
        assign(text);
        return *this;
    }

    const std::string& str() const { return text_; }
    const char* c_str() const { return text_.c_str(); }
    std::size_t size() const { return text_.size(); }
    bool empty() const { return text_.empty(); }
    operator const std::string&() const { return text_; }  // NOLINT
    operator std::string_view() const { return text_; }     // NOLINT

    friend bool operator==(const FixedText& a, const FixedText& b) { return a.text_ == b.text_; }
    friend bool operator==(const FixedText& a, std::string_view b) { return a.text_ == b; }

private:
    void assign(std::string_view text) {
        std::size_t n = text.size();
        if (n > kMaxLength) {
            n = kMaxLength;
            // Step back over continuation bytes so that a multi-byte character is dropped whole.
            while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
        }
        text_.assign(text.substr(0, n));
    }

    std::string text_;
};

}  // namespace common
