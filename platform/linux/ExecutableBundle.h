#pragma once

#include "platform/Bundle.h"

// The bundle on Linux: the directory that holds the running executable, symbolic links resolved.
class ExecutableBundle : public Bundle {
  public:
    QString bundlePath() override;
};
