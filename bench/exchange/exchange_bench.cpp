// Benchmark of the import and export pages, end to end through the page
// operations as a click runs them, each beside its floor measured in the same
// run, and beside Python's xlrd and xlwt on the same files:
//
//   book export    65,535 books: query, template, rows, file written
//                  floor: the rows read by bare SQLite + the same rows written
//                  through the workbook connection
//   book import    the exported file: backup, read, 65,535 inserts, commit,
//                  the counter repainted per row; once into the database the
//                  deleted catalogue left (its backup copies the free pages
//                  too), once into a compacted one, as in a new library
//                  floor: the workbook read + bare SQLite inserts of the same
//                  values (prepared once, code page 936 bytes converted before)
//                  through the program's connection into the emptied table
//   reader export / import of 5,000 readers (the import's click includes the
//                  reader listing it ends with)
//
//   chengxi-exchange-bench [--runs N] [--no-python]
//
// Targets: book import under 0.5 s and within 1.5x of its floor; book export
// under 0.5 s; reader import and export under 0.1 s each. Each figure is the
// best of the runs, with its processor time: on a shared machine the wall
// time of a busy moment says little.
#include "app/program.h"
#include "backups/backups.h"
#include "sample_library.h"
#include "store/connection.h"
#include "store/transaction.h"
#include "text/cp936.h"
#include "text/file_path.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "xls/connect_string.h"
#include "xls/sheet_statement.h"
#include "xls/templates.h"
#include "xls/workbook_connection.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

using namespace chengxi;
using SteadyClock = std::chrono::steady_clock;
namespace names = ui::names::main;

constexpr int kBooks = 65535;
constexpr int kReaders = 5000;

double secondsSince(SteadyClock::time_point start) {
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// Wall and processor time of a stretch of work. The machine is shared, so
// wall times of a busy moment wander; processor times much less.
struct Seconds {
    double wall = 0;
    double cpu = 0;
    Seconds operator+(Seconds other) const { return {wall + other.wall, cpu + other.cpu}; }
};

class Stopwatch {
public:
    Seconds elapsed() const { return {secondsSince(start_), cpuSeconds() - cpuStart_}; }

private:
    SteadyClock::time_point start_ = SteadyClock::now();
    double cpuStart_ = cpuSeconds();
};

// One figure over the runs: the run with the best wall time, and the best
// floor.
struct Figure {
    const char* what;
    double target;
    Seconds best{1e9, 0};
    Seconds floor{1e9, 1e9};

    void add(Seconds measured, Seconds floorSeconds) {
        if (measured.wall < best.wall) {
            best = measured;
        }
        floor.wall = std::min(floor.wall, floorSeconds.wall);
        floor.cpu = std::min(floor.cpu, floorSeconds.cpu);
    }
};

[[noreturn]] void die(const std::string& why) {
    std::fprintf(stderr, "exchange bench: %s\n", why.c_str());
    std::exit(1);
}

// Answers every box with OK, returns the queued paths from the file dialog
// and counts repaints, as cheaply as the model allows.
class BenchScreen final : public ui::Screen {
public:
    ui::Answer messageBox(const ui::Message& message) override {
        lastMessage = message.text;
        return ui::Answer::Ok;
    }
    void repaintNow(const ui::Window&, const ui::Control&) override { ++repaints; }
    bool showFileDialog(ui::FileDialogState& dialog) override {
        if (files.empty()) {
            return false;
        }
        dialog.fileName = files.front();
        files.pop_front();
        return true;
    }
    void setClipboardText(const std::string&) override {}
    std::string clipboardText() override { return {}; }
    void windowOpened(ui::Window&) override {}
    void windowClosing(ui::Window&) override {}
    void programEnded(int) override {}

    std::deque<std::string> files;
    std::string lastMessage;
    long repaints = 0;
};

class BenchClock final : public ui::Clock {
public:
    text::DateTime now() override { return {2015, 11, 16, 10, 30, ++second_ % 60}; }
    std::uint32_t ticks() override { return 1000; }

private:
    int second_ = 0;
};

struct Folder {
    std::filesystem::path path;
    Folder() {
        path = std::filesystem::temp_directory_path() /
               ("chengxi-exchange-bench-" +
                std::to_string(SteadyClock::now().time_since_epoch().count()));
        std::filesystem::create_directories(path);
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string file(std::string_view name) const {
        return text::fromPath(path / text::toPath(name));
    }
};

// A click timed from the event to the operation's return.
Seconds timedClick(app::Program& program, BenchScreen& screen, std::string_view button,
                   const std::string& chosen = {}) {
    if (!chosen.empty()) {
        screen.files.push_back(chosen);
    }
    screen.lastMessage.clear();
    const Stopwatch watch;
    program.fire(names::kWindow, button, ui::Event::Clicked);
    return watch.elapsed();
}

int countRows(store::Connection& connection, const char* table) {
    sqlite3_stmt* statement = nullptr;
    const std::string sql = text::toCp936(std::string("select count(*) from ") + table).bytes;
    sqlite3_prepare_v2(connection.handle(), sql.c_str(), -1, &statement, nullptr);
    const int count = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
    sqlite3_finalize(statement);
    return count;
}

// Every row of the table read by bare SQLite: each column's bytes touched.
Seconds bareSelect(store::Connection& connection, const char* table, std::size_t& bytes) {
    const Stopwatch watch;
    sqlite3_stmt* statement = nullptr;
    const std::string sql = text::toCp936(std::string("select * from ") + table).bytes;
    sqlite3_prepare_v2(connection.handle(), sql.c_str(), -1, &statement, nullptr);
    bytes = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            sqlite3_column_text(statement, c);
            bytes += static_cast<std::size_t>(sqlite3_column_bytes(statement, c));
        }
    }
    sqlite3_finalize(statement);
    return watch.elapsed();
}

