// Benchmark of the book search, readers and data pages on a generated library
// of 100,000 books and 5,000 readers, each operation driven through the
// program as a click would drive it (the control model, the shared record
// set, the list of the page), and each figure set beside its floor: the same
// statement stepped by SQLite alone on a connection with the program's page
// cache, or a plain copy of the file. The program and its floor run in the
// same round, their order alternating, and each figure is the median with
// the spread over the rounds, beside the load. The bare select reads the
// cells but converts none; where the list must hold them as UTF-8 (the
// database holds code page 936), a fuller floor converts and keeps the shown
// cells and reads what else the page must (the lent books).
//
//   chengxi-catalog-bench [--runs N] [--headless]
//
// With the Qt front end built, the clicks also go through the Qt screen on the
// offscreen platform: its throttled repaints and its list models included.
//
// Targets: a title search of about 1,000 hits under 50 ms, a search of all
// 100,000 books under 300 ms, a browse page of 500 and the reader listing of
// 5,000 under 30 ms each, the backup of a 50 MB database under 0.2 s, and the
// main window's start-up on it (the tables ensured, the file's quick check)
// under 0.3 s.
#include "app/program.h"
#include "library/books.h"
#include "platform/durable_file.h"
#include "store/backups.h"
#include "store/connection.h"
#include "store/text_functions.h"
#include "support/bench_screen.h"
#include "support/paired_rounds.h"
#include "support/sample_library.h"
#include "text/cp936.h"
#include "text/file_path.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"

#ifdef CHENGXI_BENCH_QT
#include "app/qt/qt_screen.h"

#include <QApplication>
#endif

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace chengxi;
using bench::BenchScreen;
namespace fs = std::filesystem;
namespace names = ui::names::main;
using Steady = std::chrono::steady_clock;

constexpr int kBooks = 100000;
constexpr int kReaders = 5000;
constexpr std::uintmax_t kBackupBytes = 50u * 1000 * 1000;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "catalog bench: %s\n", what.c_str());
    std::exit(1);
}

class Folder {
public:
    explicit Folder(const std::string& name) {
        std::random_device seed;
        path_ = fs::temp_directory_path() / (name + "-" + std::to_string(seed()));
        fs::create_directories(path_);
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    const fs::path& path() const { return path_; }
    std::string utf8() const { return text::fromPath(path_); }
    fs::path database() const { return path_ / text::toPath("数据库.sdb"); }

private:
    fs::path path_;
};

// The floor: the statement prepared and stepped by SQLite alone on its own
// connection, every column of every row read as text, nothing converted.
class BareDatabase {
public:
    explicit BareDatabase(const fs::path& file) {
        // Opened as the program opens its connection: one thread, no mutexes,
        // and the same page cache, or the floor would pay for a smaller one.
        const std::string cacheSize = "PRAGMA cache_size=" + programCacheSize(file);
        if (sqlite3_open_v2(text::fromPath(file).c_str(), &db_,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK ||
            !store::registerTextFunctions(db_) ||
            sqlite3_exec(db_, cacheSize.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            fail("cannot open the database bare");
        }
    }
    ~BareDatabase() { sqlite3_close(db_); }
    BareDatabase(const BareDatabase&) = delete;
    BareDatabase& operator=(const BareDatabase&) = delete;

    // Rows of one scan; the text values are UTF-8 and bound as code page 936.
    int scan(const std::string& sql, const std::vector<std::string>& texts = {},
             const std::vector<int>& numbers = {}) {
        sqlite3_stmt* statement = nullptr;
        const std::string bytes = text::toCp936(sql).bytes;
        if (sqlite3_prepare_v2(db_, bytes.c_str(), static_cast<int>(bytes.size()), &statement,
                               nullptr) != SQLITE_OK) {
            fail("cannot prepare " + sql);
        }
        int parameter = 1;
        for (const std::string& value : texts) {
            const std::string encoded = text::toCp936(value).bytes;
            sqlite3_bind_text(statement, parameter++, encoded.c_str(),
                              static_cast<int>(encoded.size()), SQLITE_TRANSIENT);
        }
        for (const int value : numbers) {
            sqlite3_bind_int(statement, parameter++, value);
        }
        int rows = 0;
        std::size_t bytesRead = 0;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int column = 0; column < sqlite3_column_count(statement); ++column) {
                bytesRead += static_cast<std::size_t>(sqlite3_column_bytes(statement, column));
            }
            ++rows;
        }
        sqlite3_finalize(statement);
        bytesRead_ += bytesRead;
        return rows;
    }

