#pragma once

namespace chengxi::ui {
struct Services;
}

// The library cards dialog: every reader, chosen by class or one by one, and
// their cards printed or written to a PDF file.
namespace chengxi::schoolyear {

void openCards(const ui::Services& services);
// Chooses every reader of the selected reader's class.
void chooseClass(const ui::Services& services);
// Chooses the selected reader, or leaves it out when chosen.
void chooseReader(const ui::Services& services);
void chooseNone(const ui::Services& services);
void printCards(const ui::Services& services);
void saveCardsAsPdf(const ui::Services& services);
void closeCards(const ui::Services& services);

} // namespace chengxi::schoolyear
