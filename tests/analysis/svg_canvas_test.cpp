// The SVG canvas: a well-formed document, escaped texts, placement of aligned and turned text, fixed
// text metrics, clipping groups, and a whole graph drawn into it.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <regex>
#include <vector>

#include "analysis/plot_engine.h"
#include "analysis/svg_canvas.h"

using namespace analysis;

namespace {

bool validUtf8(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const int n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (int k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

// Character data: no markup characters, only the predefined entities.
bool validText(const std::string& text) {
    if (text.find('<') != std::string::npos) return false;
    for (std::size_t amp = text.find('&'); amp != std::string::npos; amp = text.find('&', amp + 1)) {
        static const std::regex entity("&(amp|lt|gt|quot|apos|#[0-9]+|#x[0-9a-fA-F]+);");
        const std::size_t end = text.find(';', amp);
        if (end == std::string::npos || !std::regex_match(text.substr(amp, end - amp + 1), entity)) return false;
    }
    for (unsigned char c : text)
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
    return true;
}

// A small XML well-formedness check: one root, properly nested and closed elements, quoted attribute
// values, valid entities and UTF-8. Returns "" or what is wrong.
std::string xmlProblem(const std::string& doc) {
    if (!validUtf8(doc)) return "not UTF-8";
    std::size_t pos = 0;
    if (doc.compare(0, 5, "<?xml") == 0) pos = doc.find("?>") + 2;
    std::vector<std::string> open;
    int roots = 0;
    static const std::regex attribute(R"(\s+[A-Za-z_:][-A-Za-z0-9_:.]*="([^"]*)\")");
    while (pos < doc.size()) {
        const std::size_t lt = doc.find('<', pos);
        const std::string text = doc.substr(pos, lt == std::string::npos ? std::string::npos : lt - pos);
        if (!validText(text)) return "bad character data: " + text;
        if (open.empty() && text.find_first_not_of(" \t\r\n") != std::string::npos) return "text outside the root";
        if (lt == std::string::npos) break;
        const std::size_t gt = doc.find('>', lt);
        if (gt == std::string::npos) return "unterminated tag";
        std::string tag = doc.substr(lt + 1, gt - lt - 1);
        pos = gt + 1;
        if (!tag.empty() && tag[0] == '/') {
            if (open.empty() || open.back() != tag.substr(1)) return "mismatched </" + tag.substr(1) + ">";
            open.pop_back();
            continue;
        }
        const bool empty = !tag.empty() && tag.back() == '/';
        if (empty) tag.pop_back();
        const std::size_t nameEnd = tag.find_first_of(" \t\n");
        const std::string name = tag.substr(0, nameEnd);
        if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0]))) return "bad tag <" + tag + ">";
        std::string rest = nameEnd == std::string::npos ? "" : tag.substr(nameEnd);
        for (std::smatch m; std::regex_search(rest, m, attribute) && m.position(0) == 0; rest = m.suffix()) {
            if (!validText(m[1].str()) || m[1].str().find('"') != std::string::npos) return "bad attribute in " + name;
        }
        if (rest.find_first_not_of(" \t\n") != std::string::npos) return "bad attributes: " + rest;
        if (open.empty()) ++roots;
        if (!empty) open.push_back(name);
    }
    if (!open.empty()) return "unclosed <" + open.back() + ">";
    return roots == 1 ? "" : "not one root";
}

int count(const std::string& s, const std::string& what) {
    int n = 0;
    for (std::size_t p = s.find(what); p != std::string::npos; p = s.find(what, p + 1)) ++n;
    return n;
}

}  // namespace

TEST(SvgCanvas, TheCheckerRejectsBrokenXml) {
    EXPECT_EQ(xmlProblem("<svg><g></g></svg>"), "");
    EXPECT_NE(xmlProblem("<svg><g></svg>"), "");
    EXPECT_NE(xmlProblem("<svg><text>a < b</text></svg>"), "");
    EXPECT_NE(xmlProblem("<svg><text>R&D</text></svg>"), "");
    EXPECT_NE(xmlProblem("<svg a=\"x\"b=1></svg>"), "");
    EXPECT_NE(xmlProblem("<svg/><svg/>"), "");
}

