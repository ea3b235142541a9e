#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace chengxi::store {
class Connection;
}

namespace chengxi::library {

// The database file's name in the program's folder.
inline constexpr std::string_view kDatabaseFileName = "数据库.sdb";

inline constexpr std::string_view kOpenFailedMessage = "打开数据库失败";
inline constexpr std::string_view kListsDisagreeMessage =
    "提供的字段名称个数与字段大小个数不一致！";
inline constexpr std::string_view kReadOnlyMessage =
    "数据库文件“数据库.sdb”是只读的：可以查看，但借书、还书、导入等修改都无法保存。"
    "请去掉该文件的只读属性后重新启动本程序。";
inline constexpr std::string_view kDamagedMessage =
    "数据库文件“数据库.sdb”已损坏。为免损坏扩大，本程序这次只供查看：借书、还书、导入等修改都不会"
    "保存，查到的数据也可能不全。要恢复，请到“数据操作”页，在备份列表中选中损坏之前的一个备份，"
    "点“恢复选中的备份”；损坏的文件会先另存为一个备份。";
inline constexpr std::string_view kDatabaseInUseMessage =
    "数据库正被其他程序使用，暂时无法打开。请关闭使用“数据库.sdb”的其他程序后重新启动本程序。";

// Ensures the four tables in order, opening `databasePath` when the connection
// is closed (each table retries the open). Returns the messages to show, in
// order, each in its own box titled "提示" with an OK button; empty when every
// table is ready. A failure does not stop the sequence, except a database
// that another program keeps locked: that is said once, and the remaining
// tables, which would only wait for the same lock, are not tried. Once the
// tables are ready, SQLite's quick check looks the whole file over. A damaged
// database is said once, instead of every failure it causes, and the
// connection then only reads, so nothing more is harmed. A database that
// opened for reading only is said too, since no change would be kept.
// FileCheck::AlreadyDone skips the quick check for a file looked over whole just now
// (a backup brought back after its integrity check).
enum class FileCheck { Quick, AlreadyDone };
std::vector<std::string> initialiseDatabase(store::Connection& connection,
                                            const std::string& databasePath,
                                            FileCheck fileCheck = FileCheck::Quick);

} // namespace chengxi::library
