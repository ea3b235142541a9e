#include "app/qt/drawing_panel.h"

#include "app/qt/qt_text.h"

#include <QFontMetrics>
#include <QPainter>

namespace chengxi::qt {

DrawingPanel::DrawingPanel(const QFont& font, QWidget* parent) : QWidget(parent) {
    setFont(font);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DrawingPanel::setDrawing(const ui::Drawing* drawing) {
    drawing_ = drawing;
    revision_ = drawing != nullptr ? drawing->revision() : 0;
    update();
}

void DrawingPanel::sync() {
    if (drawing_ != nullptr && drawing_->revision() != revision_) {
        revision_ = drawing_->revision();
        update();
    }
}

void DrawingPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (drawing_ == nullptr) {
        return;
    }
    // A pen width of 0 draws one pixel wide, as 1 does.
    painter.setPen(QPen(Qt::black, drawing_->penWidth()));
    painter.setFont(font());
    const int ascent = QFontMetrics(font()).ascent();
    for (const ui::DrawCommand& command : drawing_->commands()) {
        if (command.kind == ui::DrawCommand::Kind::Line) {
            painter.drawLine(command.x1, command.y1, command.x2, command.y2);
        } else {
            painter.drawText(QPoint(command.x1, command.y1 + ascent), toQString(command.text));
        }
    }
}

} // namespace chengxi::qt
