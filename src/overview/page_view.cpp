#include "overview/page_view.h"

#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/services.h"

#include <string_view>

namespace chengxi::overview {
namespace {

namespace names = ui::names::main;

constexpr std::string_view kOverviewControls[] = {
    names::kOverdueClassCaption, names::kOverdueClass,  names::kOverdueDaysCaption,
    names::kOverdueDaysPreset,   names::kOverdueDays,   names::kShowOverdue,
    names::kPrintOverdue,        names::kExportOverdue, names::kOverdueList,
    names::kOverdueSummary};

constexpr std::string_view kStatisticsControls[] = {
    names::kStatisticsYearCaption, names::kStatisticsYear,     names::kShowStatistics,
    names::kPrintStatistics,       names::kExportStatistics,   names::kMonthlyCaption,
    names::kMonthlyChart,          names::kTopTitlesCaption,   names::kTopTitles,
    names::kClassLoansCaption,     names::kClassLoans,         names::kIdleReadersCaption,
    names::kIdleReaders,           names::kLateReturnsCaption, names::kLateReturns,
    names::kStatisticsSummary};

} // namespace

void showChosenView(const ui::Services& services) {
    ui::Window& main = services.mainWindow();
    const bool statistics = main.control(names::kOverviewView).currentItem() == 1;
    for (const std::string_view name : kOverviewControls) {
        main.control(name).setVisible(!statistics);
    }
    for (const std::string_view name : kStatisticsControls) {
        main.control(name).setVisible(statistics);
    }
}

} // namespace chengxi::overview
