#include "platform/raster_canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/canvas_fonts.h"
#include "platform/qt_messages.h"

namespace kestro {

namespace {

// Far enough outside the image for any pen; coordinates beyond it are
// clipped first, so a point a million pixels away costs no more than one
// at the edge.
constexpr double ClipMargin = 64;

// The image's 0xAARRGGBB from a colour, opaque; the same as QColor::rgb().
std::uint32_t pixel_of(Colour colour)
{
    return 0xFF000000u | (red_of(colour) << 16) | (green_of(colour) << 8) | blue_of(colour);
}

// First device pixel at or right of x.
int first_pixel_at(double x, int limit)
{
    // ceil(v) = K - floor(K - v), and for K - v >= 0 floor is the truncation:
    // one conversion and no library call on the hot path.
    constexpr double K = 1 << 30;
    return static_cast<int>(K) - static_cast<int>(K - std::clamp(x, -2.0, limit + 2.0));
}

// Liang-Barsky: the parameter range [t0, t1] of the segment inside the
// rectangle; false when the segment misses it.
bool clip_segment(RasterCanvas::DevicePoint a, RasterCanvas::DevicePoint b, double x_min, double y_min,
                  double x_max, double y_max, double& t0, double& t1)
{
    t0 = 0;
    t1 = 1;
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - x_min, x_max - a.x, a.y - y_min, y_max - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    return true;
}

} // namespace

RasterCanvas::RasterCanvas(QImage& image, double device_scale)
    : image_(image), scale_(std::isfinite(device_scale) && device_scale > 0 ? device_scale : 1.0)
{
    const QImage::Format format = image_.format();
    // ARGB32 has the same layout; opaque pixels are written into it.
    if (!image_.isNull() && format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied)
        image_.convertTo(QImage::Format_RGB32);
    attach_pixels();
    width_ = static_cast<int>(std::lround(device_width_ / scale_));
    height_ = static_cast<int>(std::lround(device_height_ / scale_));
    set_pen(Pen{});
    set_brush(colour::White);
    set_font(FontSpec{});
}

// The pixel buffer is fetched again before each drawing call: the image
// may have been copied (shared) since, and writing must detach it.
void RasterCanvas::attach_pixels()
{
    if (image_.isNull()) {
        pixels_ = nullptr;
        device_width_ = device_height_ = 0;
        return;
    }
    pixels_ = reinterpret_cast<std::uint32_t*>(image_.bits());
    stride_ = image_.bytesPerLine() / 4;
    device_width_ = image_.width();
    device_height_ = image_.height();
}

void RasterCanvas::set_pen(const Pen& pen)
{
    pen_ = pen;
    pen_pixel_ = pixel_of(pen.colour);
    const int width = std::max(1, pen.width);
    device_pen_width_ = std::max(1, static_cast<int>(std::lround(width * scale_)));
    // The patterns of GDI pens: a one-pixel pen dashes 18 on 6 off and
    // dots 3 on 3 off; a wider pen 3 widths on 1 off, and 1 on 1 off.
    switch (pen.style) {
    case PenStyle::Solid:
        dash_on_ = dash_off_ = 0;
        break;
    case PenStyle::Dash:
        dash_on_ = width == 1 ? 18 : 3.0 * width;
        dash_off_ = width == 1 ? 6 : width;
        break;
    case PenStyle::Dot:
        dash_on_ = dash_off_ = width == 1 ? 3 : width;
        break;
    }
    dash_on_ *= scale_;
    dash_off_ *= scale_;
    if (device_pen_width_ == 1 && dash_on_ > 0) { // counted in whole pixel steps
        dash_on_ = std::max(1.0, std::round(dash_on_));
        dash_off_ = std::max(1.0, std::round(dash_off_));
    }
}

void RasterCanvas::set_brush(Colour colour) { brush_pixel_ = pixel_of(colour); }

void RasterCanvas::set_font(const FontSpec& font)
{
    font_ = font;
    qfont_ = to_qfont(font);
}

void RasterCanvas::span(int y, int x_begin, int x_end, std::uint32_t pixel)
{
    if (y < 0 || y >= device_height_) return;
    x_begin = std::max(x_begin, 0);
    x_end = std::min(x_end, device_width_);
    if (x_begin < x_end) std::fill_n(pixels_ + y * stride_ + x_begin, x_end - x_begin, pixel);
}

void RasterCanvas::fill_rect(int x1, int y1, int x2, int y2)
{
    attach_pixels();
    if (!pixels_) return;
    const auto device = [this](int v, int limit) {
        return static_cast<int>(std::clamp<double>(std::round(v * scale_), 0, limit));
    };
    const int left = device(x1, device_width_), right = device(x2, device_width_);
    const int top = device(y1, device_height_), bottom = device(y2, device_height_);
    for (int y = top; y < bottom; ++y) span(y, left, right, brush_pixel_);
}

// Scanline fill sampling pixel (i, j) at the point (i, j), the point a
// one-pixel line through it passes, so fill and outline meet without gaps;
// an edge through a sample fills it on the top and left sides only, so the
// right and bottom pixels are left to the outline, as GDI does. The crossings of each edge with the rows
// are bucketed by row (a counting sort), then paired left to right.
void RasterCanvas::fill_even_odd(std::span<const DevicePoint> points, std::uint32_t pixel)
{
    const std::size_t count = points.size();
    if (count < 3 || !pixels_) return;
    // The first row at or below each vertex; an edge covers the rows from
    // its upper vertex's to its lower vertex's, the lower one excluded.
    vertex_rows_.resize(count);
    int first = device_height_, last = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const int row = first_pixel_at(points[i].y, device_height_);
        vertex_rows_[i] = row;
        first = std::min(first, row);
        last = std::max(last, row);
    }
    first = std::max(first, 0);
    last = std::min(last, device_height_);
    if (first >= last) return;
    const int rows = last - first;

