#include "platform/qt_messages.h"

#include <QApplication>
#include <QColor>
#include <QMessageBox>

#include "platform/qt_text.h"

namespace kestro {

void QtMessages::show(const std::string& text)
{
    QMessageBox::warning(parent_, QStringLiteral("KESTRO"), qs(text));
}

Answer QtMessages::ask(const std::string& text)
{
    const auto button = QMessageBox::question(parent_, QStringLiteral("KESTRO"), qs(text),
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                              QMessageBox::Yes);
    if (button == QMessageBox::Yes) return Answer::Yes;
    if (button == QMessageBox::No) return Answer::No;
    return Answer::Cancel;
}

void QtMessages::beep() { QApplication::beep(); }

void QtMessages::busy(bool on)
{
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

QColor to_qcolor(Colour colour)
{
    return QColor(static_cast<int>(red_of(colour)), static_cast<int>(green_of(colour)),
                  static_cast<int>(blue_of(colour)));
}

Colour from_qcolor(const QColor& colour)
{
    return rgb(static_cast<unsigned>(colour.red()), static_cast<unsigned>(colour.green()),
               static_cast<unsigned>(colour.blue()));
}

namespace {
QtMessageHandler qt_default_handler = nullptr;
void drop_runtime_dir_notice(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
    if (qt_default_handler) qt_default_handler(type, context, text);
}
} // namespace

void quiet_runtime_dir_notice()
{
    if (qt_default_handler == nullptr) qt_default_handler = qInstallMessageHandler(drop_runtime_dir_notice);
}

} // namespace kestro
