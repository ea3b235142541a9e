#pragma once

namespace chengxi::ui {
struct Services;
}

namespace chengxi::schoolyear {

// Writes the list of leavers who still hold books to a workbook chosen in the
// save dialog: 班别, 姓名, 借书证号, 未还图书编号, 未还书名, one row each.
void exportLeavers(const ui::Services& services);

// Prints the same list, the class teacher's copy, on A4 pages.
void printLeavers(const ui::Services& services);

} // namespace chengxi::schoolyear
