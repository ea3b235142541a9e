#pragma once

namespace chengxi::ui {
struct Services;
}

// The year-end promotion dialog: every class with its readers and its new
// class, set by the grade rule and changed by the librarian, then applied
// after a backup in one transaction.
namespace chengxi::schoolyear {

// Opens the dialog with the classes of the register and their proposed moves.
void openPromotion(const ui::Services& services);

// The selected class's new class into the box.
void takeMove(const ui::Services& services);
// The selected class's new class: the box's text, 毕业, or its own class.
void setNewClass(const ui::Services& services);
void setGraduate(const ui::Services& services);
void setUnchanged(const ui::Services& services);

// Confirmation, backup, then every move at once; the reader list of the
// readers page is listed again and a summary says what moved.
void applyPromotion(const ui::Services& services);

void closePromotion(const ui::Services& services);

} // namespace chengxi::schoolyear
