#include "catalog/book_messages.h"
#include "catalog/lent_books.h"
#include "catalog/maintenance.h"
#include "library/books.h"
#include "store/database.h"
#include "store/transaction.h"
#include "text/list_column.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/forms/forms.h"
#include "ui/frame.h"
#include "ui/screen.h"
#include "ui/services.h"
#include "ui/typed_text.h"

#include <string>

namespace chengxi::catalog {
namespace {

namespace names = ui::names::main;
namespace bookw = ui::names::book;

using library::BookValues;
using library::kAuthorAt;
using library::kNumberAt;
using library::kShelfAt;
using library::kTitleAt;

constexpr std::size_t kBookColumns = library::book::kColumns.size();

constexpr int kBookNumberColumn = 3;

void tell(const ui::Services& services, std::string text) {
    services.screen.messageBox({std::move(text), "提示"});
}

ui::Window* showWindow(const ui::Services& services, std::string_view title,
                       const BookValues& values) {
    // Already open (it is modal, so only a second request of the program's
    // own can meet it): filled again.
    ui::Window* window = services.frame.openDialog(ui::bookForm());
    if (window == nullptr) {
        window = services.frame.window(bookw::kWindow);
    }
    if (window == nullptr) {
        return nullptr;
    }
    window->control(bookw::kTitle).setText(std::string(title));
    for (std::size_t i = 0; i < kBookColumns; ++i) {
        window->control(bookw::kFields[i].box).setText(values[i]);
    }
    window->setFocus(bookw::kBookNumber);
    return window;
}

BookValues typedValues(const ui::Window& window) {
    BookValues values;
    for (std::size_t i = 0; i < kBookColumns; ++i) {
        values[i] = window.control(bookw::kFields[i].box).text();
    }
    return values;
}

// Every box can be stored as it is; else the first that cannot is named and
// gets the keyboard.
bool storable(const ui::Services& services, ui::Window& window, const BookValues& values) {
    for (std::size_t i = 0; i < kBookColumns; ++i) {
        if (!ui::checkStorable(services, {values[i]})) {
            window.setFocus(bookw::kFields[i].box);
            return false;
        }
    }
    return true;
}

// Refuses, with the keyboard back in the number box: the librarian mends it there.
void refuseNumber(const ui::Services& services, ui::Window& window, std::string text) {
    tell(services, std::move(text));
    window.setFocus(bookw::kBookNumber);
}

// The number is usable for a new row: not empty, not "0", held by no other
// book, and not lent out under a stale 借出数据 row.
bool numberFree(const ui::Services& services, ui::Window& window, const std::string& number) {
    if (number.empty()) {
        refuseNumber(services, window, "图书编号不能为空，请输入图书编号。");
        return false;
    }
    // "0" means "not lent" in 借出数据: such a book could never be told apart.
    if (number == text::kEmptyList) {
        refuseNumber(services, window, "图书编号不能为“0”，请输入其他图书编号。");
        return false;
    }
    const std::optional<int> count = library::countBooks(services.database, number);
    const std::optional<std::string> holder =
        count ? library::lentTo(services.database, number) : std::nullopt;
    if (!count || !holder) {
        tell(services, readFailureMessage(services.database));
        return false;
    }
    if (*count > 0) {
        refuseNumber(services, window, "图书编号“" + number + "”已存在，请输入其他图书编号。");
        return false;
    }
    if (!holder->empty()) {
        refuseNumber(services, window,
                     "借出数据中图书编号“" + number + "”仍借给借书证号" + *holder +
                         "，请输入其他图书编号。");
        return false;
    }
    return true;
}

void showStatus(const ui::Services& services, const CatalogueState& state, std::string text) {
    ui::Window& main = services.mainWindow();
    ui::Control& status = main.control(names::kSearchStatus);
    if (state.bookTotal != 0) {
        text += "，当前图书总数：" + std::to_string(state.bookTotal);
    }
    status.setText(std::move(text));
    services.screen.repaintNow(main, status);
}

bool addBook(const ui::Services& services, CatalogueState& state, ui::Window& window,
             const BookValues& values) {
    const std::string& number = values[kNumberAt];
    if (!numberFree(services, window, number)) {
        return false;
    }
    store::Connection& connection = services.database.connection;
    store::Transaction transaction(connection);
    if (!transaction.began() || !library::insertBook(connection, values) || !transaction.commit()) {
        tell(services, writeFailureMessage(services.database, "添加图书"));
        return false;
    }
    if (state.bookTotal != 0) {
        ++state.bookTotal;
    }
    showStatus(services, state, "已添加图书，图书编号：" + number);
    return true;
}

// The changed book's row of the result list shows its new values.
void updateListRow(const ui::Services& services, const CatalogueState& state,
                   const BookValues& values) {
    ui::Window& main = services.mainWindow();
    ui::ListView& list = main.control(names::kSearchResults).listView();
    const int row = state.editedListRow;
    if (row < 0 || row >= list.rowCount() ||
        list.cell(row, kBookNumberColumn) != state.editedNumber) {
        return;
    }
    list.setCell(row, 1, values[kTitleAt]);
    list.setCell(row, 2, values[kAuthorAt]);
    list.setCell(row, kBookNumberColumn, values[kNumberAt]);
    list.setCell(row, 4, values[kShelfAt]);
    if (list.selected() == row) {
        main.control(names::kSelectedBook).setText(values[kNumberAt]);
    }
    markLentBooks(services);
}

bool changeBook(const ui::Services& services, CatalogueState& state, ui::Window& window,
                const BookValues& values) {
    const std::string& number = values[kNumberAt];
    const bool renumbered = number != state.editedNumber;
    if (renumbered) {
        // Loans, the readers' lists and the report name the book by its
        // number: it keeps it while it is out.
        const std::optional<std::string> holder =
            library::lentTo(services.database, state.editedNumber);
        if (!holder) {
            tell(services, readFailureMessage(services.database));
            return false;
        }
        if (!holder->empty()) {
            refuseNumber(services, window,
                         "图书“" + state.editedNumber + "”已借给借书证号" + *holder +
                             "，还书之前不能修改图书编号。");
            return false;
        }
        if (!numberFree(services, window, number)) {
            return false;
        }
    } else if (number.empty()) {
        refuseNumber(services, window, "图书编号不能为空，请输入图书编号。");
        return false;
    }
    store::Connection& connection = services.database.connection;
    store::Transaction transaction(connection);
    bool stored = transaction.began() && library::updateBook(connection, state.editedRowId, values);
    // The book is in: its "0" lend row would be left behind under the old number.
    if (stored && renumbered && library::countBooks(services.database, state.editedNumber) == 0) {
        stored = library::deleteLendRows(connection, state.editedNumber);
    }
    if (!stored || !transaction.commit()) {
        tell(services, writeFailureMessage(services.database, "修改图书"));
        return false;
    }
    updateListRow(services, state, values);
    showStatus(services, state, "已修改图书，图书编号：" + number);
    return true;
}

} // namespace

void openAddBook(const ui::Services& services, CatalogueState& state) {
    state.editedRowId = 0;
    state.editedNumber.clear();
    state.editedListRow = -1;
    showWindow(services, "添加图书", BookValues{});
}

void openEditBook(const ui::Services& services, CatalogueState& state) {
    const ui::ListView& list = services.mainWindow().control(names::kSearchResults).listView();
    const int row = list.selected();
    if (row < 0 || row >= list.rowCount()) {
        tell(services, "请先在搜索结果中选中要修改的图书。");
        return;
    }
    const std::string number = list.cell(row, kBookNumberColumn);
    const std::optional<std::optional<library::Book>> found =
        library::findBook(services.database, number);
    if (!found) {
        tell(services, readFailureMessage(services.database));
        return;
    }
    const std::optional<library::Book>& book = *found;
    if (!book) {
        tell(services, "图书数据中已没有图书编号“" + number + "”。");
        return;
    }
    state.editedRowId = book->rowId;
    state.editedNumber = number;
    state.editedListRow = row;
    showWindow(services, "修改图书", book->values);
}

void saveBook(const ui::Services& services, CatalogueState& state) {
    ui::Window* window = services.frame.window(bookw::kWindow);
    if (window == nullptr) {
        return;
    }
    const BookValues values = typedValues(*window);
    if (!storable(services, *window, values)) {
        return;
    }
    const bool saved = state.editedRowId == 0 ? addBook(services, state, *window, values)
                                              : changeBook(services, state, *window, values);
    if (saved) {
        closeBookWindow(services);
    }
}

void closeBookWindow(const ui::Services& services) {
    services.frame.closeWindow(bookw::kWindow);
}

} // namespace chengxi::catalog
