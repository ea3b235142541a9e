#include "circulation/events.h"

#include "circulation/lending.h"
#include "circulation/loan_report.h"
#include "circulation/loan_status.h"
#include "circulation/reader_lookup.h"
#include "circulation/returning.h"
#include "ui/event_binder.h"
#include "ui/forms/control_names.h"

namespace chengxi::circulation {

void bindEvents(ui::EventBinder& binder, const ui::Services& services, CirculationState& state) {
    namespace names = ui::names::main;
    binder.onBusyClick(names::kShowLoans, [&services, &state] { showLoans(services, state); });
    binder.onBusyClick(names::kLend, [&services, &state] { lend(services, state); });
    binder.onBusyClick(names::kReturn, [&services, &state] { returnBook(services, state); });
    binder.onBusyClick(names::kShowReport, [&services] { listReport(services); });
    binder.on(names::kWindow, names::kYear, ui::Event::Spin,
              [&services](int direction) { stepYear(services, direction); });
    binder.onClick(names::kWindow, names::kViewReader,
                   [&services, &state] { viewReader(services, state); });
}

} // namespace chengxi::circulation
