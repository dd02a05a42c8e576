// XML text values: escaping keeps every document well-formed, unescaping gives the text back.
#include <gtest/gtest.h>

#include "common/xml_text.h"

namespace {

using common::xmlEscape;
using common::xmlUnescape;

TEST(XmlText, EscapingKeepsEveryFileWellFormed) {
    EXPECT_EQ(xmlEscape("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e&apos;f");
    EXPECT_EQ(xmlEscape("1\t2\n3\r4"), "1&#9;2&#10;3&#13;4");
    EXPECT_EQ(xmlEscape(std::string("bell\x07nul\0end", 12)), "bellnulend");  // XML cannot carry these
    EXPECT_EQ(xmlEscape("Größe µ €"), "Größe µ €");                             // UTF-8 passes unchanged
    EXPECT_EQ(xmlEscape("caf\xE9 \xC3"), "caf\xC3\xA9 \xC3\x83");                // stray bytes read as Latin-1
    EXPECT_EQ(xmlEscape("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xC2\x80");            // an encoded surrogate is no UTF-8

    EXPECT_EQ(xmlUnescape("a&amp;b&lt;c&gt;d&quot;e&apos;f"), "a&b<c>d\"e'f");
    EXPECT_EQ(xmlUnescape("&#38;&#x3C;&#X3e;&#233;&#x20AC;&#10;"), "&<>é€\n");
    // What is not a reference stays as it is.
    EXPECT_EQ(xmlUnescape("AT&T; R&D &unknown; &#0; &#xD800; &#; 5 & 6"), "AT&T; R&D &unknown; &#0; &#xD800; &#; 5 & 6");
    for (const std::string s : {"plain", "<&>\"'\t\n\r", "Größe € &amp; literal", "&&;;&#;"})
        EXPECT_EQ(xmlUnescape(xmlEscape(s)), s);
}

}  // namespace
