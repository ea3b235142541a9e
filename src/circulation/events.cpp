#include "circulation/events.h"

#include "circulation/lending.h"
#include "circulation/loan_report.h"
#include "circulation/loan_status.h"
#include "circulation/reader_lookup.h"
#include "circulation/return_by_book.h"
#include "circulation/returning.h"
#include "ui/controls/window.h"
#include "ui/event_binder.h"
#include "ui/forms/control_names.h"
#include "ui/services.h"

namespace chengxi::circulation {

void bindEvents(ui::EventBinder& binder, const ui::Services& services, CirculationState& state) {
    namespace names = ui::names::main;
    binder.onBusyClick(names::kShowLoans, [&services, &state] { showLoans(services, state); });
    binder.onBusyClick(names::kLend, [&services, &state] { lend(services, state); });
    binder.onBusyClick(names::kReturn, [&services, &state] { returnBook(services, state); });
    binder.onBusyClick(names::kReturnByBook,
                       [&services, &state] { returnByBook(services, state); });
    binder.onBusyClick(names::kShowReport, [&services] { listReport(services); });
    binder.on(names::kWindow, names::kYear, ui::Event::Spin,
              [&services](int direction) { stepYear(services, direction); });
    binder.onEnter(names::kYear, names::kShowReport);

    // At the desk a scanner types the card, then the book, each ending with
    // Enter: the keyboard goes where the next scan belongs.
    binder.onEnter(names::kLoanCard, names::kShowLoans, [&services, &state] {
        services.mainWindow().setFocusSelectingText(state.listedReader ? names::kLoanBook
                                                                       : names::kLoanCard);
    });
    binder.onEnter(names::kLoanBook, names::kLend,
                   [&services] { services.mainWindow().setFocusSelectingText(names::kLoanBook); });
    binder.onClick(names::kWindow, names::kViewReader,
                   [&services, &state] { viewReader(services, state); });
}

} // namespace chengxi::circulation
