#pragma once
// The surface every picture is drawn on: the screen image, a picture file,
// the printed page, a vector file, or the tests' recorder. Pixels, origin
// at the top left, x to the right, y downward; colours 0x00BBGGRR.

#include <span>
#include <string>
#include <string_view>

#include "model/structure_model.h"

namespace kestro {

struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};

enum class PenStyle { Solid, Dash, Dot };

struct Pen {
    Colour colour = 0;
    int width = 1;
    PenStyle style = PenStyle::Solid;
    bool operator==(const Pen&) const = default;
};

struct FontSpec {
    std::string name = "Times New Roman";
    int size = 12; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    Colour colour = 0;
    bool operator==(const FontSpec&) const = default;
};

// Pixels of the picture for a font size in points: the picture has 96 dots
// per inch (12 points = 16 pixels); the printed page gives its printer's.
int font_pixel_size(int points, double dots_per_inch = 96);

class Canvas {
public:
    virtual ~Canvas() = default;

    virtual int width() const = 0;
    virtual int height() const = 0;

    virtual void set_pen(const Pen& pen) = 0;
    virtual void set_brush(Colour colour) = 0;
    virtual void set_font(const FontSpec& font) = 0;
    virtual FontSpec font() const = 0;

    // Fills the rectangle from (x1, y1) to (x2, y2), right and bottom
    // excluded, with the brush; no outline.
    virtual void fill_rect(int x1, int y1, int x2, int y2) = 0;
    // Filled with the brush and outlined with the pen; the outline closes.
    virtual void polygon(std::span<const PixelPoint> points) = 0;
    virtual void polyline(std::span<const PixelPoint> points) = 0;
    virtual void line(PixelPoint from, PixelPoint to) = 0;
    // Text with its top left corner at the point, transparent background,
    // in the font's colour.
    virtual void text_out(PixelPoint top_left, std::string_view text) = 0;
    virtual int text_width(std::string_view text) = 0;
    virtual int text_height(std::string_view text) = 0;

    // The ellipse inscribed in the rectangle (x1, y1) - (x2, y2), filled with
    // the brush and outlined with the pen; by default a polygon of 64 sides.
    virtual void ellipse(int x1, int y1, int x2, int y2);
};

} // namespace kestro
