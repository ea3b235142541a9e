#pragma once

#include <QString>
#include <string>
#include <string_view>

// Texts are UTF-8 std::string in the program and QString only on screen.
namespace chengxi::qt {

inline QString toQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string toUtf8(const QString& text) {
    return text.toUtf8().toStdString();
}

} // namespace chengxi::qt
