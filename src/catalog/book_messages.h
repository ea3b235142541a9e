#pragma once

#include <string>

namespace chengxi::store {
struct Database;
}

namespace chengxi::catalog {

// What the librarian is told when 图书数据 or 借出数据 could not be read,
// or when a change was not stored (`what`: the change), with the cause
// where it is a lock or damage.
std::string readFailureMessage(const store::Database& database);
std::string writeFailureMessage(const store::Database& database, const std::string& what);

} // namespace chengxi::catalog
