#include "library/loans.h"

#include "library/read_rows.h"
#include "library/schema.h"
#include "store/connection.h"
#include "store/database.h"
#include "text/list_column.h"

namespace chengxi::library {
namespace {

// The holder is read as the lend-state lookup reads it: the first 借出数据 row.
constexpr std::string_view kCopiesByNumber =
    "select b.图书编号, (select l.借书证号 from 借出数据 l where l.图书编号 = b.图书编号 "
    "limit 1) from 图书数据 b where b.图书编号 = ? limit 1";
constexpr std::string_view kCopiesByBarcode =
    "select b.图书编号, (select l.借书证号 from 借出数据 l where l.图书编号 = b.图书编号 "
    "limit 1) from 图书数据 b where b.条形码 = ? order by b.rowid";

// The two statements above select the number, then the holder.
BookCopy copyOf(const store::RecordSet& records) {
    return {records.read(0), records.read(1)};
}

} // namespace

bool BookCopy::lent() const {
    return !holder.empty() && holder != text::kEmptyList;
}

std::optional<std::vector<BookCopy>> copiesWithNumber(store::Database& database,
                                                      std::string_view code) {
    return readRows(database, kCopiesByNumber, {code}, copyOf);
}

std::optional<std::vector<BookCopy>> copiesWithBarcode(store::Database& database,
                                                       std::string_view code) {
    return readRows(database, kCopiesByBarcode, {code}, copyOf);
}

std::optional<std::vector<std::string>> titlesWithNumber(store::Database& database,
                                                         std::string_view number) {
    return readRows(database, "select * from 图书数据 where 图书编号 = ?", {number},
                    [](const store::RecordSet& records) { return records.read(book::kTitle); });
}

std::optional<std::vector<std::string>> lendStateHolders(store::Database& database,
                                                         std::string_view book) {
    return readRows(
        database, "select * from 借出数据 where 图书编号 = ?", {book},
        [](const store::RecordSet& records) { return records.read(lend_state::kCard); });
}

std::optional<std::vector<std::string>> cardsHoldingBooks(store::Database& database) {
    return readRows(
        database, "select distinct 借书证号 from 借出数据 where 借书证号 <> '0'", {},
        [](const store::RecordSet& records) { return records.read(lend_state::kCard); });
}

bool writeLoanLists(store::Connection& connection, const Reader& reader, LoanLists lists) {
    return connection.execute(
        "update 读者数据 set 图书编号串=?,日期编号串=?,书名串=? where rowid=? and 借书证号=?",
        {std::move(lists.bookNumbers), std::move(lists.borrowDates), std::move(lists.titles),
         reader.rowid, reader.card});
}

bool addLendState(store::Connection& connection, std::string_view book, std::string_view card) {
    return connection.execute("insert into 借出数据 values(?,?)", {book, card});
}

bool setLendHolder(store::Connection& connection, std::string_view book, std::string_view card) {
    return connection.execute("update 借出数据 set 借书证号 = ? where 图书编号=?", {card, book});
}

bool putBackOnShelf(store::Connection& connection, std::string_view book, std::string_view card) {
    return connection.execute("update 借出数据 set 借书证号 = '0' where 图书编号=? and 借书证号=?",
                              {book, card});
}

} // namespace chengxi::library
