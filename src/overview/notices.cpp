#include "overview/notices.h"

#include "ui/controls/list_view.h"

#include <initializer_list>
#include <string>

namespace chengxi::overview {
namespace {

// The overview's columns a notice shows (the class stands above the table),
// with their shares of the width.
struct NoticeColumn {
    int listColumn;
    int weight;
};
constexpr NoticeColumn kNoticeColumns[] = {{1, 8},  {2, 11}, {3, 9}, {4, 16},
                                           {5, 20}, {6, 20}, {7, 10}};

ui::PrintTable tableOf(const ui::ListView& list) {
    ui::PrintTable table;
    for (const ui::ListColumn& column : list.columns()) {
        table.headers.push_back(column.caption);
        table.weights.push_back(column.width);
    }
    for (int r = 0; r < list.rowCount(); ++r) {
        table.rows.push_back(list.row(r));
    }
    return table;
}

} // namespace

ui::PrintDocument overdueNotices(const ui::ListView& list, const text::DateTime& today) {
    ui::PrintDocument document{.title = "逾期图书通知", .pages = {}};
    const std::string date = "日期：" + text::formatDateTime(today.date());
    for (int r = 0; r < list.rowCount(); ++r) {
        const std::string& group = list.cell(r, 0);
        if (document.pages.empty() || r == 0 || list.cell(r - 1, 0) != group) {
            ui::PrintPage page;
            page.heading = "逾期图书通知";
            page.lines = {"班别：" + group, date,
                          "以下同学借阅的图书已过应还书日期，请班主任老师督促归还图书室。"};
            for (const NoticeColumn& column : kNoticeColumns) {
                page.table.headers.push_back(list.columns()[column.listColumn].caption);
                page.table.weights.push_back(column.weight);
            }
            page.closingLines = {"班主任签字：____________________",
                                 "归还日期：____________________"};
            document.pages.push_back(std::move(page));
        }
        std::vector<std::string> cells;
        for (const NoticeColumn& column : kNoticeColumns) {
            cells.push_back(list.cell(r, column.listColumn));
        }
        document.pages.back().table.rows.push_back(std::move(cells));
    }
    return document;
}

ui::PrintDocument statisticsReport(const StatisticsLists& lists, const text::DateTime& today) {
    ui::PrintDocument document{.title = "借阅统计", .pages = {}};
    const std::string date = "日期：" + text::formatDateTime(today.date());
    const auto addPage = [&](std::string heading, const ui::ListView& list) {
        document.pages.push_back({.heading = std::move(heading),
                                  .lines = {lists.summary, date},
                                  .table = tableOf(list),
                                  .closingLines = {}});
    };
    addPage("每月借出与归还", *lists.monthly);
    addPage("借阅最多的图书", *lists.topTitles);
    addPage("各班借阅次数", *lists.classes);
    addPage("没有借书的读者", *lists.idleReaders);
    addPage("过了应还书日期才归还的图书", *lists.lateReturns);
    return document;
}

} // namespace chengxi::overview
