#include "app/qt/qt_clock.h"

#include <QDateTime>
#include <QElapsedTimer>

namespace chengxi::qt {

text::DateTime QtClock::now() {
    const QDateTime local = QDateTime::currentDateTime();
    const QDate date = local.date();
    const QTime time = local.time();
    return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

std::uint32_t QtClock::ticks() {
    // The monotonic clock counts from the start of the system; the tick count
    // wraps at 32 bits as the platform's does.
    QElapsedTimer timer;
    timer.start();
    return static_cast<std::uint32_t>(timer.msecsSinceReference());
}

} // namespace chengxi::qt
