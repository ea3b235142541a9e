#pragma once

#include <string_view>

namespace chengxi::store {

class Connection;

inline constexpr std::string_view kBusyCause =
    "数据库正被其他程序使用，请关闭使用“数据库.sdb”的其他程序后再试。";
inline constexpr std::string_view kDamageCause =
    "数据库文件“数据库.sdb”已损坏，读出的数据不完整。请用损坏之前的备份恢复。";

// Why the last statement on the connection failed, in the librarian's words,
// when the cause is one the operation's own failure message would misname:
// another program's lock, or damage. Empty for any other cause.
std::string_view failureCause(const Connection& connection);

} // namespace chengxi::store
