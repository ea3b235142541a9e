#include "circulation/lending.h"

#include "circulation/book_copies.h"
#include "circulation/loan_rows.h"
#include "circulation/loan_status.h"
#include "circulation/reader_lookup.h"
#include "library/loans.h"
#include "library/readers.h"
#include "library/report.h"
#include "store/database.h"
#include "store/transaction.h"
#include "text/date_time.h"
#include "text/list_column.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"
#include "ui/typed_text.h"

namespace chengxi::circulation {

namespace names = ui::names::main;

namespace {

constexpr std::string_view kListSeparator = "|";
constexpr std::string_view kLendNotSaved = "借书未能保存！";

// The title of the first catalogue row with this book number; empty when
// there is none or the query fails. `found` says whether there was a row.
std::string catalogueTitle(store::Database& database, std::string_view book, bool& found) {
    const std::optional<std::vector<std::string>> titles =
        library::titlesWithNumber(database, book);
    found = titles && !titles->empty();
    return found ? titles->front() : std::string();
}

// The reader's three list columns with one more loan, written back.
bool appendLoan(const ui::Services& services, const CirculationState& state, std::string_view book,
                std::string_view today) {
    const library::Reader& reader = *state.currentReader;
    return library::writeLoanLists(
        services.database.connection, reader,
        listsWithLoan(reader, book, today, titleListItem(state.currentBookTitle)));
}

// Runs the lend's writes; false after the message of the step that failed.
bool recordLoan(const ui::Services& services, const CirculationState& state, LendState lendState,
                const std::string& card, const std::string& book) {
    ui::Window& main = services.mainWindow();
    store::Connection& connection = services.database.connection;
    const text::DateTime now = services.clock.now();
    const std::string today = text::formatDateTime(now.date());
    if (!appendLoan(services, state, book, today)) {
        services.screen.messageBox({"更新读者数据失败", "警告"});
        return false;
    }
    main.control(names::kBookState).setText("成功记录所借图书！");

    const library::Reader& reader = *state.currentReader;
    if (!library::addOpenLoan(connection, {.year = std::to_string(now.year),
                                           .bookNumber = book,
                                           .title = state.currentBookTitle,
                                           .borrower = library::borrowerName(reader),
                                           .borrowedOn = today})) {
        services.screen.messageBox({"记录借阅报表失败", "提示"});
        return false;
    }

    const bool written = lendState == LendState::NeverLent
                             ? library::addLendState(connection, book, card)
                             : library::setLendHolder(connection, book, card);
    if (!written) {
        services.screen.messageBox({"写入<是否借出>失败，请重新尝试借书操作！"});
        return false;
    }
    return true;
}

// A book number that cannot be an item of the reader's number list is
// refused with a message; true when it can.
bool canListBookNumber(const ui::Services& services, std::string_view book) {
    // A "|" would split the item in two.
    if (book.find(kListSeparator) != std::string::npos) {
        services.screen.messageBox(
            {"图书编号中含有“|”，无法记入读者的借书记录，请先更改该图书的编号。", "提示"});
        return false;
    }
    // "0" is the empty number list: a loan of book 0 would vanish from it.
    if (book == text::kEmptyList) {
        services.screen.messageBox(
            {"图书编号“0”无法记入读者的借书记录，请先更改该图书的编号。", "提示"});
        return false;
    }
    return true;
}

} // namespace

LendState lookUpLendState(const ui::Services& services, CirculationState& state,
                          std::string_view book, bool* bookFound) {
    store::Database& database = services.database;
    bool found = false;
    state.currentBookTitle = catalogueTitle(database, book, found);
    if (bookFound != nullptr) {
        *bookFound = found;
    }
    if (state.currentBookTitle.empty()) {
        return LendState::Unknown;
    }
    const std::optional<std::vector<std::string>> holders =
        library::lendStateHolders(database, book);
    if (!holders) {
        return LendState::Unknown;
    }
    LendState result = LendState::NeverLent;
    std::string borrower;
    if (!holders->empty()) {
        const std::string& holder = holders->front();
        if (holder == text::kEmptyList) {
            result = LendState::OnShelf;
        } else {
            result = LendState::Out;
            borrower = "借阅者证号：" + holder;
        }
    }
    services.mainWindow().control(names::kBorrower).setText(std::move(borrower));
    return result;
}

void lend(const ui::Services& services, CirculationState& state) {
    ui::Window& main = services.mainWindow();
    std::string book = main.control(names::kLoanBook).text();
    const std::string card = main.control(names::kLoanCard).text();
    if (book.empty()) {
        main.setFocus(names::kLoanBook);
        services.screen.messageBox({"请输入图书编号", "提示"});
        return;
    }
    if (!ui::checkStorable(services, {card, book})) {
        return;
    }
    if (!canListBookNumber(services, book)) {
        return;
    }
    if (const ReaderLookup found = lookUpReader(services, state, card); !found) {
        services.screen.messageBox({found.whyNone("无该借书证号"), "提示"});
        return;
    }
    // "0" in the lend state means "on the shelf": a book lent to card 0 would
    // look free and could be lent twice.
    if (card == text::kEmptyList) {
        services.screen.messageBox({"借书证号“0”无法记入图书的借出状态，请先删除该读者，"
                                    "再以其他借书证号添加。",
                                    "提示"});
        return;
    }

    ui::Control& bookState = main.control(names::kBookState);
    bookState.setText("查询图书是否可借。。。");
    services.screen.repaintNow(main, bookState);
    bool numberFound = false;
    LendState lendState = lookUpLendState(services, state, book, &numberFound);
    // A scanned barcode: the copy on the shelf (an ISBN is printed on every
    // copy), lent exactly as if its number had been typed.
    bool byBarcode = false;
    if (lendState == LendState::Unknown && !numberFound) {
        const BookCopies copies = copiesByBarcode(services.database, book);
        if (const library::BookCopy* copy = copies.firstFree()) {
            if (!canListBookNumber(services, copy->number)) {
                bookState.setText("");
                return;
            }
            book = copy->number;
            byBarcode = true;
            lendState = lookUpLendState(services, state, book);
        }
    }
    if (lendState == LendState::Unknown) {
        bookState.setText("无该图书编号！");
        return;
    }
    if (lendState == LendState::Out) {
        bookState.setText("该图书已借出！");
        return;
    }
    bookState.setText("该图书可借！");

    // Whichever step fails, the label must not go on saying the book can be
    // lent or was lent: nothing of this loan is kept.
    store::Transaction transaction(services.database.connection);
    if (!transaction.began()) {
        bookState.setText(std::string(kLendNotSaved));
        services.screen.messageBox({"更新读者数据失败", "警告"});
        return;
    }
    if (!recordLoan(services, state, lendState, card, book)) {
        bookState.setText(std::string(kLendNotSaved));
        return; // the guard rolls every step of this loan back
    }
    if (byBarcode) {
        bookState.setText("成功记录所借图书！图书编号：" + book);
    }
    refreshLoanStatus(services, state);
    if (!transaction.commit()) {
        transaction.rollback();
        refreshLoanStatus(services, state);
        bookState.setText(std::string(kLendNotSaved));
        services.screen.messageBox({"借书记录未能保存，请重新尝试借书操作！", "提示"});
    }
}

} // namespace chengxi::circulation
