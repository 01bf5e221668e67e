#pragma once
// Enhanced metafiles (EMF), the vector pictures office programs take,
// written through libEMF: a canvas of GDI records on a width x height
// picture of 96 pixels per inch.

#include <functional>
#include <string>
#include <string_view>

#include "drawing/canvas.h"

namespace kestro {

// Text extents in picture pixels for a font (the caller's font metrics).
struct TextMetrics {
    std::function<int(const FontSpec&, std::string_view)> width;
    std::function<int(const FontSpec&, std::string_view)> height;
};

// Draws into a new metafile at `path` (the file is written whole: a
// temporary file beside it renamed over it). IoError when it cannot be
// written.
void write_emf(const std::string& path, int width, int height, const TextMetrics& metrics,
               const std::function<void(Canvas&)>& draw);

} // namespace kestro
