#include "platform/painter_canvas.h"

#include <QFontMetrics>
#include <QString>

#include <algorithm>

#include "platform/canvas_fonts.h"
#include "platform/qt_messages.h"

namespace kestro {

namespace {

QString text_of(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

PainterCanvas::PainterCanvas(QPainter& painter, int width, int height, bool antialiased, double dots_per_inch)
    : painter_(painter), width_(width), height_(height), antialiased_(antialiased), dots_per_inch_(dots_per_inch)
{
    painter_.setRenderHint(QPainter::Antialiasing, antialiased);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    set_pen(Pen{});
    set_brush(colour::White);
    set_font(FontSpec{});
}

void PainterCanvas::set_pen(const Pen& pen)
{
    Qt::PenStyle style = Qt::SolidLine;
    if (pen.style == PenStyle::Dash) style = Qt::DashLine;
    if (pen.style == PenStyle::Dot) style = Qt::DotLine;
    // Round ends and joins, as a wide GDI pen draws. Widths are picture
    // pixels, so they scale with the painter's transform.
    if (pen.width <= 1) // square corners cover the corner pixel whole
        pen_ = QPen(to_qcolor(pen.colour), 1, style, Qt::SquareCap, Qt::MiterJoin);
    else
        pen_ = QPen(to_qcolor(pen.colour), pen.width, style, Qt::RoundCap, Qt::RoundJoin);
}

void PainterCanvas::set_brush(Colour colour) { brush_ = to_qcolor(colour); }

void PainterCanvas::set_font(const FontSpec& font)
{
    font_ = font;
    qfont_ = to_qfont(font, dots_per_inch_);
}

void PainterCanvas::fill_rect(int x1, int y1, int x2, int y2)
{
    if (x2 <= x1 || y2 <= y1) return;
    painter_.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), brush_);
}

// Antialiased strokes at whole coordinates would straddle two pixels; half
// a pixel puts them on the pixel the coordinate names. Without
// antialiasing Qt already draws a line on the pixels right of and below it.
const QPointF* PainterCanvas::stroke_points(std::span<const PixelPoint> points)
{
    const double shift = antialiased_ ? 0.5 : 0.0;
    points_.clear();
    for (const PixelPoint& p : points) points_.emplace_back(p.x + shift, p.y + shift);
    return points_.data();
}

void PainterCanvas::polygon(std::span<const PixelPoint> points)
{
    if (points.empty()) return;
    painter_.setPen(pen_);
    painter_.setBrush(brush_);
    const QPointF* shifted = stroke_points(points);
    painter_.drawPolygon(shifted, static_cast<int>(points.size()), Qt::OddEvenFill);
}

void PainterCanvas::polyline(std::span<const PixelPoint> points)
{
    if (points.size() < 2) return;
    painter_.setPen(pen_);
    painter_.drawPolyline(stroke_points(points), static_cast<int>(points.size()));
}

void PainterCanvas::line(PixelPoint from, PixelPoint to)
{
    const PixelPoint points[2] = {from, to};
    polyline(points);
}

void PainterCanvas::text_out(PixelPoint top_left, std::string_view text)
{
    if (text.empty()) return;
    painter_.setFont(qfont_);
    painter_.setPen(to_qcolor(font_.colour));
    painter_.drawText(QPointF(top_left.x, top_left.y + QFontMetrics(qfont_).ascent()), text_of(text));
}

int PainterCanvas::text_width(std::string_view text) { return QFontMetrics(qfont_).horizontalAdvance(text_of(text)); }

int PainterCanvas::text_height(std::string_view) { return QFontMetrics(qfont_).height(); }

void PainterCanvas::ellipse(int x1, int y1, int x2, int y2)
{
    painter_.setPen(pen_);
    painter_.setBrush(brush_);
    const double shift = antialiased_ ? 0.5 : 0.0;
    painter_.drawEllipse(QRectF(x1 + shift, y1 + shift, x2 - x1, y2 - y1));
}

} // namespace kestro
