#include "support/paired_rounds.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <utility>

#if defined(__unix__)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace chengxi::bench {
namespace {

using Steady = std::chrono::steady_clock;

double secondsSince(Steady::time_point start) {
    return std::chrono::duration<double>(Steady::now() - start).count();
}

} // namespace

Sample timeInProcess(const std::function<void()>& work) {
    const std::clock_t processorStart = std::clock();
    const Steady::time_point start = Steady::now();
    work();
    return {secondsSince(start),
            static_cast<double>(std::clock() - processorStart) / CLOCKS_PER_SEC, std::nullopt};
}

#if defined(__unix__)
namespace {

// What a launcher reports of one child.
struct ChildResult {
    int status = -1;
    double wall = 0;
    double cpu = 0;
    double peakKib = 0;
};

// Starts the child, waits for it and measures it from outside.
ChildResult startAndWait(const ChildRun& child) {
    // Everything the child needs is built before the clock starts.
    std::vector<char*> argv;
    for (const std::string& argument : child.arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        environment.emplace_back(*variable);
    }
    environment.insert(environment.end(), child.environment.begin(), child.environment.end());
    std::vector<char*> envp;
    for (const std::string& variable : environment) {
        envp.push_back(const_cast<char*>(variable.c_str()));
    }
    envp.push_back(nullptr);
    const std::string output = child.output.empty() ? "/dev/null" : child.output;

    const Steady::time_point start = Steady::now();
    const pid_t pid = fork();
    if (pid < 0) {
        return {};
    }
    if (pid == 0) {
        const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || dup2(out, 1) < 0) {
            _exit(126);
        }
        close(out);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) {
        return {};
    }
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    // ru_maxrss is in kibibytes on Linux.
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, secondsSince(start),
            seconds(usage.ru_utime) + seconds(usage.ru_stime),
            static_cast<double>(usage.ru_maxrss)};
}

