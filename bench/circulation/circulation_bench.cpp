// Benchmark of the lending page on a generated library of 100,000 books,
// 5,000 readers and 50,000 loan-report rows (with the report of 2015 grown
// to 20,000 rows): a lend and a return, each from the click to the committed
// transaction and the refreshed loan list, and the report of 2015 into its
// list. Each figure stands beside its floor: the same statements run on
// SQLite directly, prepared once, without the program around them, on a
// connection with the program's page cache. The report also stands beside a
// fuller floor: the bare select reads the cells but converts none, while the
// list must hold each shown cell as UTF-8 text (the database holds code page
// 936), so the fuller floor converts and keeps them as well. Each round runs
// the program and its floor one after the other, the order alternating; the
// figures are the medians with the spread over the rounds, beside the load.
//
//   chengxi-circulation-bench [--runs N] [--keep]
//
// At the desk, as a scanner works: a lend by the book's barcode (Enter in the
// book box, to the committed transaction and the refreshed loan list) and a
// return by scanning the same barcode (按书还书), each beside the same
// statements run bare.
//
// Targets: lend and return under 30 ms each (also by barcode and by scan),
// the report under 100 ms.
#include "app/program.h"
#include "store/connection.h"
#include "store/record_set.h"
#include "store/transaction.h"
#include "support/paired_rounds.h"
#include "support/sample_library.h"
#include "support/scripted_screen.h"
#include "support/temp_folder.h"
#include "text/cp936.h"
#include "text/file_path.h"
#include "ui/forms/control_names.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

using namespace chengxi;
namespace names = ui::names::main;
using Clock = std::chrono::steady_clock;

constexpr int kReportYear = 2015;
constexpr int kReportYearRows = 20000;
// Readers with an index that is not a multiple of ten hold no loans (so at
// most 500 runs); books from this index on were never lent.
constexpr int kFirstFreeBook = 60000;
const std::string kReportSql = "select * from 借阅报表 where 年份=?";
// The report list shows every column but the first, the year.
constexpr int kFirstShownReportColumn = 1;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "circulation bench: %s\n", what.c_str());
    std::exit(1);
}

// The median against the target, and the ratio to the floor against the
// 1.15 the floor allows.
void judge(const bench::PairedRounds& rounds, double targetMs) {
    const double median = rounds.wallOf(0)->median * 1000;
    const auto ratio = rounds.ratioToFloor(0, false);
    std::printf("  target < %.0f ms: %s; within 1.15x of the floor: %s\n", targetMs,
                median < targetMs ? "met" : "MISSED",
                ratio && ratio->median <= 1.15 ? "met" : "MISSED");
}

std::optional<bench::Sample> timed(const std::function<void()>& work) {
    return bench::timeInProcess(work);
}

int countOf(store::Connection& connection, const char* sql) {
    store::RecordSet records;
    if (!records.open(connection, sql) || !records.toFirst() || !records.nextRow()) {
        fail(std::string("cannot count with ") + sql);
    }
    return std::atoi(records.read(0).c_str());
}

void buildLibrary(const std::string& path) {
    store::Connection connection;
    if (!connection.open(path, true)) {
        fail("cannot create " + path);
    }
    bench::fillLibrary(connection, {});
    const std::string year = std::to_string(kReportYear);
    const int missing =
        kReportYearRows - countOf(connection, "select count(*) from 借阅报表 where 年份='2015'");
    store::Transaction transaction(connection);
    for (int i = 0; i < missing; ++i) {
        if (!connection.execute("insert into 借阅报表 values(?,?,?,?,?,?)",
                                {year, bench::bookNumber(i), "红楼梦（插图本）", "初一（3）班 张伟",
                                 "2015年3月1日", "2015年3月5日"})) {
            fail("cannot add report rows");
        }
    }
    if (!transaction.commit()) {
        fail("cannot commit the report rows");
    }
}

// ---- The floor: the statements of each operation on SQLite directly. -----

