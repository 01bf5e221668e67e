#pragma once
// Picture files: the screen image as a Windows bitmap, JPEG or PNG, and the
// picture drawn again as SVG or PDF. Every file is written whole to a
// temporary file beside the target and renamed over it, so a failed write
// leaves the old file; failures throw IoError.

#include <QImage>

#include <functional>
#include <optional>
#include <string>

#include "drawing/canvas.h"

namespace kestro {

enum class PictureFormat { Bmp, Jpeg, Png, Svg, Pdf };

// By the file name's extension, in any case: .bmp, .jpg/.jpeg, .png, .svg, .pdf.
std::optional<PictureFormat> picture_format_for(const std::string& path);

// Baseline JPEG through libjpeg, RGB, the library's defaults otherwise.
void write_jpeg(const QImage& image, const std::string& path, int quality = 50);
// A Windows bitmap whatever the name's extension.
void write_bmp(const QImage& image, const std::string& path);
void write_png(const QImage& image, const std::string& path);
// The image in the format; SVG and PDF hold it as one picture element.
void write_raster_picture(const QImage& image, const std::string& path, PictureFormat format);

// A width x height RGB32 image drawn antialiased (files and prints always
// are), white until the drawing covers it.
QImage render_picture(int width, int height, const std::function<void(Canvas&)>& draw);

// A width x height picture canvas that draws nothing: the text sizes of
// its fonts are those of the picture files (for the label placement).
void with_picture_metrics(int width, int height, const std::function<void(Canvas&)>& use);

// SVG (size and view box width x height) or PDF (one page the size of the
// picture at 96 pixels per inch) drawn antialiased through the canvas.
// A raster format renders the picture and writes it as that format.
void write_vector_picture(const std::string& path, PictureFormat format, int width, int height,
                          const std::function<void(Canvas&)>& draw);

// The metafile picture's formats: an enhanced metafile, SVG or PDF, each
// width x width with the same geometry.
enum class MetafileFormat { Emf, Svg, Pdf };
void write_metafile(const std::string& path, MetafileFormat format, int width,
                    const std::function<void(Canvas&)>& draw);

} // namespace kestro
