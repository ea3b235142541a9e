// Benchmark of the school year's bulk work on the register:
//  - the year-end promotion of 3,000 readers in 60 classes (初一 to 初三,
//    twenty classes each, one reader in ten holding a book), from the moves
//    to the committed transaction, the backup excluded; its floor is the
//    same reads, updates and deletes by row id on SQLite directly, prepared
//    once, in one transaction;
//  - the library cards of those 3,000 readers into a PDF file (300 A4
//    pages); its floors are Qt's PDF writer drawing the same rectangles and
//    texts without the layout and fitting, and the file system writing a
//    file of the PDF's size.
//
//   chengxi-readers-bench [--runs N]
//
// The program and its floors run in the same round, their order alternating;
// each figure is the median [min–max] of the rounds.
//
// Targets: promotion under 200 ms, cards under 5 s.
#include "app/qt/printout_painter.h"
#include "library/initialisation.h"
#include "paired_rounds.h"
#include "readers/library_cards.h"
#include "readers/promotion.h"
#include "store/database.h"
#include "store/transaction.h"
#include "text/cp936.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

using namespace chengxi;
using Clock = std::chrono::steady_clock;

constexpr int kReaders = 3000;
constexpr int kClassesPerGrade = 20;
constexpr int kYear = 2016;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "readers bench: %s\n", what.c_str());
    std::exit(1);
}

std::optional<bench::Sample> timed(const std::function<void()>& work) {
    return bench::timeInProcess(work);
}

void judge(const bench::PairedRounds& rounds, double targetMs) {
    const double median = rounds.wallOf(0)->median * 1000;
    std::printf("  target < %.0f ms: %s\n", targetMs, median < targetMs ? "met" : "MISSED");
}

std::string className(int index) {
    static const char* const kGrades[] = {"初一", "初二", "初三"};
    return std::string(kGrades[index / kClassesPerGrade]) + "(" +
           std::to_string(index % kClassesPerGrade + 1) + ")班";
}

std::string cardNumber(int index) {
    return std::to_string(201400000 + index);
}

void buildRegister(const std::string& path) {
    store::Connection connection;
    if (!library::initialiseDatabase(connection, path).empty()) {
        fail("cannot create " + path);
    }
    store::Transaction transaction(connection);
    for (int i = 0; i < kReaders; ++i) {
        const bool holds = i % 10 == 0;
        if (!connection.execute("insert into 读者数据 values(?, ?, ?, ?, ?, ?)",
                                {className(i % (3 * kClassesPerGrade)), "读者" + std::to_string(i),
                                 cardNumber(i), holds ? "A00001|" : "0",
                                 holds ? "2016年7月1日|" : "0", holds ? "红楼梦|" : "0"})) {
            fail("cannot add readers");
        }
    }
    if (!transaction.commit()) {
        fail("cannot commit the readers");
    }
}

std::optional<bench::Sample> programPromotion(const std::string& path) {
    store::Database database;
    if (!database.connection.open(path, false)) {
        fail("cannot open " + path);
    }
    std::vector<readers::ClassMove> moves;
    if (!readers::proposeMoves(database, moves) || moves.size() != 3 * kClassesPerGrade) {
        fail("cannot propose the moves");
    }
    readers::PromotionOutcome outcome;
    const auto sample = timed([&] { outcome = readers::applyMoves(database, moves, kYear); });
    if (!outcome.applied || outcome.moved + outcome.graduated + outcome.keptLeavers != kReaders) {
        fail("the promotion failed: " + outcome.failure);
    }
    database.closeAll();
    return sample;
}

// The floor: read every row, then update or delete each by row id.
std::optional<bench::Sample> barePromotion(const std::string& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
        fail("cannot open the floor's connection");
    }
    const std::string select =
        text::toCp936("select rowid, 班别, 借书证号, 图书编号串 from 读者数据").bytes;
    const std::string update = text::toCp936("update 读者数据 set 班别 = ? where rowid = ?").bytes;
    const std::string remove = text::toCp936("delete from 读者数据 where rowid = ?").bytes;
    const std::string third = text::toCp936("初三").bytes;
    const std::string graduate = text::toCp936("2016届").bytes;
    const auto sample = timed([&] {
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt *query = nullptr, *updating = nullptr, *deleting = nullptr;
        sqlite3_prepare_v2(db, select.c_str(), -1, &query, nullptr);
        sqlite3_prepare_v2(db, update.c_str(), -1, &updating, nullptr);
        sqlite3_prepare_v2(db, remove.c_str(), -1, &deleting, nullptr);
        struct Row {
            sqlite3_int64 id;
            std::string newClass;
            bool leaves;
        };
        std::vector<Row> rows;
        while (sqlite3_step(query) == SQLITE_ROW) {
            std::string currentClass(reinterpret_cast<const char*>(sqlite3_column_text(query, 1)));
            const std::string books(reinterpret_cast<const char*>(sqlite3_column_text(query, 3)));
            const bool top = currentClass.starts_with(third);
            // The grade's byte pair moved up, as the rule does.
            std::string next = top ? graduate + currentClass : currentClass;
            rows.push_back({sqlite3_column_int64(query, 0), next, top && books == "0"});
        }
        for (const Row& row : rows) {
            sqlite3_stmt* statement = row.leaves ? deleting : updating;
            if (row.leaves) {
                sqlite3_bind_int64(statement, 1, row.id);
            } else {
                sqlite3_bind_text(statement, 1, row.newClass.data(),
                                  static_cast<int>(row.newClass.size()), SQLITE_STATIC);
                sqlite3_bind_int64(statement, 2, row.id);
            }
            sqlite3_step(statement);
            sqlite3_reset(statement);
        }
        sqlite3_finalize(query);
        sqlite3_finalize(updating);
        sqlite3_finalize(deleting);
        if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
            fail("the floor's commit failed");
        }
    });
    sqlite3_close(db);
    return sample;
}

