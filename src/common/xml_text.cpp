// Escaping and unescaping XML text values.
#include "common/xml_text.h"

#include "common/utf8.h"

namespace common {
namespace {

// Characters an XML 1.0 document may contain.
bool xmlCharacter(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// The code point of a character reference's digits ("#38", "#x26"); 0 when they do not name an XML
// character.
char32_t referencedCharacter(std::string_view digits) {
    const bool hex = digits.size() > 1 && (digits[1] == 'x' || digits[1] == 'X');
    digits.remove_prefix(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8) return 0;
    char32_t c = 0;
    for (char d : digits) {
        int value;
        if (d >= '0' && d <= '9') value = d - '0';
        else if (hex && d >= 'a' && d <= 'f') value = d - 'a' + 10;
        else if (hex && d >= 'A' && d <= 'F') value = d - 'A' + 10;
        else return 0;
        c = c * (hex ? 16 : 10) + static_cast<char32_t>(value);
    }
    return xmlCharacter(c) ? c : 0;
}

}  // namespace

std::string xmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            switch (byte) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            case '\t': out += "&#9;"; break;
            case '\n': out += "&#10;"; break;
            case '\r': out += "&#13;"; break;
            case ' ':
                // Readers trim the blanks around a value as layout; written as references they stay.
                out += i == 0 || i + 1 == text.size() ? "&#32;" : " ";
                break;
            default:
                if (byte >= 0x20) out += static_cast<char>(byte);
            }
            ++i;
            continue;
        }
        char32_t c;
        const std::size_t length = utf8Sequence(text, i, c);
        if (length == 0) {
            // A byte of some single-byte code page: keep the character it most likely stood for.
            appendUtf8(out, byte);
            ++i;
            continue;
        }
        if (xmlCharacter(c)) out.append(text.substr(i, length));
        i += length;
    }
    return out;
}

std::string xmlUnescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t amp = text.find('&', i);
        if (amp == std::string_view::npos) break;
        out.append(text.substr(i, amp - i));
        const std::size_t semicolon = text.find(';', amp);
        // Entity names and character references are short; a far-away ";" belongs to other text.
        if (semicolon == std::string_view::npos || semicolon - amp > 12) {
            out += '&';
            i = amp + 1;
            continue;
        }
        const std::string_view name = text.substr(amp + 1, semicolon - amp - 1);
        char32_t c = 0;
        if (name == "amp") c = '&';
        else if (name == "lt") c = '<';
        else if (name == "gt") c = '>';
        else if (name == "quot") c = '"';
        else if (name == "apos") c = '\'';
        else if (!name.empty() && name[0] == '#') c = referencedCharacter(name);
        if (c == 0) {
            out += '&';
            i = amp + 1;
            continue;
        }
        appendUtf8(out, c);
        i = semicolon + 1;
    }
    out.append(text.substr(i));
    return out;
}

}  // namespace common
