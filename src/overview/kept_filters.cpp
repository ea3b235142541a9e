#include "overview/kept_filters.h"

#include "auth/settings_file.h"
#include "circulation/loan_report.h"
#include "text/cp936.h"
#include "text/file_path.h"
#include "text/integer_value.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/services.h"

#include <string>

namespace chengxi::overview {
namespace {

namespace names = ui::names::main;

constexpr std::string_view kSection = "overview";
constexpr std::string_view kClassKey = "class";
constexpr std::string_view kDaysKey = "days";
constexpr std::string_view kYearKey = "year";
constexpr std::string_view kFolderKey = "folder";
constexpr std::string_view kCustomDays = "自定";
constexpr std::string_view kDaysItemSuffix = " 天";

std::string keptValue(const ui::Services& services, std::string_view key) {
    return text::fromCp936(
        auth::readSettingsValue(services.settingsFile, kSection, key).value_or(std::string()));
}

// Writes the value only when it changed and reads back as it is; a value
// that cannot be kept is simply not remembered.
void keep(const ui::Services& services, std::string_view key, std::string_view value) {
    const text::Cp936Bytes bytes = text::toCp936(value);
    if (!bytes.ok() || auth::valueAsReadBack(bytes.bytes) != bytes.bytes) {
        return;
    }
    const auto kept = auth::readSettingsValue(services.settingsFile, kSection, key);
    if (kept && *kept != bytes.bytes) {
        auth::writeSettingsValue(services.settingsFile, kSection, key, bytes.bytes);
    }
}

// The preset matching the days, else 自定.
void showDaysPreset(ui::Control& preset, const std::string& days) {
    const auto& items = preset.items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == days + std::string(kDaysItemSuffix) || items[i] == kCustomDays) {
            preset.setCurrentItem(static_cast<int>(i));
            return;
        }
    }
}

} // namespace

void restoreKeptFilters(const ui::Services& services) {
    ui::Window& main = services.mainWindow();
    const std::string group = keptValue(services, kClassKey);
    if (!group.empty()) {
        // The class list is read when the page is shown, which keeps this
        // class when it is still there.
        ui::Control& choice = main.control(names::kOverdueClass);
        choice.addItem(group);
        choice.setCurrentItem(static_cast<int>(choice.items().size()) - 1);
    }
    const int days = text::integerValue(keptValue(services, kDaysKey));
    if (days >= 1) {
        main.control(names::kOverdueDays).setText(std::to_string(days));
        showDaysPreset(main.control(names::kOverdueDaysPreset), std::to_string(days));
    }
    const int year = text::integerValue(keptValue(services, kYearKey));
    if (year >= circulation::kFirstReportYear && year <= circulation::kLastReportYear) {
        main.control(names::kStatisticsYear).setText(std::to_string(year));
    }
}

void keepOverdueFilters(const ui::Services& services, std::string_view group, int days) {
    keep(services, kClassKey, group);
    keep(services, kDaysKey, std::to_string(days));
}

void keepStatisticsYear(const ui::Services& services, int year) {
    keep(services, kYearKey, std::to_string(year));
}

void keepExportFolder(const ui::Services& services, std::string_view path) {
    keep(services, kFolderKey, text::fromPath(text::toPath(path).parent_path()));
}

std::optional<std::string> keptExportFolder(const ui::Services& services) {
    std::string folder = keptValue(services, kFolderKey);
    if (folder.empty()) {
        return std::nullopt;
    }
    return folder;
}

} // namespace chengxi::overview
