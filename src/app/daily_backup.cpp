#include "app/daily_backup.h"

#include "app/data_folder.h"
#include "auth/settings_file.h"
#include "backups/backups.h"
#include "library/schema.h"
#include "store/backups.h"
#include "store/database.h"
#include "store/restore.h"
#include "text/date_time.h"
#include "text/file_path.h"
#include "ui/screen.h"
#include "ui/services.h"

#include <algorithm>
#include <optional>
#include <string>

namespace chengxi::app {
namespace {

bool hasBackupOf(const std::string& folder, const text::DateTime& day) {
    // The date text ends in 日, so 11月1日 is no prefix of 11月16日.
    const std::string prefix = "数据库" + text::formatDateTime(day.date());
    const std::vector<std::string> files = store::backupFiles(folder);
    return std::any_of(files.begin(), files.end(), [&prefix](const std::string& path) {
        return text::fromPath(text::toPath(path).filename()).starts_with(prefix);
    });
}

} // namespace

bool dailyBackupWanted(const std::filesystem::path& settingsFile) {
    const std::optional<std::string> value =
        auth::readSettingsValue(settingsFile, kDailyBackupSection, kDailyBackupKey);
    return !value || *value != "0";
}

void makeDailyBackup(const ui::Services& services) {
    store::Connection& connection = services.database.connection;
    if (!connection.isOpen() || connection.isReadOnly() || connection.damageFound() ||
        !dailyBackupWanted(services.settingsFile) ||
        hasBackupOf(services.programFolder, services.clock.now()) ||
        !store::holdsAnyRow(connection, library::kTableNames) ||
        // Said already at start: the folder takes no file, so no backup either.
        !canWriteFolder(services.programFolder)) {
        return;
    }
    if (const backups::BackupResult saved = backups::backup(services); !saved.made) {
        services.screen.messageBox({"每日自动备份没有做成。" + std::string(saved.failure), "提示"});
    }
}

} // namespace chengxi::app
