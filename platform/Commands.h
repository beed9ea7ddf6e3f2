#pragma once

#include <QString>

// The absolute paths of the programs the controller runs. On macOS these are the system's own
// commands; on Linux the disk utility, the mount list and the unmount command are small programs
// of ours installed in a private folder beside the executable.
struct Commands {
    QString diskutil;
    QString mount;
    QString umount;
    QString mountExfat;
    QString shell;

    // The system commands of macOS, at their fixed places.
    static Commands macOS();
    // Our Linux stand-ins in `executableDir`/libexec, the driver and the shell at their fixed
    // places.
    static Commands linuxBeside(const QString& executableDir);
};
