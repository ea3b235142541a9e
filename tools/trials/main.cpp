// Kill trials: each writing operation is run in a process that is killed
// with SIGKILL while it works, some kills at random moments, some aimed at
// its write and its commit. The program's own next start then meets the files
// exactly as the kill left them, and the whole end state (every table of
// every database file, every other file, no temporary file left) must be the
// state before the operation or the state after an uninterrupted run.
//
//   chengxi-trials [--trials N] [--seed S] [--work DIR] [--list] [--verbose] [OPERATION...]
#include "end_state.h"
#include "operations.h"
#include "trial_run.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace chengxi::trials;
using std::chrono::microseconds;

namespace {

struct Options {
    int trials = 100;
    unsigned seed = 1;
    fs::path work = fs::temp_directory_path() / ("chengxi-trials-" + std::to_string(::getpid()));
    std::vector<std::string> only;
    bool list = false;
    bool verbose = false;
};

struct Tally {
    int trials = 0;
    int finished = 0; // ended before the kill came: no kill trial
    int complete = 0;
    int absent = 0;
    std::array<int, 4> phases{}; // of the kills, by Phase
    std::vector<std::string> faults;
};

// Where a kill landed, from the traces it left (before the next start) and
// the state the next start found. Without traces, a transaction had not
// begun or had ended, as the database shows; an operation writing files of
// its own may also be between two of them.
Phase phaseOf(const Traces& left, const WriteMarks& marks, const EndState& state,
              const Verdict& verdict, const References& references) {
    if (marks.committing(left)) {
        return Phase::Commit;
    }
    if (marks.writing(left)) {
        return Phase::Inside;
    }
    if (marks.writes == Writes::Database) {
        return sameFile(state, references.after, databaseKey()) ? Phase::After : Phase::Before;
    }
    if (!verdict.fault.empty()) {
        return Phase::Inside;
    }
    return verdict.outcome == Outcome::Complete ? Phase::After : Phase::Before;
}

// A third of the kills come anywhere from the ready moment to the time an
// uninterrupted run took, a third while the write's marks are there, a third
// once its commit has begun.
KillPlan planKill(const ChildRun& calibration, std::mt19937& random) {
    const auto within = [&](microseconds span) {
        return microseconds(std::uniform_int_distribution<long long>(
            0, std::max<long long>(0, span.count()))(random));
    };
    switch (std::uniform_int_distribution<int>(0, 2)(random)) {
    case 1:
        if (calibration.sawWriting) {
            return {Aim::WhileWriting, within(calibration.writingFor * 4 / 5)};
        }
        break;
    case 2:
        if (calibration.sawCommit) {
            return {Aim::AtCommit, within(calibration.committingFor / 2)};
        }
        break;
    default:
        break;
    }
    return {Aim::Anywhere, within(calibration.ranFor)};
}

struct TrialResult {
    bool killed = false;
    Phase phase = Phase::Before;
    Outcome outcome = Outcome::Absent;
    std::string fault;
};

// One killed run on a fresh copy of the start, judged once the next start
// has met what it left.
TrialResult runTrial(const Operation& operation, const TrialFolder& start,
                     const TrialFolder& folder, const References& references,
                     const KillPlan& plan) {
    freshCopy(start, folder);
    const ChildRun run = runChild(operation, folder, plan, references.marks);
    TrialResult result;
    result.killed = run.killed;
    if (!run.gotReady) {
        result.fault = "the trial never got ready to act";
        return result;
    }
    const auto add = [&](const std::string& fault) {
        if (!fault.empty()) {
            result.fault += (result.fault.empty() ? "" : "; ") + fault;
        }
    };
    add(run.failure);
    const Traces left = observeTraces(folder);
    std::string startFault;
    const EndState state = settle(folder, startFault);
    add(startFault);
    const Verdict verdict = judge(state, references.before, references.after);
    add(verdict.fault);
    result.phase = phaseOf(left, references.marks, state, verdict, references);
    result.outcome = verdict.outcome;
    return result;
}

constexpr std::array<const char*, 4> kAimNames = {"never", "anywhere", "while writing",
                                                  "at the commit"};
constexpr std::array<const char*, 4> kPhaseNames = {"before", "inside", "commit", "after"};

Tally trial(const Operation& operation, const Options& options, std::mt19937& random) {
    Tally tally;
    const fs::path base = options.work / operation.name;
    const TrialFolder start{base / "start"};
    const TrialFolder folder{base / "trial"};
    fs::remove_all(base);
    operation.prepare(start);
    References references =
        takeReferences(operation, start, TrialFolder{base / "before"}, TrialFolder{base / "after"});
    if (!references.fault.empty()) {
        tally.faults.push_back(references.fault);
    }
    if (!references.usable) {
        return tally;
    }
    if (const std::string fault = calibrate(operation, start, folder, references); !fault.empty()) {
        tally.faults.push_back(fault);
    }
    const ChildRun& calibration = references.calibration;
    if (options.verbose) {
        std::printf("  uninterrupted: %lld µs, writing %lld µs, committing %lld µs\n",
                    static_cast<long long>(calibration.ranFor.count()),
                    static_cast<long long>(calibration.writingFor.count()),
                    static_cast<long long>(calibration.committingFor.count()));
    }
    for (int i = 1; i <= options.trials; ++i) {
        const KillPlan plan = planKill(calibration, random);
        const TrialResult result = runTrial(operation, start, folder, references, plan);
        ++tally.trials;
        if (!result.killed) {
            ++tally.finished;
        } else {
            ++tally.phases[static_cast<std::size_t>(result.phase)];
            if (result.fault.empty()) {
                ++(result.outcome == Outcome::Complete ? tally.complete : tally.absent);
            }
        }
        if (options.verbose) {
            std::printf("  trial %d: %s + %lld µs: %s\n", i,
                        kAimNames[static_cast<std::size_t>(plan.aim)],
                        static_cast<long long>(plan.delay.count()),
                        result.killed ? kPhaseNames[static_cast<std::size_t>(result.phase)]
                                      : "finished first");
        }
        if (!result.fault.empty()) {
            tally.faults.push_back("trial " + std::to_string(i) +
                                   (result.killed ? "" : " (not killed)") + ": " + result.fault);
            fs::rename(folder.root, base / ("fault-" + std::to_string(i)));
        }
    }
    for (const char* name : {"trial", "before", "after"}) {
        fs::remove_all(base / name);
    }
    return tally;
}

// `name` followed by blanks up to `width` columns, a Chinese character
// taking two columns as on a terminal.
std::string padded(const std::string& name, std::size_t width) {
    std::size_t columns = 0;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            ++columns;
        } else if (byte >= 0xE0) {
            columns += 2; // a three-byte character: Chinese
        } else if (byte >= 0xC0) {
            ++columns;
        }
    }
    return name + std::string(width > columns ? width - columns : 1, ' ');
}