TEST(SvgCanvas, EscapesTextAndKeepsTheDocumentWellFormed) {
    SvgCanvas c(200, 100);
    c.selectFont(Font{"A \"quoted\" <face>", 12, 400, 0});
    c.textOut({10, 10}, "a < b & \"c\" > 'd'");
    c.drawText({0, 0, 200, 20}, "R&D <1> \"2\"", kTextCenter | kTextSingleLine | kTextVCenter);
    // Bytes that are not UTF-8 are taken as Latin-1; control characters XML forbids are dropped.
    c.textOut({10, 50}, std::string("Temp \xB0" "C\x01!"));
    const std::string doc = c.document();
    EXPECT_EQ(xmlProblem(doc), "") << doc;
    EXPECT_NE(doc.find(">a &lt; b &amp; &quot;c&quot; &gt; &apos;d&apos;</text>"), std::string::npos);
    EXPECT_NE(doc.find(">R&amp;D &lt;1&gt; &quot;2&quot;</text>"), std::string::npos);
    EXPECT_NE(doc.find("font-family=\"'A &quot;quoted&quot; &lt;face&gt;'"), std::string::npos);
    EXPECT_NE(doc.find(">Temp \xC2\xB0" "C!</text>"), std::string::npos);
    EXPECT_TRUE(doc.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                "<svg xmlns=\"http://www.w3.org/2000/svg\""));
    EXPECT_NE(doc.find("width=\"200\" height=\"100\""), std::string::npos);
}

TEST(SvgCanvas, ShapesInThePenAndBrush) {
    SvgCanvas c(100, 100);
    c.selectPen({rgb(255, 0, 0), 1, PenStyle::Dash});
    c.line({10, 20}, {30, 20});
    c.selectPen({rgb(0, 0, 255), 2, PenStyle::Solid});
    c.polyline({{0, 0}, {5, 5}, {10, 0}});
    c.selectBrush(Brush::solid(rgb(1, 2, 3)));
    c.rectangle({10, 10, 20, 20});
    c.fillRect({0, 0, 4, 4}, rgb(0x12, 0x34, 0x56));
    const std::string doc = c.document();
    EXPECT_NE(doc.find("<line x1=\"10.5\" y1=\"20.5\" x2=\"30.5\" y2=\"20.5\" stroke=\"#ff0000\" stroke-width=\"1\" "
                       "stroke-dasharray=\"18,6\"/>"),
              std::string::npos)
        << doc;
    EXPECT_NE(doc.find("points=\"0,0 5,5 10,0\""), std::string::npos);
    EXPECT_NE(doc.find("fill=\"#010203\""), std::string::npos);
    EXPECT_NE(doc.find("<rect x=\"0\" y=\"0\" width=\"4\" height=\"4\" fill=\"#123456\"/>"), std::string::npos);
}

TEST(SvgCanvas, TextIsPlacedByAlignmentAndTurnedAboutItsReference) {
    SvgCanvas c(300, 300);
    c.selectFont(Font{"MS Shell Dlg", 20, 400, 0});
    c.setTextAlign(kAlignRight | kAlignTop);
    c.textOut({100, 50}, "top");
    c.setTextAlign(kAlignCenter | kAlignBaseline);
    c.textOut({100, 80}, "base");
    // Reading top to bottom: the text's top faces right, so its baseline lies left of the point.
    c.selectFont(Font{"MS Shell Dlg", 20, 400, 2700});
    c.setTextAlign(kAlignLeft | kAlignTop);
    c.textOut({12, 100}, "down");
    const std::string doc = c.document();
    EXPECT_NE(doc.find("<text x=\"100\" y=\"69\""), std::string::npos) << doc;  // baseline 19 below the top
    EXPECT_NE(doc.find("text-anchor=\"end\">top<"), std::string::npos);
    EXPECT_NE(doc.find("<text x=\"100\" y=\"80\""), std::string::npos);
    EXPECT_NE(doc.find("text-anchor=\"middle\">base<"), std::string::npos);
    EXPECT_NE(doc.find("<text x=\"-7\" y=\"100\""), std::string::npos);
    EXPECT_NE(doc.find("transform=\"rotate(-270 -7 100)\">down<"), std::string::npos);
}

