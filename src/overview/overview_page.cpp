#include "overview/overview_page.h"

#include "library/schema.h"
#include "library/statistics.h"
#include "overview/kept_filters.h"
#include "overview/list_export.h"
#include "overview/notices.h"
#include "overview/overdue_loans.h"
#include "store/database.h"
#include "store/failure_cause.h"
#include "text/integer_value.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"

#include <string>

namespace chengxi::overview {
namespace {

namespace names = ui::names::main;

constexpr std::string_view kEveryClass = "全部班别";

struct DaysPreset {
    std::string_view item;
    std::string_view days;
};
constexpr DaysPreset kDaysPresets[] = {{"1 天", "1"}, {"7 天", "7"}, {"30 天", "30"}};

void reportReadFailure(const ui::Services& services, ui::Control& summary) {
    summary.setText("读取数据失败！");
    const std::string_view cause = store::failureCause(services.database.connection);
    services.screen.messageBox({cause.empty()
                                    ? "读取" + std::string(library::kReaderTable) + "失败！"
                                    : std::string(cause),
                                "提示"});
}

std::string summaryText(const OverdueOverview& overview) {
    const int books = static_cast<int>(overview.loans.size()) - overview.unreadableDates;
    std::string text = "逾期图书：" + std::to_string(books) + " 本  涉及读者：" +
                       std::to_string(overview.readersConcerned) + " 人";
    if (overview.unreadableDates > 0) {
        text += "  借书日期无法识别：" + std::to_string(overview.unreadableDates) + " 本";
    }
    return text;
}

} // namespace

void offerClasses(const ui::Services& services) {
    ui::Control& choice = services.mainWindow().control(names::kOverdueClass);
    const auto classes = library::readClasses(services.database);
    if (!classes) {
        return; // the choices stay as they were; 查询 says what is wrong
    }
    const std::string chosen = choice.currentItem() > 0 ? choice.text() : std::string();
    choice.clearItems();
    choice.addItem(std::string(kEveryClass));
    int current = 0;
    for (const std::string& group : *classes) {
        choice.addItem(group);
        if (!chosen.empty() && group == chosen) {
            current = static_cast<int>(choice.items().size()) - 1;
        }
    }
    choice.setCurrentItem(current);
}

void takeDaysPreset(const ui::Services& services) {
    ui::Window& main = services.mainWindow();
    const std::string& picked = main.control(names::kOverdueDaysPreset).text();
    for (const DaysPreset& preset : kDaysPresets) {
        if (picked == preset.item) {
            main.control(names::kOverdueDays).setText(std::string(preset.days));
            return;
        }
    }
    main.setFocus(names::kOverdueDays);
}

void showOverdue(const ui::Services& services) {
    ui::Window& main = services.mainWindow();
    ui::ListView& list = main.control(names::kOverdueList).listView();
    ui::Control& summary = main.control(names::kOverdueSummary);
    list.clearRows();
    summary.setText({});
    const int days = text::integerValue(main.control(names::kOverdueDays).text());
    if (days < 1) {
        main.setFocus(names::kOverdueDays);
        services.screen.messageBox({"请输入逾期天数（1 或更多）", "提示"});
        return;
    }
    const ui::Control& classChoice = main.control(names::kOverdueClass);
    const OverdueFilter filter{.group = classChoice.currentItem() > 0 ? classChoice.text()
                                                                      : std::string(),
                               .minimumDays = days};
    keepOverdueFilters(services, filter.group, days);
    const auto overview = readOverdueLoans(services.database, services.clock.now(), filter);
    if (!overview) {
        reportReadFailure(services, summary);
        return;
    }
    for (const OverdueLoan& loan : overview->loans) {
        const int row = list.appendRow();
        list.setCell(row, 0, loan.group);
        list.setCell(row, 1, loan.name);
        list.setCell(row, 2, loan.card);
        list.setCell(row, 3, loan.bookNumber);
        list.setCell(row, 4, loan.title);
        list.setCell(row, 5, loan.borrowDate);
        list.setCell(row, 6, loan.dueDate);
        list.setCell(row, 7, loan.daysOverdue ? std::to_string(*loan.daysOverdue) : "");
        list.setCell(row, 8, loan.note);
        list.setCellAlert(row, 8, !loan.note.empty());
    }
    summary.setText(summaryText(*overview));
}

} // namespace chengxi::overview

namespace chengxi::overview {

namespace names = ui::names::main;

void printOverdue(const ui::Services& services) {
    const ui::ListView& list = services.mainWindow().control(names::kOverdueList).listView();
    if (list.rowCount() == 0) {
        services.screen.messageBox({"没有逾期的图书可打印，请先查询。", "提示"});
        return;
    }
    services.screen.printDocument(overdueNotices(list, services.clock.now()));
}

void exportOverdue(const ui::Services& services) {
    const ListSheet sheets[] = {
        {"逾期图书", &services.mainWindow().control(names::kOverdueList).listView()}};
    exportLists(services, sheets, "没有逾期的图书可导出，请先查询。");
}

} // namespace chengxi::overview