    // The work a list of the rows cannot leave out: one scan with one text
    // value, each row's number and the cells at `shown` converted to UTF-8
    // and kept, each as its own text; the number of rows.
    int scanKeepingText(const std::string& sql, const std::string& value,
                        const std::vector<int>& shown) {
        sqlite3_stmt* statement = nullptr;
        const std::string bytes = text::toCp936(sql).bytes;
        if (sqlite3_prepare_v2(db_, bytes.c_str(), static_cast<int>(bytes.size()), &statement,
                               nullptr) != SQLITE_OK) {
            fail("cannot prepare " + sql);
        }
        const std::string encoded = text::toCp936(value).bytes;
        sqlite3_bind_text(statement, 1, encoded.c_str(), static_cast<int>(encoded.size()),
                          SQLITE_TRANSIENT);
        std::vector<std::string> cells;
        int rows = 0;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            cells.push_back(std::to_string(++rows));
            for (const int column : shown) {
                const auto* cell =
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
                cells.push_back(text::fromCp936(std::string_view(
                    cell, static_cast<std::size_t>(sqlite3_column_bytes(statement, column)))));
            }
        }
        sqlite3_finalize(statement);
        bytesRead_ += cells.size();
        return rows;
    }

private:
    // The page cache the program's own connection sets, as it reports it.
    static std::string programCacheSize(const fs::path& file) {
        store::Connection program;
        sqlite3_stmt* query = nullptr;
        std::string size;
        if (program.open(text::fromPath(file), false) &&
            sqlite3_prepare_v2(program.handle(), "PRAGMA cache_size", -1, &query, nullptr) ==
                SQLITE_OK &&
            sqlite3_step(query) == SQLITE_ROW) {
            size = std::to_string(sqlite3_column_int64(query, 0));
        }
        sqlite3_finalize(query);
        if (size.empty()) {
            fail("cannot read the program's page cache size");
        }
        return size;
    }

    sqlite3* db_ = nullptr;
    std::size_t bytesRead_ = 0;
};

// SQLite's quick check of the file on a connection of its own, as bare as it
// runs: the floor of the start-up's check.
void quickCheckBare(const fs::path& file) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(text::fromPath(file).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        fail("cannot open the database bare");
    }
    sqlite3_stmt* check = nullptr;
    const bool sound =
        sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &check, nullptr) == SQLITE_OK &&
        sqlite3_step(check) == SQLITE_ROW &&
        std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(check, 0))) == "ok";
    sqlite3_finalize(check);
    sqlite3_close(db);
    if (!sound) {
        fail("the generated database fails its quick check");
    }
}

// Every byte of the file read once, in large pieces.
void readThrough(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<char> buffer(1 << 20);
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
    }
}

class FixedClock final : public ui::Clock {
public:
    text::DateTime now() override { return {2015, 11, 16, 10, 30, 0}; }
    std::uint32_t ticks() override { return 1000; }
};

// How the program is shown and how a click reaches it: straight in with
// nothing drawn, or through the Qt screen.
struct Front {
    ui::Screen& screen;
    std::function<void(app::Program&)> attach; // before the program starts
    std::function<void()> detach;              // before the program goes
    std::function<void(app::Program&, std::string_view control, ui::Event event)> fire;
};

