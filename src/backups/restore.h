#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace chengxi::ui {
class EventBinder;
struct Services;
} // namespace chengxi::ui

namespace chengxi::backups {

// The date-time text a backup's file name carries ("数据库2015年11月16日10时30分(2).sdb"
// gives "2015年11月16日10时30分"); the file name itself when it carries none.
std::string backupDateOf(std::string_view path);

// Brings the backup selected in the list back as the whole database: the
// backup is looked over first, the librarian confirms with the row counts of
// both side by side, the database is backed up, then replaced in one
// transaction and set up as at a login. `restored` then resets what the
// program keeps about the old content. True when the database was restored.
bool restoreSelectedBackup(const ui::Services& services, const std::function<void()>& restored);

void bindRestore(ui::EventBinder& binder, const ui::Services& services,
                 std::function<void()> restored);

} // namespace chengxi::backups
