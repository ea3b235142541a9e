#pragma once

#include "library/loans.h"
#include "library/readers.h"
#include "text/date_time.h"

#include <string>
#include <string_view>
#include <vector>

namespace chengxi::circulation {

// Days from the borrow date to the due date.
inline constexpr int kLoanDays = 5;

// One row of the loan list, its five columns.
struct LoanRow {
    std::string bookNumber;
    std::string title;
    std::string borrowDate; // as stored
    std::string dueDate;    // empty when the borrow date cannot be read
    std::string daysLeft;   // from today's midnight; negative when overdue

    friend bool operator==(const LoanRow&, const LoanRow&) = default;
};

// The loans a reader's three list columns record, one per book-number item
// except the items that are exactly "0". A date or title missing from a
// shorter list reads as empty, and a date that cannot be read leaves the due
// date and the days left empty: the row still shows what is stored.
std::vector<LoanRow> loanRows(const library::Reader& reader, const text::DateTime& today);

// The reader's three lists with one more loan at the end. For lists as the
// program writes them this appends one item to each. Lists of other lengths
// (written by other software) are first lined up to the book numbers: a
// missing date or title becomes empty, one beyond the last book number is
// dropped, so the new loan takes the same place in all three. A list that
// lacks its last "|" gets it, so no item runs into another.
library::LoanLists listsWithLoan(const library::Reader& reader, std::string_view book,
                                 std::string_view borrowDate, std::string_view title);

// A title as an item of the reader's title list: a "|" in it would end the
// item early and put the three lists out of step, so it becomes "｜"; half a
// character at its end (a title cut short) is left out, as the "|" after it
// would be read back as the character's second half. The catalogue and the
// loan report keep the title as it is.
std::string titleListItem(std::string_view title);

// The one-line summary of a reader above the loan list.
std::string readerSummary(const library::Reader& reader, int loansShown);

} // namespace chengxi::circulation