// The program on one library, its main window open, clicked as a person would.
class Session {
public:
    Session(const Folder& folder, const Front& front)
        : program_({folder.utf8(), text::joinPath(folder.utf8(), "mzqk.ini")}, front.screen,
                   clock_),
          front_(front) {}
    ~Session() { front_.detach(); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    app::Program& program() { return program_; }

    void open() {
        front_.attach(program_);
        program_.start();
        program_.showMainWindow();
        if (program_.window(names::kWindow) == nullptr) {
            fail("the main window did not open");
        }
    }

    ui::Window& main() { return *program_.window(names::kWindow); }

    void pickMode(std::string_view mode) {
        ui::Control& combo = main().control(names::kSearchMode);
        const auto& items = combo.items();
        combo.setCurrentItem(
            static_cast<int>(std::find(items.begin(), items.end(), mode) - items.begin()));
        fire(names::kSearchMode, ui::Event::SelectionChanged);
    }
    void type(std::string_view control, std::string text) {
        main().control(control).setText(std::move(text));
    }
    void fire(std::string_view control, ui::Event event) { front_.fire(program_, control, event); }
    void click(std::string_view control) { fire(control, ui::Event::Clicked); }
    int rows(std::string_view list) { return main().control(list).listView().rowCount(); }
    const std::string& text(std::string_view control) { return main().control(control).text(); }

private:
    FixedClock clock_;
    app::Program program_;
    const Front& front_;
};

// One figure: the program's work, its floor and, where the floor leaves out
// work the operation must do, a fuller floor, run in paired rounds.
struct Figure {
    std::string what;
    double target = 0; // seconds
    std::shared_ptr<bench::PairedRounds> rounds;
    // The same rounds' program and fuller floor, paired for their ratio.
    std::shared_ptr<bench::PairedRounds> besideFuller;
};

using Work = std::function<void()>;

Figure pairedFigure(std::string what, double target, int runs, const Work& program,
                    const std::string& floorWhat, const Work& floor,
                    const std::string& fullerWhat = {}, const Work& fuller = {}) {
    // Each contender's last sample, offered again to the pairing with the
    // fuller floor.
    auto last = std::make_shared<std::array<std::optional<bench::Sample>, 3>>();
    const auto timed = [last](std::size_t index, const Work& work) {
        return [last, index, work]() -> std::optional<bench::Sample> {
            return (*last)[index] = bench::timeInProcess(work);
        };
    };
    const auto replayed = [last](std::size_t index) {
        return [last, index] { return (*last)[index]; };
    };
    std::vector<bench::PairedRounds::Contender> contenders{
        {"program (click)", timed(0, program)}, {"floor: " + floorWhat, timed(1, floor)}};
    std::shared_ptr<bench::PairedRounds> besideFuller;
    if (fuller) {
        contenders.push_back({"floor: " + fullerWhat, timed(2, fuller)});
        besideFuller = std::make_shared<bench::PairedRounds>(
            what, std::vector<bench::PairedRounds::Contender>{{"program", replayed(0)},
                                                              {"fuller floor", replayed(2)}});
    }
    // One run of each first, to warm the caches.
    for (const auto& contender : contenders) {
        contender.run();
    }
    auto rounds = std::make_shared<bench::PairedRounds>(what, std::move(contenders));
    for (int round = 0; round < runs; ++round) {
        rounds->runRound();
        if (besideFuller) {
            besideFuller->runRound();
        }
    }
    return {std::move(what), target, std::move(rounds), std::move(besideFuller)};
}

void printFigure(const Figure& figure) {
    figure.rounds->print();
    if (figure.besideFuller) {
        const auto byWall = figure.besideFuller->ratioToFloor(0, false);
        const auto byProcessor = figure.besideFuller->ratioToFloor(0, true);
        if (byWall && byProcessor) {
            std::printf("  program /fuller floor wall %s cpu %s\n",
                        bench::formatSpread(*byWall, 1, 2).c_str(),
                        bench::formatSpread(*byProcessor, 1, 2).c_str());
        }
    }
    const double median = figure.rounds->wallOf(0)->median;
    std::printf("  target < %.0f ms: %s\n", figure.target * 1000,
                median < figure.target ? "met" : "MISSED");
}

void requireRows(Session& session, std::string_view list, int expected, const char* what) {
    if (session.rows(list) != expected) {
        fail(std::string(what) + ": " + std::to_string(session.rows(list)) + " rows, expected " +
             std::to_string(expected));
    }
}

struct Libraries {
    const Folder& catalogue;  // 100,000 books, 5,000 readers
    const Folder& sameTitles; // the same, every title holding 馆藏
    const Folder& large;      // about 50 MB
};

std::vector<Figure> measure(const Libraries& libraries, const Front& front, int runs) {
    std::vector<Figure> figures;
    BareDatabase bare(libraries.catalogue.database());
    const std::string titleSql = "select * from 图书数据 where gbk_contains(书名, ?)";
    const std::string stepped = "the same select stepped bare";

    {
        Session session(libraries.catalogue, front);
        session.open();

        // Title search, about 1% of the catalogue.
        session.pickMode("书名");
        session.type(names::kSearchText, bench::kCommonTitleWord);
        const int hits = bare.scan(titleSql, {bench::kCommonTitleWord});
        figures.push_back(pairedFigure(
            "title search \"" + std::string(bench::kCommonTitleWord) + "\" (" +
                std::to_string(hits) + " hits)",
            0.050, runs, [&] { session.click(names::kSearch); }, stepped,
            [&] { bare.scan(titleSql, {bench::kCommonTitleWord}); }));
        requireRows(session, names::kSearchResults, hits, "title search");

        // Browse pages of 500: the first, and one far into the catalogue.
        const std::string pageSql = "select * from 图书数据 limit ? offset ?";
        session.pickMode("全部图书");
        session.type(names::kRowsPerPage, "500");
        figures.push_back(pairedFigure(
            "browse, first page of 500", 0.030, runs, [&] { session.click(names::kSearch); },
            "the same page stepped bare",
            [&] {
                bare.scan(pageSql, {}, {500, 0});
            }));
        requireRows(session, names::kSearchResults, 500, "first page");
        catalog::CatalogueState& state = session.program().library().catalogue;
        figures.push_back(pairedFigure(
            "browse, page down to offset 99,500", 0.030, runs,
            [&] {
                state.pageOffset = 99000;
                session.click(names::kPageDown);
            },
            "the same page stepped bare",
            [&] {
                bare.scan(pageSql, {}, {500, 99500});
            }));
        requireRows(session, names::kSearchResults, 500, "far page");

        // The reader listing: the first showing of the page, then refreshes.
        session.main().control(names::kTabs).setCurrentPage(names::kPageReaders);
        session.fire(names::kTabs, ui::Event::PageChanged);
        figures.push_back(pairedFigure(
            "reader listing of 5,000 (refresh)", 0.030, runs,
            [&] { session.click(names::kRefreshReaders); }, stepped,
            [&] { bare.scan("select * from 读者数据"); }));
        requireRows(session, names::kReaderList, kReaders, "reader listing");
    }
    {
        Session session(libraries.sameTitles, front);
        session.open();
        BareDatabase sameBare(libraries.sameTitles.database());
        session.pickMode("书名");
        session.type(names::kSearchText, "馆藏");
        // The list shows each book's title, author, number and shelf as UTF-8
        // beside its row number, and marks the lent ones: 借出数据 is read too.
        const std::vector<int> shown{library::kTitleAt, library::kAuthorAt, library::kNumberAt,
                                     library::kShelfAt};
        figures.push_back(pairedFigure(
            "title search matching all 100,000", 0.300, runs,
            [&] { session.click(names::kSearch); }, stepped,
            [&] { sameBare.scan(titleSql, {"馆藏"}); }, "shown cells as UTF-8, lent books read",
            [&] {
                sameBare.scanKeepingText(titleSql, "馆藏", shown);
                sameBare.scan("select 图书编号, 借书证号 from 借出数据");
            }));
        requireRows(session, names::kSearchResults, kBooks, "search of all");
    }
    {
        Session session(libraries.large, front);
        session.open();
        const fs::path copy = libraries.large.path() / "plain-copy.sdb";
        const auto plainCopy = [&] {
            fs::copy_file(libraries.large.database(), copy, fs::copy_options::overwrite_existing);
        };
        char size[32];
        std::snprintf(size, sizeof size, "%.1f",
                      static_cast<double>(fs::file_size(libraries.large.database())) / 1e6);
        // The backups already there: the daily backup the start-up made (on
        // the first session of the day) and those of an earlier front end.
        const std::size_t backupsBefore = store::backupFiles(libraries.large.utf8()).size();
        // The backup is flushed to the disk before it takes its name.
        figures.push_back(pairedFigure(
            "backup of a " + std::string(size) + " MB database (click)", 0.200, runs,
            [&] { session.click(names::kBackup); }, "plain copy of the file", plainCopy,
            "plain copy flushed to the disk",
            [&] {
                plainCopy();
                platform::flushFileToDisk(copy);
            }));
        // Every click of the one second keeps its own backup (the warming
        // run included).
        if (session.main().control(names::kBackupList).items().size() !=
            backupsBefore + static_cast<std::size_t>(runs) + 1) {
            fail("the backup list does not show every backup");
        }

        figures.push_back(pairedFigure(
            "main window start-up, " + std::string(size) + " MB", 0.300, runs,
            [&] {
                Session started(libraries.large, front);
                started.open();
            },
            "SQLite's quick check run bare", [&] { quickCheckBare(libraries.large.database()); },
            "the file read through once", [&] { readThrough(libraries.large.database()); }));
    }
    return figures;
}

void fill(const Folder& folder, const bench::LibrarySize& size) {
    store::Connection connection;
    if (!connection.open(text::fromPath(folder.database()), true)) {
        fail("cannot create " + text::fromPath(folder.database()));
    }
    bench::fillLibrary(connection, size);
}

} // namespace