TEST(SvgCanvas, FixedMetricsCountCharactersNotBytes) {
    const Font normal{"MS Shell Dlg", 12, 400, 0}, bold{"MS Shell Dlg", 12, 700, 0};
    const Size a = fixedTextExtent(normal, "PHASE (°)");
    EXPECT_EQ(a.cx, fixedTextExtent(normal, "PHASE (x)").cx);
    EXPECT_EQ(a.cy, 14);
    EXPECT_EQ(fixedTextExtent(normal, "0123456789").cx, 67);
    EXPECT_GT(fixedTextExtent(bold, "0123456789").cx, 67);
    EXPECT_GT(fixedTextExtent(Font{"Verdana", 12, 400, 0}, "0123456789").cx, 67);
    SvgCanvas c(10, 10);
    c.selectFont(normal);
    EXPECT_EQ(c.textExtent("0123456789").cx, 67);
}

TEST(SvgCanvas, BoxedTextIsClippedOnlyWhenItOverflows) {
    SvgCanvas c(400, 100);
    c.selectFont(Font{"MS Shell Dlg", 12, 400, 0});
    c.drawText({0, 0, 200, 20}, "fits", kTextLeft | kTextSingleLine);
    EXPECT_EQ(count(c.document(), "<clipPath"), 0);
    c.drawText({0, 0, 30, 20}, "far too long for the box", kTextLeft | kTextSingleLine);
    EXPECT_EQ(count(c.document(), "<clipPath"), 1);
    c.drawText({0, 0, 30, 20}, "far too long, but unclipped", kTextLeft | kTextSingleLine | kTextNoClip);
    EXPECT_EQ(count(c.document(), "<clipPath"), 1);

    // Lines break at line feeds; a tab moves on to the next stop of eight average characters (54 px).
    c.drawText({100, 40, 400, 80}, "one\nab\tcd", kTextLeft | kTextExpandTabs);
    const std::string doc = c.document();
    EXPECT_NE(doc.find("<text x=\"100\" y=\"51\""), std::string::npos) << doc;
    EXPECT_NE(doc.find("<text x=\"100\" y=\"65\"") , std::string::npos);
    EXPECT_NE(doc.find("<text x=\"154\" y=\"65\""), std::string::npos);

    // A clipping rectangle opens a group that the next one, clearClip or the document's end closes.
    c.setClipRect({10, 10, 50, 50});
    c.setClipRect({20, 20, 60, 60});
    EXPECT_EQ(xmlProblem(c.document()), "");
    c.clearClip();
    c.clearClip();
    EXPECT_EQ(xmlProblem(c.document()), "");
}

TEST(SvgCanvas, AWholeGraphIsWellFormed) {
    db::SweepRecord s;
    s.name = "R&D <9>";
    for (int i = 0; i < 200; ++i) {
        const double f = 20 * std::pow(1e5, i / 199.0);
        s.basicPoints.push_back({f, -40 + 20 * std::sin(i / 10.0), 90 * std::cos(i / 7.0)});
    }
    std::vector<db::SweepRecord> sweeps = {s};
    GraphView v;
    v.sweeps = sweeps;
    AutoscaleFrequency(v.ranges, sweeps);
    AutoscaleLeftAxis(v.ranges, sweeps);
    v.cursors = buildCursors(s, v.ranges);
    v.settings.leftCursorVisible = v.settings.rightCursorVisible = true;
    SvgCanvas c(1024, 625);
    DrawGraph(c, v, 1024, 625, kWindowLegendOffset);
    const std::string doc = c.document();
    EXPECT_EQ(xmlProblem(doc), "");
    EXPECT_NE(doc.find(">R&amp;D &lt;9&gt;<"), std::string::npos);
    EXPECT_EQ(count(doc, "<polyline"), 2);
    EXPECT_NE(doc.find(">GAIN (dB)<"), std::string::npos);
}
