#pragma once

#include "text/date_time.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace chengxi::store {
struct Database;
}

namespace chengxi::overview {

// One loan of a reader's lists past its due date, or one whose borrow date
// cannot be read (it may be long overdue; the list shows it as stored).
struct OverdueLoan {
    std::string group; // 班别
    std::string name;
    std::string card;
    std::string bookNumber;
    std::string title;
    std::string borrowDate; // as stored
    std::string dueDate;    // empty when the borrow date cannot be read
    std::optional<std::int64_t> daysOverdue;
    // Why the lend state does not back the loan; empty when it names this reader.
    std::string note;

    friend bool operator==(const OverdueLoan&, const OverdueLoan&) = default;
};

// What the librarian narrows the overview to.
struct OverdueFilter {
    std::string group; // empty: every class
    std::int64_t minimumDays = 1;
};

struct OverdueOverview {
    std::vector<OverdueLoan> loans; // by class, name, due date
    int readersConcerned = 0;
    int unreadableDates = 0;
};

// The overdue loans on `today` as the readers' lists record them (due date =
// borrow date + 5 days), with the lend state beside each. Nothing when the
// database could not be read.
std::optional<OverdueOverview> readOverdueLoans(store::Database& database,
                                                const text::DateTime& today,
                                                const OverdueFilter& filter);

} // namespace chengxi::overview
