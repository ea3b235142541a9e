#pragma once

#include <functional>
#include <string_view>

namespace chengxi::ui {
class EventBinder;
struct Services;
} // namespace chengxi::ui

// The data page: dated backups of the database, the list of them, and the
// clearing of a table after a confirmation and a backup.
namespace chengxi::backups {

// Said when a backup could not be made, so the librarian is never left to
// guess that nothing was saved.
inline constexpr std::string_view kBackupFailedMessage =
    "备份数据库失败：磁盘可能已满，或程序所在的文件夹不能写入。";

// Said when another program kept the database locked through the backup.
inline constexpr std::string_view kBackupBusyMessage =
    "备份数据库失败：数据库正被其他程序使用，请关闭使用“数据库.sdb”的其他程序后再试。";

// Said when the database is damaged: its copy would be as damaged.
inline constexpr std::string_view kBackupDamagedMessage =
    "备份数据库失败：数据库文件“数据库.sdb”已损坏，从它做出的备份同样是损坏的，不能用来恢复。"
    "请用损坏之前的备份恢复。";

struct BackupResult {
    bool made = false;
    // What the librarian is told when the backup was not made.
    std::string_view failure;
};

// Copies the open database to 数据库<date-time>.sdb in the program's folder
// (数据库<date-time>(2).sdb and so on when that name is taken), then refills
// the backup list. Made only when this copy completed.
BackupResult backup(const ui::Services& services);

// Refills the list of backup files (full paths) on the data page.
void listBackups(const ui::Services& services);

// The three clearing buttons: confirmation, backup, then every row deleted.
// True when the rows were deleted.
bool clearTable(const ui::Services& services, std::string_view table);

// `catalogueCleared` runs after 图书数据 has been cleared, so whatever the
// program keeps about the catalogue (its book total) is counted afresh.
void bindEvents(ui::EventBinder& binder, const ui::Services& services,
                std::function<void()> catalogueCleared);

} // namespace chengxi::backups