class Bare {
public:
    explicit Bare(const std::string& path) {
        // Opened as the program opens its connection: one thread, no mutexes.
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK) {
            fail("cannot open the floor's connection");
        }
        // The program's connection keeps the same page cache.
        run("PRAGMA cache_size=-65536");
    }
    ~Bare() {
        for (auto& [sql, statement] : statements_) {
            sqlite3_finalize(statement);
        }
        sqlite3_close(db_);
    }

    // Runs one statement with text values (given as UTF-8, bound as the code
    // page bytes prepared beforehand) or one integer, reading every column of
    // every row it returns; the number of rows.
    // The work a list of the rows cannot leave out: the statement stepped
    // with one integer, and each cell the list shows (those of `first` on)
    // converted to UTF-8 and kept as its own text; the number of rows.
    int runKeepingText(const std::string& sql, sqlite3_int64 number, int first) {
        sqlite3_stmt* statement = prepared(sql);
        sqlite3_bind_int64(statement, 1, number);
        std::vector<std::string> cells;
        int rows = 0, rc;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            for (int c = first; c < sqlite3_column_count(statement); ++c) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
                cells.push_back(text::fromCp936(std::string_view(
                    text, static_cast<std::size_t>(sqlite3_column_bytes(statement, c)))));
            }
            ++rows;
        }
        if (rc != SQLITE_DONE) {
            fail("floor statement failed: " + std::string(sqlite3_errmsg(db_)));
        }
        sqlite3_reset(statement);
        sink_ += cells.size();
        return rows;
    }

    int run(const std::string& sql, const std::vector<std::string>& values = {},
            std::optional<sqlite3_int64> number = std::nullopt) {
        sqlite3_stmt* statement = prepared(sql);
        for (std::size_t i = 0; i < values.size(); ++i) {
            sqlite3_bind_text(statement, static_cast<int>(i + 1), values[i].data(),
                              static_cast<int>(values[i].size()), SQLITE_STATIC);
        }
        if (number) {
            sqlite3_bind_int64(statement, 1, *number);
        }
        int rows = 0, rc;
        std::size_t bytes = 0;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                sqlite3_column_text(statement, c);
                bytes += static_cast<std::size_t>(sqlite3_column_bytes(statement, c));
            }
            ++rows;
        }
        if (rc != SQLITE_DONE) {
            fail("floor statement failed: " + std::string(sqlite3_errmsg(db_)));
        }
        sqlite3_reset(statement);
        sink_ += bytes;
        return rows;
    }

private:
    sqlite3_stmt* prepared(const std::string& sql) {
        for (auto& [text, statement] : statements_) {
            if (text == sql) {
                return statement;
            }
        }
        sqlite3_stmt* statement = nullptr;
        const std::string bytes = text::toCp936(sql).bytes;
        if (sqlite3_prepare_v2(db_, bytes.c_str(), static_cast<int>(bytes.size()), &statement,
                               nullptr) != SQLITE_OK) {
            fail("cannot prepare " + sql);
        }
        statements_.emplace_back(sql, statement);
        return statement;
    }

    sqlite3* db_ = nullptr;
    std::vector<std::pair<std::string, sqlite3_stmt*>> statements_;
    std::size_t sink_ = 0;
};

std::string gbk(const std::string& utf8) {
    return text::toCp936(utf8).bytes;
}

// A lend of a never-lent book to a reader without loans, then its return.
void bareLend(Bare& bare, const std::string& card, const std::string& book) {
    const std::string c = gbk(card), b = gbk(book);
    bare.run("select * from 读者数据 where 借书证号 = ?", {c});
    bare.run("select * from 图书数据 where 图书编号 = ?", {b});
    bare.run("select * from 借出数据 where 图书编号 = ?", {b});
    bare.run("BEGIN TRANSACTION ");
    bare.run("update 读者数据 set 图书编号串=?,日期编号串=?,书名串=? where 借书证号=?",
             {b + "|", gbk("2016年5月1日|"), gbk("红楼梦|"), c});
    bare.run("insert into 借阅报表 values(?,?,?,?,?,'')",
             {gbk("2016"), b, gbk("红楼梦"), gbk("初一（3）班 张伟"), gbk("2016年5月1日")});
    bare.run("insert into 借出数据 values(?,?)", {b, c});
    bare.run("select * from 读者数据 where 借书证号 = ?", {c});
    bare.run("COMMIT TRANSACTION ");
}

void bareReturn(Bare& bare, const std::string& card, const std::string& book) {
    const std::string c = gbk(card), b = gbk(book);
    bare.run("BEGIN TRANSACTION ");
    bare.run("update 读者数据 set 图书编号串=?,日期编号串=?,书名串=? where 借书证号=?",
             {"0", "0", "0", c});
    bare.run("update 借阅报表 set 还书日期=? where 图书编号=? and 还书日期=''",
             {gbk("2016年5月1日"), b});
    bare.run("update 借出数据 set 借书证号 = '0' where 图书编号=?", {b});
    bare.run("select * from 读者数据 where 借书证号 = ?", {c});
    bare.run("COMMIT TRANSACTION ");
}

// The same lend found by the book's barcode: the number that is no book, then
// the copies carrying the barcode with their holders.
void bareBarcodeLend(Bare& bare, const std::string& card, const std::string& book,
                     const std::string& barcode) {
    const std::string code = gbk(barcode);
    bare.run("select * from 读者数据 where 借书证号 = ?", {gbk(card)});
    bare.run("select * from 图书数据 where 图书编号 = ?", {code});
    bare.run("select b.图书编号, (select l.借书证号 from 借出数据 l where l.图书编号 = "
             "b.图书编号 limit 1) from 图书数据 b where b.条形码 = ? order by b.rowid",
             {code});
    bareLend(bare, card, book);
}

