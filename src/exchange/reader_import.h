#pragma once

#include "exchange/exchange_state.h"

namespace chengxi::ui {
struct Services;
}

// The import on the 读者管理 page.
namespace chengxi::exchange {

// 从文件导入: the open dialog, in the folder it was last given; the path
// into the reader file box.
void chooseReaderFile(const ui::Services& services);

// 导入: a path must have been chosen; then the import and, whatever its
// outcome, the reader listing.
void importReadersClick(const ui::Services& services, ExchangeState& state);

// Adds one reader per row of Sheet1 whose 借书证号 is not empty, not "0" and
// not already in 读者数据 (nor earlier in the sheet), from the workbook whose
// path the page's path box shows, in one transaction; empty loan texts become "0".
// Ends with the count of readers added. Rows holding text the database cannot
// store are left out and reported together at the end; any other failed
// write undoes the whole import.
void importReaders(const ui::Services& services, ExchangeState& state);

} // namespace chengxi::exchange
