#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// The figures of the file system that holds a path.
struct FileSystemStatistics {
    // The fundamental block size in bytes: the unit of the two counts.
    std::uint64_t blockSize = 0;
    std::uint64_t totalBlocks = 0;
    // Free blocks available to a user who is not the superuser.
    std::uint64_t availableBlocks = 0;
};

// File-system statistics.
class FileSystemStats {
  public:
    virtual ~FileSystemStats() = default;
    // The statistics of the file system holding `path`; nothing when they cannot be read.
    virtual std::optional<FileSystemStatistics> statisticsAtPath(const QString& path) = 0;
};
