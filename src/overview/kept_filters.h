#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace chengxi::ui {
struct Services;
}

// The page's last filters and export folder, kept in the settings file
// (section "overview") so that the next start shows them again.
namespace chengxi::overview {

// Puts the kept class, days and year into the page's boxes; called as the
// main window opens, before the page is first shown.
void restoreKeptFilters(const ui::Services& services);

// Keeps the overdue filters as 查询 used them: the class (empty for every
// class) and the days.
void keepOverdueFilters(const ui::Services& services, std::string_view group, int days);
void keepStatisticsYear(const ui::Services& services, int year);
// Keeps the folder of a file exported to.
void keepExportFolder(const ui::Services& services, std::string_view path);
// The kept export folder; nothing when none is kept.
std::optional<std::string> keptExportFolder(const ui::Services& services);

} // namespace chengxi::overview
