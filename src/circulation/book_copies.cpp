#include "circulation/book_copies.h"

#include "store/database.h"
#include "text/list_column.h"

#include <algorithm>

namespace chengxi::circulation {

namespace {

// The holder is read as the lend-state lookup reads it: the first 借出数据 row.
constexpr std::string_view kCopiesByNumber =
    "select b.图书编号, (select l.借书证号 from 借出数据 l where l.图书编号 = b.图书编号 "
    "limit 1) from 图书数据 b where b.图书编号 = ? limit 1";
constexpr std::string_view kCopiesByBarcode =
    "select b.图书编号, (select l.借书证号 from 借出数据 l where l.图书编号 = b.图书编号 "
    "limit 1) from 图书数据 b where b.条形码 = ? order by b.rowid";

BookCopies readCopies(store::Database& database, std::string_view sql,
                      std::initializer_list<store::Value> values) {
    store::RecordSet& records = database.records;
    BookCopies found;
    if (!records.open(database.connection, sql, values) || !records.toFirst()) {
        records.close();
        found.readFailed = true;
        return found;
    }
    while (records.nextRow()) {
        found.copies.push_back({records.read(0), records.read(1)});
    }
    records.close();
    return found;
}

} // namespace

bool BookCopy::lent() const {
    return !holder.empty() && holder != text::kEmptyList;
}

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
    BookCopies found = readCopies(database, kCopiesByBarcode, {code});
    found.byBarcode = true;
    return found;
}

BookCopies findCopies(store::Database& database, std::string_view code) {
    BookCopies found = readCopies(database, kCopiesByNumber, {code});
    if (!found.copies.empty() || found.readFailed) {
        return found;
    }
    return copiesByBarcode(database, code);
}

} // namespace chengxi::circulation
