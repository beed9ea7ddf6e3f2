#pragma once

#include "platform/Files.h"

// The file manager over POSIX calls.
class PosixFileManager : public FileManager {
  public:
    QString homeDirectory() override;
};
