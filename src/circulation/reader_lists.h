#pragma once

#include "circulation/circulation_state.h"
#include "circulation/loan_rows.h"

namespace chengxi::store {
class Connection;
}

namespace chengxi::circulation {

// Writes the reader's three list columns back to the row the reader was read
// from, and only while that row still carries the reader's card: another row
// with the same card keeps its own loans, and a row that has taken the place
// of a deleted reader is left alone. False when the statement fails.
bool writeLoanLists(store::Connection& connection, const ReaderRecord& reader, LoanLists lists);

} // namespace chengxi::circulation