std::vector<readers::CardHolder> holders() {
    std::vector<readers::CardHolder> all;
    for (int i = 0; i < kReaders; ++i) {
        all.push_back(
            {className(i % (3 * kClassesPerGrade)), "读者" + std::to_string(i), cardNumber(i)});
    }
    return all;
}

// Qt's PDF writer drawing the same boxes and texts, placed as they come.
std::optional<bench::Sample> barePdf(const ui::Printout& printout, const std::string& path) {
    return timed([&] {
        QPdfWriter writer(QString::fromStdString(path));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(1200);
        QPainter painter(&writer);
        const double dotsPerMm = 1200 / 25.4;
        for (std::size_t i = 0; i < printout.pages.size(); ++i) {
            if (i > 0) {
                writer.newPage();
            }
            for (const ui::PrintBox& box : printout.pages[i].boxes) {
                painter.fillRect(QRectF(box.left * dotsPerMm, box.top * dotsPerMm,
                                        box.width * dotsPerMm, box.height * dotsPerMm),
                                 Qt::black);
            }
            for (const ui::PrintText& text : printout.pages[i].texts) {
                painter.drawText(
                    QPointF(text.left * dotsPerMm, (text.top + text.height) * dotsPerMm),
                    QString::fromStdString(text.text));
            }
        }
        painter.end();
    });
}

std::optional<bench::Sample> bareFile(const std::string& path, std::uintmax_t bytes) {
    const std::string block(1 << 16, 'x');
    return timed([&] {
        std::ofstream out(path, std::ios::binary);
        for (std::uintmax_t written = 0; written < bytes; written += block.size()) {
            out.write(block.data(), static_cast<std::streamsize>(
                                        std::min<std::uintmax_t>(block.size(), bytes - written)));
        }
    });
}

} // namespace

int main(int argc, char** argv) {
    int runs = 5;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: chengxi-readers-bench [--runs N]\n");
            return 2;
        }
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("chengxi-readers-bench-" + std::to_string(Clock::now().time_since_epoch().count()));
    std::filesystem::create_directories(folder);
    const std::string original = (folder / "register.sdb").string();
    buildRegister(original);

    const std::string copy = (folder / "copy.sdb").string();
    const auto fresh = [&] {
        std::filesystem::copy_file(original, copy,
                                   std::filesystem::copy_options::overwrite_existing);
        return copy;
    };
    bench::PairedRounds promotion(
        "promotion of 3,000 readers in 60 classes (backup excluded)",
        {{"program (the moves applied)", [&] { return programPromotion(fresh()); }},
         {"floor: SQLite bare", [&] { return barePromotion(fresh()); }}});
    promotion.run(runs);
    promotion.print();
    judge(promotion, 200);

    const std::vector<readers::CardHolder> all = holders();
    const std::string pdf = (folder / "cards.pdf").string();
    const ui::Printout printout = readers::libraryCards(all, "澄溪学校图书室");
    if (!qt::printToPdf(printout, pdf).printed) {
        fail("cannot write the cards");
    }
    const std::uintmax_t bytes = std::filesystem::file_size(pdf);
    bench::PairedRounds cards(
        "cards of 3,000 readers to PDF (" + std::to_string(printout.pages.size()) + " pages)",
        {{"program (layout, barcodes, PDF)",
          [&] {
              return timed([&] {
                  if (!qt::printToPdf(readers::libraryCards(all, "澄溪学校图书室"), pdf).printed) {
                      fail("cannot write the cards");
                  }
              });
          }},
         {"floor: Qt's PDF writer bare",
          [&] { return barePdf(printout, (folder / "bare.pdf").string()); }},
         {"floor: the file system, same size",
          [&] { return bareFile((folder / "bytes.bin").string(), bytes); }}});
    cards.run(std::min(runs, 3));
    cards.print();
    judge(cards, 5000);
    std::filesystem::remove_all(folder);
    return 0;
}
