// The canvas as GDI calls recorded by libEMF. This file sees the Windows
// types of libEMF's headers and nothing of Qt.

#include "platform/emf_canvas.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "model/errors.h"

// Last, since its Windows headers define min and max as macros.
#include <libEMF/emf.h>
#undef min
#undef max

namespace kestro {

namespace {

constexpr int PixelsPerInch = 96;

// UTF-8 to the 16-bit characters of the wide GDI calls.
std::vector<WCHAR> utf16(std::string_view text)
{
    std::vector<WCHAR> out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        unsigned code = c;
        int extra = 0;
        if (c >= 0xF0) code = c & 0x07, extra = 3;
        else if (c >= 0xE0) code = c & 0x0F, extra = 2;
        else if (c >= 0xC0) code = c & 0x1F, extra = 1;
        ++i;
        for (int k = 0; k < extra && i < text.size(); ++k, ++i) code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<WCHAR>(0xD800 + (code >> 10)));
            out.push_back(static_cast<WCHAR>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<WCHAR>(code));
        }
    }
    return out;
}

class EmfCanvas final : public Canvas {
public:
    EmfCanvas(HDC dc, int width, int height, const TextMetrics& metrics)
        : dc_(dc), width_(width), height_(height), metrics_(metrics)
    {
        SetBkMode(dc_, TRANSPARENT);
        SetTextAlign(dc_, TA_TOP | TA_LEFT | TA_NOUPDATECP);
        SetPolyFillMode(dc_, ALTERNATE);
        set_pen(Pen{});
        set_brush(colour::White);
        set_font(FontSpec{});
    }
    ~EmfCanvas() override
    {
        for (HGDIOBJ object : {pen_, brush_, font_})
            if (object) DeleteObject(object);
    }
    EmfCanvas(const EmfCanvas&) = delete;
    EmfCanvas& operator=(const EmfCanvas&) = delete;

    int width() const override { return width_; }
    int height() const override { return height_; }

    void set_pen(const Pen& pen) override
    {
        const INT style = pen.style == PenStyle::Dash ? PS_DASH : pen.style == PenStyle::Dot ? PS_DOT : PS_SOLID;
        replace(pen_, CreatePen(style, pen.width, pen.colour));
    }
    void set_brush(Colour colour) override { replace(brush_, CreateSolidBrush(colour)); }
    void set_font(const FontSpec& font) override
    {
        font_spec_ = font;
        replace(font_, CreateFontA(-(font.size * PixelsPerInch + 36) / 72, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL,
                                   font.italic, font.underline, font.strikeout, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                   font.name.c_str()));
        SetTextColor(dc_, font.colour);
    }
    FontSpec font() const override { return font_spec_; }

    void fill_rect(int x1, int y1, int x2, int y2) override
    {
        if (x2 <= x1 || y2 <= y1) return;
        HGDIOBJ previous = SelectObject(dc_, GetStockObject(NULL_PEN));
        Rectangle(dc_, x1, y1, x2 + 1, y2 + 1); // a pen-less rectangle leaves its right and bottom edges
        SelectObject(dc_, previous);
    }
    void polygon(std::span<const PixelPoint> points) override
    {
        if (points.empty()) return;
        const auto p = to_points(points);
        Polygon(dc_, p.data(), static_cast<INT>(p.size()));
    }
    void polyline(std::span<const PixelPoint> points) override
    {
        if (points.size() < 2) return;
        const auto p = to_points(points);
        Polyline(dc_, p.data(), static_cast<INT>(p.size()));
    }
    void line(PixelPoint from, PixelPoint to) override
    {
        MoveToEx(dc_, from.x, from.y, nullptr);
        LineTo(dc_, to.x, to.y);
    }
    void text_out(PixelPoint top_left, std::string_view text) override
    {
        if (text.empty()) return;
        const std::vector<WCHAR> wide = utf16(text);
        TextOutW(dc_, top_left.x, top_left.y, wide.data(), static_cast<INT>(wide.size()));
    }
    int text_width(std::string_view text) override { return metrics_.width ? metrics_.width(font_spec_, text) : 0; }
    int text_height(std::string_view text) override { return metrics_.height ? metrics_.height(font_spec_, text) : 0; }
    void ellipse(int x1, int y1, int x2, int y2) override { Ellipse(dc_, x1, y1, x2, y2); }

private:
    template <class Handle>
    void replace(Handle& current, Handle made)
    {
        SelectObject(dc_, made);
        if (current) DeleteObject(current);
        current = made;
    }
    static std::vector<POINT> to_points(std::span<const PixelPoint> points)
    {
        std::vector<POINT> out;
        out.reserve(points.size());
        for (const PixelPoint& p : points) out.push_back(POINT{p.x, p.y});
        return out;
    }

    HDC dc_;
    int width_, height_;
    const TextMetrics& metrics_;
    HPEN pen_ = 0;
    HBRUSH brush_ = 0;
    HFONT font_ = 0;
    FontSpec font_spec_;
};

// Hundredths of a millimetre per logical unit: the reference device libEMF
// records (the screen it stands for), asked of a scratch metafile.
double hundredths_of_mm_per_pixel()
{
    FILE* scratch = std::tmpfile();
    if (!scratch) return 2540.0 / PixelsPerInch;
    double result = 2540.0 / PixelsPerInch;
    if (HDC dc = CreateEnhMetaFileWithFILEA(0, scratch, nullptr, "")) {
        const int millimetres = GetDeviceCaps(dc, HORZSIZE), pixels = GetDeviceCaps(dc, HORZRES);
        if (millimetres > 0 && pixels > 0) result = 100.0 * millimetres / pixels;
        if (HENHMETAFILE metafile = CloseEnhMetaFileWithFILE(dc)) DeleteEnhMetaFile(metafile);
    }
    std::fclose(scratch);
    return result;
}

} // namespace

void write_emf(const std::string& path, int width, int height, const TextMetrics& metrics,
               const std::function<void(Canvas&)>& draw)
{
    const std::filesystem::path target(path);
    const std::filesystem::path temporary = target.parent_path() / ("." + target.filename().string() + ".kestro-tmp");
    // The frame in hundredths of a millimetre: the picture's pixels are the
    // reference device's, so that readers map the drawing onto the frame.
    const double unit = hundredths_of_mm_per_pixel();
    const RECT frame{0, 0, static_cast<LONG>(std::lround(width * unit)), static_cast<LONG>(std::lround(height * unit))};
    FILE* file = std::fopen(temporary.string().c_str(), "wb");
    if (!file) throw IoError("Cannot write " + path);
    HDC dc = CreateEnhMetaFileWithFILEA(0, file, &frame, "KESTRO\0picture\0");
    if (!dc) {
        std::fclose(file);
        std::filesystem::remove(temporary);
        throw IoError("Cannot write " + path);
    }
    {
        EmfCanvas canvas(dc, width, height, metrics);
        draw(canvas);
    }
    HENHMETAFILE metafile = CloseEnhMetaFileWithFILE(dc);
    const bool flushed = std::fflush(file) == 0 && !std::ferror(file);
    const bool closed = std::fclose(file) == 0;
    if (metafile) DeleteEnhMetaFile(metafile);
    std::error_code error;
    if (!metafile || !flushed || !closed) {
        std::filesystem::remove(temporary, error);
        throw IoError("Cannot write " + path);
    }
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        throw IoError("Cannot write " + path);
    }
}

} // namespace kestro
