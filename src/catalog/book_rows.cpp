#include "catalog/book_rows.h"

#include "store/database.h"
#include "store/failure_cause.h"
#include "text/list_column.h"
#include "ui/forms/control_names.h"

#include <charconv>
#include <span>
#include <vector>

namespace chengxi::catalog {
namespace {

namespace fields = ui::names::book;

static_assert(std::size(fields::kFields) == kBookColumns);

std::string columnList() {
    std::string list;
    for (const auto& field : fields::kFields) {
        list += list.empty() ? "" : ", ";
        list += field.column;
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

} // namespace

std::optional<BookRow> findBook(store::Database& database, const std::string& number, bool& read) {
    store::RecordSet& records = database.records;
    read = records.open(database.connection,
                        "select rowid, " + columnList() +
                            " from 图书数据 where 图书编号 = ? order by rowid limit 1",
                        {number}) &&
           records.toFirst();
    std::optional<BookRow> found;
    if (read && records.nextRow()) {
        found.emplace();
        found->rowId = integerOf(records.read(0));
        for (std::size_t i = 0; i < kBookColumns; ++i) {
            found->values[i] = records.read(static_cast<int>(i) + 1);
        }
    }
    records.close();
    return found;
}

std::optional<int> countBooks(store::Database& database, const std::string& number) {
    store::RecordSet& records = database.records;
    std::optional<int> count;
    if (records.open(database.connection, "select count(*) from 图书数据 where 图书编号 = ?",
                     {number}) &&
        records.toFirst() && records.nextRow()) {
        count = static_cast<int>(integerOf(records.read(0)));
    }
    records.close();
    return count;
}

std::optional<std::string> lentTo(store::Database& database, const std::string& number) {
    store::RecordSet& records = database.records;
    if (!records.open(database.connection, "select 借书证号 from 借出数据 where 图书编号 = ?",
                      {number}) ||
        !records.toFirst()) {
        records.close();
        return std::nullopt;
    }
    std::string holder;
    while (holder.empty() && records.nextRow()) {
        const std::string card = records.read(0);
        if (!card.empty() && card != text::kEmptyList) {
            holder = card;
        }
    }
    records.close();
    return holder;
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
    for (std::size_t i = 0; i < kBookColumns; ++i) {
        sql += (i == 0 ? "" : ", ") + std::string(fields::kFields[i].column) + " = ?";
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

std::string readFailureMessage(const store::Database& database) {
    const std::string_view cause = store::failureCause(database.connection);
    return cause.empty() ? "读取图书数据失败，图书数据没有改变。"
                         : "读取图书数据失败：" + std::string(cause);
}

std::string writeFailureMessage(const store::Database& database, const std::string& what) {
    const std::string_view cause = store::failureCause(database.connection);
    return what + "失败，图书数据没有改变。" + std::string(cause);
}

} // namespace chengxi::catalog
