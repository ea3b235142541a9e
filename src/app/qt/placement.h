#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace chengxi::qt {

// Where a window of `size` opens in the `available` area of a screen:
// centred when it fits. A window taller than the area keeps its header (the
// only place it can be dragged by) at the top of the area; one wider than the
// area keeps its right end, with the minimise and close buttons, inside it.
QPoint placeWindow(const QRect& available, const QSize& size);

} // namespace chengxi::qt
