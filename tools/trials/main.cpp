// Kill trials: each writing operation is run in a process that is killed
// with SIGKILL at a random moment while it works; afterwards the database,
// the settings file and any backup must be whole, the operation must be
// there completely or not at all, and the next start must work.
//
//   chengxi-trials [--trials N] [--seed S] [--work DIR] [--list] [OPERATION...]
#include "operations.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace chengxi::trials;

namespace {

struct Options {
    int trials = 100;
    unsigned seed = 1;
    fs::path work = fs::temp_directory_path() / ("chengxi-trials-" + std::to_string(::getpid()));
    std::vector<std::string> only;
    bool list = false;
};

struct Tally {
    int trials = 0;
    int complete = 0;
    int absent = 0;
    std::vector<std::string> faults;
};

struct ChildRun {
    bool gotReady = false;
    std::chrono::microseconds ranFor{0}; // from ready to the end of the process
    bool killed = false;
};

// Runs the operation in a child process, killed `killAfter` after it got
// ready (never, when negative).
ChildRun runChild(const Operation& operation, const TrialFolder& folder,
                  std::chrono::microseconds killAfter) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        std::perror("pipe");
        std::exit(2);
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        Session session(folder.programUtf8(), folder.settingsUtf8());
        if (session.logIn()) {
            operation.act(session, [&] {
                const char byte = 1;
                if (::write(pipeFds[1], &byte, 1) != 1) {
                    ::_exit(3);
                }
            });
        }
        session.close();
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    ChildRun run;
    char byte = 0;
    run.gotReady = ::read(pipeFds[0], &byte, 1) == 1;
    const auto ready = std::chrono::steady_clock::now();
    if (run.gotReady && killAfter.count() >= 0) {
        std::this_thread::sleep_for(killAfter);
        run.killed = ::kill(child, SIGKILL) == 0;
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    run.ranFor = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - ready);
    run.killed = run.killed && WIFSIGNALED(status);
    ::close(pipeFds[0]);
    return run;
}

void freshCopy(const fs::path& from, const TrialFolder& to) {
    fs::remove_all(to.root);
    fs::copy(from, to.root, fs::copy_options::recursive);
}

std::string check(const Operation& operation, const TrialFolder& folder, std::string& outcome) {
    const Finding finding = operation.verify(folder);
    outcome = finding.outcome;
    if (!finding.fault.empty()) {
        return finding.fault;
    }
    return verifyDatabaseAndNextStart(folder);
}

Tally trial(const Operation& operation, const Options& options, std::mt19937& random) {
    Tally tally;
    const fs::path base = options.work / operation.name;
    const TrialFolder start{base / "start"};
    const TrialFolder folder{base / "trial"};
    fs::remove_all(base);
    operation.prepare(start);

    // An uninterrupted run tells how long the action takes and that it works.
    freshCopy(start.root, folder);
    const ChildRun calibration = runChild(operation, folder, std::chrono::microseconds(-1));
    std::string outcome;
    std::string fault = check(operation, folder, outcome);
    if (!calibration.gotReady || !fault.empty() || outcome != "complete") {
        tally.faults.push_back("uninterrupted run: " +
                               (fault.empty() ? "the operation did not happen" : fault));
        return tally;
    }
    const auto longest = calibration.ranFor * 13 / 10;
    std::uniform_int_distribution<long long> delay(0, std::max<long long>(1, longest.count()));

    for (int i = 0; i < options.trials; ++i) {
        freshCopy(start.root, folder);
        const ChildRun run = runChild(operation, folder, std::chrono::microseconds(delay(random)));
        ++tally.trials;
        fault = run.gotReady ? check(operation, folder, outcome) : "the trial never got ready";
        if (!fault.empty()) {
            tally.faults.push_back("trial " + std::to_string(i + 1) + ": " + fault);
            fs::rename(folder.root, base / ("fault-" + std::to_string(i + 1)));
            continue;
        }
        ++(outcome == "complete" ? tally.complete : tally.absent);
    }
    fs::remove_all(folder.root);
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
        } else if (argument == "--list") {
            options.list = true;
        } else if (!argument.starts_with("--")) {
            options.only.push_back(argument);
        } else {
            std::fprintf(stderr, "usage: chengxi-trials [--trials N] [--seed S] [--work DIR] "
                                 "[--list] [OPERATION...]\n");
            std::exit(2);
        }
    }
    return options;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parse(argc, argv);
    if (options.list) {
        for (const Operation& operation : operations()) {
            std::printf("%s\n", operation.name.c_str());
        }
        return 0;
    }
    std::mt19937 random(options.seed);
    std::printf("%s %7s %9s %7s %7s\n", padded("operation", 28).c_str(), "trials", "complete",
                "absent", "faults");
    bool allWell = true;
    for (const Operation& operation : operations()) {
        if (!options.only.empty() && std::find(options.only.begin(), options.only.end(),
                                               operation.name) == options.only.end()) {
            continue;
        }
        const Tally tally = trial(operation, options, random);
        std::printf("%s %7d %9d %7d %7zu\n", padded(operation.name, 28).c_str(), tally.trials,
                    tally.complete, tally.absent, tally.faults.size());
        for (const std::string& fault : tally.faults) {
            std::printf("    %s\n", fault.c_str());
        }
        std::fflush(stdout);
        allWell = allWell && tally.faults.empty();
    }
    if (allWell) {
        fs::remove_all(options.work);
    } else {
        std::printf("the folders of the failed trials are kept in %s\n",
                    options.work.string().c_str());
    }
    return allWell ? 0 : 1;
}