// The rows of the table as UTF-8, for the floor's own workbook write.
std::vector<std::vector<std::string>> rowsOf(store::Connection& connection, const char* table) {
    std::vector<std::vector<std::string>> rows;
    sqlite3_stmt* statement = nullptr;
    const std::string sql = text::toCp936(std::string("select * from ") + table).bytes;
    sqlite3_prepare_v2(connection.handle(), sql.c_str(), -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
            row.push_back(text::fromCp936(text == nullptr ? "" : text));
        }
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(statement);
    return rows;
}

// The same rows written through the workbook connection, template first.
Seconds workbookWrite(const std::string& path, xls::TemplateKind kind,
                      const std::vector<std::vector<std::string>>& rows) {
    const auto columns = xls::templateHeaders(kind);
    const Stopwatch watch;
    if (!xls::writeTemplate(kind, path)) {
        die("cannot write a template");
    }
    xls::WorkbookConnection workbook;
    if (!workbook.open(xls::connectString(path))) {
        die("cannot open " + path);
    }
    for (const auto& row : rows) {
        if (!workbook.execute(xls::insertStatement(columns, row))) {
            die("floor insert failed: " + workbook.lastError());
        }
    }
    if (!workbook.close()) {
        die("floor write failed");
    }
    return watch.elapsed();
}

// The workbook read as the import reads it: every column of every row.
Seconds workbookRead(const std::string& path, xls::TemplateKind kind, std::string_view key,
                     std::vector<std::vector<std::string>>& rows) {
    const auto columns = xls::templateHeaders(kind);
    const Stopwatch watch;
    xls::WorkbookConnection workbook;
    if (!workbook.open(xls::connectString(path))) {
        die("cannot open " + path);
    }
    const auto query =
        workbook.openQuery("select * from [Sheet1$]  where [" + std::string(key) + "] is not NULL");
    rows.clear();
    for (workbook.moveFirst(query); !workbook.atEnd(query); workbook.moveNext(query)) {
        std::vector<std::string> row;
        row.reserve(columns.size());
        for (const std::string_view column : columns) {
            row.push_back(workbook.read(query, column));
        }
        rows.push_back(std::move(row));
    }
    return watch.elapsed();
}

