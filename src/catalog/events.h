#pragma once

#include "catalog/catalogue_state.h"
#include "catalog/maintenance.h"

namespace chengxi::ui {
class EventBinder;
struct Services;
} // namespace chengxi::ui

namespace chengxi::catalog {

// The controls of the book search page and of its book window; `backUp`
// takes the backup made before a book is withdrawn.
void bindEvents(ui::EventBinder& binder, const ui::Services& services, CatalogueState& state,
                BackUp backUp);

} // namespace chengxi::catalog
