#include "overview/loan_statistics.h"

#include "circulation/loan_rows.h"
#include "library/statistics.h"
#include "text/cp936.h"
#include "text/date_time.h"
#include "text/text_set.h"

#include <algorithm>
#include <map>
#include <string_view>

namespace chengxi::overview {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// The texts are counted as stored, in code page 936: its bytes are the sort
// key, and only what is shown is converted, once.

// 借阅者 is the class, one blank, the name; a class may hold a blank itself,
// a name seldom does. No byte of a double-byte character is a blank.
std::string_view classOf(std::string_view borrower) {
    const std::size_t blank = borrower.rfind(' ');
    return blank == std::string_view::npos ? std::string_view() : borrower.substr(0, blank);
}

// Looks texts up by view, so a row's cells are not copied to be counted.
using TextCounts = text::TextMap<int>;
using text::TextSet;

void count(TextCounts& counts, std::string_view text) {
    if (const auto found = counts.find(text); found != counts.end()) {
        ++found->second;
    } else {
        counts.emplace(text, 1);
    }
}

std::vector<TitleCount> mostBorrowed(const TextCounts& counts) {
    struct Entry {
        const std::string* key;
        int loans;
    };
    std::vector<Entry> entries;
    entries.reserve(counts.size());
    for (const auto& [title, loans] : counts) {
        entries.push_back({&title, loans});
    }
    const auto byCount = [](const Entry& a, const Entry& b) {
        return a.loans != b.loans ? a.loans > b.loans : *a.key < *b.key;
    };
    const std::size_t kept = std::min<std::size_t>(entries.size(), kTopTitleCount);
    std::partial_sort(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(kept),
                      entries.end(), byCount);
    std::vector<TitleCount> top;
    for (std::size_t i = 0; i < kept; ++i) {
        const int rank = (i > 0 && entries[i].loans == entries[i - 1].loans)
                             ? top.back().rank
                             : static_cast<int>(i) + 1;
        top.push_back({rank, text::fromCp936(*entries[i].key), entries[i].loans});
    }
    return top;
}

// The loans of the year: per month, per title, per class, the borrowers
// seen and the late returns.
bool countLoans(store::Database& database, int year, LoanStatistics& statistics,
                TextSet& borrowers) {
    TextCounts titles;
    TextCounts classes;
    const auto countLoan = [&](const library::YearLoan& loan) {
        if (statistics.loans++ == 0) {
            // Grown once: rehashing as 100,000 loans arrive costs more than counting them.
            titles.reserve(loan.loansInYear);
            borrowers.reserve(loan.loansInYear);
        }
        const std::string_view title = loan.titleBytes;
        const std::string_view borrower = loan.borrowerBytes;
        const std::string& borrowDate = loan.borrowedOn;
        const std::string& returnDate = loan.returnedOn;
        const auto borrowed = text::parseDateTime(borrowDate);
        if (borrowed && borrowed->year == year) {
            ++statistics.loansPerMonth[static_cast<std::size_t>(borrowed->month - 1)];
        }
        const auto returned = returnDate.empty() ? std::nullopt : text::parseDateTime(returnDate);
        if (borrowed && returned) {
            const text::DateTime due = text::addDays(*borrowed, circulation::kLoanDays);
            const std::int64_t late = text::secondsBetween(due, *returned);
            if (late > 0) {
                statistics.lateReturns.push_back({text::fromCp936(borrower), text::fromCp936(title),
                                                  borrowDate, returnDate,
                                                  (late + kSecondsPerDay - 1) / kSecondsPerDay});
            }
        }
        count(classes, classOf(borrower));
        count(titles, title);
        if (!borrowers.contains(borrower)) {
            borrowers.emplace(borrower);
        }
    };
    if (!library::readLoansOfYear(database, year, countLoan)) {
        return false;
    }
    statistics.topTitles = mostBorrowed(titles);
    const std::map<std::string_view, int> byClass(classes.begin(), classes.end());
    for (const auto& [group, loans] : byClass) {
        statistics.classes.push_back({text::fromCp936(group), loans});
    }
    std::stable_sort(
        statistics.lateReturns.begin(), statistics.lateReturns.end(),
        [](const LateReturn& a, const LateReturn& b) { return a.daysLate > b.daysLate; });
    return true;
}

// Returns stamped in the year, whichever year the book was lent in.
bool countReturns(store::Database& database, int year, LoanStatistics& statistics) {
    return library::readReturnStamps(database, year, [&](const std::string& stamp) {
        const auto returned = text::parseDateTime(stamp);
        if (returned && returned->year == year) {
            ++statistics.returns;
            ++statistics.returnsPerMonth[static_cast<std::size_t>(returned->month - 1)];
        }
    });
}

bool findIdleReaders(store::Database& database, const TextSet& borrowers,
                     LoanStatistics& statistics) {
    const auto readers = library::readReaderNames(database);
    if (!readers) {
        return false;
    }
    std::vector<std::pair<std::string, IdleReader>> idle;
    std::string borrower;
    for (const library::ReaderName& reader : *readers) {
        const std::string& group = reader.groupBytes;
        const std::string& name = reader.nameBytes;
        borrower.assign(group).append(" ").append(name);
        if (!borrowers.contains(borrower)) {
            idle.emplace_back(group + '\0' + name, IdleReader{text::fromCp936(group),
                                                              text::fromCp936(name), reader.card});
        }
    }
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
    TextSet borrowers;
    if (!countLoans(database, year, statistics, borrowers) ||
        !countReturns(database, year, statistics) ||
        !findIdleReaders(database, borrowers, statistics)) {
        return std::nullopt;
    }
    return statistics;
}

} // namespace chengxi::overview