// Bare SQLite inserts of the rows (already code page 936) into the emptied
// table through the program's own connection, so that they meet the same
// file, free pages and page cache as the import: prepared once, one
// transaction. The rows are deleted again afterwards (not timed).
Seconds bareInserts(store::Connection& program, const char* table,
                    const std::vector<std::vector<std::string>>& cp936Rows) {
    sqlite3* db = program.handle();
    const int columnCount = cp936Rows.empty() ? 0 : static_cast<int>(cp936Rows.front().size());
    std::string insert = "insert into " + text::toCp936(table).bytes + " values(";
    for (int c = 0; c < columnCount; ++c) {
        insert += c == 0 ? "?" : ",?";
    }
    insert += ")";
    const Stopwatch watch;
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, insert.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        die("cannot prepare the bare insert");
    }
    for (const auto& row : cp936Rows) {
        for (int c = 0; c < columnCount; ++c) {
            const std::string& value = row[static_cast<std::size_t>(c)];
            sqlite3_bind_text(statement, c + 1, value.data(), static_cast<int>(value.size()),
                              SQLITE_STATIC);
        }
        if (sqlite3_step(statement) != SQLITE_DONE) {
            die("bare insert failed");
        }
        sqlite3_reset(statement);
    }
    sqlite3_finalize(statement);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    const Seconds seconds = watch.elapsed();
    if (!program.execute(std::string("delete from ") + table)) {
        die("cannot empty the table again");
    }
    return seconds;
}

std::vector<std::vector<std::string>>
toCp936Rows(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::vector<std::string>> out;
    out.reserve(rows.size());
    for (const auto& row : rows) {
        std::vector<std::string> encoded;
        for (const std::string& value : row) {
            encoded.push_back(text::toCp936(value).bytes);
        }
        out.push_back(std::move(encoded));
    }
    return out;
}

// Python's xlrd reading a file whole (every cell's value) and xlwt writing
// the same rows as text cells, timed inside Python; -1 when unavailable.
struct PythonTimes {
    double xlrdRead = -1;
    double xlwtWrite = -1;
};

PythonTimes pythonTimes(const Folder& folder, const std::string& workbook) {
    const std::string script = folder.file("python_bench.py");
    const std::string output = folder.file("python_bench.txt");
    std::ofstream(text::toPath(script)) << R"PY(
import sys, time
try:
    import xlrd
except ImportError:
    xlrd = None
try:
    import xlwt
except ImportError:
    xlwt = None
src, out_xls, result = sys.argv[1], sys.argv[2], sys.argv[3]
read = write = -1.0
rows = None
if xlrd:
    start = time.perf_counter()
    sh = xlrd.open_workbook(src).sheet_by_index(0)
    rows = [[str(c.value) for c in sh.row(r)] for r in range(sh.nrows)]
    read = time.perf_counter() - start
if xlwt and rows:
    start = time.perf_counter()
    book = xlwt.Workbook(encoding="utf-8")
    ws = book.add_sheet("Sheet1")
    for r, row in enumerate(rows):
        for c, value in enumerate(row):
            if value:
                ws.write(r, c, value)
    book.save(out_xls)
    write = time.perf_counter() - start
with open(result, "w") as f:
    f.write("%f %f\n" % (read, write))
)PY";
    PythonTimes times;
    const std::string command = "/usr/bin/python3 \"" + script + "\" \"" + workbook + "\" \"" +
                                folder.file("xlwt.xls") + "\" \"" + output + "\"";
    if (std::system(command.c_str()) == 0) {
        std::ifstream(text::toPath(output)) >> times.xlrdRead >> times.xlwtWrite;
    }
    return times;
}

