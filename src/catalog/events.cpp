#include "catalog/events.h"

#include "catalog/catalogue.h"
#include "catalog/lent_books.h"
#include "ui/event_binder.h"
#include "ui/forms/control_names.h"

namespace chengxi::catalog {

void bindEvents(ui::EventBinder& binder, const ui::Services& services, CatalogueState& state) {
    namespace names = ui::names::main;
    binder.onBusyClick(names::kSearch, [&services, &state] { searchClick(services, state); });
    binder.onClick(names::kWindow, names::kPageUp,
                   [&services, &state] { pageUp(services, state); });
    binder.onClick(names::kWindow, names::kPageDown,
                   [&services, &state] { pageDown(services, state); });
    binder.on(names::kWindow, names::kSearchMode, ui::Event::SelectionChanged,
              [&services](int) { modeChange(services); });
    binder.on(names::kWindow, names::kSearchResults, ui::Event::RowSelected, [&services](int) {
        takeBookNumber(services);
        showSelectedHolder(services);
    });
    binder.onClick(names::kWindow, names::kCopyBookNumber,
                   [&services] { copyBookNumber(services); });
    binder.onEnter(names::kSearchText, names::kSearch);
    binder.onEnter(names::kRowsPerPage, names::kSearch);
}

} // namespace chengxi::catalog
