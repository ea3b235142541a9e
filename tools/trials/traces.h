#pragma once

#include "trial_folder.h"

#include <cstdint>

namespace chengxi::trials {

// What a write in progress leaves in the folders, read as plain files: the
// database is never opened here, so a hot journal stays for the program's
// next start to meet.
struct Traces {
    bool journal = false;    // the database's rollback journal exists
    bool hotJournal = false; // its header is written: the commit has begun
    bool temporary = false;  // one of the program's temporary files exists
    std::uintmax_t largestTemporary = 0;
};

Traces observeTraces(const TrialFolder& folder);

// Where a kill landed, from the traces it left and the state it left.
enum class Phase { Before, Inside, Commit, After };

// Whether an operation's write goes through the database's transaction or
// through files of its own.
enum class Writes { Database, Files };

// The marks of an operation's write: the journal of the transaction, or the
// temporary file that will take the name of the file written.
struct WriteMarks {
    Writes writes = Writes::Database;
    // A temporary file this large holds the whole new file: all that is left
    // is to flush it and give it its name.
    std::uintmax_t wholeFileSize = 0;

    bool writing(const Traces& traces) const;
    bool committing(const Traces& traces) const;
};

} // namespace chengxi::trials
