// The overdue notices printed to a PDF file and read back by pdftotext
// (poppler-utils): one sheet per class, each with its own readers and titles.
#include "app/qt/print_painter.h"
#include "overview/notices.h"
#include "ui/controls/list_view.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace chengxi::qt {
namespace {

constexpr const char* kPdfToText = "/usr/bin/pdftotext";

ui::ListView overdueList() {
    ui::ListView list;
    for (const char* caption : {"班别", "姓名", "借书证号", "图书编号", "书名", "借书日期",
                                "应还书日期", "逾期天数", "备注"}) {
        list.addColumn({caption, 80});
    }
    const std::vector<std::vector<std::string>> rows = {
        {"1班", "李四", "201409002", "A00003", "西游记", "2015年11月30日", "2015年12月5日", "31",
         ""},
        {"1班", "张三", "201409001", "A00001", "红楼梦", "2015年12月29日", "2016年1月3日", "2", ""},
        {"2班", "王五", "201409003", "A00004", "水浒传", "2015年12月1日", "2015年12月6日", "30",
         ""},
    };
    for (const auto& cells : rows) {
        const int row = list.appendRow();
        for (std::size_t c = 0; c < cells.size(); ++c) {
            list.setCell(row, static_cast<int>(c), cells[c]);
        }
    }
    return list;
}

// The text of each sheet, as pdftotext separates them by form feeds.
std::vector<std::string> sheetsOf(const std::string& pdf, const std::string& text) {
    const std::string command =
        std::string(kPdfToText) + " -layout \"" + pdf + "\" \"" + text + "\"";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(text, std::ios::binary);
    const std::string all{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<std::string> sheets;
    std::size_t start = 0;
    for (std::size_t feed = all.find('\f'); feed != std::string::npos;
         start = feed + 1, feed = all.find('\f', start)) {
        sheets.push_back(all.substr(start, feed - start));
    }
    return sheets;
}

TEST(PrintedNotices, OnePdfSheetPerClassWithItsReadersAndTitles) {
    if (!std::filesystem::exists(kPdfToText)) {
        GTEST_SKIP() << "poppler-utils is not installed";
    }
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string pdf = folder.filePath("notices.pdf").toStdString();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    paintDocument(printer, overview::overdueNotices(overdueList(), {2016, 1, 5, 10, 0, 0}));

    const auto sheets = sheetsOf(pdf, folder.filePath("notices.txt").toStdString());
    ASSERT_EQ(sheets.size(), 2u);
    for (const char* text : {"逾期图书通知", "班别：1班", "日期：2016年1月5日", "李四", "西游记",
                             "张三", "红楼梦", "班主任签字"}) {
        EXPECT_NE(sheets[0].find(text), std::string::npos) << text;
    }
    EXPECT_EQ(sheets[0].find("王五"), std::string::npos);
    for (const char* text : {"班别：2班", "王五", "水浒传", "30"}) {
        EXPECT_NE(sheets[1].find(text), std::string::npos) << text;
    }
    EXPECT_EQ(sheets[1].find("李四"), std::string::npos);
}

TEST(PrintedNotices, ALongClassContinuesOnTheNextSheetUnderItsHeaders) {
    if (!std::filesystem::exists(kPdfToText)) {
        GTEST_SKIP() << "poppler-utils is not installed";
    }
    ui::ListView list = overdueList();
    for (int i = 0; i < 120; ++i) {
        const int row = list.appendRow();
        list.setCell(row, 0, "3班");
        list.setCell(row, 1, "读者" + std::to_string(i));
    }
    QTemporaryDir folder;
    const std::string pdf = folder.filePath("long.pdf").toStdString();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    paintDocument(printer, overview::overdueNotices(list, {2016, 1, 5, 0, 0, 0}));

    const auto sheets = sheetsOf(pdf, folder.filePath("long.txt").toStdString());
    ASSERT_GT(sheets.size(), 3u);
    EXPECT_NE(sheets.back().find("借书证号"), std::string::npos);
    EXPECT_NE(sheets.back().find("读者119"), std::string::npos);
    EXPECT_NE(sheets.back().find("班主任签字"), std::string::npos);
}

} // namespace
} // namespace chengxi::qt