// The return found by scanning the book's barcode: the number that is no
// book, the copies carrying the barcode with their holders, then the return.
void bareScanReturn(Bare& bare, const std::string& card, const std::string& book,
                    const std::string& barcode) {
    const std::string code = gbk(barcode);
    bare.run("select b.图书编号, (select l.借书证号 from 借出数据 l where l.图书编号 = "
             "b.图书编号 limit 1) from 图书数据 b where b.图书编号 = ? limit 1",
             {code});
    bare.run("select b.图书编号, (select l.借书证号 from 借出数据 l where l.图书编号 = "
             "b.图书编号 limit 1) from 图书数据 b where b.条形码 = ? order by b.rowid",
             {code});
    bare.run("select * from 读者数据 where 借书证号 = ?", {gbk(card)});
    bareReturn(bare, card, book);
}

std::string barcodeOf(store::Connection& connection, const std::string& book) {
    store::RecordSet records;
    if (!records.open(connection, "select 条形码 from 图书数据 where 图书编号 = ?", {book}) ||
        !records.toFirst() || !records.nextRow()) {
        fail("no barcode for " + book);
    }
    return records.read(0);
}

// ---- The program: the real operations behind the real buttons. ----------

class LendingPage {
public:
    explicit LendingPage(const std::string& folder, scenario::ScriptedScreen& screen)
        : program_({folder, folder + "/mzqk.ini"}, screen, clock_), screen_(screen) {
        clock_.set({2016, 5, 1, 10, 0, 0});
        program_.start();
        program_.activated(ui::names::login::kWindow);
        program_.showMainWindow();
        main_ = program_.window(names::kWindow);
        if (main_ == nullptr || !screen_.messages().empty()) {
            fail("the main window did not open cleanly");
        }
    }

    ui::Control& control(std::string_view name) { return main_->control(name); }
    store::Connection& database() { return program_.library().database.connection; }
    void click(std::string_view button) { act(button, ui::Event::Clicked); }
    // Enter in a box, as a scanner ends its code.
    void enter(std::string_view box) {
        main_->setFocus(box);
        act(box, ui::Event::EnterPressed);
    }

private:
    void act(std::string_view control, ui::Event event) {
        program_.fire(names::kWindow, control, event);
        if (!screen_.messages().empty()) {
            fail("a message box: " + screen_.messages().front().message.text);
        }
    }

    scenario::ScriptedClock clock_;
    app::Program program_;
    scenario::ScriptedScreen& screen_;
    ui::Window* main_ = nullptr;
};

} // namespace

