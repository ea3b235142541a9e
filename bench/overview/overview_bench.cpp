// Benchmark of the pages 逾期一览 and 借阅统计 on a generated library: 5,000
// readers holding 15,000 loans, and 100,000 loan-report rows in the year
// counted. Each figure stands beside its floor, the same queries stepped
// bare by SQLite; the notices of 60 classes are laid out for the print
// preview, and written whole to a PDF file.
//
//   chengxi-overview-bench [--runs N]
//
// Targets: the overview into its list under 100 ms, the statistics under
// 300 ms, the notices under 2 s.
#include "app/program.h"
#include "app/qt/print_painter.h"
#include "overview/loan_statistics.h"
#include "overview/notices.h"
#include "overview/overdue_loans.h"
#include "store/connection.h"
#include "store/database.h"
#include "store/transaction.h"
#include "support/sample_library.h"
#include "support/scripted_screen.h"
#include "support/temp_folder.h"
#include "text/cp936.h"
#include "text/file_path.h"
#include "ui/forms/control_names.h"

#include <QApplication>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

using namespace chengxi;
namespace names = ui::names::main;
using Clock = std::chrono::steady_clock;

constexpr int kReaders = 5000;
constexpr int kLoansPerReader = 3;
constexpr int kClasses = 60;
constexpr int kYearRows = 100000;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "overview bench: %s\n", what.c_str());
    std::exit(1);
}

double milliseconds(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void print(const char* what, double program, double floor, double target) {
    std::printf("  %-10s program %7.1f ms   floor %7.1f ms   target < %.0f ms: %s\n", what, program,
                floor, target, program < target ? "met" : "MISSED");
}

std::string className(int index) {
    return "初" + std::to_string(1 + index / 20) + "（" + std::to_string(1 + index % 20) + "）班";
}

// Every reader gets three loans lent in the autumn of 2015, so every loan
// is overdue in the spring of 2016; classes are spread over 60.
void buildLibrary(const std::string& path) {
    store::Connection connection;
    if (!connection.open(path, true)) {
        fail("cannot create " + path);
    }
    bench::fillLibrary(connection, {.books = 20000, .readers = kReaders, .reportRows = 10000});
    std::mt19937 random(7);
    store::Transaction transaction(connection);
    connection.execute("delete from 借出数据");
    for (int r = 0; r < kReaders; ++r) {
        std::string books, dates, titles;
        for (int k = 0; k < kLoansPerReader; ++k) {
            const std::string book = bench::bookNumber(r * kLoansPerReader + k);
            books += book + "|";
            dates += "2015年" + std::to_string(9 + k) + "月" + std::to_string(1 + r % 28) + "日|";
            titles += bench::sampleTitle(random) + "|";
            if (!connection.execute("insert into 借出数据 values(?,?)",
                                    {book, bench::cardNumber(r)})) {
                fail("cannot write the lend state");
            }
        }
        if (!connection.execute(
                "update 读者数据 set 班别=?, 图书编号串=?, 日期编号串=?, 书名串=? "
                "where 借书证号=?",
                {className(r % kClasses), books, dates, titles, bench::cardNumber(r)})) {
            fail("cannot write the loans");
        }
    }
    for (int i = 0; i < kYearRows; ++i) {
        const std::string borrowed =
            "2015年" + std::to_string(1 + i % 12) + "月" + std::to_string(1 + i % 28) + "日";
        const std::string returned = i % 5 == 0 ? std::string()
                                                : "2015年" + std::to_string(1 + i % 12) + "月" +
                                                      std::to_string(1 + (i + i % 9) % 28) + "日";
        if (!connection.execute("insert into 借阅报表 values('2015',?,?,?,?,?)",
                                {bench::bookNumber(i % 20000), bench::sampleTitle(random),
                                 className(i % kClasses) + " " + bench::sampleName(random),
                                 borrowed, returned})) {
            fail("cannot write the report");
        }
    }
    if (!transaction.commit()) {
        fail("cannot commit the library");
    }
}

// The floor: the statements stepped bare, every column of every row read.
class Bare {
public:
    explicit Bare(const std::string& path) {
        if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) {
            fail("cannot open the floor's connection");
        }
    }
    ~Bare() { sqlite3_close(db_); }
    Bare(const Bare&) = delete;
    Bare& operator=(const Bare&) = delete;

    int step(const std::string& sql, const std::vector<std::string>& texts = {}, int number = 0) {
        const std::string bytes = text::toCp936(sql).bytes;
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, bytes.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
            fail("cannot prepare " + sql);
        }
        const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> owned(statement,
                                                                          sqlite3_finalize);
        std::vector<std::string> encoded;
        for (const std::string& value : texts) {
            encoded.push_back(text::toCp936(value).bytes);
        }
        for (std::size_t i = 0; i < encoded.size(); ++i) {
            sqlite3_bind_text(statement, static_cast<int>(i + 1), encoded[i].data(),
                              static_cast<int>(encoded[i].size()), SQLITE_STATIC);
        }
        if (number != 0) {
            sqlite3_bind_int(statement, 1, number);
        }
        int rows = 0;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                sink_ += static_cast<std::size_t>(sqlite3_column_bytes(statement, c));
            }
            ++rows;
        }
        return rows;
    }

private:
    sqlite3* db_ = nullptr;
    std::size_t sink_ = 0;
};

