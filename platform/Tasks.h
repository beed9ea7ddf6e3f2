#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>

// Raised by the platform when a child process cannot be started, read or waited for.
class PlatformError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One started child process whose standard output and standard error are the write end of one
// pipe; this object holds the read end.
class Task {
  public:
    virtual ~Task() = default;
    // Every byte written into the pipe until no process holds its write end open; throws
    // PlatformError when reading fails or the command has run past its time limit.
    virtual QByteArray readDataToEndOfFile() = 0;
    // Returns once the child has exited; throws PlatformError when waiting fails or the command
    // has run past its time limit.
    virtual void waitUntilExit() = 0;
    // The child's exit status once waitUntilExit has returned; -1 when it was ended by a signal
    // or has not been waited for. (The command runner never reads it.)
    virtual int terminationStatus() = 0;
};

// Starts child processes.
class TaskLauncher {
  public:
    virtual ~TaskLauncher() = default;
    // Starts the executable at exactly `launchPath` (no search) with `arguments` after its program
    // name, inheriting standard input, environment and working directory; throws PlatformError
    // when the child cannot be started.
    virtual std::unique_ptr<Task> launch(const QString& launchPath,
                                         const QStringList& arguments) = 0;
};
