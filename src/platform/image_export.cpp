#include "platform/image_export.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include <jpeglib.h>

#include "model/errors.h"
#include "model/file_io.h"
#include "model/text.h"
#include "platform/canvas_fonts.h"
#include "platform/emf_canvas.h"
#include "platform/painter_canvas.h"

namespace kestro {

namespace {

// libjpeg's own error_exit ends the process; ours jumps back to the
// compressing function, which releases the library's objects and reports.
struct JpegErrors {
    jpeg_error_mgr manager; // first, so the library's pointer is also ours
    std::jmp_buf return_point;
    char text[JMSG_LENGTH_MAX];
};

extern "C" void jpeg_error_jump(j_common_ptr info)
{
    JpegErrors* errors = reinterpret_cast<JpegErrors*>(info->err);
    errors->manager.format_message(info, errors->text);
    std::longjmp(errors->return_point, 1);
}

extern "C" void jpeg_no_output(j_common_ptr) {}

// Only plain C data lives in this frame, so the jump skips no destructor.
// The compressed bytes are in *buffer (malloc'ed, the caller frees it) when
// true is returned; otherwise the library's message is in text.
bool compress_jpeg(const unsigned char* rgb, int width, int height, qsizetype stride, int quality,
                   unsigned char** buffer, unsigned long* size, char* text)
{
    jpeg_compress_struct info;
    std::memset(&info, 0, sizeof info);
    JpegErrors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jpeg_error_jump;
    errors.manager.output_message = jpeg_no_output;
    errors.text[0] = '\0';
    if (setjmp(errors.return_point)) {
        jpeg_destroy_compress(&info);
        std::memcpy(text, errors.text, JMSG_LENGTH_MAX);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE); // TRUE: baseline tables
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + static_cast<qsizetype>(info.next_scanline) * stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

[[noreturn]] void cannot_write(const std::string& path, const std::string& reason = {})
{
    throw IoError("Cannot write file: " + path + (reason.empty() ? "" : ": " + reason));
}

void write_with_qt(const QImage& image, const std::string& path, const char* format)
{
    if (image.isNull()) cannot_write(path, "empty picture");
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.convertToFormat(QImage::Format_RGB32).save(&buffer, format)) cannot_write(path);
    write_file_atomically(path, buffer.data().toStdString());
}

// SVG or PDF painted in memory, then written whole.
void write_painted(const std::string& path, PictureFormat format, int width, int height,
                   const std::function<void(QPainter&)>& paint)
{
    if (width <= 0 || height <= 0) cannot_write(path, "empty picture");
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (format == PictureFormat::Svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(QSize(width, height));
        generator.setViewBox(QRect(0, 0, width, height));
        generator.setResolution(96);
        generator.setTitle(QStringLiteral("KESTRO"));
        QPainter painter;
        if (!painter.begin(&generator)) cannot_write(path);
        paint(painter);
        painter.end(); // the generator writes the document here
    } else {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("KESTRO"));
        writer.setPageSize(QPageSize(QSizeF(width * 72.0 / 96.0, height * 72.0 / 96.0), QPageSize::Point, QString(),
                                     QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (!painter.begin(&writer)) cannot_write(path);
        painter.scale(writer.width() / double(width), writer.height() / double(height));
        paint(painter);
        painter.end();
    }
    write_file_atomically(path, buffer.data().toStdString());
}

} // namespace

std::optional<PictureFormat> picture_format_for(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::nullopt;
    const std::string extension = to_lower(path.substr(dot + 1));
    if (extension == "bmp") return PictureFormat::Bmp;
    if (extension == "jpg" || extension == "jpeg") return PictureFormat::Jpeg;
    if (extension == "png") return PictureFormat::Png;
    if (extension == "svg") return PictureFormat::Svg;
    if (extension == "pdf") return PictureFormat::Pdf;
    return std::nullopt;
}

void write_jpeg(const QImage& image, const std::string& path, int quality)
{
    if (image.isNull()) cannot_write(path, "empty picture");
    // The bitmap copy in libjpeg's order: three bytes R, G, B per pixel.
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    unsigned char* bytes = nullptr;
    unsigned long size = 0;
    char text[JMSG_LENGTH_MAX] = {};
    const bool compressed = compress_jpeg(rgb.constBits(), rgb.width(), rgb.height(), rgb.bytesPerLine(),
                                          std::clamp(quality, 1, 100), &bytes, &size, text);
    const std::unique_ptr<unsigned char, decltype(&std::free)> owned(bytes, &std::free);
    if (!compressed) cannot_write(path, text);
    write_file_atomically(path, std::string(reinterpret_cast<const char*>(bytes), size));
}

void write_bmp(const QImage& image, const std::string& path) { write_with_qt(image, path, "BMP"); }

void write_png(const QImage& image, const std::string& path) { write_with_qt(image, path, "PNG"); }

void write_raster_picture(const QImage& image, const std::string& path, PictureFormat format)
{
    switch (format) {
    case PictureFormat::Bmp:
        return write_bmp(image, path);
    case PictureFormat::Jpeg:
        return write_jpeg(image, path);
    case PictureFormat::Png:
        return write_png(image, path);
    case PictureFormat::Svg:
    case PictureFormat::Pdf:
        return write_painted(path, format, image.width(), image.height(),
                             [&](QPainter& painter) { painter.drawImage(0, 0, image); });
    }
}

QImage render_picture(int width, int height, const std::function<void(Canvas&)>& draw)
{
    if (width <= 0 || height <= 0) return QImage();
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) throw std::bad_alloc();
    image.fill(Qt::white);
    QPainter painter(&image);
    PainterCanvas canvas(painter, width, height, true);
    draw(canvas);
    painter.end();
    return image;
}

void with_picture_metrics(int width, int height, const std::function<void(Canvas&)>& use)
{
    QImage image(1, 1, QImage::Format_RGB32);
    QPainter painter(&image);
    PainterCanvas canvas(painter, width, height, true);
    use(canvas);
}

void write_vector_picture(const std::string& path, PictureFormat format, int width, int height,
                          const std::function<void(Canvas&)>& draw)
{
    if (format != PictureFormat::Svg && format != PictureFormat::Pdf) {
        if (width <= 0 || height <= 0) cannot_write(path, "empty picture");
        return write_raster_picture(render_picture(width, height, draw), path, format);
    }
    write_painted(path, format, width, height, [&](QPainter& painter) {
        PainterCanvas canvas(painter, width, height, true);
        draw(canvas);
    });
}

void write_metafile(const std::string& path, MetafileFormat format, int width,
                    const std::function<void(Canvas&)>& draw)
{
    if (format == MetafileFormat::Svg) return write_vector_picture(path, PictureFormat::Svg, width, width, draw);
    if (format == MetafileFormat::Pdf) return write_vector_picture(path, PictureFormat::Pdf, width, width, draw);
    // Text is measured with the fonts the other formats draw with.
    TextMetrics metrics;
    metrics.width = [](const FontSpec& font, std::string_view text) {
        return QFontMetrics(to_qfont(font)).horizontalAdvance(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    };
    metrics.height = [](const FontSpec& font, std::string_view) { return QFontMetrics(to_qfont(font)).height(); };
    write_emf(path, width, width, metrics, draw);
}

} // namespace kestro
