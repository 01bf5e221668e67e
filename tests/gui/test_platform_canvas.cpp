// The screen canvas and the QPainter canvas pixel by pixel, and the picture
// files they end up in, read back byte by byte.
#include <QtTest>

#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include <jpeglib.h>

#include "model/errors.h"
#include "model/file_io.h"
#include "platform/canvas_fonts.h"
#include "platform/image_export.h"
#include "platform/painter_canvas.h"
#include "platform/raster_canvas.h"

using namespace kestro;

namespace {

constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Red = 0xFFFF0000;  // model colour 0x0000FF
constexpr QRgb Blue = 0xFF0000FF; // model colour 0xFF0000

QImage white_image(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(White);
    return image;
}

// Draws on a fresh white image through the raster canvas, or through a
// QPainter canvas with or without antialiasing.
enum class Through { Raster, Painter, PainterAliased };

QImage drawn(Through through, int width, int height, const std::function<void(Canvas&)>& draw)
{
    QImage image = white_image(width, height);
    if (through == Through::Raster) {
        RasterCanvas canvas(image);
        draw(canvas);
    } else {
        QPainter painter(&image);
        PainterCanvas canvas(painter, width, height, through == Through::Painter);
        draw(canvas);
    }
    return image;
}

double distance_to_segment(double px, double py, PixelPoint a, PixelPoint b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length = dx * dx + dy * dy;
    const double t = length == 0 ? 0 : std::clamp(((px - a.x) * dx + (py - a.y) * dy) / length, 0.0, 1.0);
    return std::hypot(px - a.x - t * dx, py - a.y - t * dy);
}

double distance_to_outline(double px, double py, const std::vector<PixelPoint>& polygon)
{
    double nearest = 1e9;
    for (std::size_t i = 0; i < polygon.size(); ++i)
        nearest = std::min(nearest, distance_to_segment(px, py, polygon[i], polygon[(i + 1) % polygon.size()]));
    return nearest;
}

int count_pixels(const QImage& image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == colour;
    return count;
}

QRect bounds_of(const QImage& image, QRgb background)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

QByteArray file_bytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// The markers of a JPEG stream up to the start of scan, each with the
// offset of its segment's contents.
std::vector<std::pair<unsigned char, int>> jpeg_markers(const QByteArray& bytes)
{
    std::vector<std::pair<unsigned char, int>> markers;
    int at = 2;
    while (at + 4 <= bytes.size() && static_cast<unsigned char>(bytes[at]) == 0xFF) {
        const auto marker = static_cast<unsigned char>(bytes[at + 1]);
        const int length = (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
        markers.emplace_back(marker, at + 4);
        if (marker == 0xDA) break;
        at += 2 + length;
    }
    return markers;
}

// Decoded by libjpeg itself, not by Qt's plugin.
QImage decode_jpeg(const QByteArray& bytes)
{
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    QImage image(info.output_width, info.output_height, QImage::Format_RGB888);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(info.output_scanline);
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage graded_picture()
{
    QImage image(120, 80, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(2 * x, 3 * y, 255 - 2 * x));
    return image;
}

// A concave polygon and a pentagram, whose centre the even-odd rule leaves empty.
const std::vector<PixelPoint> Concave = {{10, 10}, {90, 14}, {60, 45}, {95, 88}, {12, 70}, {40, 40}};
const std::vector<PixelPoint> Star = {{50, 5}, {78, 92}, {4, 37}, {96, 37}, {22, 92}};

} // namespace

Q_DECLARE_METATYPE(Through)

class TestPlatformCanvas : public QObject {
    Q_OBJECT

private slots:
    void polygon_fills_with_the_brush_and_outlines_with_the_pen_data()
    {
        QTest::addColumn<Through>("through");
        QTest::newRow("raster") << Through::Raster;
        QTest::newRow("painter") << Through::Painter;
        QTest::newRow("painter aliased") << Through::PainterAliased;
    }
    void polygon_fills_with_the_brush_and_outlines_with_the_pen()
    {
        QFETCH(Through, through);
        const std::vector<PixelPoint> square = {{10, 10}, {40, 10}, {40, 30}, {10, 30}};
        const QImage image = drawn(through, 60, 50, [&](Canvas& canvas) {
            canvas.set_brush(0x0000FF);
            canvas.set_pen({0xFF0000, 1, PenStyle::Solid});
            canvas.polygon(square);
        });
        QCOMPARE(image.pixel(25, 20), Red);
        QCOMPARE(image.pixel(11, 11), Red);
        for (const QPoint edge : {QPoint(10, 20), QPoint(40, 20), QPoint(25, 10), QPoint(25, 30)})
            QCOMPARE(image.pixel(edge), Blue);
        if (through != Through::Painter) // Qt's thin antialiased pen leaves corners part-covered
            QCOMPARE(image.pixel(40, 30), Blue);
        QCOMPARE(image.pixel(41, 20), White);
        QCOMPARE(image.pixel(25, 31), White);
        QCOMPARE(image.pixel(9, 9), White);
    }

    void raster_fill_matches_qpainter_up_to_the_edge_pixels()
    {
        for (const auto& shape : {Concave, Star}) {
            // The raster figure, outline in the fill colour, against Qt's own
            // aliased even-odd fill without an outline: they differ only on
            // the outline.
            const QImage raster = drawn(Through::Raster, 100, 100, [&](Canvas& canvas) {
                canvas.set_brush(0x0000FF);
                canvas.set_pen({0x0000FF, 1, PenStyle::Solid});
                canvas.polygon(shape);
            });
            QImage qt = white_image(100, 100);
            {
                QPainter painter(&qt);
                painter.setPen(Qt::NoPen);
                painter.setBrush(QColor(Red));
                QPolygon polygon;
                for (const PixelPoint p : shape) polygon << QPoint(p.x, p.y);
                painter.drawPolygon(polygon, Qt::OddEvenFill);
            }
            for (int y = 0; y < 100; ++y)
                for (int x = 0; x < 100; ++x) {
                    if (raster.pixel(x, y) == qt.pixel(x, y)) continue;
                    QVERIFY2(distance_to_outline(x, y, shape) <= 1.0,
                             qPrintable(QStringLiteral("pixel %1,%2 differs away from the edge").arg(x).arg(y)));
                }
        }
        const QImage star = drawn(Through::Raster, 100, 100, [](Canvas& canvas) {
            canvas.set_brush(0x0000FF);
            canvas.set_pen({0, 1, PenStyle::Solid});
            canvas.polygon(Star);
        });
        QCOMPARE(star.pixel(50, 50), White); // the pentagon inside is crossed twice
        QCOMPARE(star.pixel(50, 20), Red);
    }

    void fill_rect_leaves_out_right_and_bottom()
    {
        for (const Through through : {Through::Raster, Through::Painter}) {
            const QImage image = drawn(through, 20, 20, [](Canvas& canvas) {
                canvas.set_brush(0xFF0000);
                canvas.fill_rect(2, 3, 12, 8);
                canvas.fill_rect(15, 15, 14, 18); // inverted: nothing
            });
            QCOMPARE(bounds_of(image, White), QRect(QPoint(2, 3), QPoint(11, 7)));
            QCOMPARE(count_pixels(image, Blue), 50);
        }
    }

    void dashes_and_dots_leave_gaps()
    {
        for (const int width : {1, 3})
            for (const PenStyle style : {PenStyle::Solid, PenStyle::Dash, PenStyle::Dot}) {
                QImage image = drawn(Through::Raster, 200, 20, [&](Canvas& canvas) {
                    canvas.set_pen({0, width, style});
                    canvas.line({5, 10}, {195, 10});
                });
                int gaps = 0;
                for (int x = 6; x < 194; ++x) gaps += image.pixel(x, 10) == White && image.pixel(x - 1, 10) != White;
                if (style == PenStyle::Solid)
                    QCOMPARE(gaps, 0);
                else
                    QVERIFY2(gaps >= (style == PenStyle::Dash ? 6 : 20), qPrintable(QString::number(gaps)));
            }
        // The pattern runs on over the corner of a polyline.
        const QImage corner = drawn(Through::Raster, 40, 40, [](Canvas& canvas) {
            canvas.set_pen({0, 1, PenStyle::Dash});
            const PixelPoint path[] = {{5, 5}, {15, 5}, {15, 35}};
            canvas.polyline(path);
        });
        QCOMPARE(corner.pixel(15, 12), 0xFF000000u); // 18 pixels from the start: still on
        QCOMPARE(corner.pixel(15, 16), White);        // 21 pixels: in the gap
    }

    void one_pixel_line_leaves_out_its_last_pixel()
    {
        const QImage image = drawn(Through::Raster, 20, 20, [](Canvas& canvas) {
            canvas.set_pen({0, 1, PenStyle::Solid});
            canvas.line({2, 2}, {12, 7});
        });
        QCOMPARE(count_pixels(image, 0xFF000000), 10);
        QCOMPARE(image.pixel(2, 2), 0xFF000000u);
        QCOMPARE(image.pixel(12, 7), White);
    }

    void twice_the_device_scale_draws_twice_as_large()
    {
        const auto figure = [](Canvas& canvas) {
            canvas.set_brush(0x0000FF);
            canvas.set_pen({0xFF0000, 2, PenStyle::Solid});
            canvas.polygon(Concave);
            canvas.set_pen({0, 1, PenStyle::Solid});
            canvas.line({5, 95}, {95, 95});
        };
        QImage single = white_image(100, 100);
        RasterCanvas one(single);
        figure(one);
        QImage doubled = white_image(200, 200);
        RasterCanvas two(doubled, 2.0);
        QCOMPARE(two.width(), 100);
        QCOMPARE(two.height(), 100);
        figure(two);
        const QRect small = bounds_of(single, White), large = bounds_of(doubled, White);
        QVERIFY(std::abs(large.left() - 2 * small.left()) <= 1 && std::abs(large.top() - 2 * small.top()) <= 1);
        QVERIFY(std::abs(large.width() - 2 * small.width()) <= 2 && std::abs(large.height() - 2 * small.height()) <= 2);
        for (const QRgb colour : {Red, Blue, QRgb(0xFF000000)}) {
            const double ratio = double(count_pixels(doubled, colour)) / count_pixels(single, colour);
            QVERIFY2(std::abs(ratio - 4) < 0.5, qPrintable(QString::number(ratio)));
        }
    }

    void far_away_coordinates_are_clipped_not_walked()
    {
        QImage image = white_image(50, 50);
        RasterCanvas canvas(image);
        canvas.set_brush(0x0000FF);
        const PixelPoint huge[] = {{-1000000000, -1000000000}, {1000000000, -1000000000}, {0, 1000000000}};
        canvas.polygon(huge);
        canvas.set_pen({0, 1, PenStyle::Dash});
        canvas.line({-2000000000, 25}, {2000000000, 25});
        canvas.set_pen({0, 5, PenStyle::Solid});
        canvas.line({25, -2000000000}, {25, 2000000000});
        QCOMPARE(image.pixel(10, 10), Red);
        QCOMPARE(image.pixel(25, 5), 0xFF000000u);
    }

    void text_is_drawn_in_its_colour_inside_its_box()
    {
        for (const Through through : {Through::Raster, Through::Painter}) {
            QRect box;
            const QImage image = drawn(through, 200, 60, [&](Canvas& canvas) {
                FontSpec font;
                font.size = 12;
                font.bold = true;
                font.colour = 0x0000FF;
                canvas.set_font(font);
                QCOMPARE(canvas.font(), font);
                canvas.text_out({20, 15}, "Ti1(3)");
                box = QRect(20, 15, canvas.text_width("Ti1(3)"), canvas.text_height("Ti1(3)"));
            });
            QVERIFY(box.width() > 20 && box.height() >= 14);
            QVERIFY(count_pixels(image, Red) > 10);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (!box.adjusted(-1, -1, 1, 1).contains(x, y)) QCOMPARE(image.pixel(x, y), White);
        }
    }

    void times_new_roman_falls_back_to_its_metric_twin()
    {
        const QStringList families = QFontDatabase::families();
        if (families.contains(QStringLiteral("Times New Roman")) ||
            !families.contains(QStringLiteral("Liberation Serif")))
            QSKIP("Times New Roman is installed, or Liberation Serif (fonts-liberation) is not");
        QCOMPARE(QFontInfo(to_qfont(FontSpec{})).family(), QStringLiteral("Liberation Serif"));
        QCOMPARE(to_qfont(FontSpec{}).pixelSize(), 16); // 12 points at 96 dots per inch
    }

    void picture_format_follows_the_extension()
    {
        QCOMPARE(picture_format_for("a/b.JPG"), std::optional(PictureFormat::Jpeg));
        QCOMPARE(picture_format_for("x.jpeg"), std::optional(PictureFormat::Jpeg));
        QCOMPARE(picture_format_for("x.Bmp"), std::optional(PictureFormat::Bmp));
        QCOMPARE(picture_format_for("x.svg"), std::optional(PictureFormat::Svg));
        QCOMPARE(picture_format_for("x.pdf"), std::optional(PictureFormat::Pdf));
        QCOMPARE(picture_format_for("x.png"), std::optional(PictureFormat::Png));
        QVERIFY(!picture_format_for("x.emf"));
        QVERIFY(!picture_format_for("dir.jpg/picture"));
        QVERIFY(!picture_format_for("picture"));
    }

    void jpeg_is_baseline_at_quality_50_and_keeps_a_gradation()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("picture.jpg");
        const QImage picture = graded_picture();
        write_jpeg(picture, path.toStdString());
        const QByteArray bytes = file_bytes(path);
        QVERIFY(bytes.startsWith("\xFF\xD8"));
        bool baseline = false, progressive = false;
        int luminance_first = -1;
        for (const auto& [marker, at] : jpeg_markers(bytes)) {
            baseline |= marker == 0xC0;
            progressive |= marker == 0xC2;
            // DQT: precision and table number, then 64 entries in zigzag order.
            if (marker == 0xDB && (bytes[at] & 0x0F) == 0) luminance_first = static_cast<unsigned char>(bytes[at + 1]);
        }
        QVERIFY(baseline);
        QVERIFY(!progressive);
        QCOMPARE(luminance_first, 16); // the standard luminance table, unscaled at quality 50

        const QImage decoded = decode_jpeg(bytes);
        QCOMPARE(decoded.size(), picture.size());
        double error = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb a = picture.pixel(x, y), b = decoded.pixel(x, y);
                error += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
            }
        QVERIFY2(error / (3.0 * picture.width() * picture.height()) < 4, qPrintable(QString::number(error)));
    }

