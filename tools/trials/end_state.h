#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// What a trial leaves behind, read whole, and the judgement of it against the
// states an uninterrupted run starts from and ends in.
namespace chengxi::trials {

// Everything in a trial's folders that an operation could have written, as
// items compared whole. Keys are paths below the trial's root; a database
// file gives one item per table ("program/数据库.sdb:读者数据": the column
// names, then every row in rowid order, each value with its type and exact
// bytes) and its integrity and file format ("program/数据库.sdb:(integrity)");
// any other file gives its bytes.
struct EndState {
    std::map<std::string, std::string> items;
    std::map<std::string, std::uintmax_t> fileSizes;
    // Temporary files left in the folders, the program's or SQLite's.
    std::vector<std::string> leftovers;
};

enum class TemporaryKind { None, Program, Sqlite };

// Whether a file name is one of the program's temporary files (today's
// ".chengxi-" names and older ones: "*.chengxi-tmp", a backup's "*.part", the
// settings file's "*.tmp") or SQLite's journal files.
TemporaryKind temporaryKind(std::string_view name);

// Whether a journal's header is written and synced, which SQLite does when
// the commit begins: it then rolls the journal back at the next open. Until
// then the header is zero and SQLite ignores the journal.
bool isHotJournal(const std::filesystem::path& journal);

// Reads every file below `root` (the folders of one trial). Database files
// are opened with SQLite, so take this only once the program's next start
// has met the files as the kill left them.
EndState takeEndState(const std::filesystem::path& root);

// A database file that fails its integrity check or no longer keeps the
// rollback journal; empty when every database file is sound.
std::string damagedDatabase(const EndState& state);

enum class Outcome { Absent, BackedUp, Complete };

struct Verdict {
    std::string fault; // empty when the state is one the operation may leave
    Outcome outcome = Outcome::Absent;
};

// A killed trial may leave the state before the operation or the state after
// it, whole; an operation that backs up first may also leave the state before
// with its new backup complete, and one that writes a report file once its
// data is stored may leave the state after without that new file. Any other
// state is a fault, described by the items that differ.
Verdict judge(const EndState& trial, const EndState& before, const EndState& after);

// Whether a file's items (its bytes, or its tables) are the same in both.
bool sameFile(const EndState& a, const EndState& b, const std::string& file);

// What the uninterrupted run itself must show: it leaves no temporary file,
// changes something, and changes no item of the starting state outside
// `mayChange` (keys, or file paths for every item of that file). Empty when
// all of it holds.
std::string checkUninterruptedRun(const EndState& before, const EndState& after,
                                  const std::set<std::string>& mayChange);

} // namespace chengxi::trials
