#include "app/qt/message_box.h"

#include "app/qt/qt_text.h"

#include <QMessageBox>
#include <QPushButton>

namespace chengxi::qt {
namespace {

QMessageBox::Icon toQt(ui::Icon icon) {
    switch (icon) {
    case ui::Icon::Error:
        return QMessageBox::Critical;
    case ui::Icon::Information:
        return QMessageBox::Information;
    case ui::Icon::Warning:
        return QMessageBox::Warning;
    case ui::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

std::unique_ptr<QMessageBox> makeMessageBox(const ui::Message& message) {
    auto box = std::make_unique<QMessageBox>(toQt(message.icon), toQString(message.title),
                                             toQString(message.text));
    // The text can quote what a person typed: never read it as markup.
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::ApplicationModal);
    QPushButton* ok = box->addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box->setDefaultButton(ok);
    box->setEscapeButton(ok);
    if (message.buttons == ui::Buttons::OkCancel) {
        QPushButton* cancel = box->addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        box->setEscapeButton(cancel);
        if (message.defaultButton == ui::Answer::Cancel) {
            box->setDefaultButton(cancel);
        }
    }
    return box;
}

ui::Answer answerOf(const QMessageBox& box) {
    const QAbstractButton* pressed = box.clickedButton();
    if (pressed == nullptr) {
        pressed = box.escapeButton();
    }
    return box.buttonRole(const_cast<QAbstractButton*>(pressed)) == QMessageBox::RejectRole
               ? ui::Answer::Cancel
               : ui::Answer::Ok;
}

ui::Answer showMessageBox(const ui::Message& message) {
    const std::unique_ptr<QMessageBox> box = makeMessageBox(message);
    box->exec();
    return answerOf(*box);
}

} // namespace chengxi::qt
