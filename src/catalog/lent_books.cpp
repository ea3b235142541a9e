#include "catalog/lent_books.h"

#include "library/books.h"
#include "text/cp936.h"
#include "text/list_column.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/services.h"

#include <string>
#include <unordered_set>
#include <vector>

namespace chengxi::catalog {
namespace {

namespace names = ui::names::main;

constexpr int kBookNumberColumn = 3;

// The card holding the book, as the lend reads it (the first 借出数据 row);
// empty while it is on the shelf or when the table cannot be read.
std::string holderOf(store::Database& database, const std::string& number) {
    const std::string holder = library::firstLendCard(database, number).value_or(std::string());
    return holder == text::kEmptyList ? std::string() : holder;
}

} // namespace

void markLentBooks(const ui::Services& services) {
    ui::ListView& list = services.mainWindow().control(names::kSearchResults).listView();
    const auto rows = static_cast<std::size_t>(list.rowCount());
    if (rows == 0) {
        return;
    }
    // No mark is better than a wrong one when 借出数据 cannot be read.
    if (rows > library::kNumbersPerQuery) {
        // Every lent book, matched as stored: the rows' numbers need no decoding.
        const text::TextSet out =
            library::storedLentNumbers(services.database).value_or(text::TextSet());
        for (std::size_t row = 0; row < rows; ++row) {
            const int r = static_cast<int>(row);
            const std::optional<std::string_view> stored = list.storedCell(r, kBookNumberColumn);
            list.setRowMarked(
                r, stored ? out.contains(*stored)
                          : out.contains(text::toCp936(list.cell(r, kBookNumberColumn)).bytes));
        }
        return;
    }
    std::vector<std::string> numbers;
    numbers.reserve(rows);
    for (std::size_t row = 0; row < rows; ++row) {
        numbers.push_back(list.cell(static_cast<int>(row), kBookNumberColumn));
    }
    const std::unordered_set<std::string> out =
        library::lentOutOf(services.database, numbers).value_or(std::unordered_set<std::string>());
    for (std::size_t row = 0; row < rows; ++row) {
        list.setRowMarked(static_cast<int>(row), out.contains(numbers[row]));
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
