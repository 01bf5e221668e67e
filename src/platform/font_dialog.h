#pragma once
// The font dialog of the label font: family, size and styles, and for the
// drawing window's labels a colour chosen after them (Qt's font dialog has
// no colour of its own).

#include <QString>
#include <QWidget>

#include "drawing/canvas.h"

namespace kestro {

enum class FontColour { Kept, Asked };

// Shows the dialogs preset with `font`; true and the font changed when the
// user confirmed. Cancelling the colour keeps the font chosen before it
// and the old colour.
bool ask_font(QWidget* parent, const QString& title, FontSpec& font, FontColour colour);

} // namespace kestro
