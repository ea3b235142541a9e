#pragma once

#include "catalog/catalogue_state.h"

namespace chengxi::ui {
class EventBinder;
struct Services;
} // namespace chengxi::ui

namespace chengxi::catalog {

// The controls of the book search page.
void bindEvents(ui::EventBinder& binder, const ui::Services& services, CatalogueState& state);

} // namespace chengxi::catalog
