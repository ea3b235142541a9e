#pragma once

#include "app/controls/screen.h"

#include <memory>

class QMessageBox;

namespace chengxi::app::qt {

// The box for the message, ready to show: the message's title, text, icon,
// "确定" and, for a confirmation, "取消"; Escape means Cancel where there is one.
std::unique_ptr<QMessageBox> makeMessageBox(const Message& message);
// The button the box was closed with. Closing it another way answers Cancel
// where it has a Cancel button; a box with OK alone can only answer OK.
Answer answerOf(const QMessageBox& box);

// Shows the message application-modal and returns the answer.
Answer showMessageBox(const Message& message);

} // namespace chengxi::app::qt
