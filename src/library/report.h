#pragma once

#include "library/readers.h"
#include "store/value.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chengxi::store {
class Connection;
struct Database;
} // namespace chengxi::store

// The loan report (借阅报表): one row per loan, written at the lend and
// stamped at the return.
namespace chengxi::library {

// A loan as the lend writes it; its return date starts empty.
struct OpenLoan {
    std::string year;
    std::string bookNumber;
    std::string title;
    std::string borrower;
    std::string borrowedOn;
};

// The reader as 借阅者 names the borrower: class, a blank, name, as they
// were on the day of the loan.
std::string borrowerName(const Reader& reader);

// The year box's text as the value the report's 年份 is compared with: its
// number (leading zeros dropped), which meets the text column as its decimal
// text, as the statement once carried it unquoted. Digits too many for any
// integer stay their own text and so match no year the program writes.
// Nothing for any other text (empty, a sign, a blank, a point, letters): no
// report is read for it.
[[nodiscard]] std::optional<store::Value> reportYear(std::string_view yearText);

// The statement that reads a year's report rows, the year its parameter.
inline constexpr std::string_view kReportOfYearQuery = "select * from 借阅报表 where 年份=?";

// A loan as a year's report shows it, as the database stores it (code page
// 936): every column but the year, which is the query's, in this order:
// 图书编号, 书名, 借阅者 ("class name" on the day of the loan), 借书日期 and
// 还书日期 (empty while the book is out).
using StoredReportRow = std::array<std::string_view, 5>;

// Hands every loan of the year (a value from reportYear) to `visit`, in the
// order the database returns them, as each is read: nothing is kept. The
// texts are valid during the call. False when the query failed, its cause
// noted on the connection: the loans handed before the failure are then not
// the year's and must be dropped.
[[nodiscard]] bool forEachLoanOfYear(store::Database& database, const store::Value& year,
                                     const std::function<void(const StoredReportRow&)>& visit);

// The lend's report row.
[[nodiscard]] bool addOpenLoan(store::Connection& connection, const OpenLoan& loan);

// Stamps the return date on the book's open report rows that name the
// borrower. After the lend states were cleared the book may have been lent
// again, and that loan's row is not this return's. Only when no open row
// names the borrower (the rows were written otherwise) is every open row of
// the book stamped.
[[nodiscard]] bool stampReturn(store::Connection& connection, std::string_view book,
                               std::string_view borrower, std::string_view returnedOn);

} // namespace chengxi::library
