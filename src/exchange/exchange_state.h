#pragma once

#include "xls/workbook_connection.h"

namespace chengxi::exchange {

// What the import and export pages hold for the life of the main window: the
// one workbook connection. Every operation opens it on the workbook it works
// with and closes it before it returns, so no workbook stays in memory, and
// no export's rows stay unwritten, between clicks.
struct ExchangeState {
    xls::WorkbookConnection workbook;
};

} // namespace chengxi::exchange
