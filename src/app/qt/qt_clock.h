#pragma once

#include "ui/screen.h"

namespace chengxi::qt {

// The computer's clock: local time and the millisecond tick count.
class QtClock final : public ui::Clock {
public:
    text::DateTime now() override;
    std::uint32_t ticks() override;
};

} // namespace chengxi::qt
