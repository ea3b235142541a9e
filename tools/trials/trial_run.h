#pragma once

#include "end_state.h"
#include "operations.h"
#include "traces.h"
#include "trial_folder.h"

#include <chrono>

namespace chengxi::trials {

// Replaces `to` with a copy of `from`.
void freshCopy(const TrialFolder& from, const TrialFolder& to);

// When the kill comes: never; `delay` after the process is ready to act; at
// the first moment the write's marks (or its commit's) are seen once they
// have been seen for `delay` in all. A process that ends first is not killed.
enum class Aim { Never, Anywhere, WhileWriting, AtCommit };

struct KillPlan {
    Aim aim = Aim::Never;
    std::chrono::microseconds delay{0};
};

struct ChildRun {
    bool gotReady = false;
    bool killed = false;
    std::string failure; // how it ended by itself, when not well
    // From ready to the end of the process.
    std::chrono::microseconds ranFor{0};
    // Seen in a run that is not killed: how long, in all, the write's marks
    // and its commit's were there.
    bool sawWriting = false;
    std::chrono::microseconds writingFor{0};
    bool sawCommit = false;
    std::chrono::microseconds committingFor{0};
};

// Runs the operation in a child process on `folder` and kills it as planned.
ChildRun runChild(const Operation& operation, const TrialFolder& folder, const KillPlan& plan,
                  const WriteMarks& marks);

// The end state once the program's next start has met the files as they lie;
// `fault` receives what went wrong at that start or in a database file.
EndState settle(const TrialFolder& folder, std::string& fault);

// What every trial of one operation is judged against: the states before the
// operation and after an uninterrupted run, each met by the next start.
struct References {
    EndState before;
    EndState after;
    WriteMarks marks;
    ChildRun calibration;
    std::string fault;   // of the uninterrupted run
    bool usable = false; // false when there is nothing to compare with
};

// Copies `start` to `before` and to `after`, and runs the operation on the
// second copy to its end.
References takeReferences(const Operation& operation, const TrialFolder& start,
                          const TrialFolder& before, const TrialFolder& after);

// Runs the operation once more, uninterrupted, on a copy of `start` in
// `folder`, watching how long its write and its commit last. Empty when it
// ends as the first uninterrupted run did, else the difference.
std::string calibrate(const Operation& operation, const TrialFolder& start,
                      const TrialFolder& folder, References& references);

} // namespace chengxi::trials
