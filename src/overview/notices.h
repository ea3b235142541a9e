#pragma once

#include "text/date_time.h"
#include "ui/print_document.h"

namespace chengxi::ui {
class ListView;
}

namespace chengxi::overview {

// The overdue notices of the overview list as shown: one page per class, in
// the list's order, for the class teacher who collects the books: the
// class, the date, a table of the class's overdue loans and a line for the
// teacher's signature.
ui::PrintDocument overdueNotices(const ui::ListView& overdueList, const text::DateTime& today);

// The statistics page as printed: one page per list, the chart as its table.
struct StatisticsLists {
    std::string summary; // names the year
    const ui::ListView* monthly;
    const ui::ListView* topTitles;
    const ui::ListView* classes;
    const ui::ListView* idleReaders;
    const ui::ListView* lateReturns;
};
ui::PrintDocument statisticsReport(const StatisticsLists& lists, const text::DateTime& today);

} // namespace chengxi::overview
