#pragma once

#include <filesystem>

namespace chengxi::ui {
struct Services;
}

namespace chengxi::app {

// The switch in the program's settings file: "daily=0" in section [backup]
// turns the daily backup off; anything else, or nothing, leaves it on.
inline constexpr const char* kDailyBackupSection = "backup";
inline constexpr const char* kDailyBackupKey = "daily";

bool dailyBackupWanted(const std::filesystem::path& settingsFile);

// At the start of a day's work: when no backup bears today's date, one is
// made under the usual dated name, so a day's loans lost later can be had
// back. A library without a single row has nothing to keep; one that cannot
// be written, is damaged or lies in a folder that takes no file is said to
// be so at start, and gets no backup. A backup that fails is said.
void makeDailyBackup(const ui::Services& services);

} // namespace chengxi::app
