#pragma once
// A canvas on a QPainter: picture files, the printed page, SVG and PDF.
// The painter's device and transform are the caller's; coordinates are
// pixels of a width x height picture. Antialiased, strokes run through the
// pixel centres, so a one-pixel line covers the pixels a screen line does.

#include <QPainter>

#include <vector>

#include "drawing/canvas.h"

namespace kestro {

class PainterCanvas final : public Canvas {
public:
    // dots_per_inch: of the picture, for the sizes of fonts (the printed
    // page gives its printer's).
    PainterCanvas(QPainter& painter, int width, int height, bool antialiased = true, double dots_per_inch = 96);

    int width() const override { return width_; }
    int height() const override { return height_; }

    void set_pen(const Pen& pen) override;
    void set_brush(Colour colour) override;
    void set_font(const FontSpec& font) override;
    FontSpec font() const override { return font_; }

    void fill_rect(int x1, int y1, int x2, int y2) override;
    void polygon(std::span<const PixelPoint> points) override;
    void polyline(std::span<const PixelPoint> points) override;
    void line(PixelPoint from, PixelPoint to) override;
    void text_out(PixelPoint top_left, std::string_view text) override;
    int text_width(std::string_view text) override;
    int text_height(std::string_view text) override;
    void ellipse(int x1, int y1, int x2, int y2) override;

private:
    const QPointF* stroke_points(std::span<const PixelPoint> points);

    QPainter& painter_;
    int width_;
    int height_;
    bool antialiased_;
    double dots_per_inch_;
    QPen pen_;
    QColor brush_;
    FontSpec font_;
    QFont qfont_;
    std::vector<QPointF> points_; // reused by every polygon
};

} // namespace kestro
