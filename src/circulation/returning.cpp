#include "circulation/returning.h"

#include "circulation/loan_rows.h"
#include "circulation/loan_status.h"
#include "library/loans.h"
#include "library/report.h"
#include "store/database.h"
#include "store/transaction.h"
#include "text/date_time.h"
#include "text/list_column.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"

namespace chengxi::circulation {

namespace names = ui::names::main;

namespace {

std::string orEmptyList(std::string list) {
    return list.empty() ? std::string(text::kEmptyList) : list;
}

// The reader's lists as the loan list shows them without row `skipped`.
library::LoanLists listsWithout(const ui::ListView& list, int skipped) {
    std::string numbers, dates, titles;
    for (int row = 0; row < list.rowCount(); ++row) {
        if (row != skipped) {
            numbers.append(list.cell(row, 0)).append("|");
            dates.append(list.cell(row, 2)).append("|");
            titles.append(titleListItem(list.cell(row, 1))).append("|");
        }
    }
    return {orEmptyList(std::move(numbers)), orEmptyList(std::move(dates)),
            orEmptyList(std::move(titles))};
}

// Runs the return's writes; false after the message of the step that failed.
bool recordReturn(const ui::Services& services, const library::Reader& reader,
                  const std::string& book, int selected) {
    store::Connection& connection = services.database.connection;
    if (!library::writeLoanLists(
            connection, reader,
            listsWithout(services.mainWindow().control(names::kLoanList).listView(), selected))) {
        services.screen.messageBox({"更新还书信息失败", "提示"});
        return false;
    }
    const std::string today = text::formatDateTime(services.clock.now().date());
    if (!library::stampReturn(connection, book, library::borrowerName(reader), today)) {
        services.screen.messageBox({"记录借阅报表失败", "提示"});
        return false;
    }
    if (!library::putBackOnShelf(connection, book, reader.card)) {
        services.screen.messageBox({"写入借出数据失败，请重新尝试借书操作！"});
        return false;
    }
    return true;
}

} // namespace

void returnBook(const ui::Services& services, CirculationState& state) {
    ui::Window& main = services.mainWindow();
    const ui::ListView& list = main.control(names::kLoanList).listView();
    const int selected = list.selected();
    const std::string book = list.cell(selected, 0);
    if (book.empty() || !state.listedReader) {
        services.screen.messageBox({"未选择书本", "提示"});
        return;
    }
    const std::string card = main.control(names::kLoanCard).text();
    if (card != state.currentCard) {
        main.setFocus(names::kLoanCard);
        services.screen.messageBox(
            {"你已更改读者借书证号，该图书借阅者证号：" + state.currentCard, "提示"});
        return;
    }

    returnListedLoan(services, state, book, selected);
}

bool returnListedLoan(const ui::Services& services, CirculationState& state,
                      const std::string& book, int row) {
    ui::Window& main = services.mainWindow();
    store::Transaction transaction(services.database.connection);
    if (!transaction.began()) {
        services.screen.messageBox({"更新还书信息失败", "提示"});
        return false;
    }
    if (!recordReturn(services, *state.listedReader, book, row)) {
        return false; // the guard rolls every step of this return back
    }
    refreshLoanStatus(services, state);
    ui::Control& bookState = main.control(names::kBookState);
    bookState.setText("还书成功！");
    main.control(names::kBorrower).setText("");
    if (!transaction.commit()) {
        transaction.rollback();
        refreshLoanStatus(services, state);
        bookState.setText("还书未能保存！");
        services.screen.messageBox({"还书记录未能保存，请重新尝试还书操作！", "提示"});
        return false;
    }
    return true;
}

} // namespace chengxi::circulation
