#pragma once

// Runs a test body with a folder on a small, fillable disk: a tmpfs of the
// given size mounted over the folder in a mount namespace of the body's own
// (a child process), so nothing outside the test sees it and nothing needs
// unmounting. Root mounts directly; another user first enters a user
// namespace. Where neither is allowed the test is skipped, saying why.

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>

#ifndef _WIN32
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace chengxi::testing {

namespace detail {

#ifndef _WIN32
inline bool writeProcFile(const char* path, const std::string& text) {
    std::ofstream file(path);
    file << text;
    file.close();
    return static_cast<bool>(file);
}

inline bool enterOwnMountNamespace() {
    if (::geteuid() == 0) {
        return ::unshare(CLONE_NEWNS) == 0;
    }
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    return ::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 &&
           writeProcFile("/proc/self/setgroups", "deny") &&
           writeProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") &&
           writeProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
}
#endif

} // namespace detail

inline constexpr int kNoSmallDisk = 77;

inline void runOnSmallDisk(const std::filesystem::path& folder, std::size_t bytes,
                           const std::function<void()>& body) {
#ifdef _WIN32
    static_cast<void>(folder);
    static_cast<void>(bytes);
    static_cast<void>(body);
    GTEST_SKIP() << "a small disk is mounted on Linux only";
#else
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const std::string options = "size=" + std::to_string(bytes);
        const bool mounted = detail::enterOwnMountNamespace() &&
                             ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                             ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
        if (!mounted) {
            ::_exit(kNoSmallDisk);
        }
        body();
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the part on the small disk did not finish";
    if (WEXITSTATUS(status) == kNoSmallDisk) {
        GTEST_SKIP() << "cannot mount a small disk here (no mount or user namespaces)";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the part on the small disk failed (messages above)";
#endif
}

// Fills the disk holding `folder` to the last byte with a file named
// `name`; removing that file frees the space again.
inline void fillDisk(const std::filesystem::path& folder, const std::string& name = "filler") {
    std::ofstream filler(folder / name, std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) {
    }
    filler.clear();
    filler.close();
    // What the block size left over, a byte at a time.
    std::ofstream rest(folder / name, std::ios::binary | std::ios::app);
    while (rest.put('x') && rest.flush()) {
    }
}

} // namespace chengxi::testing
