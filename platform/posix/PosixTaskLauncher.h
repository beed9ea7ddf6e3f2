#pragma once

#include "platform/Tasks.h"

#include <chrono>

// Children started with posix_spawn: no shell, no search of the command path, every descriptor but
// the three standard ones closed in the child. Each child leads a process group of its own, so that
// a command that outlives `timeLimit` (its output never ends, or it never exits) is killed together
// with whatever it started, and reading or waiting then fails instead of blocking the interface.
class PosixTaskLauncher : public TaskLauncher {
  public:
    static constexpr std::chrono::milliseconds kDefaultTimeLimit{120'000};

    explicit PosixTaskLauncher(std::chrono::milliseconds timeLimit = kDefaultTimeLimit);

    std::unique_ptr<Task> launch(const QString& launchPath, const QStringList& arguments) override;

  private:
    std::chrono::milliseconds timeLimit_;
};
