#pragma once
// A canvas for tests: keeps every call in order, so that geometry (polygon
// points, order of fills, texts and fonts) is checked without pixels. Text
// is 6 pixels per character and 10 pixels high.

#include <string>
#include <vector>

#include "drawing/canvas.h"

struct CanvasCall {
    enum Kind { FillRect, Polygon, Polyline, Line, Text, Ellipse } kind;
    std::vector<kestro::PixelPoint> points;
    kestro::Pen pen;
    kestro::Colour brush = 0;
    kestro::FontSpec font;
    std::string text;
};

class RecordingCanvas : public kestro::Canvas {
public:
    explicit RecordingCanvas(int width = 686, int height = 686) : width_(width), height_(height) {}

    std::vector<CanvasCall> calls;

    int width() const override { return width_; }
    int height() const override { return height_; }
    void set_pen(const kestro::Pen& pen) override { pen_ = pen; }
    void set_brush(kestro::Colour colour) override { brush_ = colour; }
    void set_font(const kestro::FontSpec& font) override { font_ = font; }
    kestro::FontSpec font() const override { return font_; }
    void fill_rect(int x1, int y1, int x2, int y2) override { record(CanvasCall::FillRect, {{x1, y1}, {x2, y2}}); }
    void polygon(std::span<const kestro::PixelPoint> points) override
    {
        record(CanvasCall::Polygon, {points.begin(), points.end()});
    }
    void polyline(std::span<const kestro::PixelPoint> points) override
    {
        record(CanvasCall::Polyline, {points.begin(), points.end()});
    }
    void line(kestro::PixelPoint from, kestro::PixelPoint to) override { record(CanvasCall::Line, {from, to}); }
    void text_out(kestro::PixelPoint top_left, std::string_view text) override
    {
        record(CanvasCall::Text, {top_left});
        calls.back().text = std::string(text);
    }
    void ellipse(int x1, int y1, int x2, int y2) override { record(CanvasCall::Ellipse, {{x1, y1}, {x2, y2}}); }
    int text_width(std::string_view text) override { return 6 * static_cast<int>(text.size()); }
    int text_height(std::string_view) override { return 10; }

    std::vector<const CanvasCall*> of_kind(CanvasCall::Kind kind) const
    {
        std::vector<const CanvasCall*> out;
        for (const CanvasCall& c : calls)
            if (c.kind == kind) out.push_back(&c);
        return out;
    }
    // Polygons of `size` points: 51 for atoms, 42 for bonds.
    std::vector<const CanvasCall*> polygons(std::size_t size) const
    {
        std::vector<const CanvasCall*> out;
        for (const CanvasCall& c : calls)
            if (c.kind == CanvasCall::Polygon && c.points.size() == size) out.push_back(&c);
        return out;
    }

private:
    void record(CanvasCall::Kind kind, std::vector<kestro::PixelPoint> points)
    {
        calls.push_back({kind, std::move(points), pen_, brush_, font_, {}});
    }

    int width_, height_;
    kestro::Pen pen_;
    kestro::Colour brush_ = 0;
    kestro::FontSpec font_;
};
