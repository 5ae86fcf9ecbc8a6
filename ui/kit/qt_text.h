// Conversions between the program's UTF-8 texts and Qt strings.
#pragma once

#include <QString>
#include <string>

namespace coordconv {

inline QString ToQString(const std::string& utf8) { return QString::fromStdString(utf8); }
inline std::string ToStdString(const QString& text) { return text.toStdString(); }

}  // namespace coordconv
