#include "app/qt/pictures.h"

#include "app/qt/look.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace chengxi::qt {
namespace {

// An open book in white on the window's blue, with a ribbon marking the page.
void drawIcon(QPainter& p, QSizeF size) {
    p.scale(size.width() / 32.0, size.height() / 32.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 70, 160));
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);

    const QColor ink(0, 50, 120);
    p.setPen(QPen(ink, 1.2));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({{3, 8}, {15.5, 10}, {15.5, 27}, {3, 25}}));
    p.drawPolygon(QPolygonF({{16.5, 10}, {29, 8}, {29, 25}, {16.5, 27}}));

    p.setPen(QPen(QColor(120, 170, 230), 1));
    for (int line = 0; line < 4; ++line) {
        const double y = 14 + line * 3;
        p.drawLine(QLineF(5.5, y - 1.2, 13.5, y));
        p.drawLine(QLineF(18.5, y, 26.5, y - 1.2));
    }

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 120, 30));
    p.drawPolygon(QPolygonF({{22, 8.5}, {25, 8}, {25, 15}, {23.5, 13.5}, {22, 15}}));
}

QColor buttonFill(QColor normal, PictureState state) {
    switch (state) {
    case PictureState::Hover:
        return normal.lighter(125);
    case PictureState::Pressed:
        return normal.darker(130);
    case PictureState::Disabled:
        return QColor(150, 170, 190);
    case PictureState::Normal:
        break;
    }
    return normal;
}

void drawButtonFace(QPainter& p, QSizeF size, QColor fill) {
    p.setPen(QPen(QColor(255, 255, 255, 200), 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 3, 3);
}

void drawMinimise(QPainter& p, QSizeF size, PictureState state) {
    drawButtonFace(p, size, buttonFill(QColor(30, 110, 200), state));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const double w = size.width() * 0.4;
    p.drawRect(QRectF((size.width() - w) / 2, size.height() * 0.62, w, 2));
}

void drawClose(QPainter& p, QSizeF size, PictureState state) {
    drawButtonFace(p, size, buttonFill(QColor(205, 45, 45), state));
    p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
    const double half = size.height() * 0.25;
    const QPointF centre(size.width() / 2, size.height() / 2);
    p.drawLine(centre + QPointF(-half, -half), centre + QPointF(half, half));
    p.drawLine(centre + QPointF(-half, half), centre + QPointF(half, -half));
}

// Two ripples of a clear stream, the program's name.
void drawOrnament(QPainter& p, QSizeF size) {
    p.setPen(QPen(QColor(255, 255, 255, 230), 1.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const double w = size.width();
    for (const double y : {size.height() * 0.38, size.height() * 0.7}) {
        QPainterPath ripple({2, y});
        ripple.cubicTo(w * 0.3, y - 4, w * 0.45, y + 4, w * 0.65, y);
        ripple.cubicTo(w * 0.8, y - 3, w * 0.9, y - 1, w - 2, y);
        p.drawPath(ripple);
    }
}

} // namespace

void paintPicture(QPainter& p, ui::Picture picture, QSizeF area, PictureState state) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    switch (picture) {
    case ui::Picture::Icon:
        drawIcon(p, area);
        break;
    case ui::Picture::HeaderOrnament:
        drawOrnament(p, area);
        break;
    case ui::Picture::Minimise:
        drawMinimise(p, area, state);
        break;
    case ui::Picture::Close:
        drawClose(p, area, state);
        break;
    case ui::Picture::None:
        break;
    }
    p.restore();
}

QPixmap drawPicture(ui::Picture picture, QSize size, PictureState state, qreal devicePixelRatio) {
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    paintPicture(p, picture, QSizeF(size), state);
    return pixmap;
}

QIcon programIcon() {
    QIcon icon;
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addPixmap(drawPicture(ui::Picture::Icon, QSize(side, side)));
    }
    return icon;
}

} // namespace chengxi::qt