void report(const char* what, Seconds measured, Seconds floor) {
    std::printf("  %-14s %6.3f s (processor %6.3f s)   floor %6.3f s (processor %6.3f s)\n", what,
                measured.wall, measured.cpu, floor.wall, floor.cpu);
}

void summarise(const Figure& figure, double maxRatio) {
    const double ratio = figure.best.wall / figure.floor.wall;
    const double cpuRatio = figure.best.cpu / figure.floor.cpu;
    std::printf("  %-14s %6.3f s   floor %6.3f s   ratio %4.2f   processor %5.3f s / floor %5.3f s "
                "= %4.2f   target < %.2f s%s%s\n",
                figure.what, figure.best.wall, figure.floor.wall, ratio, figure.best.cpu,
                figure.floor.cpu, cpuRatio, figure.target,
                figure.best.wall < figure.target ? "" : "   OVER TARGET",
                maxRatio > 0 && ratio > maxRatio ? "   OVER THE FLOOR LIMIT" : "");
}

void reportPython(const char* what, const PythonTimes& python) {
    std::printf(
        "  %-15s xlrd read %s, xlwt write %s\n", what,
        python.xlrdRead < 0 ? "n/a" : (std::to_string(python.xlrdRead).substr(0, 5) + " s").c_str(),
        python.xlwtWrite < 0 ? "n/a"
                             : (std::to_string(python.xlwtWrite).substr(0, 5) + " s").c_str());
}

} // namespace

