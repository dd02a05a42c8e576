// The recording canvas: every call kept with the drawing state in force at the time.
#include "support/recording_canvas.h"

namespace testing_support {

using namespace analysis;

DrawCall RecordingCanvas::call(DrawCall::Kind kind) const {
    DrawCall c;
    c.kind = kind;
    c.pen = pen_;
    c.brush = brush_;
    c.font = font_;
    c.colour = textColour_;
    c.flags = align_;
    return c;
}

void RecordingCanvas::line(Point from, Point to) {
    DrawCall c = call(DrawCall::Line);
    c.points = {from, to};
    calls.push_back(c);
}

void RecordingCanvas::polyline(const std::vector<Point>& points) {
    DrawCall c = call(DrawCall::Polyline);
    c.points = points;
    calls.push_back(c);
}

void RecordingCanvas::rectangle(const Rect& r) {
    DrawCall c = call(DrawCall::Rectangle);
    c.rect = r;
    calls.push_back(c);
}

void RecordingCanvas::ellipse(const Rect& r) {
    DrawCall c = call(DrawCall::Ellipse);
    c.rect = r;
    calls.push_back(c);
}

void RecordingCanvas::fillRect(const Rect& r, Colour colour) {
    DrawCall c = call(DrawCall::FillRect);
    c.rect = r;
    c.colour = colour;
    calls.push_back(c);
}

void RecordingCanvas::frameRect(const Rect& r, Colour colour) {
    DrawCall c = call(DrawCall::FrameRect);
    c.rect = r;
    c.colour = colour;
    calls.push_back(c);
}

void RecordingCanvas::textOut(Point at, const std::string& text) {
    DrawCall c = call(DrawCall::TextOut);
    c.points = {at};
    c.text = text;
    calls.push_back(c);
}

void RecordingCanvas::drawText(const Rect& box, const std::string& text, unsigned format) {
    DrawCall c = call(DrawCall::DrawText);
    c.rect = box;
    c.text = text;
    c.flags = format;
    calls.push_back(c);
}

Size RecordingCanvas::textExtent(const std::string& text) {
    int characters = 0;
    for (char ch : text)
        if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) ++characters;
    return {characters * font_.height / 2, font_.height + 2};
}

void RecordingCanvas::setClipRect(const Rect& r) {
    DrawCall c = call(DrawCall::ClipRect);
    c.rect = r;
    calls.push_back(c);
}

void RecordingCanvas::clearClip() { calls.push_back(call(DrawCall::ClearClip)); }

std::vector<DrawCall> RecordingCanvas::ofKind(DrawCall::Kind kind) const {
    std::vector<DrawCall> out;
    for (const auto& c : calls)
        if (c.kind == kind) out.push_back(c);
    return out;
}

std::vector<std::string> RecordingCanvas::texts() const {
    std::vector<std::string> out;
    for (const auto& c : calls)
        if (c.kind == DrawCall::TextOut || c.kind == DrawCall::DrawText) out.push_back(c.text);
    return out;
}

std::vector<DrawCall> RecordingCanvas::textCalls(const std::string& text) const {
    std::vector<DrawCall> out;
    for (const auto& c : calls)
        if ((c.kind == DrawCall::TextOut || c.kind == DrawCall::DrawText) && c.text == text) out.push_back(c);
    return out;
}

}  // namespace testing_support
