#include "platform/canvas_fonts.h"

#include <mutex>

#include "platform/qt_text.h"

namespace kestro {

namespace {

// The Windows families pictures name, mapped to the metric-compatible
// Liberation families (Debian fonts-liberation) when they are missing, so
// label widths stay what they were.
void install_substitutions()
{
    static std::once_flag once;
    std::call_once(once, [] {
        QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
        QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
    });
}

} // namespace

QFont to_qfont(const FontSpec& font, double dots_per_inch)
{
    install_substitutions();
    QFont result(qs(font.name));
    result.setPixelSize(font_pixel_size(font.size, dots_per_inch));
    result.setBold(font.bold);
    result.setItalic(font.italic);
    result.setUnderline(font.underline);
    result.setStrikeOut(font.strikeout);
    return result;
}

} // namespace kestro