    // Each edge's rows, counted per row as differences.
    edges_.clear();
    row_starts_.assign(static_cast<std::size_t>(rows) + 1, 0);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t j = i + 1 == count ? 0 : i + 1;
        const int r0 = std::max(first, std::min(vertex_rows_[i], vertex_rows_[j]));
        const int r1 = std::min(last, std::max(vertex_rows_[i], vertex_rows_[j]));
        if (r0 >= r1) continue; // also every horizontal edge
        const DevicePoint& a = points[i];
        const DevicePoint& b = points[j];
        const double slope = (b.x - a.x) / (b.y - a.y);
        edges_.push_back({r0, r1, a.x + (r0 - a.y) * slope, slope});
        ++row_starts_[r0 - first];
        --row_starts_[r1 - first];
    }
    int running = 0, total = 0;
    for (int r = 0; r < rows; ++r) {
        running += row_starts_[r];
        row_starts_[r] = total;
        total += running;
    }
    row_starts_[rows] = total;

    // Crossings as the first pixel right of them: the map keeps their order.
    crossings_.resize(static_cast<std::size_t>(total));
    row_cursors_.assign(row_starts_.begin(), row_starts_.end() - 1);
    for (const Edge& edge : edges_)
        for (int r = edge.first_row; r < edge.end_row; ++r)
            crossings_[row_cursors_[r - first]++] =
                first_pixel_at(edge.x_first + (r - edge.first_row) * edge.slope, device_width_);

    for (int r = 0; r < rows; ++r) {
        int* begin = crossings_.data() + row_starts_[r];
        int* end = crossings_.data() + row_starts_[r + 1];
        for (int* i = begin + 1; i < end; ++i) // rows hold a handful of crossings
            for (int* j = i; j > begin && *(j - 1) > *j; --j) std::swap(*(j - 1), *j);
        std::uint32_t* row = pixels_ + (first + r) * stride_;
        for (int* k = begin; k + 1 < end; k += 2) {
            const int x_begin = std::max(k[0], 0), x_end = std::min(k[1], device_width_);
            if (x_begin < x_end) std::fill(row + x_begin, row + x_end, pixel);
        }
    }
}

void RasterCanvas::polygon(std::span<const PixelPoint> points)
{
    attach_pixels();
    if (!pixels_ || points.empty()) return;
    // A small atom's outline rounds many corners onto one pixel. An edge of
    // no length neither fills a row nor strokes a pixel, so dropping the
    // repeats changes no pixel of the fill or of a one-pixel outline.
    distinct_points_.clear();
    for (const PixelPoint& p : points)
        if (distinct_points_.empty() || !(p == distinct_points_.back())) distinct_points_.push_back(p);
    while (distinct_points_.size() > 1 && distinct_points_.back() == distinct_points_.front()) distinct_points_.pop_back();
    device_points_.clear();
    for (const PixelPoint& p : distinct_points_) device_points_.push_back({p.x * scale_, p.y * scale_});
    fill_even_odd(device_points_, brush_pixel_);
    // Wide pens put a disc at every corner: they take the corners as given.
    if (device_pen_width_ == 1) stroke(distinct_points_, true);
    else stroke(points, true);
}

void RasterCanvas::polyline(std::span<const PixelPoint> points)
{
    attach_pixels();
    if (!pixels_) return;
    stroke(points, false);
}

void RasterCanvas::line(PixelPoint from, PixelPoint to)
{
    const PixelPoint points[2] = {from, to};
    polyline(points);
}

