#include "overview/overdue_loans.h"

#include "circulation/loan_rows.h"
#include "library/schema.h"
#include "library/statistics.h"
#include "text/cp936.h"
#include "text/list_column.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

namespace chengxi::overview {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::string lendStateNote(const library::LendStateByBook& state, const std::string& book,
                          const std::string& card) {
    const auto found = state.find(book);
    if (found == state.end()) {
        return std::string(library::kLendStateTable) + "中没有这本书";
    }
    if (found->second == card) {
        return {};
    }
    if (found->second == text::kEmptyList) {
        return std::string(library::kLendStateTable) + "记为已还";
    }
    return std::string(library::kLendStateTable) + "记为借书证号 " + found->second;
}

const std::string& itemOrEmpty(const std::vector<std::string>& items, std::size_t k) {
    static const std::string empty;
    return k < items.size() ? items[k] : empty;
}

// Whole days past the due date; a stored time of day counts as a started day.
std::int64_t daysPast(const text::DateTime& due, const text::DateTime& today) {
    const std::int64_t seconds = text::secondsBetween(due, today);
    return (seconds + kSecondsPerDay - 1) / kSecondsPerDay;
}

// By class and name as the database orders them (code page 936 bytes, so
// names come roughly by pinyin), then by due date; an unreadable date last.
void sortForReading(std::vector<OverdueLoan>& loans) {
    struct Keyed {
        std::string group, name;
        std::int64_t lateness;
        OverdueLoan* loan;
    };
    // A reader's loans stand together, and a class repeats over many: each
    // distinct text is converted once.
    std::unordered_map<std::string, std::string> keys;
    const auto keyOf = [&keys](const std::string& text) -> const std::string& {
        auto found = keys.find(text);
        if (found == keys.end()) {
            found = keys.emplace(text, text::toCp936(text).bytes).first;
        }
        return found->second;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(loans.size());
    for (OverdueLoan& loan : loans) {
        keyed.push_back(
            {keyOf(loan.group), keyOf(loan.name), -loan.daysOverdue.value_or(-1), &loan});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        return std::tie(a.group, a.name, a.loan->card, a.lateness) <
               std::tie(b.group, b.name, b.loan->card, b.lateness);
    });
    std::vector<OverdueLoan> sorted;
    sorted.reserve(loans.size());
    for (Keyed& entry : keyed) {
        sorted.push_back(std::move(*entry.loan));
    }
    loans = std::move(sorted);
}

} // namespace

std::optional<OverdueOverview> readOverdueLoans(store::Database& database,
                                                const text::DateTime& today,
                                                const OverdueFilter& filter) {
    const auto lendState = library::readLendStateByBook(database);
    if (!lendState) {
        return std::nullopt;
    }
    const auto borrowers = library::readBorrowingReaders(database, filter.group);
    if (!borrowers) {
        return std::nullopt;
    }
    const text::DateTime midnight = today.date();
    OverdueOverview overview;
    std::unordered_set<std::string> readers; // by card: a reader is counted once
    for (const library::BorrowingReader& reader : *borrowers) {
        const std::vector<std::string> books = text::splitListColumn(reader.bookNumbers);
        const std::vector<std::string> dates = text::splitListColumn(reader.borrowDates);
        const std::vector<std::string> titles = text::splitListColumn(reader.titles);
        for (std::size_t k = 0; k < books.size(); ++k) {
            if (books[k] == text::kEmptyList) {
                continue;
            }
            OverdueLoan loan;
            loan.borrowDate = itemOrEmpty(dates, k);
            if (const auto borrowed = text::parseDateTime(loan.borrowDate)) {
                const text::DateTime due = text::addDays(*borrowed, circulation::kLoanDays);
                const std::int64_t days = daysPast(due, midnight);
                if (days < std::max<std::int64_t>(filter.minimumDays, 1)) {
                    continue;
                }
                loan.dueDate = text::formatDateTime(due);
                loan.daysOverdue = days;
            }
            loan.group = reader.group;
            loan.name = reader.name;
            loan.card = reader.card;
            loan.bookNumber = books[k];
            loan.title = itemOrEmpty(titles, k);
            loan.note = lendStateNote(*lendState, loan.bookNumber, loan.card);
            if (!loan.daysOverdue) {
                loan.note =
                    loan.note.empty() ? "借书日期无法识别" : "借书日期无法识别；" + loan.note;
                ++overview.unreadableDates;
            } else {
                readers.insert(loan.card);
            }
            overview.loans.push_back(std::move(loan));
        }
    }
    sortForReading(overview.loans);
    overview.readersConcerned = static_cast<int>(readers.size());
    return overview;
}

} // namespace chengxi::overview
