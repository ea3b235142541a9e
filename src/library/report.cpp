#include "library/report.h"

#include "library/read_rows.h"
#include "library/schema.h"
#include "store/connection.h"
#include "store/database.h"

#include <array>
#include <charconv>
#include <cstdint>

namespace chengxi::library {

std::string borrowerName(const Reader& reader) {
    return reader.group + " " + reader.name;
}

std::optional<store::Value> reportYear(std::string_view yearText) {
    if (yearText.empty() || yearText.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    std::int64_t year = 0;
    const auto [end, error] =
        std::from_chars(yearText.data(), yearText.data() + yearText.size(), year);
    if (error != std::errc{} || end != yearText.data() + yearText.size()) {
        return std::optional<store::Value>(std::in_place, yearText);
    }
    return std::optional<store::Value>(std::in_place, year);
}

bool forEachLoanOfYear(store::Database& database, const store::Value& year,
                       const std::function<void(const StoredReportRow&)>& visit) {
    // The shown columns; the year is the query's.
    return forEachStoredRow(database, kReportOfYearQuery, {year},
                            std::array<std::string_view, 5>{report::kBookNumber, report::kTitle,
                                                            report::kBorrower, report::kBorrowedOn,
                                                            report::kReturnedOn},
                            visit);
}

bool addOpenLoan(store::Connection& connection, const OpenLoan& loan) {
    return connection.execute(
        "insert into 借阅报表 values(?,?,?,?,?,'')",
        {loan.year, loan.bookNumber, loan.title, loan.borrower, loan.borrowedOn});
}

bool stampReturn(store::Connection& connection, std::string_view book, std::string_view borrower,
                 std::string_view returnedOn) {
    if (!connection.execute("update 借阅报表 set 还书日期=? where 图书编号=? and 还书日期='' "
                            "and 借阅者=?",
                            {returnedOn, book, borrower})) {
        return false;
    }
    return connection.changes() > 0 ||
           connection.execute("update 借阅报表 set 还书日期=? where 图书编号=? and 还书日期=''",
                              {returnedOn, book});
}

} // namespace chengxi::library
