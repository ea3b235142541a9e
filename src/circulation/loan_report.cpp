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
    // The loans go into the list as stored: only the rows shown are decoded.
    // A query that fails lists none, its cause noted on the connection.
    if (!library::forEachLoanOfYear(
            services.database, *year,
            [&list](const library::StoredReportRow& loan) { list.appendEncodedRow(loan); })) {
        list.clearRows();
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
