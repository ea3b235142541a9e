#include "overview/statistics_page.h"

#include "circulation/loan_report.h"
#include "library/schema.h"
#include "overview/kept_filters.h"
#include "overview/list_export.h"
#include "overview/loan_statistics.h"
#include "overview/notices.h"
#include "store/database.h"
#include "store/failure_cause.h"
#include "text/integer_value.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"

#include <algorithm>
#include <initializer_list>
#include <string>

namespace chengxi::overview {
namespace {

namespace names = ui::names::main;

void appendRow(ui::ListView& list, std::initializer_list<std::string> cells) {
    const int row = list.appendRow();
    int column = 0;
    for (const std::string& cell : cells) {
        list.setCell(row, column++, cell);
    }
}

constexpr std::string_view kNothingShown = "请先统计一个年度的借阅数据。";

StatisticsLists shownLists(const ui::Window& main) {
    return {.summary = main.control(names::kStatisticsSummary).text(),
            .monthly = &main.control(names::kMonthlyChart).listView(),
            .topTitles = &main.control(names::kTopTitles).listView(),
            .classes = &main.control(names::kClassLoans).listView(),
            .idleReaders = &main.control(names::kIdleReaders).listView(),
            .lateReturns = &main.control(names::kLateReturns).listView()};
}

} // namespace

void showStatistics(const ui::Services& services) {
    ui::Window& main = services.mainWindow();
    ui::ListView& monthly = main.control(names::kMonthlyChart).listView();
    ui::ListView& top = main.control(names::kTopTitles).listView();
    ui::ListView& classes = main.control(names::kClassLoans).listView();
    ui::ListView& idle = main.control(names::kIdleReaders).listView();
    ui::ListView& late = main.control(names::kLateReturns).listView();
    ui::Control& summary = main.control(names::kStatisticsSummary);
    for (ui::ListView* list : {&monthly, &top, &classes, &idle, &late}) {
        list->clearRows();
    }
    const int year = text::integerValue(main.control(names::kStatisticsYear).text());
    keepStatisticsYear(services, year);
    const auto statistics = readLoanStatistics(services.database, year);
    if (!statistics) {
        const std::string failed = "读取" + std::string(library::kReportTable) + "失败！";
        summary.setText(failed);
        const std::string_view cause = store::failureCause(services.database.connection);
        services.screen.messageBox({cause.empty() ? failed : std::string(cause), "提示"});
        return;
    }
    for (std::size_t m = 0; m < statistics->loansPerMonth.size(); ++m) {
        appendRow(monthly, {std::to_string(m + 1), std::to_string(statistics->loansPerMonth[m]),
                            std::to_string(statistics->returnsPerMonth[m])});
    }
    for (const TitleCount& title : statistics->topTitles) {
        appendRow(top, {std::to_string(title.rank), title.title, std::to_string(title.loans)});
    }
    for (const ClassCount& group : statistics->classes) {
        appendRow(classes, {group.group, std::to_string(group.loans)});
    }
    for (const IdleReader& reader : statistics->idleReaders) {
        appendRow(idle, {reader.group, reader.name, reader.card});
    }
    for (const LateReturn& loan : statistics->lateReturns) {
        appendRow(late, {loan.borrower, loan.title, loan.borrowDate, loan.returnDate,
                         std::to_string(loan.daysLate)});
    }
    // The year leads, so that the figures name their year after the box is stepped.
    summary.setText(std::to_string(year) + "年  借出 " + std::to_string(statistics->loans) +
                    " 次  归还 " + std::to_string(statistics->returns) + " 次  逾期归还 " +
                    std::to_string(statistics->lateReturns.size()) + " 次  未借书读者 " +
                    std::to_string(statistics->idleReaders.size()) + " 人");
}

void printStatistics(const ui::Services& services) {
    const ui::Window& main = services.mainWindow();
    const StatisticsLists lists = shownLists(main);
    if (lists.monthly->rowCount() == 0) {
        services.screen.messageBox({std::string(kNothingShown), "提示"});
        return;
    }
    services.screen.printDocument(statisticsReport(lists, services.clock.now()));
}

void exportStatistics(const ui::Services& services) {
    const StatisticsLists lists = shownLists(services.mainWindow());
    const ListSheet sheets[] = {{"每月借出与归还", lists.monthly},
                                {"借阅最多的图书", lists.topTitles},
                                {"各班借阅次数", lists.classes},
                                {"没有借书的读者", lists.idleReaders},
                                {"逾期归还", lists.lateReturns}};
    exportLists(services, sheets, kNothingShown);
}

void stepStatisticsYear(const ui::Services& services, int direction) {
    ui::Control& yearBox = services.mainWindow().control(names::kStatisticsYear);
    const int year = text::integerValue(yearBox.text());
    const int stepped = direction == 1 ? year + 1 : year - 1;
    yearBox.setText(std::to_string(std::clamp<std::int64_t>(stepped, circulation::kFirstReportYear,
                                                            circulation::kLastReportYear)));
}

} // namespace chengxi::overview
