#pragma once

#include "library/loans.h"

#include <string_view>
#include <vector>

namespace chengxi::store {
struct Database;
}

namespace chengxi::circulation {

// The catalogue rows a scanned or typed code stands for, in catalogue order.
struct BookCopies {
    std::vector<library::BookCopy> copies;
    bool byBarcode = false; // the code matched no 图书编号, only 条形码
    bool readFailed = false;

    // The first copy that is on the shelf, else the first copy; null for none.
    const library::BookCopy* firstFree() const;
    // The first copy somebody holds; null when nobody holds one.
    const library::BookCopy* firstLent() const;
};

// The copies whose 条形码 is `code`, for a code that no book has as its
// 图书编号 (the caller has looked): an ISBN printed on several copies finds
// them all.
BookCopies copiesByBarcode(store::Database& database, std::string_view code);

// The book whose 图书编号 is `code` (the first such row), else the copies
// whose 条形码 is `code`.
BookCopies findCopies(store::Database& database, std::string_view code);

} // namespace chengxi::circulation
