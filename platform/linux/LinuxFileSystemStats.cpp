#include "platform/linux/LinuxFileSystemStats.h"

#include <QFile>

#include <sys/statvfs.h>

std::optional<FileSystemStatistics> LinuxFileSystemStats::statisticsAtPath(const QString& path) {
    struct statvfs figures {};
    if (path.isEmpty() || ::statvfs(QFile::encodeName(path).constData(), &figures) != 0) {
        return std::nullopt;
    }
    return FileSystemStatistics{figures.f_frsize, figures.f_blocks, figures.f_bavail};
}
