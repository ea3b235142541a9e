#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Figures a sceptic can check: the program and its floor (and a peer) run in
// the same round, their order alternating from round to round, and each
// figure given as the median with the spread over the rounds, beside the
// machine's load while they ran.
namespace chengxi::bench {

// One run of one contender, in seconds; the peak resident memory when the
// run was a child process measured from outside.
struct Sample {
    double wall = 0;
    double cpu = 0;
    std::optional<double> peakMegabytes;
};

// The work timed inside this process: wall and this process's processor time.
Sample timeInProcess(const std::function<void()>& work);

// A child process started, waited for and measured from outside: its wall
// time from start to exit, its user and system time and its peak resident
// set (wait4). `output`, when given, receives its standard output. Null when
// it could not be started or did not exit with 0.
struct ChildRun {
    std::vector<std::string> arguments;        // arguments[0] is the program's path
    std::string output = {};                   // file for standard output; empty: /dev/null
    std::vector<std::string> environment = {}; // NAME=VALUE added to this process's
};
std::optional<Sample> timeChild(const ChildRun& child);

// A child forked from a large process starts with that process's resident
// pages counted in its peak. Called first thing in main, this forks a small
// launcher that starts every later child, so their peaks are their own (plus
// the launcher's few megabytes at the start, which a run of /bin/true shows).
void startChildLauncher();

// The three load averages, as /proc/loadavg gives them ("n/a" elsewhere).
std::string loadAverage();

// Median, least and greatest of some values.
struct Spread {
    double median = 0;
    double least = 0;
    double greatest = 0;
};
Spread spreadOf(std::vector<double> values);

// "12.3 [11.9–13.0]" with the values multiplied by `scale`.
std::string formatSpread(const Spread& spread, double scale, int decimals);

// Rounds of contenders run one after the other, the order reversed every
// other round so that neither always meets the warmer caches.
class PairedRounds {
public:
    struct Contender {
        std::string name;
        // A run; null when the contender is not available (a peer not
        // installed), which leaves it out of that round.
        std::function<std::optional<Sample>()> run;
    };

    PairedRounds(std::string what, std::vector<Contender> contenders);

    // Runs one round; false when the first contender (the program) failed.
    bool runRound();
    void run(int rounds);

    // One block of lines: per contender the median [min–max] of wall and
    // processor time and of the peak memory where measured, then each
    // contender's ratio to the second (the floor) taken round by round,
    // and the load before and after.
    void print() const;

    // The per-round ratio of contender `index` to the floor (index 1), by
    // wall or by processor time; empty spread when none was paired.
    std::optional<Spread> ratioToFloor(std::size_t index, bool byProcessor) const;
    std::optional<Spread> wallOf(std::size_t index) const;
    std::optional<Spread> peakOf(std::size_t index) const;

private:
    std::string what_;
    std::vector<Contender> contenders_;
    // samples_[round][contender]
    std::vector<std::vector<std::optional<Sample>>> samples_;
    std::string loadBefore_;
    std::string loadAfter_;
};

} // namespace chengxi::bench
