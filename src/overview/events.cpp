#include "overview/events.h"

#include "overview/overview_page.h"
#include "overview/page_view.h"
#include "overview/statistics_page.h"
#include "ui/event_binder.h"
#include "ui/forms/control_names.h"

namespace chengxi::overview {

namespace names = ui::names::main;

void bindEvents(ui::EventBinder& binder, const ui::Services& services) {
    binder.on(names::kWindow, names::kOverviewView, ui::Event::SelectionChanged,
              [&services](int) { showChosenView(services); });
    binder.onBusyClick(names::kShowOverdue, [&services] { showOverdue(services); });
    binder.on(names::kWindow, names::kOverdueDaysPreset, ui::Event::SelectionChanged,
              [&services](int) { takeDaysPreset(services); });
    binder.onBusyClick(names::kPrintOverdue, [&services] { printOverdue(services); });
    binder.onBusyClick(names::kExportOverdue, [&services] { exportOverdue(services); });
    binder.onBusyClick(names::kPrintStatistics, [&services] { printStatistics(services); });
    binder.onBusyClick(names::kExportStatistics, [&services] { exportStatistics(services); });
    binder.onBusyClick(names::kShowStatistics, [&services] { showStatistics(services); });
    binder.on(names::kWindow, names::kStatisticsYear, ui::Event::Spin,
              [&services](int direction) { stepStatisticsYear(services, direction); });
}

} // namespace chengxi::overview
