#pragma once

#include "app/controls/control_spec.h"

namespace chengxi::app {

// The two stored forms: every control with its name, kind, place, text and settings.
const WindowSpec& loginForm();
const WindowSpec& mainForm();

// RGB of both windows' background.
inline constexpr int kBackgroundRed = 0, kBackgroundGreen = 136, kBackgroundBlue = 255;

} // namespace chengxi::app
