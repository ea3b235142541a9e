// Benchmark of the .xlsx import and export of the pages, end to end through
// the page operations as a click runs them, on a catalogue of 65,535 books:
//
//   book export    query, rows streamed to the .xlsx, file in place
//                  floor: the rows read by bare SQLite + the same strings
//                  handed to libxlsxwriter directly
//   book import    that file: backup, read, 65,535 inserts, commit, the
//                  counter repainted per row
//                  floor: the sheet parts unpacked by libzip alone + the same
//                  rows (already code page 936) inserted by bare SQLite
//                  peer: Python's openpyxl in read-only mode reading every cell
//   peak memory    the import's growth of the resident set's high-water mark
//                  (Linux), in a fresh process of its own, beside the size of
//                  the unpacked sheet parts
//
//   chengxi-xlsx-pages-bench [--runs N] [--no-python]
//   chengxi-xlsx-pages-bench --measure-import FILE   (the peak memory step)
//
// Targets: export and import under 1 s each, the import at least 5x faster
// than openpyxl, its peak memory under 3x the unpacked sheet. Figures are
// the best of the runs, with their processor time.
#include "app/program.h"
#include "library/templates.h"
#include "store/connection.h"
#include "support/bench_screen.h"
#include "support/sample_library.h"
#include "text/cp936.h"
#include "text/file_path.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"

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
#include <xlsxwriter.h>
#include <zip.h>

namespace {

using namespace chengxi;
using bench::BenchClock;
using bench::BenchScreen;
namespace names = ui::names::main;
using Clock = std::chrono::steady_clock;
using Rows = std::vector<std::vector<std::string>>;

constexpr int kBooks = 65535;

[[noreturn]] void die(const std::string& why) {
    std::fprintf(stderr, "xlsx pages bench: %s\n", why.c_str());
    std::exit(1);
}

struct Seconds {
    double wall = 0;
    double cpu = 0;
    Seconds operator+(Seconds other) const { return {wall + other.wall, cpu + other.cpu}; }
};

template <class Work> Seconds timed(Work&& work) {
    const auto start = Clock::now();
    const std::clock_t cpuStart = std::clock();
    work();
    return {std::chrono::duration<double>(Clock::now() - start).count(),
            static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC};
}

// The best run of a figure and the best run of its floor.
struct Figure {
    const char* what;
    double target;
    Seconds best{1e9, 1e9};
    Seconds floor{1e9, 1e9};
    void add(Seconds measured, Seconds floorSeconds) {
        best = measured.wall < best.wall ? measured : best;
        floor = floorSeconds.wall < floor.wall ? floorSeconds : floor;
    }
    void print() const {
        std::printf("  %-12s %6.3f s (processor %6.3f s)   floor %6.3f s (processor %6.3f s)   "
                    "target < %.1f s%s\n",
                    what, best.wall, best.cpu, floor.wall, floor.cpu, target,
                    best.wall < target ? "" : "   OVER TARGET");
    }
};

struct Folder {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("chengxi-xlsx-pages-bench-" + std::to_string(Clock::now().time_since_epoch().count()));
    Folder() { std::filesystem::create_directories(path); }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string file(std::string_view name) const {
        return text::fromPath(path / text::toPath(name));
    }
};

Seconds click(app::Program& program, BenchScreen& screen, std::string_view button,
              const std::string& chosen = {}) {
    if (!chosen.empty()) {
        screen.files.push_back(chosen);
    }
    return timed([&] { program.fire(names::kWindow, button, ui::Event::Clicked); });
}

int countBooks(store::Connection& connection) {
    sqlite3_stmt* statement = nullptr;
    const std::string sql = text::toCp936("select count(*) from 图书数据").bytes;
    sqlite3_prepare_v2(connection.handle(), sql.c_str(), -1, &statement, nullptr);
    const int count = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
    sqlite3_finalize(statement);
    return count;
}

// Every book as code page 936 bytes (as the database holds them) and as UTF-8.
void readBooks(store::Connection& connection, Rows& cp936, Rows& utf8) {
    sqlite3_stmt* statement = nullptr;
    const std::string sql = text::toCp936("select * from 图书数据").bytes;
    sqlite3_prepare_v2(connection.handle(), sql.c_str(), -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        std::vector<std::string> bytes;
        std::vector<std::string> texts;
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
            bytes.emplace_back(value == nullptr ? "" : value);
            texts.push_back(text::fromCp936(bytes.back()));
        }
        cp936.push_back(std::move(bytes));
        utf8.push_back(std::move(texts));
    }
    sqlite3_finalize(statement);
}

