#include "drawing/canvas.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kestro {

int font_pixel_size(int points, double dots_per_inch)
{
    return std::max(1, static_cast<int>(std::lround(std::abs(points) * dots_per_inch / 72.0)));
}

void Canvas::ellipse(int x1, int y1, int x2, int y2)
{
    constexpr int Sides = 64;
    std::array<PixelPoint, Sides> points{};
    const double cx = (x1 + x2) / 2.0, cy = (y1 + y2) / 2.0, rx = (x2 - x1) / 2.0, ry = (y2 - y1) / 2.0;
    for (int k = 0; k < Sides; ++k) {
        const double t = 6.283185307179586 * k / Sides;
        points[static_cast<std::size_t>(k)] = {static_cast<int>(std::lround(cx + rx * std::cos(t))),
                                               static_cast<int>(std::lround(cy + ry * std::sin(t)))};
    }
    polygon(points);
}

} // namespace kestro
