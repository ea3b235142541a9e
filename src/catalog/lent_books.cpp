#include "catalog/lent_books.h"

#include "store/database.h"
#include "text/list_column.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/services.h"

#include <span>
#include <string>
#include <unordered_set>
#include <vector>

namespace chengxi::catalog {
namespace {

namespace names = ui::names::main;

constexpr int kBookNumberColumn = 3;
// Up to this many book numbers are asked about in one statement (well under
// SQLite's limit of bound parameters); a longer list reads every lent book once.
constexpr std::size_t kNumbersPerQuery = 400;

bool lent(std::string_view holder) {
    return !holder.empty() && holder != text::kEmptyList;
}

// The book numbers that 借出数据 lends out, of `numbers` (or all of them for
// a long list). Nothing when the table cannot be read: no mark is better
// than a wrong one.
std::unordered_set<std::string> lentBooks(store::Database& database,
                                          const std::vector<std::string>& numbers) {
    std::string sql = "select 图书编号, 借书证号 from 借出数据";
    std::vector<std::string> values;
    if (numbers.size() <= kNumbersPerQuery) {
        sql += " where 图书编号 in (?";
        for (std::size_t i = 1; i < numbers.size(); ++i) {
            sql += ",?";
        }
        sql += ")";
        values = numbers;
    }
    std::unordered_set<std::string> found;
    store::RecordSet& records = database.records;
    if (records.open(database.connection, sql, std::span<const std::string>(values)) &&
        records.toFirst()) {
        while (records.nextRow()) {
            if (lent(records.read(1))) {
                found.insert(records.read(0));
            }
        }
    }
    records.close();
    return found;
}

// The card holding the book, as the lend reads it (the first 借出数据 row);
// empty while it is on the shelf.
std::string holderOf(store::Database& database, const std::string& number) {
    store::RecordSet& records = database.records;
    std::string holder;
    if (records.open(database.connection,
                     "select 借书证号 from 借出数据 where 图书编号 = ? limit 1", {number})) {
        if (records.toFirst() && records.nextRow()) {
            holder = records.read(0);
        }
        records.close();
    }
    return lent(holder) ? holder : std::string();
}

} // namespace

void markLentBooks(const ui::Services& services) {
    ui::ListView& list = services.mainWindow().control(names::kSearchResults).listView();
    std::vector<std::string> numbers;
    numbers.reserve(static_cast<std::size_t>(list.rowCount()));
    for (int row = 0; row < list.rowCount(); ++row) {
        numbers.push_back(list.cell(row, kBookNumberColumn));
    }
    if (numbers.empty()) {
        return;
    }
    const std::unordered_set<std::string> out = lentBooks(services.database, numbers);
    for (int row = 0; row < list.rowCount(); ++row) {
        list.setRowMarked(row, out.contains(numbers[static_cast<std::size_t>(row)]));
    }
}

void showSelectedHolder(const ui::Services& services) {
    ui::Window& main = services.mainWindow();
    const ui::ListView& list = main.control(names::kSearchResults).listView();
    const int row = list.selected();
    if (row < 0) {
        return;
    }
    const std::string number = list.cell(row, kBookNumberColumn);
    const std::string holder = holderOf(services.database, number);
    main.control(names::kSearchStatus)
        .setText(holder.empty() ? "图书编号 " + number + " 在架上，未借出"
                                : "图书编号 " + number + " 已借出，借阅者证号：" + holder);
}

} // namespace chengxi::catalog
