#include "trial_run.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace chengxi::trials {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::microseconds;

// Often enough to see a commit that waits on the disk, rarely enough to
// leave the processor to the process watched.
constexpr microseconds kPollInterval{100};

class ChildProcess {
public:
    ChildProcess(const Operation& operation, const TrialFolder& folder) {
        int fds[2];
        if (::pipe(fds) != 0) {
            std::perror("pipe");
            std::exit(2);
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            act(operation, folder, fds[1]);
        }
        ::close(fds[1]);
        readyFd_ = fds[0];
    }
    ~ChildProcess() {
        kill();
        wait();
        ::close(readyFd_);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Blocks until the child is ready to act; false when it ended first.
    bool awaitReady() {
        char byte = 0;
        return ::read(readyFd_, &byte, 1) == 1;
    }
    bool ended() {
        if (!reaped_ && ::waitpid(pid_, &status_, WNOHANG) == pid_) {
            reaped_ = true;
        }
        return reaped_;
    }
    void kill() {
        if (!ended()) {
            ::kill(pid_, SIGKILL);
        }
    }
    void wait() {
        if (!reaped_) {
            ::waitpid(pid_, &status_, 0);
            reaped_ = true;
        }
    }
    bool killed() const { return reaped_ && WIFSIGNALED(status_) && WTERMSIG(status_) == SIGKILL; }
    // How the child ended when it was not killed and did not end well.
    std::string failure() const {
        if (!reaped_ || killed()) {
            return {};
        }
        if (WIFSIGNALED(status_)) {
            return "the process died of signal " + std::to_string(WTERMSIG(status_));
        }
        const int code = WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
        return code == 0 ? std::string() : "the process ended with code " + std::to_string(code);
    }

private:
    [[noreturn]] static void act(const Operation& operation, const TrialFolder& folder,
                                 int readyFd) {
        Session session(folder.programUtf8(), folder.settingsUtf8());
        if (session.logIn()) {
            operation.act(session, [&] {
                const char byte = 1;
                if (::write(readyFd, &byte, 1) != 1) {
                    ::_exit(3);
                }
            });
        }
        session.close();
        ::_exit(0);
    }

    pid_t pid_ = -1;
    int readyFd_ = -1;
    bool reaped_ = false;
    int status_ = 0;
};

// Polls until `holds` has been true of the traces for `delay` in all (as far
// as the polls see) and is true now: then true, at once. False when the child
// ends first.
template <typename Condition>
bool awaitTraces(ChildProcess& child, const TrialFolder& folder, Condition holds,
                 microseconds delay) {
    microseconds held{0};
    auto previous = Clock::now();
    while (!child.ended()) {
        const bool holdsNow = holds(observeTraces(folder));
        const auto now = Clock::now();
        if (holdsNow) {
            if (held >= delay) {
                return true;
            }
            held += std::chrono::duration_cast<microseconds>(now - previous);
        }
        previous = now;
        std::this_thread::sleep_for(kPollInterval);
    }
    return false;
}

// How long, in all, a condition on the traces held in a run watched to its
// end, as far as the polls see.
struct Span {
    bool seen = false;
    microseconds held{0};

    void note(bool holds, microseconds sincePrevious) {
        if (holds) {
            held += seen ? sincePrevious : microseconds(0);
            seen = true;
        }
    }
};

// The largest file the uninterrupted run wrote (not through the database's
// journal): a temporary file of that size is whole and only waits for its
// name.
std::uintmax_t largestWrittenFile(const EndState& before, const EndState& after) {
    std::uintmax_t largest = 0;
    for (const auto& [file, size] : after.fileSizes) {
        bool written = !before.fileSizes.contains(file);
        // The file's own item, or its tables.
        for (auto item = after.items.lower_bound(file);
             !written && item != after.items.end() && item->first.starts_with(file); ++item) {
            const auto was = before.items.find(item->first);
            written = was == before.items.end() || was->second != item->second;
        }
        if (written) {
            largest = std::max(largest, size);
        }
    }
    return largest;
}

void watchToTheEnd(ChildProcess& child, const TrialFolder& folder, const WriteMarks& marks,
                   ChildRun& run) {
    Span writing;
    Span committing;
    auto previous = Clock::now();
    while (!child.ended()) {
        const Traces traces = observeTraces(folder);
        const auto now = Clock::now();
        const auto sincePrevious = std::chrono::duration_cast<microseconds>(now - previous);
        writing.note(marks.writing(traces), sincePrevious);
        committing.note(marks.committing(traces), sincePrevious);
        previous = now;
        std::this_thread::sleep_for(kPollInterval);
    }
    run.sawWriting = writing.seen;
    run.writingFor = writing.held;
    run.sawCommit = committing.seen;
    run.committingFor = committing.held;
}

} // namespace

