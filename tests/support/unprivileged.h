#pragma once

// Runs a test body as a user whom permission bits stop. Tests of files that
// cannot be read or written rely on those bits, which do not stop root (CI
// runs as root): there the body runs in a child process that has dropped to
// the unprivileged user "nobody", owning the paths the test made.

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>

#ifndef _WIN32
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace chengxi::testing {

inline constexpr unsigned kNobody = 65534;

// `body` makes its own assertions. `owned` are made over to the unprivileged
// user first (recursively), so that their permission bits are what decides.
inline void runUnprivileged(std::initializer_list<std::filesystem::path> owned,
                            const std::function<void()>& body) {
#ifdef _WIN32
    static_cast<void>(owned);
    body();
#else
    if (::geteuid() != 0) {
        body();
        return;
    }
    for (const std::filesystem::path& path : owned) {
        ASSERT_EQ(::lchown(path.c_str(), kNobody, kNobody), 0) << path;
        if (std::filesystem::is_directory(std::filesystem::symlink_status(path))) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
                ASSERT_EQ(::lchown(entry.path().c_str(), kNobody, kNobody), 0) << entry.path();
            }
        }
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool dropped =
            ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
        if (!dropped) {
            ::_exit(2);
        }
        body();
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the unprivileged part did not finish";
    EXPECT_NE(WEXITSTATUS(status), 2) << "could not drop to an unprivileged user";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the unprivileged part failed (its messages are above)";
#endif
}

} // namespace chengxi::testing
