#pragma once

#include "text/date_time.h"

#include <string>
#include <vector>

namespace chengxi::store {
struct Database;
}

// The end of the school year: every class moves up a grade, the top grade
// leaves. Readers of a leaving class who still hold books stay, under a
// class that names the year they left, so they never join the class that
// moves up into their old name.
namespace chengxi::readers {

// One class of the register and what becomes of it. `newClass` is a class,
// kGraduate, or empty while the librarian has not said.
struct ClassMove {
    std::string currentClass;
    int readers = 0;
    std::string newClass;
};

// Every distinct class with its number of readers, in the order of the text,
// each with the new class the grade rule proposes. False when the register
// could not be read.
bool proposeMoves(store::Database& database, std::vector<ClassMove>& moves);

// Why the moves cannot be applied, in the librarian's words; empty when they
// can: every class has a new class (or kGraduate), and no two classes end
// under one name, nor a class under the name of one that stays.
std::string movesRefusal(const std::vector<ClassMove>& moves, int year);

// The class of a reader who leaves with books still held: 2016届初三(3)班.
// A class already so named keeps its name.
std::string leaverClass(const std::string& currentClass, int year);

// A reader of a leaving class who still holds books.
struct Leaver {
    std::string readerClass; // the class before the move
    std::string name;
    std::string card;
    std::string books;  // book numbers as stored
    std::string titles; // titles as stored
};

struct PromotionOutcome {
    bool applied = false;
    std::string failure; // why not, when not applied
    int moved = 0;
    int graduated = 0;   // left, and deleted
    int keptLeavers = 0; // left, but hold books
    int unchanged = 0;
    std::vector<Leaver> leavers;
};

// Applies every move at once, in one transaction: each reader row gets the
// new class of the class it had before, so a chain (三→四 while 四→五) never
// merges classes. A leaving reader is deleted when no row with the card holds
// books (by its lists or by the lend state); otherwise the row stays, moved
// to its leaver class. Rows of a class not in the moves stay as they are.
PromotionOutcome applyMoves(store::Database& database, const std::vector<ClassMove>& moves,
                            int year);

} // namespace chengxi::readers
