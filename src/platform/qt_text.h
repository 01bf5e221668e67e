#pragma once
// Text between the core (UTF-8 std::string) and Qt.

#include <QString>
#include <string>

namespace kestro {

inline QString qs(const std::string& text) { return QString::fromStdString(text); }
inline std::string ss(const QString& text) { return text.toStdString(); }

} // namespace kestro