class Pages {
public:
    Pages(const std::string& folder, scenario::ScriptedScreen& screen)
        : program_({folder, folder + "/mzqk.ini"}, screen, clock_), screen_(screen) {
        clock_.set({2016, 3, 1, 10, 0, 0});
        program_.start();
        program_.activated(ui::names::login::kWindow);
        program_.showMainWindow();
        main_ = program_.window(names::kWindow);
        if (main_ == nullptr || !screen_.messages().empty()) {
            fail("the main window did not open cleanly");
        }
    }
    ui::Window& main() { return *main_; }
    void click(std::string_view button) {
        program_.fire(names::kWindow, button, ui::Event::Clicked);
        if (!screen_.messages().empty()) {
            fail("a message box: " + screen_.messages().front().message.text);
        }
    }

private:
    scenario::ScriptedClock clock_;
    app::Program program_;
    scenario::ScriptedScreen& screen_;
    ui::Window* main_ = nullptr;
};

} // namespace

int main(int argc, char** argv) {
    int runs = 11;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::clamp(std::atoi(argv[++i]), 1, 500);
        } else {
            fail("usage: chengxi-overview-bench [--runs N]");
        }
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    scenario::TempFolder folder("chengxi-overview-bench");
    const std::string database = text::joinPath(folder.utf8(), "数据库.sdb");
    std::printf("generating the library ...\n");
    buildLibrary(database);
    scenario::ScriptedScreen screen(folder.utf8());
    Pages pages(folder.utf8(), screen);
    Bare bare(database);
    const ui::ListView& overdue = pages.main().control(names::kOverdueList).listView();
    const ui::ListView& top = pages.main().control(names::kTopTitles).listView();
    std::vector<double> overview, overviewFloor, statistics, statisticsFloor;
    for (int run = 0; run < runs; ++run) {
        overview.push_back(milliseconds([&] { pages.click(names::kShowOverdue); }));
        if (overdue.rowCount() != kReaders * kLoansPerReader) {
            fail("the overview listed " + std::to_string(overdue.rowCount()) + " loans");
        }
        overviewFloor.push_back(milliseconds([&] {
            bare.step("select 图书编号, 借书证号 from 借出数据");
            bare.step("select 班别, 姓名, 借书证号, 图书编号串, 日期编号串, 书名串 from 读者数据 "
                      "where 图书编号串 <> '0'");
        }));
        statistics.push_back(milliseconds([&] { pages.click(names::kShowStatistics); }));
        if (top.rowCount() == 0) {
            fail("the statistics found no titles");
        }
        statisticsFloor.push_back(milliseconds([&] {
            bare.step("select 书名, 借阅者, 借书日期, 还书日期 from 借阅报表 where 年份=?", {},
                      2015);
            bare.step("select 还书日期 from 借阅报表 where 还书日期 >= ? and 还书日期 < ?",
                      {"2015", "2016"});
            bare.step("select 班别, 姓名, 借书证号 from 读者数据");
        }));
    }
    // The reckoning alone, without the page's list: what the rest costs.
    store::Database reading;
    if (!reading.connection.open(database, false)) {
        fail("cannot open the library for reading");
    }
    std::vector<double> overviewAlone, statisticsAlone;
    for (int run = 0; run < runs; ++run) {
        overviewAlone.push_back(milliseconds([&] {
            if (!overview::readOverdueLoans(reading, {2016, 3, 1, 10, 0, 0}, {})) {
                fail("the overview could not be read");
            }
        }));
        statisticsAlone.push_back(milliseconds([&] {
            if (!overview::readLoanStatistics(reading, 2015)) {
                fail("the statistics could not be read");
            }
        }));
    }
    reading.closeAll();
    // The notices of 60 classes, from the list the overview filled.
    std::vector<double> notices;
    int sheets = 0;
    for (int run = 0; run < std::max(1, runs / 4); ++run) {
        const std::string pdf = text::joinPath(folder.utf8(), "notices.pdf");
        notices.push_back(milliseconds([&] {
            const ui::PrintDocument document =
                overview::overdueNotices(overdue, {2016, 3, 1, 0, 0, 0});
            sheets = static_cast<int>(document.pages.size());
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf));
            qt::paintDocument(printer, document);
        }));
    }
    if (sheets != kClasses) {
        fail("the notices had " + std::to_string(sheets) + " classes");
    }
    // The preview as the librarian meets it: every sheet laid out for the
    // preview, which shows the first one when this returns.
    std::vector<double> previews;
    for (int run = 0; run < std::max(1, runs / 4); ++run) {
        QPrinter printer(QPrinter::HighResolution);
        QPrintPreviewWidget preview(&printer);
        const ui::PrintDocument document = overview::overdueNotices(overdue, {2016, 3, 1, 0, 0, 0});
        QObject::connect(&preview, &QPrintPreviewWidget::paintRequested, &preview,
                         [&document](QPrinter* target) { qt::paintDocument(*target, document); });
        previews.push_back(milliseconds([&] { preview.updatePreview(); }));
        if (preview.pageCount() < kClasses) {
            fail("the preview had " + std::to_string(preview.pageCount()) + " sheets");
        }
    }
    std::printf("medians of %d runs, wall time\n", runs);
    print("overview", median(overview), median(overviewFloor), 100);
    print("statistics", median(statistics), median(statisticsFloor), 300);
    std::printf("  of which the reckoning without the page: overview %.1f ms, statistics %.1f ms\n",
                median(overviewAlone), median(statisticsAlone));
    std::printf("  %-10s program %7.1f ms   (60 classes into the print preview; no floor)"
                "   target < 2000 ms: %s\n",
                "preview", median(previews), median(previews) < 2000 ? "met" : "MISSED");
    std::printf("  %-10s program %7.1f ms   (the same sheets written whole to a PDF file)\n", "pdf",
                median(notices));
    return 0;
}
