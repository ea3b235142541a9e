// Picture boxes, picture buttons and the drawing panel.
#include "app/qt/control_view.h"
#include "app/qt/drawing_panel.h"
#include "app/qt/look.h"
#include "app/qt/pictures.h"

#include <QAbstractButton>
#include <QPainter>

namespace chengxi::qt {
namespace {

// Shows one of the program's pictures; mouse presses go through to the
// window, so the header can be dragged by its icon.
class PictureBox final : public QWidget {
public:
    PictureBox(ui::Picture picture, QWidget* parent) : QWidget(parent), picture_(picture) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        paintPicture(painter, picture_, QSizeF(size()));
    }

private:
    ui::Picture picture_;
};

// An image button with one picture per state: normal, under the mouse, pressed.
class PictureButton final : public QAbstractButton {
public:
    PictureButton(ui::Picture picture, QWidget* parent)
        : QAbstractButton(parent), picture_(picture) {
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_Hover);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        PictureState state = PictureState::Normal;
        if (!isEnabled()) {
            state = PictureState::Disabled;
        } else if (isDown()) {
            state = PictureState::Pressed;
        } else if (underMouse()) {
            state = PictureState::Hover;
        }
        QPainter painter(this);
        paintPicture(painter, picture_, QSizeF(size()), state);
    }

    void enterEvent(QEnterEvent* event) override {
        update();
        QAbstractButton::enterEvent(event);
    }

    void leaveEvent(QEvent* event) override {
        update();
        QAbstractButton::leaveEvent(event);
    }

private:
    ui::Picture picture_;
};

class PictureBoxView final : public ControlView {
public:
    using ControlView::ControlView;

protected:
    void syncState(ui::Control&) override {}
};

class PictureButtonView final : public ControlView {
public:
    PictureButtonView(ui::Control& control, PictureButton* button, FormInput& input)
        : ControlView(control, button, input) {
        QObject::connect(button, &QAbstractButton::clicked, context(),
                         [this] { this->input().fire(name(), ui::Event::Clicked); });
    }

protected:
    void syncState(ui::Control&) override {}
};

class DrawingView final : public ControlView {
public:
    DrawingView(ui::Control& control, DrawingPanel* panel, FormInput& input)
        : ControlView(control, panel, input), panel_(panel) {
        panel->setDrawing(&control.drawing());
    }

    void detach() override {
        panel_->setDrawing(nullptr);
        ControlView::detach();
    }

protected:
    void syncState(ui::Control&) override { panel_->sync(); }

private:
    DrawingPanel* panel_;
};

} // namespace

std::unique_ptr<ControlView> makePictureBoxView(ui::Control& control, QWidget* parent,
                                                FormInput& input) {
    return std::make_unique<PictureBoxView>(
        control, new PictureBox(control.record().picture, parent), input);
}

std::unique_ptr<ControlView> makePictureButtonView(ui::Control& control, QWidget* parent,
                                                   FormInput& input) {
    return std::make_unique<PictureButtonView>(
        control, new PictureButton(control.record().picture, parent), input);
}

std::unique_ptr<ControlView> makeDrawingView(ui::Control& control, QWidget* parent,
                                             FormInput& input) {
    auto* panel = new DrawingPanel(fontFor(control.record().font, parent->font()), parent);
    return std::make_unique<DrawingView>(control, panel, input);
}

} // namespace chengxi::qt
