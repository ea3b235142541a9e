#pragma once

namespace chengxi::ui {
struct Services;
}

namespace chengxi::readers {

// Saves the class and name typed into the add boxes for the reader whose card
// number stands in the card box, as taken from the list or looked up (the
// look-up box holds the same number). The card number is the key and stays; the
// reader's loans stay with it. When several rows carry the card, the one
// taken from the list is changed. A change that would make the row equal to
// another reader's row is refused. Then lists again.
void editReader(const ui::Services& services);

} // namespace chengxi::readers
