#pragma once

namespace chengxi::ui {
struct Services;
}

// The page 借阅统计: a year of the loan report, counted.
namespace chengxi::overview {

// 统计: fills the chart, the four lists and the summary for the year in the box.
void showStatistics(const ui::Services& services);

// 打印: the statistics shown, one page per list, in a print preview.
void printStatistics(const ui::Services& services);

// 导出: the statistics shown to an .xls or .xlsx workbook (by the name's ending), one sheet per
// list.
void exportStatistics(const ui::Services& services);

// The year box's spin buttons: one year up (1) or down, within the report's years.
void stepStatisticsYear(const ui::Services& services, int direction);

} // namespace chengxi::overview
