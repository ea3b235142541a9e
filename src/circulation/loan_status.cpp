#include "circulation/loan_status.h"

#include "circulation/loan_rows.h"
#include "circulation/reader_lookup.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"
#include "ui/typed_text.h"

namespace chengxi::circulation {

namespace names = ui::names::main;

void refreshLoanStatus(const ui::Services& services, CirculationState& state) {
    ui::Window& main = services.mainWindow();
    state.currentCard = main.control(names::kLoanCard).text();
    ui::ListView& list = main.control(names::kLoanList).listView();
    list.clearRows();
    ui::Control& summary = main.control(names::kReaderSummary);
    const ReaderLookup found = lookUpReader(services, state, state.currentCard);
    state.listedReader = found.reader;
    if (!found) {
        // The label is short; a cause the librarian must act on gets a box.
        if (!found.failure.empty()) {
            summary.setText("读取读者数据失败！");
            services.screen.messageBox({found.failure, "提示"});
            return;
        }
        summary.setText("无该借书证号！");
        return;
    }
    const library::Reader& reader = *found.reader;
    for (LoanRow& loan : loanRows(reader, services.clock.now())) {
        const int row = list.appendRow();
        list.setCell(row, 0, std::move(loan.bookNumber));
        list.setCell(row, 1, std::move(loan.title));
        list.setCell(row, 2, std::move(loan.borrowDate));
        list.setCell(row, 3, std::move(loan.dueDate));
        // Past its due date: the librarian sees it at a glance, in the alert colour.
        const bool overdue = loan.daysLeft.starts_with('-');
        list.setCell(row, 4, std::move(loan.daysLeft));
        list.setCellAlert(row, 4, overdue);
    }
    summary.setText(readerSummary(reader, list.rowCount()));
}

void showLoans(const ui::Services& services, CirculationState& state) {
    if (!ui::checkStorable(services, {services.mainWindow().control(names::kLoanCard).text()})) {
        return;
    }
    refreshLoanStatus(services, state);
}

} // namespace chengxi::circulation
