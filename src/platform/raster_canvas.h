#pragma once
// The screen canvas: polygons, polylines and lines written straight into the
// pixels of an RGB32 image, without antialiasing, with the pixel rules of a
// Windows GDI canvas: pixel (i, j) stands for the point (i, j); a polygon
// fills the pixels inside it (even-odd), its right and bottom edges left to
// the outline; a one-pixel pen line leaves out its last pixel, wider pens are
// round-jointed bands centred on the line. Text goes through a QPainter.
//
// Coordinates are pixels of the picture; the image holds device_scale device
// pixels per picture pixel (high-DPI screens), pen widths and fonts scale
// with it.

#include <QFont>
#include <QImage>

#include <cstdint>
#include <vector>

#include "drawing/canvas.h"

namespace kestro {

class RasterCanvas final : public Canvas {
public:
    // An image of another format is converted to RGB32 in place.
    explicit RasterCanvas(QImage& image, double device_scale = 1.0);

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

    // A point in device pixels, continuous; pixel (i, j) is sampled at (i, j).
    struct DevicePoint {
        double x = 0;
        double y = 0;
    };

private:
    void attach_pixels();
    void fill_even_odd(std::span<const DevicePoint> points, std::uint32_t pixel);
    void stroke(std::span<const PixelPoint> points, bool closed);
    void thin_segment(PixelPoint from, PixelPoint to);
    void checked_thin_segment(PixelPoint from, PixelPoint to);
    void thick_segment(DevicePoint from, DevicePoint to);
    void dashed_thick_segment(DevicePoint from, DevicePoint to);
    void band(DevicePoint from, DevicePoint to);
    void disc(DevicePoint centre);
    void span(int y, int x_begin, int x_end, std::uint32_t pixel);

    QImage& image_;
    double scale_;
    int width_ = 0;
    int height_ = 0;
    int device_width_ = 0;
    int device_height_ = 0;
    std::uint32_t* pixels_ = nullptr;
    qsizetype stride_ = 0; // in pixels

    Pen pen_;
    std::uint32_t pen_pixel_ = 0xFF000000;
    std::uint32_t brush_pixel_ = 0xFFFFFFFF;
    FontSpec font_;
    QFont qfont_;

    // The pen in device pixels and its dash pattern (on, off lengths; zero
    // for a solid pen). The phase runs on along a polyline.
    int device_pen_width_ = 1;
    double dash_on_ = 0;
    double dash_off_ = 0;
    double dash_phase_ = 0;

    // Reused by every polygon, so drawing allocates nothing once warm.
    struct Edge {
        int first_row;
        int end_row;
        double x_first; // x on the first row
        double slope;   // dx / dy
    };
    std::vector<DevicePoint> device_points_;
    std::vector<PixelPoint> distinct_points_; // a polygon without repeated corners
    std::vector<int> vertex_rows_;
    std::vector<Edge> edges_;
    std::vector<int> row_starts_;
    std::vector<int> row_cursors_;
    std::vector<int> crossings_;
};

} // namespace kestro
