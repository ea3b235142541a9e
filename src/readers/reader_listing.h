#pragma once

namespace chengxi::ui {
struct Services;
}

namespace chengxi::readers {

// Refills the reader list of the readers page from the database, with a
// running number and the books each reader still holds, and the count label.
// False when the query could not run: the list is then empty and the count
// label keeps its text.
bool listReaders(const ui::Services& services);

} // namespace chengxi::readers