void RasterCanvas::stroke(std::span<const PixelPoint> points, bool closed)
{
    if (points.size() < 2) return;
    dash_phase_ = 0;
    if (device_pen_width_ == 1) {
        const auto device = [this](PixelPoint p) {
            if (scale_ == 1.0) return p;
            const auto scaled = [this](int v) {
                return static_cast<int>(std::lround(std::clamp(v * scale_, -1e9, 1e9)));
            };
            return PixelPoint{scaled(p.x), scaled(p.y)};
        };
        for (std::size_t i = 0; i + 1 < points.size(); ++i) thin_segment(device(points[i]), device(points[i + 1]));
        if (closed) thin_segment(device(points.back()), device(points.front()));
        return;
    }
    // Wide pens run through the middle of the device pixels of a picture
    // pixel, round-jointed when solid.
    const double middle = (scale_ - 1) / 2;
    const auto centre = [&](PixelPoint p) { return DevicePoint{p.x * scale_ + middle, p.y * scale_ + middle}; };
    for (std::size_t i = 0; i + 1 < points.size(); ++i) thick_segment(centre(points[i]), centre(points[i + 1]));
    if (closed) thick_segment(centre(points.back()), centre(points.front()));
    if (dash_on_ == 0)
        for (const PixelPoint& p : points) disc(centre(p));
}

// One-pixel line without its last pixel. The pixel at step k along the major
// axis is the one nearest the true line, minor = round(k minor / major),
// kept in integers: the remainder of (2 k minor + major) / (2 major) carries
// into the minor coordinate each time it wraps.
void RasterCanvas::thin_segment(PixelPoint from, PixelPoint to)
{
    const auto inside = [this](PixelPoint p) {
        return static_cast<unsigned>(p.x) < static_cast<unsigned>(device_width_) &&
               static_cast<unsigned>(p.y) < static_cast<unsigned>(device_height_);
    };
    if (dash_on_ > 0 || !inside(from) || !inside(to)) {
        checked_thin_segment(from, to);
        return;
    }
    // Solid and inside the image, the common case: no test per pixel.
    const int dx = std::abs(to.x - from.x);
    const int dy = std::abs(to.y - from.y);
    const qsizetype x_step = to.x > from.x ? 1 : -1;
    const qsizetype y_step = to.y > from.y ? stride_ : -stride_;
    const bool x_major = dx >= dy;
    const int major = x_major ? dx : dy;
    const int minor = x_major ? dy : dx;
    const qsizetype major_step = x_major ? x_step : y_step;
    const qsizetype minor_step = x_major ? y_step : x_step;
    const int denominator = 2 * major;
    int remainder = major;
    std::uint32_t* pixel = pixels_ + from.y * stride_ + from.x;
    const std::uint32_t colour = pen_pixel_;
    for (int k = 0; k < major; ++k) {
        *pixel = colour;
        remainder += 2 * minor;
        const bool wraps = remainder >= denominator;
        remainder -= wraps ? denominator : 0;
        pixel += major_step + (wraps ? minor_step : 0);
    }
}

// The same line, dashed, or reaching outside the image: each pixel tested,
// and a line reaching far outside first cut to the image.
void RasterCanvas::checked_thin_segment(PixelPoint from, PixelPoint to)
{
    const double full_steps = std::max(std::abs(double(to.x) - from.x), std::abs(double(to.y) - from.y));
    if (full_steps == 0) return;
    double phase_start = dash_phase_;
    dash_phase_ += full_steps;
    const auto outside = [](int v, int limit) { return v < -ClipMargin || v > limit + ClipMargin; };
    if (outside(from.x, device_width_) || outside(to.x, device_width_) || outside(from.y, device_height_) ||
        outside(to.y, device_height_)) {
        const DevicePoint a{double(from.x), double(from.y)}, b{double(to.x), double(to.y)};
        double t0, t1;
        if (!clip_segment(a, b, -2, -2, device_width_ + 2.0, device_height_ + 2.0, t0, t1)) return;
        const auto at = [&](double t) {
            return PixelPoint{static_cast<int>(std::lround(a.x + t * (b.x - a.x))),
                              static_cast<int>(std::lround(a.y + t * (b.y - a.y)))};
        };
        phase_start += std::floor(t0 * full_steps);
        from = at(t0);
        to = at(t1);
    }

    const int dx = std::abs(to.x - from.x);
    const int dy = std::abs(to.y - from.y);
    const bool x_major = dx >= dy;
    const int major = x_major ? dx : dy;
    const int minor = x_major ? dy : dx;
    const int step_major = x_major ? (to.x > from.x ? 1 : -1) : (to.y > from.y ? 1 : -1);
    const int step_minor = x_major ? (to.y > from.y ? 1 : -1) : (to.x > from.x ? 1 : -1);
    const int denominator = 2 * major;
    int remainder = major;
    int a = x_major ? from.x : from.y;
    int b = x_major ? from.y : from.x;
    const std::int64_t period = static_cast<std::int64_t>(dash_on_ + dash_off_);
    const std::int64_t on_length = static_cast<std::int64_t>(dash_on_);
    std::int64_t phase = 0;
    if (period > 0) phase = static_cast<std::int64_t>(phase_start) % period;
    const unsigned w = static_cast<unsigned>(device_width_);
    const unsigned h = static_cast<unsigned>(device_height_);
    for (int k = 0; k < major; ++k) {
        const int x = x_major ? a : b;
        const int y = x_major ? b : a;
        if ((period == 0 || phase < on_length) && static_cast<unsigned>(x) < w && static_cast<unsigned>(y) < h)
            pixels_[y * stride_ + x] = pen_pixel_;
        if (period > 0 && ++phase == period) phase = 0;
        a += step_major;
        remainder += 2 * minor;
        if (remainder >= denominator) {
            remainder -= denominator;
            b += step_minor;
        }
    }
}

