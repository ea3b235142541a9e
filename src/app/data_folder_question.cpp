#include "app/data_folder_question.h"

#include "library/initialisation.h"
#include "library/schema.h"
#include "store/backup.h"
#include "store/connection.h"
#include "store/record_set.h"
#include "text/file_path.h"
#include "ui/screen.h"

#include <filesystem>
#include <system_error>

namespace chengxi::app {
namespace {

namespace fs = std::filesystem;

// The name an empty database is set aside under, with (2), (3), ... when taken.
constexpr std::string_view kSetAsideStem = "数据库（未用的空库）";

// True when the database holds no row in any of the program's tables: a
// library nobody has used. Unknown (not openable) counts as used.
bool isEmptyLibrary(const std::string& path) {
    store::Connection connection;
    if (!connection.open(path, false)) {
        return false;
    }
    store::RecordSet records;
    for (const library::TableDefinition& table : library::kTables) {
        if (!records.open(connection, "select count(*) from " + std::string(table.name))) {
            continue; // a table not made yet holds no rows either
        }
        if (!records.toFirst() || !records.nextRow() || records.read(0) != "0") {
            return false;
        }
        records.close();
    }
    return true;
}

// Renames the database to a free name beside it; false when it could not be.
bool setAside(const fs::path& database) {
    std::error_code error;
    for (int number = 1; number < 1000; ++number) {
        const std::string suffix = number == 1 ? "" : "(" + std::to_string(number) + ")";
        const fs::path aside =
            database.parent_path() / text::toPath(std::string(kSetAsideStem) + suffix + ".sdb");
        if (!fs::exists(aside, error)) {
            fs::rename(database, aside, error);
            return !error;
        }
    }
    return false;
}

// A consistent copy through SQLite's online backup: the original is only read.
bool copyDatabase(const std::string& from, const std::string& to) {
    store::Connection source;
    return source.open(from, false) &&
           store::backupDatabase(source, to) == store::BackupOutcome::Made;
}

std::string question(const std::string& programFolder, const std::string& dataFolder,
                     bool emptyOneThere) {
    std::string text = "程序所在的文件夹“" + programFolder +
                       "”不能写入，其中的数据库“数据库.sdb”在那里只能查看，借书、还书、导入等修改"
                       "都无法保存。\n\n点“确定”把它复制到您的数据文件夹“" +
                       dataFolder + "”，以后使用这份副本；原文件保持不动。";
    if (emptyOneThere) {
        text += "数据文件夹中原有的空数据库改名为“" + std::string(kSetAsideStem) + ".sdb”保留。";
    }
    return text + "\n点“取消”这次只查看原文件。";
}

} // namespace

DataFolder settleDataFolder(const std::string& programFolder, const EnvironmentLookup& environment,
                            ui::Screen& screen) {
    const DataFolder chosen = chooseDataFolder(programFolder, environment);
    const std::string original = text::joinPath(programFolder, library::kDatabaseFileName);
    std::error_code error;
    if (chosen.path == programFolder || !fs::is_regular_file(text::toPath(original), error)) {
        return chosen;
    }
    const std::string copy = text::joinPath(chosen.path, library::kDatabaseFileName);
    const bool copyThere = fs::exists(text::toPath(copy), error);
    if (copyThere && !(isEmptyLibrary(copy) && !isEmptyLibrary(original))) {
        return chosen;
    }
    const ui::Message ask{question(programFolder, chosen.path, copyThere), "提示",
                          ui::Buttons::OkCancel, ui::Icon::Warning};
    if (screen.messageBox(ask) != ui::Answer::Ok) {
        return {programFolder, {}};
    }
    if ((copyThere && !setAside(text::toPath(copy))) || !copyDatabase(original, copy)) {
        screen.messageBox({"复制数据库失败：数据文件夹“" + chosen.path +
                               "”可能已满或不能写入。这次只查看程序文件夹中的原文件。",
                           "提示"});
        return {programFolder, {}};
    }
    return chosen;
}

std::string unwritableFolderMessage(const std::string& folder) {
    return "数据库所在的文件夹“" + folder +
           "”不能写入：可以查看，但借书、还书、导入、备份等修改都无法保存。请让管理员给这个文件夹"
           "写入权限，或重新启动本程序并同意把数据库复制到您自己的数据文件夹。";
}

} // namespace chengxi::app