// The export's floor: the rows read by bare SQLite, then written straight
// into libxlsxwriter.
Seconds exportFloor(store::Connection& connection, const std::string& path) {
    return timed([&] {
        Rows cp936;
        Rows rows;
        readBooks(connection, cp936, rows);
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook* workbook = workbook_new_opt(path.c_str(), &options);
        lxw_worksheet* sheet = workbook_add_worksheet(workbook, "sheet1");
        const auto headers = library::templateHeaders(library::TemplateKind::Books);
        for (std::size_t c = 0; c < headers.size(); ++c) {
            worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c),
                                   std::string(headers[c]).c_str(), nullptr);
        }
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (std::size_t c = 0; c < rows[r].size(); ++c) {
                if (!rows[r][c].empty()) {
                    worksheet_write_string(sheet, static_cast<lxw_row_t>(r + 1),
                                           static_cast<lxw_col_t>(c), rows[r][c].c_str(), nullptr);
                }
            }
        }
        if (workbook_close(workbook) != LXW_NO_ERROR) {
            die("libxlsxwriter could not write the floor's file");
        }
    });
}

// The sheet parts (worksheets and shared strings) inflated by libzip alone;
// their unpacked size in `unpacked`.
Seconds unpackFloor(const std::string& path, std::uint64_t& unpacked) {
    unpacked = 0;
    return timed([&] {
        int error = 0;
        zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
        if (archive == nullptr) {
            die("libzip cannot open " + path);
        }
        std::vector<char> buffer(1 << 16);
        const zip_int64_t entries = zip_get_num_entries(archive, 0);
        for (zip_int64_t i = 0; i < entries; ++i) {
            const std::string name = zip_get_name(archive, static_cast<zip_uint64_t>(i), 0);
            if (name.rfind("xl/worksheets/", 0) != 0 && name != "xl/sharedStrings.xml") {
                continue;
            }
            zip_file_t* part = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
            zip_int64_t got = 0;
            while ((got = zip_fread(part, buffer.data(), buffer.size())) > 0) {
                unpacked += static_cast<std::uint64_t>(got);
            }
            zip_fclose(part);
        }
        zip_close(archive);
    });
}

// The import's other floor: the same rows inserted by bare SQLite into a
// fresh database, prepared once, in one transaction.
Seconds insertFloor(const std::string& path, const Rows& cp936) {
    std::filesystem::remove(text::toPath(path));
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    std::string columns;
    for (int c = 0; c < 16; ++c) {
        columns += (c == 0 ? "c" : ",c") + std::to_string(c) + " text";
    }
    sqlite3_exec(db, ("create table t(" + columns + ")").c_str(), nullptr, nullptr, nullptr);
    const Seconds seconds = timed([&] {
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "insert into t values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)", -1, &insert,
                           nullptr);
        sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
        for (const auto& row : cp936) {
            for (std::size_t c = 0; c < row.size(); ++c) {
                sqlite3_bind_text(insert, static_cast<int>(c + 1), row[c].data(),
                                  static_cast<int>(row[c].size()), SQLITE_STATIC);
            }
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
        sqlite3_finalize(insert);
    });
    sqlite3_close(db);
    return seconds;
}

// Resident set and its high-water mark in bytes, from /proc (0 elsewhere).
std::uint64_t procStatus(std::string_view key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::strtoull(line.c_str() + key.size(), nullptr, 10) * 1024;
        }
    }
    return 0;
}

// openpyxl in read-only mode reading every cell's value; -1 when unavailable.
double openpyxlSeconds(const Folder& folder, const std::string& workbook) {
    const std::string script = folder.file("openpyxl_bench.py");
    const std::string output = folder.file("openpyxl_bench.txt");
    std::ofstream(text::toPath(script)) << R"PY(
import sys, time
import openpyxl
start = time.perf_counter()
ws = openpyxl.load_workbook(sys.argv[1], read_only=True).worksheets[0]
cells = sum(1 for row in ws.iter_rows(values_only=True) for v in row if v is not None)
seconds = time.perf_counter() - start
with open(sys.argv[2], "w") as f:
    f.write("%f %d\n" % (seconds, cells))
)PY";
    const std::string command =
        "/usr/bin/python3 \"" + script + "\" \"" + workbook + "\" \"" + output + "\" 2>/dev/null";
    double seconds = -1;
    if (std::system(command.c_str()) == 0) {
        std::ifstream(text::toPath(output)) >> seconds;
    }
    return seconds;
}

