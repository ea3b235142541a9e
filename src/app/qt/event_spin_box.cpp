#include "app/qt/event_spin_box.h"

#include <QWheelEvent>

namespace chengxi::qt {

EventSpinBox::EventSpinBox(QWidget* parent) : QAbstractSpinBox(parent) {
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setAccelerated(false);
}

void EventSpinBox::stepBy(int steps) {
    if (steps != 0) {
        emit spun(steps > 0 ? 1 : -1);
    }
}

QAbstractSpinBox::StepEnabled EventSpinBox::stepEnabled() const {
    return isEnabled() ? (StepUpEnabled | StepDownEnabled) : StepNone;
}

void EventSpinBox::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

} // namespace chengxi::qt
