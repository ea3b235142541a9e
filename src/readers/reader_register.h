#pragma once

namespace chengxi::ui {
struct Services;
}

// The readers page: adding a reader, deleting one, and taking a listed
// reader into the edit boxes.
namespace chengxi::readers {

// Adds the reader typed into the class, name and card boxes when all three
// are filled in and no reader carries that card number yet; then lists again.
void addReader(const ui::Services& services);

// Deletes every reader row with the card number of the look-up box, after
// checking that the reader has returned every book and a confirmation; then
// lists again.
void deleteReader(const ui::Services& services);

// The selected reader's class, name and card number into the add boxes, and
// the card number into the look-up box.
void takeReader(const ui::Services& services);

} // namespace chengxi::readers
