#include "circulation/book_copies.h"

#include <algorithm>
#include <optional>

namespace chengxi::circulation {

using library::BookCopy;

namespace {

BookCopies copiesFound(std::optional<std::vector<BookCopy>> copies) {
    BookCopies found;
    if (copies) {
        found.copies = std::move(*copies);
    } else {
        found.readFailed = true;
    }
    return found;
}

} // namespace

const BookCopy* BookCopies::firstFree() const {
    if (copies.empty()) {
        return nullptr;
    }
    const auto free = std::find_if(copies.begin(), copies.end(),
                                   [](const BookCopy& copy) { return !copy.lent(); });
    return free != copies.end() ? &*free : &copies.front();
}

const BookCopy* BookCopies::firstLent() const {
    const auto lent = std::find_if(copies.begin(), copies.end(),
                                   [](const BookCopy& copy) { return copy.lent(); });
    return lent != copies.end() ? &*lent : nullptr;
}

BookCopies copiesByBarcode(store::Database& database, std::string_view code) {
    // An empty barcode is a book without one, not a code to look for.
    if (code.empty()) {
        return {};
    }
    BookCopies found = copiesFound(library::copiesWithBarcode(database, code));
    found.byBarcode = true;
    return found;
}

BookCopies findCopies(store::Database& database, std::string_view code) {
    BookCopies found = copiesFound(library::copiesWithNumber(database, code));
    if (!found.copies.empty() || found.readFailed) {
        return found;
    }
    return copiesByBarcode(database, code);
}

} // namespace chengxi::circulation
