// Benchmark of restoring a backup, the daily backup and the data check, each
// figure beside its floor: a plain copy of the file, and SQLite's own
// integrity check run bare.
//
//   chengxi-restore-bench [--runs N]
//
// Targets: the restore of a 50 MB backup, its checks included, under 1.5 s;
// the daily backup adding under 0.3 s to the start of a 50 MB library; the
// data check of 100,000 books, 5,000 readers and 50,000 report rows under 1 s.
#include "backups/data_check.h"
#include "library/initialisation.h"
#include "library/schema.h"
#include "sample_library.h"
#include "store/backup.h"
#include "store/backups.h"
#include "store/connection.h"
#include "store/record_set.h"
#include "store/restore.h"
#include "text/file_path.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace chengxi;
namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

constexpr std::uintmax_t kLargeBytes = 50u * 1000 * 1000;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "restore bench: %s\n", what.c_str());
    std::exit(1);
}

double secondsOf(const std::function<void()>& work) {
    const Steady::time_point start = Steady::now();
    work();
    return std::chrono::duration<double>(Steady::now() - start).count();
}

// The median of `runs` timings; `prepare` runs before each, untimed.
double median(int runs, const std::function<void()>& prepare, const std::function<void()>& work) {
    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i) {
        prepare();
        seconds.push_back(secondsOf(work));
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
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

    fs::path file(std::string_view name) const { return path_ / text::toPath(std::string(name)); }
    std::string utf8() const { return text::fromPath(path_); }

private:
    fs::path path_;
};

void fill(const fs::path& file, const bench::LibrarySize& size, unsigned seed) {
    store::Connection connection;
    if (!connection.open(text::fromPath(file), true)) {
        fail("cannot create " + text::fromPath(file));
    }
    bench::fillLibrary(connection, size, seed);
}

void open(store::Connection& connection, const fs::path& file) {
    if (!connection.open(text::fromPath(file), false)) {
        fail("cannot open " + text::fromPath(file));
    }
}

// SQLite's integrity check on a connection of its own, nothing else.
void integrityCheckBare(const fs::path& file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(text::fromPath(file).c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* check = nullptr;
    const bool sound =
        sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr) == SQLITE_OK &&
        sqlite3_step(check) == SQLITE_ROW &&
        std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(check, 0))) == "ok";
    sqlite3_finalize(check);
    sqlite3_close(db);
    if (!sound) {
        fail("the generated database fails its integrity check");
    }
}

void copyPlain(const fs::path& from, const fs::path& to) {
    fs::remove(to);
    fs::copy_file(from, to);
}

void print(const char* what, double seconds, double target,
           const std::vector<std::pair<const char*, double>>& floors) {
    std::printf("  %-46s %7.3f s  (target %.1f s)\n", what, seconds, target);
    for (const auto& [floor, floorSeconds] : floors) {
        std::printf("    floor: %-38s %7.3f s\n", floor, floorSeconds);
    }
}

} // namespace

int main(int argc, char** argv) {
    int runs = 5;
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: chengxi-restore-bench [--runs N]\n");
            return 2;
        }
    }
    Folder folder("chengxi-bench-restore");
    const fs::path checked = folder.file("checked.sdb");
    const fs::path large = folder.file("数据库.sdb");
    const fs::path backup = folder.file("数据库2016年1月1日.sdb");
    const double generated = secondsOf([&] {
        fill(checked, {100000, 5000, 50000}, 1);
        // Books enough for 50 MB, measured on the library just made.
        const double perBook = static_cast<double>(fs::file_size(checked)) / 100000;
        int books = static_cast<int>(static_cast<double>(kLargeBytes) / perBook);
        fill(large, {books, 5000, 50000}, 1);
        // The first guess counts the readers and report as books: grown once.
        books = static_cast<int>(books * static_cast<double>(kLargeBytes) /
                                 static_cast<double>(fs::file_size(large)));
        fs::remove(large);
        fill(large, {books, 5000, 50000}, 1);
        fill(backup, {books, 5000, 50000}, 2);
    });
    std::printf("generated the libraries in %.1f s (checked %.1f MB, restored %.1f MB); "
                "median of %d runs\n",
                generated, static_cast<double>(fs::file_size(checked)) / 1e6,
                static_cast<double>(fs::file_size(backup)) / 1e6, runs);

    const fs::path pristine = folder.file("pristine.sdb");
    fs::copy_file(large, pristine);
    store::Connection connection;
    const auto reset = [&] {
        connection.close();
        copyPlain(pristine, large);
        for (const std::string& file : store::backupFiles(folder.utf8())) {
            if (text::toPath(file) != backup) {
                fs::remove(text::toPath(file));
            }
        }
        open(connection, large);
    };
    // The restore as the button runs it: the backup looked over and counted,
    // the database counted and backed up, the backup brought in, the tables
    // ensured again.
    const double restore = median(runs, reset, [&] {
        const store::BackupFileCheck check =
            store::checkBackupFile(text::fromPath(backup), library::kTableNames);
        if (check.verdict != store::BackupFileVerdict::Sound ||
            !store::countTableRows(connection, library::kTableNames) ||
            store::backupDatabase(connection,
                                  text::fromPath(folder.file("数据库2016年3月1日.sdb"))) !=
                store::BackupOutcome::Made ||
            store::restoreDatabase(connection, text::fromPath(backup)) !=
                store::RestoreOutcome::Restored ||
            !library::initialiseDatabase(connection, text::fromPath(large),
                                         library::FileCheck::AlreadyDone)
                 .empty()) {
            fail("the restore failed");
        }
    });
    const double copyFloor = median(
        runs, [] {}, [&] { copyPlain(backup, folder.file("copy.sdb")); });
    const double checkFloor = median(
        runs, [] {}, [&] { integrityCheckBare(backup); });

    // What the daily backup adds to a start: today's backups looked for, a
    // row looked for, the backup made.
    const double daily = median(runs, reset, [&] {
        if (!store::backupFiles(folder.utf8()).empty() &&
            !store::holdsAnyRow(connection, library::kTableNames)) {
            fail("the library holds no row");
        }
        if (store::backupDatabase(connection,
                                  text::fromPath(folder.file("数据库2016年3月2日.sdb"))) !=
            store::BackupOutcome::Made) {
            fail("the daily backup failed");
        }
    });

    store::Connection checking;
    open(checking, checked);
    store::RecordSet records;
    const double dataCheck = median(
        runs, [] {},
        [&] {
            if (!backups::checkLibraryData(checking, records).complete) {
                fail("the data check did not complete");
            }
        });
    const double dataCheckFloor = median(
        runs, [] {}, [&] { integrityCheckBare(checked); });

    std::printf("restore, daily backup and data check:\n");
    print("restore of a 50 MB backup, checks included", restore, 1.5,
          {{"plain copy of the backup file", copyFloor},
           {"SQLite's integrity_check of the backup", checkFloor}});
    print("daily backup of a 50 MB library", daily, 0.3, {{"plain copy of the file", copyFloor}});
    print("data check, 100,000 books", dataCheck, 1.0,
          {{"SQLite's integrity_check of the file", dataCheckFloor}});
    return 0;
}