int main(int argc, char** argv) {
    int runs = 3;
    bool python = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--no-python") {
            python = false;
        } else {
            std::fprintf(stderr, "usage: chengxi-exchange-bench [--runs N] [--no-python]\n");
            return 2;
        }
    }
    const Folder folder;
    const std::string programFolder = folder.file("program");
    std::filesystem::create_directories(text::toPath(programFolder));
    BenchScreen screen;
    BenchClock clock;
    app::Program program({programFolder, folder.file("mzqk.ini")}, screen, clock);
    program.start();
    program.showMainWindow();
    store::Connection& database = program.library().database.connection;
    bench::fillLibrary(database, {.books = kBooks, .readers = kReaders, .reportRows = 0});
    const std::string books = folder.file("图书.xls");
    const std::string readers = folder.file("读者.xls");
    std::printf("%d books, %d readers, %d runs\n", kBooks, kReaders, runs);

    Figure bookExportFigure{"book export", 0.5};
    Figure bookImportFigure{"book import", 0.5};
    Figure compactImportFigure{"  into a new db", 0.5};
    Figure readerExportFigure{"reader export", 0.1};
    Figure readerImportFigure{"reader import", 0.1};
    for (int run = 1; run <= runs; ++run) {
        std::printf("run %d\n", run);
        // Book export, and its floor.
        const auto bookRows = rowsOf(database, "图书数据");
        std::size_t bytes = 0;
        const Seconds exportFloor =
            bareSelect(database, "图书数据", bytes) +
            workbookWrite(folder.file("floor.xls"), xls::TemplateKind::Books, bookRows);
        const Seconds bookExport = timedClick(program, screen, names::kExportBooks, books);
        if (screen.lastMessage != "恭喜您，导出成功！") {
            die("book export: " + screen.lastMessage);
        }
        report("book export", bookExport, exportFloor);
        bookExportFigure.add(bookExport, exportFloor);

        // Book import of that file, and its floor.
        std::vector<std::vector<std::string>> read;
        const Seconds readSeconds = workbookRead(books, xls::TemplateKind::Books, "图书编号", read);
        const Stopwatch conversionWatch;
        const auto encoded = toCp936Rows(read);
        const Seconds conversion = conversionWatch.elapsed();
        if (!database.execute("delete from 图书数据")) {
            die("cannot empty the catalogue");
        }
        const Seconds importFloor = readSeconds + bareInserts(database, "图书数据", encoded);
        screen.files.push_back(books);
        program.fire(names::kWindow, names::kChooseBookFile, ui::Event::Clicked);
        const long repaintsBefore = screen.repaints;
        const Seconds bookImport = timedClick(program, screen, names::kImportBooks);
        if (countRows(database, "图书数据") != kBooks) {
            die("book import stored " + std::to_string(countRows(database, "图书数据")) + " rows");
        }
        report("book import", bookImport, importFloor);
        const Stopwatch backupWatch;
        backups::backup(program.services());
        const Seconds backup = backupWatch.elapsed();
        std::printf("  %-14s %ld repaints of the status label; not in the floor: the backup "
                    "(alone %.3f s, processor %.3f s) and the values' code page conversion "
                    "(%.3f s)\n",
                    "", screen.repaints - repaintsBefore, backup.wall, backup.cpu, conversion.wall);
        bookImportFigure.add(bookImport, importFloor);

        // The same import into a database without the pages the deleted
        // catalogue left free, as in a new library: the backup that precedes
        // the import then copies only what is in use.
        const auto compact = [&] {
            if (!database.execute("delete from 图书数据") || !database.execute("vacuum")) {
                die("cannot compact the database");
            }
        };
        compact();
        const Seconds compactFloor = readSeconds + bareInserts(database, "图书数据", encoded);
        compact();
        const Seconds compactImport = timedClick(program, screen, names::kImportBooks);
        if (countRows(database, "图书数据") != kBooks) {
            die("book import stored " + std::to_string(countRows(database, "图书数据")) + " rows");
        }
        report("  into a new db", compactImport, compactFloor);
        compactImportFigure.add(compactImport, compactFloor);

        // Readers.
        const auto readerRows = rowsOf(database, "读者数据");
        const Seconds readerExportFloor =
            bareSelect(database, "读者数据", bytes) +
            workbookWrite(folder.file("floor.xls"), xls::TemplateKind::Readers, readerRows);
        const Seconds readerExport = timedClick(program, screen, names::kExportReaders, readers);
        if (screen.lastMessage != "恭喜您，导出成功！") {
            die("reader export: " + screen.lastMessage);
        }
        report("reader export", readerExport, readerExportFloor);
        readerExportFigure.add(readerExport, readerExportFloor);
        const Seconds readerReadSeconds =
            workbookRead(readers, xls::TemplateKind::Readers, "借书证号", read);
        if (!database.execute("delete from 读者数据")) {
            die("cannot empty the readers");
        }
        const Seconds readerImportFloor =
            readerReadSeconds + bareInserts(database, "读者数据", toCp936Rows(read));
        screen.files.push_back(readers);
        program.fire(names::kWindow, names::kChooseReaderFile, ui::Event::Clicked);
        const Seconds readerImport = timedClick(program, screen, names::kImportReaders);
        if (screen.lastMessage != "共导入 " + std::to_string(kReaders) + " 个读者信息") {
            die("reader import: " + screen.lastMessage);
        }
        report("reader import", readerImport, readerImportFloor);
        readerImportFigure.add(readerImport, readerImportFloor);
    }
    std::printf("best of %d runs, each beside the best floor\n", runs);
    summarise(bookExportFigure, 0);
    summarise(bookImportFigure, 1.5);
    summarise(compactImportFigure, 1.5);
    summarise(readerExportFigure, 0);
    summarise(readerImportFigure, 0);
    const bool allMet = bookExportFigure.best.wall < 0.5 && bookImportFigure.best.wall < 0.5 &&
                        bookImportFigure.best.wall < 1.5 * bookImportFigure.floor.wall &&
                        compactImportFigure.best.wall < 1.5 * compactImportFigure.floor.wall &&
                        readerExportFigure.best.wall < 0.1 && readerImportFigure.best.wall < 0.1;
    if (python) {
        std::printf("Python on the same files\n");
        reportPython("books", pythonTimes(folder, books));
        reportPython("readers", pythonTimes(folder, readers));
    }
    return allMet ? 0 : 1;
}
