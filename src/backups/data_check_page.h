#pragma once

#include <string_view>

namespace chengxi::ui {
class EventBinder;
struct Services;
} // namespace chengxi::ui

namespace chengxi::backups {

// The report of a data check, written beside the database.
inline constexpr std::string_view kCheckReportFileName = "数据检查结果.xls";

// 检查数据: checks the data without changing it, writes and shows the report,
// then offers each kind of mendable finding in turn; what the librarian
// accepts is mended after a backup, in one transaction.
void checkData(const ui::Services& services);

void bindDataCheck(ui::EventBinder& binder, const ui::Services& services);

} // namespace chengxi::backups
