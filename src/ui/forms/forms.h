#pragma once

#include "ui/controls/form_records.h"

namespace chengxi::ui {

// The stored forms: every control with its name, kind, place, text and settings.
const FormRecord& loginForm();
const FormRecord& mainForm();
// The book window of the search page: add a book or change one.
const FormRecord& bookForm();
// The year-end promotion dialog.
const FormRecord& promotionForm();
// The library cards dialog.
const FormRecord& cardsForm();

// RGB of both windows' background.
inline constexpr int kBackgroundRed = 0, kBackgroundGreen = 136, kBackgroundBlue = 255;

} // namespace chengxi::ui
