#pragma once

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

// Copies the open database to 数据库<date-time>.sdb in the program's folder,
// then refills the backup list. True only when this copy completed.
bool backup(const ui::Services& services);

// Refills the list of backup files (full paths) on the data page.
void listBackups(const ui::Services& services);

// The three clearing buttons: confirmation, backup, then every row deleted.
void clearTable(const ui::Services& services, std::string_view table);

void bindEvents(ui::EventBinder& binder, const ui::Services& services);

} // namespace chengxi::backups
