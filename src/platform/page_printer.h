#pragma once
// The printed page on a QPrinter: landscape, at the resolution of the
// printing window, drawn through the canvas port; and the same page as a
// PDF file for the command line.

#include <QPrinter>

#include <functional>
#include <string>

#include "drawing/canvas.h"

namespace kestro {

enum class PaperSize { A4, Letter };

// Landscape, at dots_per_inch.
void prepare_printer(QPrinter& printer, double dots_per_inch);
// One page painted through the canvas (the printable area, in printer
// pixels); false when the printer cannot be painted on.
bool paint_page(QPrinter& printer, double dots_per_inch, const std::function<void(Canvas&)>& draw);
// The page as a PDF file, written whole beside the target and renamed over
// it; IoError when it cannot be written.
void print_page_to_pdf(const std::string& path, PaperSize paper, double dots_per_inch,
                       const std::function<void(Canvas&)>& draw);

} // namespace kestro
