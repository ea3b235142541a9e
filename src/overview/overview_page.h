#pragma once

namespace chengxi::ui {
struct Services;
}

// The page 逾期一览: every overdue loan, by class.
namespace chengxi::overview {

// The page has come to the front: the class choices are read again, keeping
// the class chosen when it is still there.
void offerClasses(const ui::Services& services);

// A preset of the days box was picked: its number goes into the box; 自定
// puts the focus there for a number of the librarian's own.
void takeDaysPreset(const ui::Services& services);

// 查询: fills the list and the summary for the chosen class and days.
void showOverdue(const ui::Services& services);

// 打印: the notices of the list as shown, one page per class, in a print preview.
void printOverdue(const ui::Services& services);

// 导出: the list as shown to an .xls or .xlsx workbook (by the name's ending).
void exportOverdue(const ui::Services& services);

} // namespace chengxi::overview
