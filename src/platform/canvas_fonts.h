#pragma once
// The Qt font of a canvas font. Sizes are points at 96 dots per inch of the
// picture (12 points = 16 picture pixels), whatever device draws it, so
// text keeps its place in the picture on the screen, in files and on paper.

#include <QFont>

#include "drawing/canvas.h"

namespace kestro {

QFont to_qfont(const FontSpec& font);

// Pixels of the picture for a size in points.
int font_pixel_size(int points);

} // namespace kestro
