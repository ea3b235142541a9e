#pragma once

#include "session.h"
#include "traces.h"
#include "trial_folder.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace chengxi::trials {

// One writing operation put to the trial: the folder every trial starts
// from, the steps up to the action, and what the action may change. What it
// must leave is not written here: an uninterrupted run on a copy of the same
// folder shows it.
struct Operation {
    std::string name;
    Writes writes = Writes::Database;
    // The items of the starting folders the operation changes (file paths
    // below the trial's root, or "file:table"); it must keep everything else.
    // New files, such as a backup, are not listed.
    std::set<std::string> mayChange;
    // Lays out the folder every trial of this operation starts from.
    std::function<void(const TrialFolder&)> prepare;
    // In the process that will be killed: logs in and gets everything ready,
    // calls `ready` just before the action itself, then acts.
    std::function<void(Session&, const std::function<void()>& ready)> act;
};

// The libraries the operations start from.
struct LibraryScale {
    int books = 20000;
    int readers = 1000;
    int reportRows = 5000;
    int importedBooks = 65535;
    // Whether a backup made earlier bears the name the backups of the trials
    // take, which they must keep.
    bool earlierBackup = true;
};

std::vector<Operation> operations(const LibraryScale& scale = {});

// The book the lend trial lends and the return trial returns, and the card
// of its reader, who holds nothing else.
std::string loanBook(const LibraryScale& scale);
std::string loanCard();

// The program's next start on the folders as they lie: its start-up and
// database set-up, a login with the password in force, its close. Empty when
// all of it works without a message, else what went wrong.
std::string startNextTime(const TrialFolder& folder);

} // namespace chengxi::trials
