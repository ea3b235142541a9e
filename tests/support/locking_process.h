#pragma once

// Another program holding the database locked: a Python process (its own
// SQLite, its own file locks) that takes an exclusive lock on the file and
// keeps it until it is released or the object goes.

#include <string>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace chengxi::testing {

class LockingProcess {
public:
    // Returns once the lock is held, or when it could not be taken (see holding()).
    explicit LockingProcess(const std::string& databasePath) {
#ifndef _WIN32
        int toChild[2];
        int fromChild[2];
        if (::pipe(toChild) != 0) {
            return;
        }
        if (::pipe(fromChild) != 0) {
            ::close(toChild[0]);
            ::close(toChild[1]);
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(toChild[0], STDIN_FILENO);
            ::dup2(fromChild[1], STDOUT_FILENO);
            ::close(toChild[1]);
            ::close(fromChild[0]);
            ::execl("/usr/bin/python3", "python3", "-c", kScript, databasePath.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(toChild[0]);
        ::close(fromChild[1]);
        release_ = toChild[1];
        char answer = 0;
        holding_ = pid_ > 0 && ::read(fromChild[0], &answer, 1) == 1 && answer == 'L';
        ::close(fromChild[0]);
#else
        static_cast<void>(databasePath);
#endif
    }

    ~LockingProcess() {
        release();
    }

    LockingProcess(const LockingProcess&) = delete;
    LockingProcess& operator=(const LockingProcess&) = delete;

    bool holding() const {
        return holding_;
    }

    // Ends the lock and waits for the process to end.
    void release() {
#ifndef _WIN32
        if (release_ >= 0) {
            ::close(release_);
            release_ = -1;
        }
        if (pid_ > 0) {
            int status = 0;
            ::waitpid(pid_, &status, 0);
            pid_ = -1;
        }
#endif
        holding_ = false;
    }

private:
    // Says "L" once the lock is held; standard input closing ends it.
    static constexpr const char* kScript =
        "import sqlite3, sys\n"
        "c = sqlite3.connect(sys.argv[1], isolation_level=None)\n"
        "c.execute('BEGIN EXCLUSIVE')\n"
        "sys.stdout.write('L'); sys.stdout.flush()\n"
        "sys.stdin.read()\n"
        "c.execute('COMMIT')\n";

    int pid_ = -1;
    int release_ = -1;
    bool holding_ = false;
};

} // namespace chengxi::testing