Options parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--trials" && i + 1 < argc) {
            options.trials = std::atoi(argv[++i]);
        } else if (argument == "--seed" && i + 1 < argc) {
            options.seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        } else if (argument == "--work" && i + 1 < argc) {
            options.work = argv[++i];
        } else if (argument == "--verbose") {
            options.verbose = true;
        } else if (argument == "--list") {
            options.list = true;
        } else if (!argument.starts_with("--")) {
            options.only.push_back(argument);
        } else {
            std::fprintf(stderr, "usage: chengxi-trials [--trials N] [--seed S] [--work DIR] "
                                 "[--list] [--verbose] [OPERATION...]\n");
            std::exit(2);
        }
    }
    return options;
}

void printTally(const Operation& operation, const Tally& tally) {
    const auto& p = tally.phases;
    std::printf("%s %6d %8d %8d %6d %6zu          %6d %6d %6d %6d\n",
                padded(operation.name, 28).c_str(), tally.trials, tally.finished, tally.complete,
                tally.absent, tally.faults.size(), p[0], p[1], p[2], p[3]);
    for (const std::string& fault : tally.faults) {
        std::printf("    %s\n", fault.c_str());
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parse(argc, argv);
    const std::vector<Operation> all = operations();
    if (options.list) {
        for (const Operation& operation : all) {
            std::printf("%s\n", operation.name.c_str());
        }
        return 0;
    }
    std::mt19937 random(options.seed);
    std::printf("%s %6s %8s %8s %6s %6s   kills: %6s %6s %6s %6s\n",
                padded("operation", 28).c_str(), "trials", "finished", "complete", "absent",
                "faults", "before", "inside", "commit", "after");
    bool allWell = true;
    for (const Operation& operation : all) {
        if (!options.only.empty() && std::find(options.only.begin(), options.only.end(),
                                               operation.name) == options.only.end()) {
            continue;
        }
        const Tally tally = trial(operation, options, random);
        printTally(operation, tally);
        allWell = allWell && tally.faults.empty();
    }
    if (allWell) {
        fs::remove_all(options.work);
    } else {
        std::printf("the folders of the failed trials are kept, as the checks left them, in %s\n",
                    options.work.string().c_str());
    }
    return allWell ? 0 : 1;
}
