// Edit boxes, buttons, labels and group boxes.
#include "app/qt/control_view.h"
#include "app/qt/event_spin_box.h"
#include "app/qt/look.h"
#include "app/qt/qt_text.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <algorithm>

namespace chengxi::qt {
namespace {

class EditView final : public ControlView {
public:
    EditView(ui::Control& control, QWidget* box, QLineEdit* edit, FormInput& input)
        : ControlView(control, box, input), edit_(edit) {
        applyInputMode(control.inputMode(), box);
        QObject::connect(edit_, &QLineEdit::textEdited, context(), [this](const QString& text) {
            if (ui::Control* model = acceptingControl()) {
                model->setText(typedText(text));
            }
        });
        if (auto* spin = qobject_cast<EventSpinBox*>(box)) {
            QObject::connect(spin, &EventSpinBox::spun, context(), [this](int direction) {
                this->input().fire(name(), ui::Event::Spin, direction);
            });
        }
    }

protected:
    void syncState(ui::Control& control) override {
        const QString text = toQString(control.text());
        if (edit_->text() != text) {
            edit_->setText(text);
        }
    }

private:
    void applyInputMode(ui::InputMode mode, QWidget* box) {
        switch (mode) {
        case ui::InputMode::ReadOnly: {
            edit_->setReadOnly(true);
            // Greyed like the platform's read-only edit, so nobody tries to type.
            QPalette palette = box->palette();
            palette.setColor(QPalette::Base, palette.color(QPalette::Window));
            box->setPalette(palette);
            break;
        }
        case ui::InputMode::Password:
            edit_->setEchoMode(QLineEdit::Password);
            edit_->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
            break;
        case ui::InputMode::Integer:
            edit_->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[0-9]*")), edit_));
            break;
        case ui::InputMode::Normal:
            break;
        }
    }

    QLineEdit* edit_;
};

class ButtonView final : public ControlView {
public:
    ButtonView(ui::Control& control, QPushButton* button, FormInput& input)
        : ControlView(control, button, input), button_(button) {
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, context(),
                         [this] { this->input().fire(name(), ui::Event::Clicked); });
    }

protected:
    void syncState(ui::Control& control) override {
        const QString text = toQString(control.text());
        if (button_->text() != text) {
            button_->setText(text);
        }
    }

private:
    QPushButton* button_;
};

class LabelView final : public ControlView {
public:
    LabelView(ui::Control& control, QLabel* label, FormInput& input)
        : ControlView(control, label, input), label_(label), font_(label->font()) {}

protected:
    void syncState(ui::Control& control) override {
        const QString text = toQString(control.text());
        if (label_->text() != text) {
            fit(text);
            label_->setText(text);
        }
    }

private:
    // The forms give some captions less than their full advance: the blank
    // half of a closing full-width colon may stand outside the label, as it
    // does on the system the forms were drawn for, so what must fit is the
    // ink. A caption whose ink is a little too long for one line is drawn a
    // little narrower rather than broken before its last character; a longer
    // one wraps.
    void fit(const QString& text) {
        QFont font = font_;
        const int room = label_->contentsRect().width() - std::max(label_->indent(), 0);
        const int needed = QFontMetrics(font_).tightBoundingRect(text).right() + 1;
        bool wrap = false;
        if (needed > room && room > 0) {
            const int stretch = room * 100 / needed;
            if (stretch >= kNarrowestStretch) {
                font.setStretch(stretch);
            } else {
                wrap = true;
            }
        }
        label_->setFont(font);
        label_->setWordWrap(wrap);
    }

    static constexpr int kNarrowestStretch = 85;

    QLabel* label_;
    QFont font_;
};

class GroupBoxView final : public ControlView {
public:
    GroupBoxView(ui::Control& control, QGroupBox* box, FormInput& input)
        : ControlView(control, box, input), box_(box) {}

protected:
    void syncState(ui::Control& control) override {
        const QString text = toQString(control.text());
        if (box_->title() != text) {
            box_->setTitle(text);
        }
    }

private:
    QGroupBox* box_;
};

} // namespace

std::unique_ptr<ControlView> makeEditView(ui::Control& control, QWidget* parent, FormInput& input) {
    if (control.hasSpin()) {
        auto* spin = new EventSpinBox(parent);
        return std::make_unique<EditView>(control, spin, spin->editor(), input);
    }
    auto* edit = new QLineEdit(parent);
    return std::make_unique<EditView>(control, edit, edit, input);
}

std::unique_ptr<ControlView> makeButtonView(ui::Control& control, QWidget* parent,
                                            FormInput& input) {
    return std::make_unique<ButtonView>(control, new QPushButton(parent), input);
}

std::unique_ptr<ControlView> makeLabelView(ui::Control& control, QWidget* parent,
                                           FormInput& input) {
    auto* label = new QLabel(parent);
    // Captions can hold names typed by people: never read them as markup.
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setFont(fontFor(control.record().font, parent->font()));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, parent->isWindow() ? textOnWindow() : textOnPage());
    if (control.kind() == ui::ControlKind::Label) {
        // A label proper has a background of its own: a flat status strip in
        // a tint of the page, not a white sunken box that looks editable.
        palette.setColor(QPalette::Window, statusBackground());
        label->setAutoFillBackground(true);
        label->setIndent(4);
    }
    label->setPalette(palette);
    return std::make_unique<LabelView>(control, label, input);
}

std::unique_ptr<ControlView> makeGroupBoxView(ui::Control& control, QWidget* parent,
                                              FormInput& input) {
    auto* box = new QGroupBox(parent);
    const QColor text = parent->isWindow() ? textOnWindow() : textOnPage();
    const QColor behind = parent->isWindow() ? windowBackground() : pageBackground();
    // A frame that stands out from the page, its caption set into the top
    // line: the title straddles the line and hides it behind the text.
    box->setStyleSheet(
        QStringLiteral(
            "QGroupBox { border: 1px solid %1; border-radius: 3px; margin-top: 7px; }"
            "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
            " left: 8px; padding: 0px 3px; color: %2; background-color: %3; }")
            .arg(frameLine().name(), text.name(), behind.name()));
    return std::make_unique<GroupBoxView>(control, box, input);
}

} // namespace chengxi::qt