void freshCopy(const TrialFolder& from, const TrialFolder& to) {
    fs::remove_all(to.root);
    fs::copy(from.root, to.root, fs::copy_options::recursive);
}

ChildRun runChild(const Operation& operation, const TrialFolder& folder, const KillPlan& plan,
                  const WriteMarks& marks) {
    ChildRun run;
    ChildProcess child(operation, folder);
    run.gotReady = child.awaitReady();
    const auto ready = Clock::now();
    if (run.gotReady) {
        bool due = true;
        switch (plan.aim) {
        case Aim::Never:
            watchToTheEnd(child, folder, marks, run);
            due = false;
            break;
        case Aim::Anywhere:
            std::this_thread::sleep_for(plan.delay);
            break;
        case Aim::WhileWriting:
            due = awaitTraces(
                child, folder, [&](const Traces& t) { return marks.writing(t); }, plan.delay);
            break;
        case Aim::AtCommit:
            due = awaitTraces(
                child, folder, [&](const Traces& t) { return marks.committing(t); }, plan.delay);
            break;
        }
        if (due) {
            child.kill();
        }
    }
    child.wait();
    run.ranFor = std::chrono::duration_cast<microseconds>(Clock::now() - ready);
    run.killed = child.killed();
    run.failure = child.failure();
    return run;
}

EndState settle(const TrialFolder& folder, std::string& fault) {
    fault = startNextTime(folder);
    EndState state = takeEndState(folder.root);
    if (fault.empty()) {
        fault = damagedDatabase(state);
    }
    return state;
}

References takeReferences(const Operation& operation, const TrialFolder& start,
                          const TrialFolder& before, const TrialFolder& after) {
    References references;
    std::string fault;
    freshCopy(start, before);
    references.before = settle(before, fault);
    if (!fault.empty()) {
        references.fault = "before the operation: " + fault;
        return references;
    }
    freshCopy(start, after);
    references.marks.writes = operation.writes;
    const ChildRun run = runChild(operation, after, {}, references.marks);
    if (!run.gotReady) {
        references.fault = "uninterrupted run: it never got ready to act";
        return references;
    }
    references.after = settle(after, fault);
    if (fault.empty()) {
        fault = run.failure;
    }
    if (fault.empty()) {
        fault = checkUninterruptedRun(references.before, references.after, operation.mayChange);
    }
    if (!fault.empty()) {
        references.fault = "uninterrupted run: " + fault;
    }
    references.marks.wholeFileSize = largestWrittenFile(references.before, references.after);
    references.usable = references.before.items != references.after.items;
    return references;
}

std::string calibrate(const Operation& operation, const TrialFolder& start,
                      const TrialFolder& folder, References& references) {
    freshCopy(start, folder);
    references.calibration = runChild(operation, folder, {}, references.marks);
    std::string fault;
    const EndState state = settle(folder, fault);
    const Verdict verdict = judge(state, references.before, references.after);
    if (!verdict.fault.empty() || verdict.outcome != Outcome::Complete) {
        fault += (fault.empty() ? "" : "; ") + verdict.fault;
    }
    return fault.empty() ? fault : "a second uninterrupted run ends otherwise: " + fault;
}

} // namespace chengxi::trials
