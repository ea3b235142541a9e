#include "app/qt/placement.h"

namespace chengxi::qt {
namespace {

// The start of a span of `length` in [start, start + room): centred when it fits.
int place(int start, int room, int length, bool keepEnd) {
    if (length <= room) {
        return start + (room - length) / 2;
    }
    return keepEnd ? start + room - length : start;
}

} // namespace

QPoint placeWindow(const QRect& available, const QSize& size) {
    return {place(available.left(), available.width(), size.width(), true),
            place(available.top(), available.height(), size.height(), false)};
}

} // namespace chengxi::qt
