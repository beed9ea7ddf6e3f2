#pragma once

#include "platform/FileSystemStats.h"

// File-system statistics from statvfs, whose fragment size is the unit of its block counts.
class LinuxFileSystemStats : public FileSystemStats {
  public:
    std::optional<FileSystemStatistics> statisticsAtPath(const QString& path) override;
};