bool writeAll(int fd, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = write(fd, bytes, size);
        if (written <= 0) {
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool readAll(int fd, void* data, std::size_t size) {
    auto* bytes = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t got = read(fd, bytes, size);
        if (got <= 0) {
            return false;
        }
        bytes += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

bool writeText(int fd, const std::string& text) {
    const auto size = static_cast<std::uint32_t>(text.size());
    return writeAll(fd, &size, sizeof size) && writeAll(fd, text.data(), text.size());
}

bool readText(int fd, std::string& text) {
    std::uint32_t size = 0;
    if (!readAll(fd, &size, sizeof size)) {
        return false;
    }
    text.resize(size);
    return readAll(fd, text.data(), size);
}

bool writeRun(int fd, const ChildRun& child) {
    bool ok = writeText(fd, child.output) &&
              writeText(fd, std::to_string(child.arguments.size())) &&
              writeText(fd, std::to_string(child.environment.size()));
    for (const std::string& text : child.arguments) {
        ok = ok && writeText(fd, text);
    }
    for (const std::string& text : child.environment) {
        ok = ok && writeText(fd, text);
    }
    return ok;
}

bool readRun(int fd, ChildRun& child) {
    std::string arguments, environment;
    if (!readText(fd, child.output) || !readText(fd, arguments) || !readText(fd, environment)) {
        return false;
    }
    child.arguments.assign(std::stoul(arguments), {});
    child.environment.assign(std::stoul(environment), {});
    for (std::string& text : child.arguments) {
        if (!readText(fd, text)) {
            return false;
        }
    }
    for (std::string& text : child.environment) {
        if (!readText(fd, text)) {
            return false;
        }
    }
    return true;
}

// The launcher's ends of its two pipes, once started.
struct Launcher {
    int requests = -1;
    int results = -1;
};
Launcher launcher;

} // namespace

void startChildLauncher() {
    int requests[2];
    int results[2];
    if (launcher.requests >= 0 || pipe(requests) != 0 || pipe(results) != 0) {
        return;
    }
    const pid_t pid = fork();
    if (pid < 0) {
        return;
    }
    if (pid == 0) {
        close(requests[1]);
        close(results[0]);
        ChildRun child;
        while (readRun(requests[0], child)) {
            const ChildResult result = startAndWait(child);
            if (!writeAll(results[1], &result, sizeof result)) {
                break;
            }
        }
        _exit(0);
    }
    close(requests[0]);
    close(results[1]);
    launcher = {requests[1], results[0]};
}

std::optional<Sample> timeChild(const ChildRun& child) {
    if (child.arguments.empty()) {
        return std::nullopt;
    }
    ChildResult result;
    if (launcher.requests >= 0) {
        if (!writeRun(launcher.requests, child) ||
            !readAll(launcher.results, &result, sizeof result)) {
            return std::nullopt;
        }
    } else {
        result = startAndWait(child);
    }
    if (result.status != 0) {
        std::fprintf(stderr, "bench: %s exited with %d\n", child.arguments.front().c_str(),
                     result.status);
        return std::nullopt;
    }
    return Sample{result.wall, result.cpu, result.peakKib / 1024.0};
}
#else
void startChildLauncher() {}

std::optional<Sample> timeChild(const ChildRun&) {
    return std::nullopt;
}
#endif

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    if (!(in >> one >> five >> fifteen)) {
        return "n/a";
    }
    return one + " " + five + " " + fifteen;
}

Spread spreadOf(std::vector<double> values) {
    if (values.empty()) {
        return {};
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    const double median =
        values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
    return {median, values.front(), values.back()};
}

std::string formatSpread(const Spread& spread, double scale, int decimals) {
    char text[96];
    std::snprintf(text, sizeof text, "%.*f [%.*f–%.*f]", decimals, spread.median * scale, decimals,
                  spread.least * scale, decimals, spread.greatest * scale);
    return text;
}

PairedRounds::PairedRounds(std::string what, std::vector<Contender> contenders)
    : what_(std::move(what)), contenders_(std::move(contenders)) {}

bool PairedRounds::runRound() {
    if (samples_.empty()) {
        loadBefore_ = loadAverage();
    }
    std::vector<std::optional<Sample>> round(contenders_.size());
    const bool reversed = samples_.size() % 2 == 1;
    for (std::size_t i = 0; i < contenders_.size(); ++i) {
        const std::size_t index = reversed ? contenders_.size() - 1 - i : i;
        round[index] = contenders_[index].run();
    }
    const bool programRan = !round.empty() && round.front().has_value();
    samples_.push_back(std::move(round));
    loadAfter_ = loadAverage();
    return programRan;
}

void PairedRounds::run(int rounds) {
    for (int i = 0; i < rounds; ++i) {
        runRound();
    }
}

std::optional<Spread> PairedRounds::wallOf(std::size_t index) const {
    std::vector<double> values;
    for (const auto& round : samples_) {
        if (round[index]) {
            values.push_back(round[index]->wall);
        }
    }
    return values.empty() ? std::nullopt : std::optional(spreadOf(values));
}

std::optional<Spread> PairedRounds::peakOf(std::size_t index) const {
    std::vector<double> values;
    for (const auto& round : samples_) {
        if (round[index] && round[index]->peakMegabytes) {
            values.push_back(*round[index]->peakMegabytes);
        }
    }
    return values.empty() ? std::nullopt : std::optional(spreadOf(values));
}

std::optional<Spread> PairedRounds::ratioToFloor(std::size_t index, bool byProcessor) const {
    std::vector<double> ratios;
    for (const auto& round : samples_) {
        if (contenders_.size() < 2 || !round[index] || !round[1]) {
            continue;
        }
        const double floor = byProcessor ? round[1]->cpu : round[1]->wall;
        if (floor > 0) {
            ratios.push_back((byProcessor ? round[index]->cpu : round[index]->wall) / floor);
        }
    }
    return ratios.empty() ? std::nullopt : std::optional(spreadOf(ratios));
}

void PairedRounds::print() const {
    std::printf("%s: median [min–max] of %zu paired rounds, load %s before, %s after\n",
                what_.c_str(), samples_.size(), loadBefore_.c_str(), loadAfter_.c_str());
    for (std::size_t i = 0; i < contenders_.size(); ++i) {
        const auto wall = wallOf(i);
        if (!wall) {
            std::printf("  %-34s not available\n", contenders_[i].name.c_str());
            continue;
        }
        std::vector<double> processor;
        for (const auto& round : samples_) {
            if (round[i]) {
                processor.push_back(round[i]->cpu);
            }
        }
        std::printf("  %-34s wall %s ms   cpu %s ms", contenders_[i].name.c_str(),
                    formatSpread(*wall, 1000, 1).c_str(),
                    formatSpread(spreadOf(processor), 1000, 1).c_str());
        if (const auto peak = peakOf(i)) {
            std::printf("   peak %s MB", formatSpread(*peak, 1, 1).c_str());
        }
        if (i != 1) {
            const auto byWall = ratioToFloor(i, false);
            const auto byProcessor = ratioToFloor(i, true);
            if (byWall && byProcessor) {
                std::printf("   /floor wall %s cpu %s", formatSpread(*byWall, 1, 2).c_str(),
                            formatSpread(*byProcessor, 1, 2).c_str());
            }
        }
        std::printf("\n");
    }
}

} // namespace chengxi::bench