// A new program on an empty database imports FILE; prints the growth of the
// high-water mark of its resident set in bytes.
int measureImport(const std::string& workbook) {
    const Folder folder;
    const std::string programFolder = folder.file("program");
    std::filesystem::create_directories(text::toPath(programFolder));
    BenchScreen screen;
    BenchClock clock;
    app::Program program({programFolder, folder.file("mzqk.ini")}, screen, clock);
    program.start();
    program.showMainWindow();
    screen.files.push_back(workbook);
    program.fire(names::kWindow, names::kChooseBookFile, ui::Event::Clicked);
    const std::uint64_t before = procStatus("VmHWM:");
    click(program, screen, names::kImportBooks);
    if (countBooks(program.library().database.connection) != kBooks) {
        die("the measured import stored too few rows: " + screen.lastMessage);
    }
    std::printf("%llu\n", static_cast<unsigned long long>(procStatus("VmHWM:") - before));
    return 0;
}

// Runs measureImport in a process of its own, so nothing the benchmark did
// before stands in the high-water mark.
std::uint64_t importPeakGrowth(const char* self, const std::string& workbook) {
    const std::string command =
        "\"" + std::string(self) + "\" --measure-import \"" + workbook + "\"";
    FILE* pipe = popen(command.c_str(), "r");
    unsigned long long growth = 0;
    if (pipe == nullptr || std::fscanf(pipe, "%llu", &growth) != 1) {
        die("the peak memory step failed");
    }
    pclose(pipe);
    return growth;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]) == "--measure-import") {
        return measureImport(argv[2]);
    }
    int runs = 3;
    bool python = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--no-python") {
            python = false;
        } else {
            std::fprintf(stderr, "usage: chengxi-xlsx-pages-bench [--runs N] [--no-python]\n");
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
    bench::fillLibrary(database, {.books = kBooks, .readers = 0, .reportRows = 0});
    const std::string books = folder.file("图书.xlsx");
    std::printf("%d books, %d runs\n", kBooks, runs);

    Figure exportFigure{"book export", 1.0};
    Figure importFigure{"book import", 1.0};
    std::uint64_t unpacked = 0;
    std::uint64_t peakGrowth = 0;
    Rows cp936;
    Rows utf8;
    readBooks(database, cp936, utf8);
    for (int run = 1; run <= runs; ++run) {
        const Seconds exportSeconds = click(program, screen, names::kExportBooks, books);
        if (screen.lastMessage != "恭喜您，导出成功！") {
            die("book export: " + screen.lastMessage);
        }
        exportFigure.add(exportSeconds, exportFloor(database, folder.file("floor.xlsx")));

        const Seconds unpack = unpackFloor(books, unpacked);
        const Seconds importFloor = unpack + insertFloor(folder.file("floor.sdb"), cp936);
        if (!database.execute("delete from 图书数据")) {
            die("cannot empty the catalogue");
        }
        screen.files.push_back(books);
        program.fire(names::kWindow, names::kChooseBookFile, ui::Event::Clicked);
        const Seconds importSeconds = click(program, screen, names::kImportBooks);
        if (countBooks(database) != kBooks) {
            die("book import stored " + std::to_string(countBooks(database)) +
                " rows: " + screen.lastMessage);
        }
        importFigure.add(importSeconds, importFloor);
        std::printf("run %d: export %.3f s, import %.3f s\n", run, exportSeconds.wall,
                    importSeconds.wall);
    }
    peakGrowth = importPeakGrowth(argv[0], books);
    std::printf("best of %d runs, each beside the best floor\n", runs);
    exportFigure.print();
    importFigure.print();
    const double ratio = static_cast<double>(peakGrowth) / static_cast<double>(unpacked);
    std::printf("  %-12s %.1f MB growth of the resident set, unpacked sheet parts %.1f MB: "
                "%.2fx, target < 3x%s\n",
                "peak memory", peakGrowth / 1e6, unpacked / 1e6, ratio,
                ratio < 3 ? "" : "   OVER TARGET");
    bool met = exportFigure.best.wall < 1.0 && importFigure.best.wall < 1.0 && ratio < 3;
    if (python) {
        const double peer = openpyxlSeconds(folder, books);
        if (peer < 0) {
            std::printf("  openpyxl     n/a\n");
        } else {
            const double speedup = peer / importFigure.best.wall;
            std::printf("  openpyxl     read-only, every cell: %.3f s; the import is %.1fx faster, "
                        "target >= 5x%s\n",
                        peer, speedup, speedup >= 5 ? "" : "   BELOW TARGET");
            met = met && speedup >= 5;
        }
    }
    return met ? 0 : 1;
}
