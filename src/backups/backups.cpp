#include "backups/backups.h"

#include "library/maintenance.h"
#include "library/schema.h"
#include "platform/temporary_file.h"
#include "store/backup.h"
#include "store/backups.h"
#include "store/database.h"
#include "text/date_time.h"
#include "text/file_path.h"
#include "ui/controls/window.h"
#include "ui/event_binder.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"

#include <array>
#include <string>

namespace chengxi::backups {
namespace {

namespace names = ui::names::main;

struct Clearing {
    std::string_view button;
    std::string_view table;
    std::string_view question;
    std::string_view failure;
};

constexpr std::array<Clearing, 3> kClearings{{
    {names::kClearLendState, library::kLendStateTable, "确定要清空借出数据吗？",
     "删除借出数据失败"},
    {names::kClearReaders, library::kReaderTable, "确定要清空读者数据吗？", "删除读者数据失败"},
    {names::kClearBooks, library::kBookTable, "确定要清空图书数据吗？", "清空图书数据失败"},
}};

const Clearing* clearingOf(std::string_view table) {
    for (const Clearing& clearing : kClearings) {
        if (clearing.table == table) {
            return &clearing;
        }
    }
    return nullptr;
}

} // namespace

BackupResult backup(const ui::Services& services) {
    // A backup killed midway leaves its unfinished copy, which no backup list
    // shows; the next backup clears such leftovers away.
    platform::removeStaleTemporaryFiles(text::toPath(services.programFolder));
    const std::string name = "数据库" + text::formatDateTime(services.clock.now()) + ".sdb";
    const store::BackupOutcome outcome = store::backupDatabase(
        services.database.connection, text::joinPath(services.programFolder, name));
    listBackups(services);
    switch (outcome) {
    case store::BackupOutcome::Made:
        return {true, {}};
    case store::BackupOutcome::DatabaseBusy:
        return {false, kBackupBusyMessage};
    case store::BackupOutcome::DatabaseDamaged:
        return {false, kBackupDamagedMessage};
    case store::BackupOutcome::Failed:
        break;
    }
    return {false, kBackupFailedMessage};
}

void listBackups(const ui::Services& services) {
    ui::Control& list = services.mainWindow().control(names::kBackupList);
    list.clearItems();
    for (std::string& file : store::backupFiles(services.programFolder)) {
        list.addItem(std::move(file));
    }
}

bool clearTable(const ui::Services& services, std::string_view table) {
    const Clearing* clearing = clearingOf(table);
    if (clearing == nullptr) {
        return false;
    }
    const ui::Message question{.text = std::string(clearing->question),
                               .title = "警告",
                               .buttons = ui::Buttons::OkCancel,
                               .defaultButton = ui::Answer::Cancel};
    if (services.screen.messageBox(question) != ui::Answer::Ok) {
        return false;
    }
    // The cleared rows stay in the backup; without one nothing is deleted.
    if (const BackupResult saved = backup(services); !saved.made) {
        services.screen.messageBox({std::string(saved.failure) + "数据没有清空。", "提示"});
        return false;
    }
    if (!library::clearTable(services.database.connection, clearing->table)) {
        services.screen.messageBox({std::string(clearing->failure), "提示"});
        return false;
    }
    return true;
}

void bindEvents(ui::EventBinder& binder, const ui::Services& services,
                std::function<void()> catalogueCleared) {
    binder.onClick(names::kWindow, names::kBackup, [&services] {
        const BackupResult saved = backup(services);
        services.screen.messageBox(
            {saved.made ? "备份数据库成功" : std::string(saved.failure), "提示"});
    });
    for (const Clearing& clearing : kClearings) {
        binder.onClick(names::kWindow, clearing.button,
                       [&services, table = clearing.table, catalogueCleared] {
                           if (clearTable(services, table) && table == library::kBookTable) {
                               catalogueCleared();
                           }
                       });
    }
}

} // namespace chengxi::backups
