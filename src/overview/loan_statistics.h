#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace chengxi::store {
struct Database;
}

namespace chengxi::overview {

inline constexpr int kTopTitleCount = 20;

struct TitleCount {
    int rank = 0; // equal counts share a rank (1, 2, 2, 4)
    std::string title;
    int loans = 0;
};

struct ClassCount {
    std::string group; // the class part of 借阅者 at the time of the loan
    int loans = 0;
};

struct IdleReader {
    std::string group, name, card;
};

struct LateReturn {
    std::string borrower, title, borrowDate, returnDate;
    std::int64_t daysLate = 0;
};

// A year of the loan report, counted.
struct LoanStatistics {
    int year = 0;
    std::array<int, 12> loansPerMonth{};   // by the month of the loan
    std::array<int, 12> returnsPerMonth{}; // by the month of the return, whenever lent
    int loans = 0;
    int returns = 0;
    std::vector<TitleCount> topTitles; // at most kTopTitleCount, most borrowed first
    std::vector<ClassCount> classes;   // in class order
    std::vector<IdleReader> idleReaders;
    std::vector<LateReturn> lateReturns; // latest first
};

// The statistics of `year`: loans are the year's rows (年份), returns those
// stamped in that year. A reader is idle when no loan of the year names his
// class and name. Nothing when the database could not be read.
std::optional<LoanStatistics> readLoanStatistics(store::Database& database, int year);

} // namespace chengxi::overview
