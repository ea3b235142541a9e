#pragma once

#include "xls/workbook.h"

#include <span>
#include <string_view>

namespace chengxi::ui {
class ListView;
struct Services;
} // namespace chengxi::ui

namespace chengxi::overview {

// A list of the page as one sheet of the export: its name and the list.
struct ListSheet {
    std::string_view name;
    const ui::ListView* list;
};

// The workbook of the lists: one sheet each, row 1 the list's column
// headers in the program's header style, then the rows as shown. Counts
// (days, loans, ranks) are numbers, every other cell a text, as shown.
xls::Workbook listWorkbook(std::span<const ListSheet> sheets);

// 导出: asks for a file in the save dialog and writes the lists there as an
// .xls or .xlsx workbook (by the name's ending). `empty` is said when the first list has no rows.
void exportLists(const ui::Services& services, std::span<const ListSheet> sheets,
                 std::string_view empty);

} // namespace chengxi::overview
