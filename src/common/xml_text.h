// XML text values: escaping a text so that any document it is written into stays well-formed XML
// (the IEC XML files, the SVG pictures), and reading entity and character references back.
#pragma once

#include <string>
#include <string_view>

namespace common {

// text made fit to stand in XML element text or a double-quoted attribute value: & < > " ' as
// entity references; tab, line feed and carriage return as character references (so that a value
// stays on its line and survives attribute normalisation), and so are blanks at either end (so that
// a reader trimming the layout around a value keeps them); other control characters, which XML
// cannot carry at all, left out; bytes that are not UTF-8 taken as Latin-1 characters.
std::string xmlEscape(std::string_view text);

// The reverse: the five entity references and decimal or hexadecimal character references
// replaced by their characters (UTF-8); anything else, unknown references included, kept as it is.
std::string xmlUnescape(std::string_view text);

}  // namespace common
