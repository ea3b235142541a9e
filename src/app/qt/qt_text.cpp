#include "app/qt/qt_text.h"

#include "text/byte_escape.h"

namespace chengxi::qt {
namespace {

constexpr char16_t kReplacementMark = 0xFFFD;

// Byte escapes are in the basic plane, so each is one UTF-16 unit.
void replaceByteEscapes(QString& text) {
    for (QChar& unit : text) {
        if (text::isByteEscape(unit.unicode())) {
            unit = QChar(kReplacementMark);
        }
    }
}

} // namespace

QString toQStringExact(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString toQString(std::string_view utf8) {
    QString text = toQStringExact(utf8);
    replaceByteEscapes(text);
    return text;
}

std::string toUtf8(const QString& text) {
    return text.toUtf8().toStdString();
}

std::string typedText(QString text) {
    replaceByteEscapes(text);
    return toUtf8(text);
}

} // namespace chengxi::qt
