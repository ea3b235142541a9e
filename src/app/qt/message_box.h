#pragma once

#include "app/controls/screen.h"

namespace chengxi::app::qt {

// Shows an application-modal message box with the message's title, text,
// buttons and icon. Escape or closing the box answers Cancel where it has a
// Cancel button; a box with OK alone can only answer OK.
Answer showMessageBox(const Message& message);

} // namespace chengxi::app::qt
