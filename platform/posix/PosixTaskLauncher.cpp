#include "platform/posix/PosixTaskLauncher.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void fail(const char* what, int error) {
    throw PlatformError(std::string(what) + ": " + std::strerror(error));
}

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }
    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void reset(int fd = -1) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }

  private:
    int fd_;
};

int millisecondsUntil(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, 1'000'000));
}

class PosixTask : public Task {
  public:
    PosixTask(pid_t pid, int readEnd, Clock::time_point deadline)
        : pid_(pid), readEnd_(readEnd), deadline_(deadline) {
#ifdef SYS_pidfd_open
        // Lets the wait below sleep until the exit or the deadline, whichever comes first.
        pidfd_.reset(static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0)));
#endif
    }

    ~PosixTask() override {
        if (!reaped_) {
            killGroupAndReap();
        }
    }

    QByteArray readDataToEndOfFile() override {
        QByteArray bytes;
        char buffer[65536];
        for (;;) {
            pollfd entry{readEnd_.get(), POLLIN, 0};
            const int ready = ::poll(&entry, 1, millisecondsUntil(deadline_));
            if (ready < 0) {
                if (errno == EINTR) {
                    continue;
                }
                fail("poll", errno);
            }
            if (ready == 0) {
                timedOut();
            }
            const ssize_t got = ::read(readEnd_.get(), buffer, sizeof buffer);
            if (got < 0) {
                if (errno == EINTR || errno == EAGAIN) {
                    continue;
                }
                fail("read", errno);
            }
            if (got == 0) {
                return bytes;
            }
            bytes.append(buffer, static_cast<qsizetype>(got));
        }
    }

    void waitUntilExit() override {
        if (reaped_) {
            return;
        }
        for (;;) {
            int status = 0;
            const pid_t done = ::waitpid(pid_, &status, WNOHANG);
            if (done == pid_) {
                reaped_ = true;
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                return;
            }
            if (done < 0 && errno != EINTR) {
                reaped_ = true;  // nothing left to reap
                fail("waitpid", errno);
            }
            if (done == 0) {
                sleepUntilExitOrDeadline();
            }
        }
    }

    int terminationStatus() override {
        return status_;
    }

  private:
    void sleepUntilExitOrDeadline() {
        const int left = millisecondsUntil(deadline_);
        if (left == 0) {
            timedOut();
        }
        if (pidfd_.get() >= 0) {
            pollfd entry{pidfd_.get(), POLLIN, 0};
            ::poll(&entry, 1, left);
            return;
        }
        const timespec pause{0, 2'000'000};
        ::nanosleep(&pause, nullptr);
    }

    [[noreturn]] void timedOut() {
        killGroupAndReap();
        throw PlatformError("the command ran past its time limit");
    }

    void killGroupAndReap() {
        // The child leads its own group; killing the group also ends what it started and left
        // holding the pipe. The zombie keeps the group's id valid until it is reaped here.
        ::kill(-pid_, SIGKILL);
        ::kill(pid_, SIGKILL);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        reaped_ = true;
    }

    pid_t pid_;
    FileDescriptor readEnd_;
    FileDescriptor pidfd_;
    Clock::time_point deadline_;
    bool reaped_ = false;
    int status_ = -1;
};

class SpawnSetup {
  public:
    SpawnSetup() {
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup() {
        ::posix_spawn_file_actions_destroy(&actions);
        ::posix_spawnattr_destroy(&attributes);
    }
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
};

}  // namespace

PosixTaskLauncher::PosixTaskLauncher(std::chrono::milliseconds timeLimit) : timeLimit_(timeLimit) {}

std::unique_ptr<Task> PosixTaskLauncher::launch(const QString& launchPath,
                                                const QStringList& arguments) {
    const QByteArray path = launchPath.toUtf8();
    std::vector<QByteArray> argumentBytes;
    argumentBytes.reserve(static_cast<size_t>(arguments.size()) + 1);
    argumentBytes.push_back(path);
    for (const QString& argument : arguments) {
        argumentBytes.push_back(argument.toUtf8());
    }
    std::vector<char*> argv;
    for (QByteArray& bytes : argumentBytes) {
        argv.push_back(bytes.data());
    }
    argv.push_back(nullptr);

    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        fail("pipe", errno);
    }
    FileDescriptor readEnd(ends[0]);
    FileDescriptor writeEnd(ends[1]);

    SpawnSetup setup;
    // dup2 clears close-on-exec on the two targets; every other descriptor is closed in the child.
    ::posix_spawn_file_actions_adddup2(&setup.actions, writeEnd.get(), STDOUT_FILENO);
    ::posix_spawn_file_actions_adddup2(&setup.actions, writeEnd.get(), STDERR_FILENO);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    ::posix_spawn_file_actions_addclosefrom_np(&setup.actions, STDERR_FILENO + 1);
#endif
    ::posix_spawnattr_setpgroup(&setup.attributes, 0);
    short flags = POSIX_SPAWN_SETPGROUP;
#ifdef POSIX_SPAWN_CLOEXEC_DEFAULT
    flags |= POSIX_SPAWN_CLOEXEC_DEFAULT;
#endif
    ::posix_spawnattr_setflags(&setup.attributes, flags);

    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, path.constData(), &setup.actions, &setup.attributes,
                                    argv.data(), environ);
    if (error != 0) {
        fail("posix_spawn", error);
    }
    // Our copy of the write end goes now, so the output ends when the child and whatever it
    // handed the pipe to have closed theirs.
    writeEnd.reset();
    return std::make_unique<PosixTask>(pid, readEnd.release(), Clock::now() + timeLimit_);
}
