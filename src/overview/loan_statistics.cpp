#include "overview/loan_statistics.h"

#include "circulation/loan_rows.h"
#include "store/database.h"
#include "text/cp936.h"
#include "text/date_time.h"

#include <algorithm>
#include <map>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace chengxi::overview {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// 借阅者 is the class, one blank, the name; a class may hold a blank itself,
// a name seldom does.
std::string classOf(std::string_view borrower) {
    const std::size_t blank = borrower.rfind(' ');
    return blank == std::string_view::npos ? std::string() : std::string(borrower.substr(0, blank));
}

std::string sortKey(std::string_view text) {
    return text::toCp936(text).bytes;
}

std::vector<TitleCount> mostBorrowed(const std::unordered_map<std::string, int>& counts) {
    struct Entry {
        std::string key;
        const std::string* title;
        int loans;
    };
    std::vector<Entry> entries;
    entries.reserve(counts.size());
    for (const auto& [title, loans] : counts) {
        entries.push_back({sortKey(title), &title, loans});
    }
    const auto byCount = [](const Entry& a, const Entry& b) {
        return a.loans != b.loans ? a.loans > b.loans : a.key < b.key;
    };
    const std::size_t kept = std::min<std::size_t>(entries.size(), kTopTitleCount);
    std::partial_sort(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(kept),
                      entries.end(), byCount);
    std::vector<TitleCount> top;
    for (std::size_t i = 0; i < kept; ++i) {
        const int rank = (i > 0 && entries[i].loans == entries[i - 1].loans)
                             ? top.back().rank
                             : static_cast<int>(i) + 1;
        top.push_back({rank, *entries[i].title, entries[i].loans});
    }
    return top;
}

// The loans of the year: per month, per title, per class, the borrowers
// seen and the late returns.
bool countLoans(store::Database& database, int year, LoanStatistics& statistics,
                std::unordered_set<std::string>& borrowers) {
    store::RecordSet& records = database.records;
    // The year as a number, as the report page compares 年份.
    if (!records.open(database.connection,
                      "select 书名, 借阅者, 借书日期, 还书日期 from 借阅报表 where 年份=?",
                      {store::Value(year)}) ||
        !records.toFirst()) {
        records.close();
        return false;
    }
    std::unordered_map<std::string, int> titles;
    std::unordered_map<std::string, int> classes;
    // Grown once: rehashing as 100,000 loans arrive costs more than counting them.
    titles.reserve(static_cast<std::size_t>(records.rowCount()));
    borrowers.reserve(static_cast<std::size_t>(records.rowCount()));
    while (records.nextRow()) {
        ++statistics.loans;
        std::string title = records.read(0);
        std::string borrower = records.read(1);
        const std::string borrowDate = records.read(2);
        const std::string returnDate = records.read(3);
        const auto borrowed = text::parseDateTime(borrowDate);
        if (borrowed && borrowed->year == year) {
            ++statistics.loansPerMonth[static_cast<std::size_t>(borrowed->month - 1)];
        }
        const auto returned = returnDate.empty() ? std::nullopt : text::parseDateTime(returnDate);
        if (borrowed && returned) {
            const text::DateTime due = text::addDays(*borrowed, circulation::kLoanDays);
            const std::int64_t late = text::secondsBetween(due, *returned);
            if (late > 0) {
                statistics.lateReturns.push_back({borrower, title, borrowDate, returnDate,
                                                  (late + kSecondsPerDay - 1) / kSecondsPerDay});
            }
        }
        ++classes[classOf(borrower)];
        ++titles[std::move(title)];
        borrowers.insert(std::move(borrower));
    }
    records.close();
    statistics.topTitles = mostBorrowed(titles);
    std::map<std::string, ClassCount> byClass; // in code page 936 order
    for (auto& [group, loans] : classes) {
        byClass.emplace(sortKey(group), ClassCount{group, loans});
    }
    for (auto& [key, counted] : byClass) {
        statistics.classes.push_back(std::move(counted));
    }
    std::stable_sort(
        statistics.lateReturns.begin(), statistics.lateReturns.end(),
        [](const LateReturn& a, const LateReturn& b) { return a.daysLate > b.daysLate; });
    return true;
}

// Returns stamped in the year, whichever year the book was lent in. The
// stamp starts with the year's digits, so a range of texts finds them.
bool countReturns(store::Database& database, int year, LoanStatistics& statistics) {
    store::RecordSet& records = database.records;
    if (!records.open(
            database.connection,
            "select 还书日期 from 借阅报表 where 还书日期 >= ? and 还书日期 < ?",
            {store::Value(std::to_string(year)), store::Value(std::to_string(year + 1))}) ||
        !records.toFirst()) {
        records.close();
        return false;
    }
    while (records.nextRow()) {
        const auto returned = text::parseDateTime(records.read(0));
        if (returned && returned->year == year) {
            ++statistics.returns;
            ++statistics.returnsPerMonth[static_cast<std::size_t>(returned->month - 1)];
        }
    }
    records.close();
    return true;
}

bool findIdleReaders(store::Database& database, const std::unordered_set<std::string>& borrowers,
                     LoanStatistics& statistics) {
    store::RecordSet& records = database.records;
    if (!records.open(database.connection, "select 班别, 姓名, 借书证号 from 读者数据") ||
        !records.toFirst()) {
        records.close();
        return false;
    }
    std::vector<std::pair<std::string, IdleReader>> idle;
    while (records.nextRow()) {
        IdleReader reader{records.read(0), records.read(1), records.read(2)};
        if (!borrowers.contains(reader.group + " " + reader.name)) {
            idle.emplace_back(sortKey(reader.group) + '\0' + sortKey(reader.name),
                              std::move(reader));
        }
    }
    records.close();
    std::stable_sort(idle.begin(), idle.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [key, reader] : idle) {
        statistics.idleReaders.push_back(std::move(reader));
    }
    return true;
}

} // namespace

std::optional<LoanStatistics> readLoanStatistics(store::Database& database, int year) {
    LoanStatistics statistics;
    statistics.year = year;
    std::unordered_set<std::string> borrowers;
    if (!countLoans(database, year, statistics, borrowers) ||
        !countReturns(database, year, statistics) ||
        !findIdleReaders(database, borrowers, statistics)) {
        return std::nullopt;
    }
    return statistics;
}

} // namespace chengxi::overview
