#include "circulation/loan_report.h"

#include "store/database.h"
#include "text/integer_value.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/services.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

namespace chengxi::circulation {

namespace names = ui::names::main;

namespace {

// The year box's text as the number the report compares 年份 with: an
// optional sign and decimal digits, as a number literal in the statement
// would read. Nothing for any other text, which such a statement would
// refuse.
std::optional<std::int64_t> reportYear(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

} // namespace

void listReport(const ui::Services& services) {
    ui::Window& main = services.mainWindow();
    ui::ListView& list = main.control(names::kReportList).listView();
    list.clearRows();
    const std::optional<std::int64_t> year = reportYear(main.control(names::kYear).text());
    if (!year) {
        return;
    }
    // Bound as a number, the year meets the text column as the number
    // literal of a typed statement would: converted to its decimal text.
    store::Database& database = services.database;
    store::RecordSet& records = database.records;
    if (!records.open(database.connection, "select * from 借阅报表 where 年份=?",
                      {store::Value(*year)})) {
        return;
    }
    records.toFirst();
    while (records.nextRow()) {
        const int row = list.appendRow();
        list.setCell(row, 0, records.read("图书编号"));
        list.setCell(row, 1, records.read("书名"));
        list.setCell(row, 2, records.read("借阅者"));
        list.setCell(row, 3, records.read("借书日期"));
        list.setCell(row, 4, records.read("还书日期"));
    }
    records.close();
}

void stepYear(const ui::Services& services, int direction) {
    ui::Control& yearBox = services.mainWindow().control(names::kYear);
    const std::int64_t year = text::integerValue(yearBox.text());
    const std::int64_t stepped = direction == 1 ? year + 1 : year - 1;
    yearBox.setText(
        std::to_string(std::clamp<std::int64_t>(stepped, kFirstReportYear, kLastReportYear)));
}

} // namespace chengxi::circulation
