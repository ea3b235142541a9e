#include "catalog/events.h"

#include "catalog/catalogue.h"
#include "catalog/lent_books.h"
#include "ui/event_binder.h"
#include "ui/forms/control_names.h"

namespace chengxi::catalog {

void bindEvents(ui::EventBinder& binder, const ui::Services& services, CatalogueState& state,
                BackUp backUp) {
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

    binder.onClick(names::kWindow, names::kAddBook,
                   [&services, &state] { openAddBook(services, state); });
    binder.onClick(names::kWindow, names::kEditBook,
                   [&services, &state] { openEditBook(services, state); });
    binder.onBusyClick(names::kWithdrawBook, [&services, &state, backUp = std::move(backUp)] {
        withdrawBook(services, state, backUp);
    });
    namespace bookw = ui::names::book;
    binder.onClick(bookw::kWindow, bookw::kSave,
                   [&services, &state] { saveBook(services, state); });
    binder.onClick(bookw::kWindow, bookw::kCancel, [&services] { closeBookWindow(services); });
    binder.onClick(bookw::kWindow, bookw::kClose, [&services] { closeBookWindow(services); });
}

} // namespace chengxi::catalog
