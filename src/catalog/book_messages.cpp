#include "catalog/book_messages.h"

#include "store/database.h"
#include "store/failure_cause.h"

namespace chengxi::catalog {

std::string readFailureMessage(const store::Database& database) {
    const std::string_view cause = store::failureCause(database.connection);
    return cause.empty() ? "读取图书数据失败，图书数据没有改变。"
                         : "读取图书数据失败：" + std::string(cause);
}

std::string writeFailureMessage(const store::Database& database, const std::string& what) {
    const std::string_view cause = store::failureCause(database.connection);
    return what + "失败，图书数据没有改变。" + std::string(cause);
}

} // namespace chengxi::catalog
