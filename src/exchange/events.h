#pragma once

#include "catalog/catalogue_state.h"
#include "exchange/exchange_state.h"

namespace chengxi::ui {
class EventBinder;
struct Services;
} // namespace chengxi::ui

namespace chengxi::exchange {

// The import and export buttons of the 导入图书, 导出表格, 借阅报表 and
// 读者管理 pages. The book import resets the catalogue's book total.
void bindEvents(ui::EventBinder& binder, const ui::Services& services, ExchangeState& state,
                catalog::CatalogueState& catalogue);

} // namespace chengxi::exchange
