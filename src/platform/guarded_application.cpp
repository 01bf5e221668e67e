#include "platform/guarded_application.h"

#include <QMessageBox>

#include <exception>

namespace kestro {

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QStringLiteral("KESTRO"), QString::fromUtf8(error.what()));
    }
    return false;
}

} // namespace kestro
