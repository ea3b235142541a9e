#pragma once

namespace chengxi::ui {
struct Services;
}

namespace chengxi::circulation {

// The spin buttons keep the report year within these.
inline constexpr int kFirstReportYear = 2000;
inline constexpr int kLastReportYear = 2100;

// Fills the report list with every loan of the year in the year box, in the
// order the database returns them.
void listReport(const ui::Services& services);

// A spin button of the year box: 1 is the upper button, anything else the
// lower one. The list is left as it is.
void stepYear(const ui::Services& services, int direction);

} // namespace chengxi::circulation
