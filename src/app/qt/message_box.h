#pragma once

#include "ui/screen.h"

#include <memory>

class QMessageBox;

namespace chengxi::qt {

// The box for the message, ready to show: the message's title, text, icon,
// "确定" and, for a confirmation, "取消"; Escape means Cancel where there is one,
// and Enter presses the message's default button.
std::unique_ptr<QMessageBox> makeMessageBox(const ui::Message& message);
// The button the box was closed with. Closing it another way answers Cancel
// where it has a Cancel button; a box with OK alone can only answer OK.
ui::Answer answerOf(const QMessageBox& box);

// Shows the message application-modal and returns the answer.
ui::Answer showMessageBox(const ui::Message& message);

} // namespace chengxi::qt