    void jpeg_failure_is_an_error_not_an_exit()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("wide.jpg");
        const QImage too_wide = white_image(70000, 1); // beyond libjpeg's 65500 pixels
        QVERIFY_THROWS_EXCEPTION(IoError, write_jpeg(too_wide, path.toStdString()));
        QVERIFY(!QFile::exists(path));
        write_jpeg(graded_picture(), path.toStdString()); // the library is still usable
        QVERIFY(file_bytes(path).startsWith("\xFF\xD8"));
    }

    void bitmap_is_written_whatever_the_extension()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("picture.png");
        write_bmp(graded_picture(), path.toStdString());
        const QByteArray bytes = file_bytes(path);
        QVERIFY(bytes.startsWith("BM"));
        const int bits = static_cast<unsigned char>(bytes[28]);
        QVERIFY(bits == 24 || bits == 32);
        QCOMPARE(QImage::fromData(bytes, "BMP").convertToFormat(QImage::Format_RGB32), graded_picture());
    }

    void writes_replace_whole_files_and_fail_cleanly()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("picture.bmp");
        write_raster_picture(white_image(300, 300), path.toStdString(), PictureFormat::Bmp);
        write_raster_picture(white_image(10, 10), path.toStdString(), PictureFormat::Bmp);
        QCOMPARE(QImage(path).size(), QSize(10, 10));
        QVERIFY(file_bytes(path).size() < 1000);

        const auto draw = [](Canvas& canvas) { canvas.fill_rect(0, 0, 10, 10); };
        const std::string missing = dir.filePath("missing/picture").toStdString();
        QVERIFY_THROWS_EXCEPTION(IoError, write_jpeg(graded_picture(), missing + ".jpg"));
        QVERIFY_THROWS_EXCEPTION(IoError, write_bmp(graded_picture(), missing + ".bmp"));
        QVERIFY_THROWS_EXCEPTION(IoError, write_vector_picture(missing + ".svg", PictureFormat::Svg, 10, 10, draw));
        QVERIFY_THROWS_EXCEPTION(IoError, write_vector_picture(missing + ".pdf", PictureFormat::Pdf, 10, 10, draw));
        QVERIFY_THROWS_EXCEPTION(IoError, write_bmp(QImage(), dir.filePath("empty.bmp").toStdString()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{"picture.bmp"});
    }

    void vector_pictures_hold_the_drawn_shapes()
    {
        QTemporaryDir dir;
        const auto draw = [](Canvas& canvas) {
            canvas.set_brush(0xFFFFFF);
            canvas.fill_rect(0, 0, 300, 200);
            canvas.set_brush(0x0000FF);
            canvas.set_pen({0xFF0000, 1, PenStyle::Solid});
            canvas.polygon(Concave);
            canvas.set_pen({0x00FF00, 2, PenStyle::Dash});
            canvas.line({0, 150}, {250, 150});
        };
        const QString svg = dir.filePath("picture.svg");
        write_vector_picture(svg.toStdString(), PictureFormat::Svg, 300, 200, draw);
        const QByteArray text = file_bytes(svg);
        QVERIFY(text.contains("viewBox=\"0 0 300 200\""));
        QVERIFY(text.contains("#ff0000")); // the fill
        QVERIFY(text.contains("#0000ff")); // the outline
        QVERIFY(text.contains("#00ff00"));
        QVERIFY(text.contains("polygon") || text.contains("<path"));
        QVERIFY(text.contains("90.5,14.5") || text.contains("90.5 14.5")); // a vertex on its pixel centre

        const QString pdf = dir.filePath("picture.pdf");
        write_vector_picture(pdf.toStdString(), PictureFormat::Pdf, 300, 200, draw);
        QVERIFY(file_bytes(pdf).startsWith("%PDF"));

        // A raster name renders the same drawing antialiased.
        const QString png = dir.filePath("picture.png");
        write_vector_picture(png.toStdString(), PictureFormat::Png, 300, 200, draw);
        const QImage image(png);
        QCOMPARE(image.size(), QSize(300, 200));
        QCOMPARE(image.pixel(50, 30), Red);
        QCOMPARE(render_picture(300, 200, draw).pixel(50, 30), Red);
    }
};

QTEST_MAIN(TestPlatformCanvas)
#include "test_platform_canvas.moc"