int main(int argc, char** argv) {
    int runs = 7;
    bool headlessOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (argument == "--headless") {
            headlessOnly = true;
        } else {
            std::fprintf(stderr, "usage: chengxi-catalog-bench [--runs N] [--headless]\n");
            return 2;
        }
    }

    Folder catalogue("chengxi-bench-catalogue");
    Folder sameTitles("chengxi-bench-same-titles");
    Folder large("chengxi-bench-large");
    const double generated =
        bench::timeInProcess([&] {
            fill(catalogue, {kBooks, kReaders, 50000});
            fs::copy_file(catalogue.database(), sameTitles.database());
            store::Connection connection;
            if (!connection.open(text::fromPath(sameTitles.database()), false) ||
                !connection.execute("update 图书数据 set 书名 = '馆藏' || 书名")) {
                fail("cannot prepare the library of equal titles");
            }
            // Enough books for the size the backup target names: what a book takes
            // is the catalogue's size less that of the same library without books.
            Folder bookless("chengxi-bench-bookless");
            fill(bookless, {0, kReaders, 50000});
            const auto rest = static_cast<double>(fs::file_size(bookless.database()));
            const double perBook =
                (static_cast<double>(fs::file_size(catalogue.database())) - rest) / kBooks;
            fill(large, {static_cast<int>((static_cast<double>(kBackupBytes) - rest) / perBook) + 1,
                         kReaders, 50000});
        }).wall;
    std::printf("generated the libraries in %.1f s (catalogue %.1f MB, large %.1f MB); "
                "%d paired rounds\n",
                generated, static_cast<double>(fs::file_size(catalogue.database())) / 1e6,
                static_cast<double>(fs::file_size(large.database())) / 1e6, runs);
    const Libraries libraries{catalogue, sameTitles, large};

    BenchScreen screen;
    const Front headless{screen, [](app::Program&) {}, [] {},
                         [](app::Program& program, std::string_view control, ui::Event event) {
                             program.fire(names::kWindow, control, event);
                         }};
    std::printf("headless (the control model only, repaints counted):\n");
    for (const Figure& figure : measure(libraries, headless, runs)) {
        printFigure(figure);
    }

#ifdef CHENGXI_BENCH_QT
    if (!headlessOnly) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        int qtArgc = 1;
        QApplication application(qtArgc, argv);
        qt::QtScreen qtScreen;
        qtScreen.setMessageBoxHandler([](const ui::Message&) { return ui::Answer::Ok; });
        std::printf("through the Qt screen (%s platform, throttled repaints, list models):\n",
                    qPrintable(QGuiApplication::platformName()));
        const Front onQt{qtScreen, [&qtScreen](app::Program& program) { qtScreen.attach(program); },
                         [&qtScreen] { qtScreen.detach(); },
                         [&qtScreen](app::Program&, std::string_view control, ui::Event event) {
                             qtScreen.fire(names::kWindow, control, event);
                         }};
        for (const Figure& figure : measure(libraries, onQt, runs)) {
            printFigure(figure);
        }
    }
#else
    (void)headlessOnly;
#endif
    return 0;
}
