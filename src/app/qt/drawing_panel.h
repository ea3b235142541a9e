#pragma once

#include "ui/controls/drawing.h"

#include <QFont>
#include <QWidget>
#include <cstdint>

namespace chengxi::qt {

// A drawing panel: white, with the drawing's lines and texts painted over it
// in order, lines with the drawing's pen width, texts in the panel's font
// with their top left corner at the given point.
class DrawingPanel : public QWidget {
    Q_OBJECT
public:
    DrawingPanel(const QFont& font, QWidget* parent);

    // Shows this drawing from now on (null: nothing).
    void setDrawing(const ui::Drawing* drawing);
    // Repaints when the drawing changed since it was last shown.
    void sync();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ui::Drawing* drawing_ = nullptr;
    std::uint64_t revision_ = 0;
};

} // namespace chengxi::qt
