#include "platform/Commands.h"

Commands Commands::macOS() {
    return {"/usr/sbin/diskutil", "/sbin/mount", "/sbin/umount", "/usr/local/sbin/mount.exfat",
            "/bin/sh"};
}

Commands Commands::linuxBeside(const QString& executableDir) {
    const QString libexec = executableDir + "/libexec/";
    return {libexec + "diskutil", libexec + "mount", libexec + "umount",
            "/usr/local/sbin/mount.exfat", "/bin/sh"};
}
