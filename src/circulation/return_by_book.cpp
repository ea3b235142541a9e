#include "circulation/return_by_book.h"

#include "circulation/book_copies.h"
#include "circulation/loan_status.h"
#include "circulation/returning.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"
#include "ui/typed_text.h"

namespace chengxi::circulation {

namespace names = ui::names::main;

namespace {

// The row of the loan list that holds this book, or -1.
int listedRow(const ui::ListView& list, const std::string& book) {
    for (int row = 0; row < list.rowCount(); ++row) {
        if (list.cell(row, 0) == book) {
            return row;
        }
    }
    return -1;
}

} // namespace

void returnByBook(const ui::Services& services, CirculationState& state) {
    ui::Window& main = services.mainWindow();
    const std::string typed = main.control(names::kLoanBook).text();
    if (typed.empty()) {
        main.setFocus(names::kLoanBook);
        services.screen.messageBox({"请输入图书编号", "提示"});
        return;
    }
    if (!ui::checkStorable(services, {typed})) {
        return;
    }
    ui::Control& bookState = main.control(names::kBookState);
    ui::Control& borrower = main.control(names::kBorrower);
    const BookCopies copies = findCopies(services.database, typed);
    if (copies.readFailed) {
        bookState.setText("读取图书数据失败！");
        borrower.setText("");
        return;
    }
    if (copies.copies.empty()) {
        bookState.setText("无该图书编号！");
        borrower.setText("");
        return;
    }
    const library::BookCopy* lent = copies.firstLent();
    if (lent == nullptr) {
        bookState.setText("该图书未借出，无需还书！");
        borrower.setText("");
        return;
    }
    // The holder's loans, shown as a look-up of the holder's card shows them.
    const library::BookCopy copy = *lent;
    main.control(names::kLoanCard).setText(copy.holder);
    refreshLoanStatus(services, state);
    if (!state.listedReader) {
        bookState.setText("该图书的借阅者不在读者数据中！");
        borrower.setText("借阅者证号：" + copy.holder);
        return;
    }
    ui::ListView& list = main.control(names::kLoanList).listView();
    const int row = listedRow(list, copy.number);
    list.setSelected(row);
    if (returnListedLoan(services, state, copy.number, row) && copies.byBarcode) {
        bookState.setText("还书成功！图书编号：" + copy.number);
    }
    main.setFocusSelectingText(names::kLoanBook);
}

} // namespace chengxi::circulation
