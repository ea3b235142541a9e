#pragma once

#include "app/controls/screen.h"

namespace chengxi::app::qt {

// The computer's clock: local time and the millisecond tick count.
class QtClock final : public Clock {
public:
    text::DateTime now() override;
    std::uint32_t ticks() override;
};

} // namespace chengxi::app::qt
