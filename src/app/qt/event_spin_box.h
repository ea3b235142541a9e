#pragma once

#include <QAbstractSpinBox>

class QLineEdit;

namespace chengxi::qt {

// An edit box with a pair of spin buttons that change nothing themselves: a
// press only reports its direction (1 upper, -1 lower) and the program writes
// the new value into the edit box.
class EventSpinBox : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit EventSpinBox(QWidget* parent);

    QLineEdit* editor() const { return lineEdit(); }
    void stepBy(int steps) override;

signals:
    void spun(int direction);

protected:
    StepEnabled stepEnabled() const override;
    // A wheel turned while passing over the box must not change the value.
    void wheelEvent(QWheelEvent* event) override;
};

} // namespace chengxi::qt
