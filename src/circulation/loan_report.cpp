#include "circulation/loan_report.h"

#include "library/report.h"
#include "store/value.h"
#include "text/integer_value.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/services.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace chengxi::circulation {

namespace names = ui::names::main;

void listReport(const ui::Services& services) {
    ui::Window& main = services.mainWindow();
    ui::ListView& list = main.control(names::kReportList).listView();
    list.clearRows();
    const std::optional<store::Value> year = library::reportYear(main.control(names::kYear).text());
    if (!year) {
        return;
    }
    std::optional<std::vector<library::ReportRow>> loans =
        library::reportOfYear(services.database, *year);
    if (!loans) {
        return;
    }
    for (library::ReportRow& loan : *loans) {
        const int row = list.appendRow();
        list.setCell(row, 0, std::move(loan.bookNumber));
        list.setCell(row, 1, std::move(loan.title));
        list.setCell(row, 2, std::move(loan.borrower));
        list.setCell(row, 3, std::move(loan.borrowedOn));
        list.setCell(row, 4, std::move(loan.returnedOn));
    }
}

void stepYear(const ui::Services& services, int direction) {
    ui::Control& yearBox = services.mainWindow().control(names::kYear);
    const std::int64_t year = text::integerValue(yearBox.text());
    const std::int64_t stepped = direction == 1 ? year + 1 : year - 1;
    yearBox.setText(
        std::to_string(std::clamp<std::int64_t>(stepped, kFirstReportYear, kLastReportYear)));
}

} // namespace chengxi::circulation
