#include <cstdio>

#include "app/AppDelegate.h"
#include "platform/linux/Executable.h"
#include "platform/linux/LinuxFileSystemStats.h"
#include "platform/posix/PosixFileManager.h"
#include "platform/posix/PosixTaskLauncher.h"
#include "platform/terminal/TerminalAlerts.h"

int main(int, char**) {
    PosixTaskLauncher tasks;
    PosixFileManager files;
    LinuxFileSystemStats stats;
    TerminalAlerts alerts(stdin, stdout);
    Platform platform{tasks, files, stats, alerts, Commands::linuxBeside(executableDirectory())};
    AppDelegate controller(platform);

    const MountMap mounts = controller.currentMountsUnderBase();
    for (auto mount = mounts.cbegin(); mount != mounts.cend(); ++mount) {
        const std::optional<QString> freeSpace =
            controller.freeSpaceStringForMountPoint(mount.value());
        std::printf("mounted: %s at %s (%s)\n", qUtf8Printable(mount.key()),
                    qUtf8Printable(mount.value()), qUtf8Printable(freeSpace.value_or("?")));
    }
    const QList<CandidatePartition> candidates = controller.scanCandidatePartitions();
    if (mounts.isEmpty() && candidates.isEmpty()) {
        std::puts("No exFAT drives found");
    }
    for (const CandidatePartition& candidate : candidates) {
        std::printf("%s (%s)\n", qUtf8Printable(candidate.identifier),
                    qUtf8Printable(candidate.sizeText));
    }
    return 0;
}
