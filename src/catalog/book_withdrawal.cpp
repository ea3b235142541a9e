#include "catalog/book_messages.h"
#include "catalog/lent_books.h"
#include "catalog/maintenance.h"
#include "library/books.h"
#include "store/database.h"
#include "store/transaction.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"

#include <string>
#include <vector>

namespace chengxi::catalog {
namespace {

namespace names = ui::names::main;

constexpr int kBookNumberColumn = 3;

void tell(const ui::Services& services, std::string text, std::string title = "提示") {
    services.screen.messageBox({std::move(text), std::move(title)});
}

// The list without the withdrawn book's row; the others keep their numbering.
void removeListRow(ui::ListView& list, int removed) {
    std::vector<std::vector<std::string>> kept;
    for (int row = 0; row < list.rowCount(); ++row) {
        if (row != removed) {
            kept.push_back(list.row(row));
        }
    }
    list.clearRows();
    for (const std::vector<std::string>& cells : kept) {
        const int row = list.appendRow();
        for (std::size_t column = 0; column < cells.size(); ++column) {
            list.setCell(row, static_cast<int>(column), cells[column]);
        }
    }
}

bool deleteWithLendRow(store::Database& database, const library::Book& book) {
    store::Connection& connection = database.connection;
    store::Transaction transaction(connection);
    if (!transaction.began() || !library::deleteBook(connection, book.rowId)) {
        return false;
    }
    // The "0" lend row goes with the last copy of the number; report rows stay.
    const std::string& number = book.values[library::kNumberAt];
    const std::optional<int> left = library::countBooks(database, number);
    if (!left) {
        return false;
    }
    if (*left == 0 && !library::deleteLendRows(connection, number)) {
        return false;
    }
    return transaction.commit();
}

} // namespace

void withdrawBook(const ui::Services& services, CatalogueState& state, const BackUp& backUp) {
    ui::Window& main = services.mainWindow();
    ui::ListView& list = main.control(names::kSearchResults).listView();
    const int row = list.selected();
    if (row < 0 || row >= list.rowCount()) {
        tell(services, "请先在搜索结果中选中要下架的图书。");
        return;
    }
    const std::string number = list.cell(row, kBookNumberColumn);
    store::Database& database = services.database;
    const std::optional<std::optional<library::Book>> found = library::findBook(database, number);
    const std::optional<std::string> holder =
        found ? library::lentTo(database, number) : std::nullopt;
    if (!found || !holder) {
        tell(services, readFailureMessage(database));
        return;
    }
    const std::optional<library::Book>& book = *found;
    if (!book) {
        tell(services, "图书数据中已没有图书编号“" + number + "”。");
        return;
    }
    if (!holder->empty()) {
        tell(services, "图书“" + number + "”已借给借书证号" + *holder + "，还书之前不能下架。",
             "警告");
        return;
    }
    const ui::Message question{.text = "确定要下架图书吗？ " + number + " " +
                                       book->values[library::kTitleAt],
                               .title = "警告",
                               .buttons = ui::Buttons::OkCancel,
                               .defaultButton = ui::Answer::Cancel};
    if (services.screen.messageBox(question) != ui::Answer::Ok) {
        return;
    }
    // The withdrawn row stays in the backup; without one nothing is deleted.
    if (const std::string failure = backUp(); !failure.empty()) {
        tell(services, failure + "图书没有下架。");
        return;
    }
    if (!deleteWithLendRow(database, *book)) {
        tell(services, writeFailureMessage(database, "下架图书"));
        return;
    }
    if (state.bookTotal != 0) {
        --state.bookTotal;
    }
    removeListRow(list, row);
    markLentBooks(services);
    main.control(names::kSelectedBook).setText("");
    std::string status = "已下架图书，图书编号：" + number;
    if (state.bookTotal != 0) {
        status += "，当前图书总数：" + std::to_string(state.bookTotal);
    }
    ui::Control& label = main.control(names::kSearchStatus);
    label.setText(std::move(status));
    services.screen.repaintNow(main, label);
}

} // namespace chengxi::catalog
