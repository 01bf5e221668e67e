#pragma once
// The Qt font of a canvas font. Sizes are points at 96 dots per inch of the
// picture (12 points = 16 picture pixels), so text keeps its place in a
// picture on the screen and in files; the printed page, laid out in its
// printer's pixels, gives its own dots per inch.

#include <QFont>

#include "drawing/canvas.h"

namespace kestro {

QFont to_qfont(const FontSpec& font, double dots_per_inch = 96);

} // namespace kestro
