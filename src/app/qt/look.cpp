#include "app/qt/look.h"

#include "ui/forms/forms.h"

#include <QStringList>

namespace chengxi::qt {

QColor windowBackground() {
    return QColor(ui::kBackgroundRed, ui::kBackgroundGreen, ui::kBackgroundBlue);
}

QColor pageBackground() {
    return QColor(236, 245, 255);
}

QColor statusBackground() {
    return QColor(214, 229, 247);
}

QColor frameLine() {
    return QColor(105, 140, 185);
}

QColor textOnWindow() {
    return QColor(Qt::white);
}

QColor textOnPage() {
    return QColor(0, 40, 90);
}

QFont defaultFont() {
    QFont font;
    // SimSun is the face the forms were drawn with on Windows. Elsewhere AR
    // PL UMing is the Song face closest to it: its digits are as narrow, so
    // the widths the forms give hold their texts. WenQuanYi is the last resort.
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                      QStringLiteral("WenQuanYi Micro Hei")});
    font.setPixelSize(12);
    return font;
}

QFont kaiFont(int pixelSize, bool bold) {
    QFont font;
    // "KaiTi" alone falls back to a sans face where it is missing.
    font.setFamilies({QStringLiteral("KaiTi"), QStringLiteral("AR PL UKai CN")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont fontFor(const ui::FontRecord& record, const QFont& fallback) {
    QFont font = record.kai ? kaiFont(fallback.pixelSize(), record.bold) : fallback;
    if (record.pixelSize > 0) {
        font.setPixelSize(record.pixelSize);
    }
    font.setBold(record.bold);
    return font;
}

} // namespace chengxi::qt
