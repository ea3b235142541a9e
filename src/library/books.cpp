#include "library/books.h"

#include "store/database.h"
#include "store/text_functions.h"
#include "text/list_column.h"

#include <charconv>
#include <span>
#include <utility>

namespace chengxi::library {
namespace {

std::string columnList() {
    std::string list;
    for (const std::string_view column : book::kColumns) {
        list += list.empty() ? "" : ", ";
        list += column;
    }
    return list;
}

std::int64_t integerOf(const std::string& text) {
    std::int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::vector<store::Value> bound(const BookValues& values) {
    return {values.begin(), values.end()};
}

bool lent(std::string_view card) {
    return !card.empty() && card != text::kEmptyList;
}

// Values are bound, never pasted in: a quote in a search text is just a
// character, and a title is matched on whole characters (see gbk_contains).
std::string searchStatement(BookSearch by) {
    switch (by) {
    case BookSearch::ByTitle:
        return "select * from 图书数据 where " + std::string(store::kContainsFunction) +
               "(书名, ?)";
    case BookSearch::ByBookNumber:
        return "select * from 图书数据 where 图书编号 = ?";
    case BookSearch::ByBarcode:
        break;
    }
    return "select * from 图书数据 where 条形码 = ?";
}

} // namespace

std::optional<std::optional<Book>> findBook(store::Database& database, const std::string& number) {
    QueryGuard query(database.records);
    if (!query.run(database.connection,
                   "select rowid, " + columnList() +
                       " from 图书数据 where 图书编号 = ? order by rowid limit 1",
                   {number})) {
        return std::nullopt;
    }
    if (!query->nextRow()) {
        return std::optional<Book>();
    }
    Book found;
    found.rowId = integerOf(query->read(0));
    for (std::size_t i = 0; i < found.values.size(); ++i) {
        found.values[i] = query->read(static_cast<int>(i) + 1);
    }
    return found;
}

std::optional<int> countBooks(store::Database& database, const std::string& number) {
    QueryGuard query(database.records);
    if (!query.run(database.connection, "select count(*) from 图书数据 where 图书编号 = ?",
                   {number}) ||
        !query->nextRow()) {
        return std::nullopt;
    }
    return static_cast<int>(integerOf(query->read(0)));
}

std::optional<int> countCatalogue(store::Database& database) {
    if (!database.counter.open(database.connection, kBookTable)) {
        return std::nullopt;
    }
    return database.counter.rowCount();
}

std::optional<std::string> lentTo(store::Database& database, const std::string& number) {
    QueryGuard query(database.records);
    if (!query.run(database.connection, "select 借书证号 from 借出数据 where 图书编号 = ?",
                   {number})) {
        return std::nullopt;
    }
    std::string holder;
    while (holder.empty() && query->nextRow()) {
        std::string card = query->read(lend_state::kCard);
        if (lent(card)) {
            holder = std::move(card);
        }
    }
    return holder;
}

std::optional<std::string> firstLendCard(store::Database& database, const std::string& number) {
    QueryGuard query(database.records);
    if (!query.run(database.connection, "select 借书证号 from 借出数据 where 图书编号 = ? limit 1",
                   {number})) {
        return std::nullopt;
    }
    return query->nextRow() ? query->read(lend_state::kCard) : std::string();
}

std::optional<text::TextSet> storedLentNumbers(store::Database& database) {
    QueryGuard query(database.records);
    if (!query.run(database.connection, "select 图书编号, 借书证号 from 借出数据")) {
        return std::nullopt;
    }
    const int card = query->columnOf(lend_state::kCard);
    const int number = query->columnOf(lend_state::kBookNumber);
    text::TextSet found;
    while (query->nextRow()) {
        if (lent(query->bytes(card))) {
            found.emplace(query->bytes(number));
        }
    }
    return found;
}

std::optional<std::unordered_set<std::string>> lentOutOf(store::Database& database,
                                                         const std::vector<std::string>& numbers) {
    if (numbers.size() > kNumbersPerQuery) {
        return std::nullopt; // too many to bind: storedLentNumbers serves such a list
    }
    std::string sql = "select 图书编号, 借书证号 from 借出数据 where 图书编号 in (?";
    for (std::size_t i = 1; i < numbers.size(); ++i) {
        sql += ",?";
    }
    sql += ")";
    QueryGuard query(database.records);
    if (!query->open(database.connection, sql, std::span<const std::string>(numbers)) ||
        !query->toFirst()) {
        return std::nullopt;
    }
    const int card = query->columnOf(lend_state::kCard);
    const int number = query->columnOf(lend_state::kBookNumber);
    std::unordered_set<std::string> found;
    while (query->nextRow()) {
        if (lent(query->bytes(card))) {
            found.insert(query->read(number));
        }
    }
    return found;
}

bool addImportedBook(store::Connection& connection, std::span<const store::Value> values) {
    return connection.execute("insert into 图书数据 values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                              values);
}

bool insertBook(store::Connection& connection, const BookValues& values) {
    const std::vector<store::Value> parameters = bound(values);
    return connection.execute("insert into 图书数据 (" + columnList() +
                                  ") values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                              std::span<const store::Value>(parameters)) &&
           connection.changes() == 1;
}

bool updateBook(store::Connection& connection, std::int64_t rowId, const BookValues& values) {
    std::string sql = "update 图书数据 set ";
    for (std::size_t i = 0; i < book::kColumns.size(); ++i) {
        sql += (i == 0 ? "" : ", ") + std::string(book::kColumns[i]) + " = ?";
    }
    sql += " where rowid = ?";
    std::vector<store::Value> parameters = bound(values);
    parameters.emplace_back(rowId);
    return connection.execute(sql, std::span<const store::Value>(parameters)) &&
           connection.changes() == 1;
}

bool deleteBook(store::Connection& connection, std::int64_t rowId) {
    return connection.execute("delete from 图书数据 where rowid = ?", {rowId}) &&
           connection.changes() == 1;
}

bool deleteLendRows(store::Connection& connection, const std::string& number) {
    return connection.execute("delete from 借出数据 where 图书编号 = ?", {number});
}

BookListing::BookListing(store::Database& database)
    : database_(database), query_(database.records) {}

bool BookListing::preparePage(int size, int offset) {
    return query_->open(database_.connection, "select * from 图书数据 limit ? offset ?",
                        {size, offset});
}

bool BookListing::prepareSearch(BookSearch by, const std::string& text) {
    return query_->open(database_.connection, searchStatement(by), {text});
}

bool BookListing::run() {
    // Only the shown cells are kept: the other twelve columns of a search of
    // the whole catalogue would be copied for nothing.
    shown_ = {query_->columnOf(book::kTitle), query_->columnOf(book::kAuthor),
              query_->columnOf(book::kNumber), query_->columnOf(book::kShelf)};
    return query_->toFirst(shown_);
}

int BookListing::count() {
    return query_.records().rowCount();
}

std::optional<StoredListedBook> BookListing::next() {
    if (!query_->nextRow()) {
        return std::nullopt;
    }
    const auto [title, author, number, shelf] = shown_;
    return StoredListedBook{query_->bytes(title), query_->bytes(author), query_->bytes(number),
                            query_->bytes(shelf)};
}

} // namespace chengxi::library
