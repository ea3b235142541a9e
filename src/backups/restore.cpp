#include "backups/restore.h"

#include "backups/backups.h"
#include "library/initialisation.h"
#include "library/schema.h"
#include "platform/temporary_file.h"
#include "store/backup.h"
#include "store/database.h"
#include "store/restore.h"
#include "text/date_time.h"
#include "text/file_path.h"
#include "ui/controls/window.h"
#include "ui/event_binder.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"

#include <optional>
#include <string>

namespace chengxi::backups {
namespace {

namespace names = ui::names::main;

constexpr std::string_view kNothingChanged = "数据库没有改动。";

void tell(const ui::Services& services, std::string text) {
    services.screen.messageBox({std::move(text), "提示"});
}

std::string refusalOf(store::BackupFileVerdict verdict) {
    switch (verdict) {
    case store::BackupFileVerdict::Sound:
        break;
    case store::BackupFileVerdict::Missing:
        return "所选的备份文件已不存在。";
    case store::BackupFileVerdict::NoDatabase:
        return "所选文件不是数据库文件，不能用来恢复。";
    case store::BackupFileVerdict::Damaged:
        return "所选的备份文件已损坏，不能用来恢复。请选另一个备份。";
    case store::BackupFileVerdict::Foreign:
        return "所选文件不是本程序的数据库（缺少图书数据、读者数据、借出数据或借阅报表），"
               "不能用来恢复。";
    case store::BackupFileVerdict::NewerFormat:
        return "所选文件是别的程序用较新的格式写的数据库，恢复后旧版的 SQLite 将无法读取，"
               "不能用来恢复。";
    case store::BackupFileVerdict::Unreadable:
        return "所选的备份文件无法读取：可能正被其他程序使用，或没有读取权限。";
    }
    return {};
}

std::string confirmation(std::string_view path, const std::optional<store::TableRowCounts>& now,
                         const store::TableRowCounts& backup) {
    std::string text = "确定要用" + backupDateOf(path) +
                       "的备份恢复数据库吗？现在的数据库会先另做一个备份，然后整个换成所选备份中"
                       "的数据。\n";
    for (std::size_t i = 0; i < library::kTables.size(); ++i) {
        text += "\n" + std::string(library::kTables[i].name) + "：现在 " +
                (now ? std::to_string((*now)[i]) + " 行" : std::string("无法读取（已损坏）")) +
                "，备份中 " + std::to_string(backup[i]) + " 行";
    }
    return text;
}

// Why the open database cannot take a restore, or nothing when it can.
std::optional<std::string> databaseRefusal(const store::Connection& connection) {
    if (!connection.isOpen()) {
        return "数据库没有打开，无法恢复。";
    }
    if (connection.isReadOnly()) {
        return "数据库文件“数据库.sdb”是只读的，无法恢复。";
    }
    return std::nullopt;
}

// The damaged file copied aside as it lies, under a backup's name: the
// online backup would refuse it, and nothing is to be lost unsaved.
BackupResult keepDamagedAside(const ui::Services& services) {
    platform::removeStaleTemporaryFiles(text::toPath(services.programFolder));
    const std::string name = "数据库" + text::formatDateTime(services.clock.now()) + ".sdb";
    const store::BackupOutcome outcome = store::copyDatabaseFile(
        services.databasePath(), text::joinPath(services.programFolder, name));
    listBackups(services);
    return outcome == store::BackupOutcome::Made ? BackupResult{true, {}}
                                                 : BackupResult{false, kBackupFailedMessage};
}

} // namespace

std::string backupDateOf(std::string_view path) {
    std::string name = text::fromPath(text::toPath(std::string(path)).filename());
    constexpr std::string_view prefix = "数据库";
    constexpr std::string_view suffix = ".sdb";
    if (name.starts_with(prefix) && name.ends_with(suffix)) {
        name = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
        // A second backup of one second carries "(2)" after its date.
        if (const std::size_t open = name.rfind('(');
            open != std::string::npos && open > 0 && name.ends_with(")")) {
            name.erase(open);
        }
    }
    return name;
}

bool restoreSelectedBackup(const ui::Services& services, const std::function<void()>& restored) {
    const ui::Control& list = services.mainWindow().control(names::kBackupList);
    const int selected = list.currentItem();
    if (selected < 0) {
        tell(services, "请先在“已备份的数据文件”列表中选中要恢复的备份。");
        return false;
    }
    const std::string path = list.items()[static_cast<std::size_t>(selected)];
    store::Database& database = services.database;
    if (const std::optional<std::string> refusal = databaseRefusal(database.connection)) {
        tell(services, *refusal);
        return false;
    }
    const store::BackupFileCheck check = store::checkBackupFile(path, library::kTableNames);
    if (check.verdict != store::BackupFileVerdict::Sound) {
        tell(services, refusalOf(check.verdict) + std::string(kNothingChanged));
        return false;
    }
    const bool damaged = database.connection.damageFound();
    const std::optional<store::TableRowCounts> now =
        store::countTableRows(database.connection, library::kTableNames);
    if (!now && !damaged) {
        tell(services, "无法读取现在的数据库，没有恢复。" + std::string(kNothingChanged));
        return false;
    }
    const ui::Message question{.text = confirmation(path, *now, check.rows),
                               .title = "警告",
                               .buttons = ui::Buttons::OkCancel,
                               .defaultButton = ui::Answer::Cancel};
    if (services.screen.messageBox(question) != ui::Answer::Ok) {
        return false;
    }
    // What is replaced stays in a backup of its own.
    if (const BackupResult saved = damaged ? keepDamagedAside(services) : backup(services);
        !saved.made) {
        tell(services, std::string(saved.failure) + "数据库没有恢复。");
        return false;
    }
    database.records.close();
    database.counter.close();
    // A damaged database is only read: a connection of its own lets the
    // backup in, and on failure the database is only read again.
    if (damaged && !database.connection.open(services.databasePath(), false)) {
        tell(services, "恢复数据库失败：无法打开“数据库.sdb”。" + std::string(kNothingChanged));
        return false;
    }
    const store::RestoreOutcome outcome = store::restoreDatabase(database.connection, path);
    if (damaged && outcome != store::RestoreOutcome::Restored) {
        database.connection.noteResult(store::kDamageResult);
        database.connection.forbidWrites();
    }
    switch (outcome) {
    case store::RestoreOutcome::Restored:
        break;
    case store::RestoreOutcome::DatabaseBusy:
        tell(services, "恢复数据库失败：数据库正被其他程序使用。" + std::string(kNothingChanged));
        return false;
    case store::RestoreOutcome::Failed:
        tell(services, "恢复数据库失败：磁盘可能已满，或程序所在的文件夹不能写入。" +
                           std::string(kNothingChanged));
        return false;
    }
    // As at a login: the tables made ready (the file was checked whole just
    // before it came in), then whatever the program keeps about the old
    // content forgotten.
    for (const std::string& failure : library::initialiseDatabase(
             database.connection, services.databasePath(), library::FileCheck::AlreadyDone)) {
        tell(services, failure);
    }
    restored();
    listBackups(services);
    tell(services, "恢复数据库成功：现在的数据是" + backupDateOf(path) + "的备份。");
    return true;
}

void bindRestore(ui::EventBinder& binder, const ui::Services& services,
                 std::function<void()> restored) {
    binder.onClick(
        names::kWindow, names::kRestoreBackup,
        [&services, restored = std::move(restored)] { restoreSelectedBackup(services, restored); });
}

} // namespace chengxi::backups