int main(int argc, char** argv) {
    int runs = 21;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::clamp(std::atoi(argv[++i]), 1, 500);
        } else if (std::strcmp(argv[i], "--keep") == 0) {
            keep = true;
        } else {
            fail("usage: chengxi-circulation-bench [--runs N] [--keep]");
        }
    }
    scenario::TempFolder folder("chengxi-circulation-bench");
    if (keep) {
        folder.keep();
        std::printf("library kept in %s\n", folder.utf8().c_str());
    }
    const std::string database = text::joinPath(folder.utf8(), "数据库.sdb");
    std::printf("generating the library ...\n");
    buildLibrary(database);

    // The floor works on a copy: two connections writing one file would make
    // each throw its page cache away whenever the other has written.
    const std::string floorCopy = text::joinPath(folder.utf8(), "floor.sdb");
    std::filesystem::copy_file(text::toPath(database), text::toPath(floorCopy));

    scenario::ScriptedScreen screen(folder.utf8());
    LendingPage library(folder.utf8(), screen);
    Bare bare(floorCopy);
    const ui::ListView& loans = library.control(names::kLoanList).listView();
    const ui::ListView& reportList = library.control(names::kReportList).listView();
    library.control(names::kYear).setText(std::to_string(kReportYear));

    // The second round turns the disk flushes of the commit off on both
    // connections, to show how much of each figure is the disk's.
    for (const bool durable : {true, false}) {
        if (!durable) {
            library.database().execute("PRAGMA synchronous=OFF");
            bare.run("PRAGMA synchronous=OFF");
        }
        std::printf(durable ? "as shipped (each commit flushed to disk):\n"
                            : "without disk flushes (not how the program runs):\n");
        const int firstBook = kFirstFreeBook + (durable ? 0 : 4 * runs);
        int run = 0;
        // The floor's own reader and book each round, beside the program's.
        const auto floorCard = [&] { return bench::cardNumber(10 * run + 2); };
        const auto floorBook = [&] { return bench::bookNumber(firstBook + runs + run); };
        bench::PairedRounds lend(
            "lend",
            {{"program (click)",
              [&] {
                  library.control(names::kLoanCard).setText(bench::cardNumber(10 * run + 1));
                  library.control(names::kLoanBook).setText(bench::bookNumber(firstBook + run));
                  const auto sample = timed([&] { library.click(names::kLend); });
                  if (loans.rowCount() != 1 ||
                      library.control(names::kBookState).text() != "成功记录所借图书！") {
                      fail("the lend did not record the loan");
                  }
                  return sample;
              }},
             {"floor: the bare statements",
              [&] { return timed([&] { bareLend(bare, floorCard(), floorBook()); }); }}});
        bench::PairedRounds giveBack(
            "return", {{"program (click)",
                        [&] {
                            library.control(names::kLoanList).listView().setSelected(0);
                            const auto sample = timed([&] { library.click(names::kReturn); });
                            if (loans.rowCount() != 0) {
                                fail("the return did not take the loan off the list");
                            }
                            return sample;
                        }},
                       {"floor: the bare statements", [&] {
                            return timed([&] { bareReturn(bare, floorCard(), floorBook()); });
                        }}});
        // At the desk: the barcode scanned into the book box, then Enter; the
        // same barcode scanned again for 按书还书.
        const auto scannedBook = [&] { return bench::bookNumber(firstBook + 2 * runs + run); };
        const auto floorScannedBook = [&] { return bench::bookNumber(firstBook + 3 * runs + run); };
        bench::PairedRounds scanLend(
            "lend by barcode",
            {{"program (Enter)",
              [&] {
                  library.control(names::kLoanCard).setText(bench::cardNumber(10 * run + 1));
                  library.control(names::kLoanBook)
                      .setText(barcodeOf(library.database(), scannedBook()));
                  const auto sample = timed([&] { library.enter(names::kLoanBook); });
                  if (loans.rowCount() != 1 || loans.cell(0, 0) != scannedBook()) {
                      fail("the lend by barcode did not record the loan of " + scannedBook());
                  }
                  return sample;
              }},
             {"floor: the bare statements", [&] {
                  const std::string barcode = barcodeOf(library.database(), floorScannedBook());
                  return timed(
                      [&] { bareBarcodeLend(bare, floorCard(), floorScannedBook(), barcode); });
              }}});
        bench::PairedRounds scanReturn(
            "return by scan",
            {{"program (按书还书)",
              [&] {
                  const auto sample = timed([&] { library.click(names::kReturnByBook); });
                  if (loans.rowCount() != 0) {
                      fail("the return by scan did not take the loan off the list");
                  }
                  return sample;
              }},
             {"floor: the bare statements", [&] {
                  const std::string barcode = barcodeOf(library.database(), floorScannedBook());
                  return timed(
                      [&] { bareScanReturn(bare, floorCard(), floorScannedBook(), barcode); });
              }}});
        for (run = 0; run < runs; ++run) {
            lend.runRound();
            giveBack.runRound();
            scanLend.runRound();
            scanReturn.runRound();
        }
        lend.print();
        judge(lend, 30);
        giveBack.print();
        judge(giveBack, 30);
        scanLend.print();
        judge(scanLend, 30);
        scanReturn.print();
        judge(scanReturn, 30);
        if (durable) {
            // The program's sample of each round, offered again to the rounds
            // against the fuller floor, so both ratios pair the same runs.
            std::optional<bench::Sample> lastReport;
            bench::PairedRounds listing(
                "report of 2015",
                {{"program (click)",
                  [&] {
                      lastReport = timed([&] { library.click(names::kShowReport); });
                      if (reportList.rowCount() != kReportYearRows) {
                          fail("the report listed " + std::to_string(reportList.rowCount()) +
                               " rows");
                      }
                      return lastReport;
                  }},
                 {"floor: the same select stepped bare", [&] {
                      return timed([&] {
                          if (bare.run(kReportSql, {}, kReportYear) != kReportYearRows) {
                              fail("the floor's report has another row count");
                          }
                      });
                  }}});
            bench::PairedRounds againstFuller(
                "report of 2015 beside the fuller floor",
                {{"program (the same runs)", [&] { return lastReport; }},
                 {"fuller floor: shown cells as UTF-8", [&] {
                      return timed([&] {
                          if (bare.runKeepingText(kReportSql, kReportYear,
                                                  kFirstShownReportColumn) != kReportYearRows) {
                              fail("the fuller floor's report has another row count");
                          }
                      });
                  }}});
            for (int round = 0; round < std::max(7, runs / 2); ++round) {
                listing.runRound();
                againstFuller.runRound();
            }
            listing.print();
            judge(listing, 100);
            againstFuller.print();
            const auto ratio = againstFuller.ratioToFloor(0, false);
            std::printf("  within 1.15x of the fuller floor: %s\n",
                        ratio && ratio->median <= 1.15 ? "met" : "MISSED");
        }
    }
    return 0;
}
