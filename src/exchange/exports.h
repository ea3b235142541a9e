#pragma once

#include "exchange/exchange_state.h"

namespace chengxi::ui {
struct Services;
}

// The three exports: each writes its template to the path chosen in the save
// dialog and adds one sheet row per database row, in the order the database
// returns them.
namespace chengxi::exchange {

// 导出图书数据: the whole catalogue, progress on the progress bar.
void exportBooks(const ui::Services& services, ExchangeState& state);

// 导出读者数据: every reader, progress on the progress bar.
void exportReaders(const ui::Services& services, ExchangeState& state);

// 导出借阅报表: the loans of the year in the year box, progress in the
// report page's label.
void exportLoanReport(const ui::Services& services, ExchangeState& state);

} // namespace chengxi::exchange
