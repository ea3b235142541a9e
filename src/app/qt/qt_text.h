#pragma once

#include <QString>
#include <string>
#include <string_view>

// Texts are UTF-8 std::string in the program and QString only on screen.
namespace chengxi::qt {

// A text as the screen shows it. A byte escape (a byte the database holds
// that is not code page 936 text, kept as a private code point so that it
// goes back unchanged) is drawn as the replacement mark.
QString toQString(std::string_view utf8);

// A text exactly, escapes and all: file names and paths.
QString toQStringExact(std::string_view utf8);
std::string toUtf8(const QString& text);

// A text the librarian typed or pasted. A private code point that would stand
// for a byte escape becomes the replacement mark it is shown as, which the
// program refuses to store, rather than a byte nobody typed.
std::string typedText(QString text);

} // namespace chengxi::qt