void RasterCanvas::thick_segment(DevicePoint from, DevicePoint to)
{
    if (dash_on_ == 0) {
        double t0, t1;
        const double margin = device_pen_width_ + 2.0;
        if (!clip_segment(from, to, -margin, -margin, device_width_ + margin, device_height_ + margin, t0, t1)) return;
        const double dx = to.x - from.x, dy = to.y - from.y;
        band({from.x + t0 * dx, from.y + t0 * dy}, {from.x + t1 * dx, from.y + t1 * dy});
        return;
    }
    dashed_thick_segment(from, to);
}

// Dashes as flat-ended pieces of the band; the pattern runs on from the
// previous segment.
void RasterCanvas::dashed_thick_segment(DevicePoint from, DevicePoint to)
{
    const double dx = to.x - from.x, dy = to.y - from.y;
    const double length = std::hypot(dx, dy);
    if (length <= 0) return;
    const double period = dash_on_ + dash_off_;
    double t0, t1;
    const double margin = device_pen_width_ + 2.0;
    if (!clip_segment(from, to, -margin, -margin, device_width_ + margin, device_height_ + margin, t0, t1)) {
        dash_phase_ = std::fmod(dash_phase_ + length, period);
        return;
    }
    double position = t0 * length;
    const double end = t1 * length;
    double phase = std::fmod(dash_phase_ + position, period);
    const auto at = [&](double s) { return DevicePoint{from.x + dx * s / length, from.y + dy * s / length}; };
    while (position < end) {
        const bool on = phase < dash_on_;
        const double piece_end = std::min(end, position + (on ? dash_on_ : period) - phase);
        if (on) band(at(position), at(piece_end));
        phase = std::fmod(phase + (piece_end - position), period);
        position = piece_end;
    }
    dash_phase_ = std::fmod(dash_phase_ + length, period);
}

// The rectangle of the pen's width along the segment.
void RasterCanvas::band(DevicePoint from, DevicePoint to)
{
    const double dx = to.x - from.x, dy = to.y - from.y;
    const double length = std::hypot(dx, dy);
    if (length <= 0) return;
    const double half = device_pen_width_ / 2.0;
    const double nx = -dy / length * half, ny = dx / length * half;
    const DevicePoint corners[4] = {
        {from.x + nx, from.y + ny}, {to.x + nx, to.y + ny}, {to.x - nx, to.y - ny}, {from.x - nx, from.y - ny}};
    fill_even_odd(corners, pen_pixel_);
}

void RasterCanvas::disc(DevicePoint centre)
{
    const double radius = device_pen_width_ / 2.0;
    const int first = std::max(0, first_pixel_at(centre.y - radius, device_height_));
    const int last = std::min(device_height_, first_pixel_at(centre.y + radius, device_height_));
    for (int y = first; y < last; ++y) {
        const double dy = y - centre.y;
        const double squared = radius * radius - dy * dy;
        if (squared <= 0) continue;
        const double half = std::sqrt(squared);
        span(y, first_pixel_at(centre.x - half, device_width_), first_pixel_at(centre.x + half, device_width_),
             pen_pixel_);
    }
}

void RasterCanvas::text_out(PixelPoint top_left, std::string_view text)
{
    if (image_.isNull() || text.empty()) return;
    QPainter painter(&image_);
    painter.scale(scale_, scale_);
    painter.setFont(qfont_);
    painter.setPen(to_qcolor(font_.colour));
    painter.drawText(QPointF(top_left.x, top_left.y + QFontMetrics(qfont_).ascent()),
                     QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

int RasterCanvas::text_width(std::string_view text)
{
    return QFontMetrics(qfont_).horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

int RasterCanvas::text_height(std::string_view) { return QFontMetrics(qfont_).height(); }

} // namespace kestro
