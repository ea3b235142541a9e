#include "app/qt/form_window.h"

#include "app/qt/look.h"
#include "app/qt/pictures.h"
#include "app/qt/qt_text.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWindow>
#include <algorithm>

namespace chengxi::qt {

FormWindow::FormWindow(ui::Window& model, FormHost& host)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), model_(&model), host_(host),
      id_(model.id()) {
    setObjectName(toQString(id_));
    setWindowTitle(toQString(model.caption()));
    setWindowIcon(programIcon());
    setFixedSize(model.width(), model.height());
    setFont(defaultFont());
    // The blue is painted here rather than set in the palette, which every
    // child would inherit (list headers would turn blue).
    setAttribute(Qt::WA_OpaquePaintEvent);
    buildControls();
}

FormWindow::~FormWindow() {
    // The views go before the widgets they watch; let none of them touch the model.
    for (auto& view : views_) {
        view->detach();
    }
}

void FormWindow::buildControls() {
    // A control's parent may come after it in the form: place the controls
    // whose parent already has a widget until all are placed.
    std::vector<ui::Control*> waiting;
    for (ui::Control& control : model_->controls()) {
        waiting.push_back(&control);
    }
    while (!waiting.empty()) {
        std::vector<ui::Control*> later;
        for (ui::Control* control : waiting) {
            QWidget* parent = this;
            if (!control->parent().empty()) {
                ControlView* parentView = view(control->parent());
                if (parentView == nullptr) {
                    later.push_back(control);
                    continue;
                }
                parent = parentView->childArea(control->page());
            }
            if (auto made = makeControlView(*control, parent, *this)) {
                byName_.emplace(made->name(), made.get());
                views_.push_back(std::move(made));
            }
        }
        if (later.size() == waiting.size()) {
            break; // a parent with no widget of its own: leave those controls out
        }
        waiting = std::move(later);
    }
    // Transparent labels are drawn on their parent's surface, beneath the
    // controls that have windows of their own.
    for (auto& made : views_) {
        if (made->control()->kind() == ui::ControlKind::TransparentLabel) {
            made->widget()->lower();
        }
    }
    arrangeTabOrder();
    for (auto& made : views_) {
        made->sync();
    }
}

void FormWindow::arrangeTabOrder() {
    QWidget* previous = nullptr;
    for (const ui::Control* control : model_->readingOrder()) {
        ControlView* each = view(control->name());
        if (each == nullptr || !(each->widget()->focusPolicy() & Qt::TabFocus)) {
            continue;
        }
        if (previous != nullptr) {
            setTabOrder(previous, each->widget());
        }
        previous = each->widget();
    }
}

ControlView* FormWindow::view(std::string_view control) const {
    const auto found = byName_.find(control);
    return found == byName_.end() ? nullptr : found->second;
}

QWidget* FormWindow::controlWidget(std::string_view control) const {
    ControlView* found = view(control);
    return found != nullptr ? found->widget() : nullptr;
}

std::string_view FormWindow::controlOf(const QWidget* widget) const {
    for (; widget != nullptr && widget != this; widget = widget->parentWidget()) {
        for (const auto& candidate : views_) {
            if (candidate->widget() == widget) {
                return candidate->name();
            }
        }
    }
    return {};
}

void FormWindow::sync() {
    if (model_ == nullptr) {
        return;
    }
    for (auto& each : views_) {
        each->sync();
    }
    syncWindowState();
    syncFocus();
}

void FormWindow::paintControl(std::string_view control) {
    if (ControlView* found = view(control); found != nullptr && model_ != nullptr) {
        found->sync();
        found->repaintNow();
    }
}

void FormWindow::detach() {
    for (auto& each : views_) {
        each->detach();
    }
    model_ = nullptr;
}

void FormWindow::syncWindowState() {
    if (!isVisible() && !isMinimized()) {
        return;
    }
    const bool minimised = model_->windowState() == 2;
    if (minimised != isMinimized()) {
        if (minimised) {
            showMinimized();
        } else {
            showNormal();
        }
    }
}

void FormWindow::syncFocus() {
    const std::string& wanted = model_->focus();
    QWidget* target = wanted.empty() ? nullptr : controlWidget(wanted);
    if (target != nullptr && controlOf(focusWidget()) != wanted) {
        target->setFocus(Qt::OtherFocusReason);
    }
    if (model_->textSelectionRequests() != textSelections_) {
        textSelections_ = model_->textSelectionRequests();
        auto* edit = qobject_cast<QLineEdit*>(target);
        if (edit == nullptr && target != nullptr) {
            edit = target->findChild<QLineEdit*>();
        }
        if (edit != nullptr) {
            edit->selectAll();
        }
    }
}

void FormWindow::personFocused(QWidget* widget) {
    if (!acceptsInput()) {
        return;
    }
    const std::string_view control = controlOf(widget);
    if (!control.empty() && control != model_->focus()) {
        model_->setFocus(control);
    }
}

bool FormWindow::acceptsInput() const {
    return model_ != nullptr && host_.acceptsInput();
}

void FormWindow::fire(std::string_view control, ui::Event event, int argument) {
    if (acceptsInput()) {
        host_.fire(id_, control, event, argument);
    }
}

void FormWindow::pressDefaultButton() {
    for (auto& each : views_) {
        ui::Control* control = each->control();
        if (control != nullptr && control->isDefaultButton() && model_->isUsable(*control)) {
            if (auto* button = qobject_cast<QAbstractButton*>(each->widget())) {
                button->click();
            }
            return;
        }
    }
}

void FormWindow::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), windowBackground());
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
    // Edits and lists pass Enter on to their window; the program decides what
    // it does in the focused box (its own binding, else the default button).
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        const std::string focus = model_ != nullptr ? model_->focus() : std::string();
        if (!focus.empty() && host_.bindsEnter(id_, focus)) {
            fire(focus, ui::Event::EnterPressed);
        } else {
            pressDefaultButton();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void FormWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || event->position().y() >= kHeaderHeight) {
        QWidget::mousePressEvent(event);
        return;
    }
    // The platform moves the window where it can; elsewhere it follows the mouse.
    if (windowHandle() != nullptr && windowHandle()->startSystemMove()) {
        return;
    }
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - pos();
}

void FormWindow::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        move(event->globalPosition().toPoint() - dragOffset_);
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void FormWindow::mouseReleaseEvent(QMouseEvent* event) {
    dragging_ = false;
    QWidget::mouseReleaseEvent(event);
}

void FormWindow::closeEvent(QCloseEvent* event) {
    if (model_ == nullptr) {
        event->accept();
        return;
    }
    // Closing from the platform (a key or the task bar) does what the close
    // button does; the program decides whether the window goes.
    event->ignore();
    for (const ui::Control& control : model_->controls()) {
        if (control.kind() == ui::ControlKind::PictureButton &&
            control.record().picture == ui::Picture::Close) {
            fire(control.name(), ui::Event::Clicked);
            return;
        }
    }
}

void FormWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && acceptsInput()) {
        model_->setWindowState(isMinimized() ? 2 : 0);
    }
    QWidget::changeEvent(event);
}

bool FormWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        // The first activation's event runs after the window has been painted.
        QTimer::singleShot(0, this, [this] {
            if (model_ != nullptr && isVisible()) {
                repaint();
                host_.activated(id_);
            }
        });
    }
    return QWidget::event(event);
}

} // namespace chengxi::qt
