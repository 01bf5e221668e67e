#include "platform/font_dialog.h"

#include <QColorDialog>
#include <QFontDialog>

#include <algorithm>

#include "platform/canvas_fonts.h"
#include "platform/qt_messages.h"
#include "platform/qt_text.h"

namespace kestro {

bool ask_font(QWidget* parent, const QString& title, FontSpec& font, FontColour colour)
{
    bool chosen = false;
    const QFont picked = QFontDialog::getFont(&chosen, to_qfont(font), parent, title);
    if (!chosen) return false;
    font.name = ss(picked.family());
    // The dialog speaks in points; the preset came as picture pixels at 96 DPI.
    font.size = std::max(1, picked.pointSize() > 0 ? picked.pointSize() : picked.pixelSize() * 72 / 96);
    font.bold = picked.bold();
    font.italic = picked.italic();
    font.underline = picked.underline();
    font.strikeout = picked.strikeOut();
    if (colour == FontColour::Asked) {
        const QColor picked_colour = QColorDialog::getColor(to_qcolor(font.colour), parent, title + QStringLiteral(" colour"));
        if (picked_colour.isValid()) font.colour = from_qcolor(picked_colour);
    }
    return true;
}

} // namespace kestro
