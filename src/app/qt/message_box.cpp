#include "app/qt/message_box.h"

#include "app/qt/qt_text.h"

#include <QMessageBox>
#include <QPushButton>

namespace chengxi::app::qt {
namespace {

QMessageBox::Icon toQt(Icon icon) {
    switch (icon) {
    case Icon::Error:
        return QMessageBox::Critical;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

Answer showMessageBox(const Message& message) {
    QMessageBox box(toQt(message.icon), toQString(message.title), toQString(message.text));
    // The text can quote what a person typed: never read it as markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    QPushButton* cancel = nullptr;
    if (message.buttons == Buttons::OkCancel) {
        cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        box.setEscapeButton(cancel);
    } else {
        box.setEscapeButton(ok);
    }
    box.exec();
    return box.clickedButton() == ok || cancel == nullptr ? Answer::Ok : Answer::Cancel;
}

} // namespace chengxi::app::qt
