#include <cstdio>

#include "app/AppDelegate.h"
#include "platform/linux/Executable.h"
#include "platform/posix/PosixFileManager.h"
#include "platform/posix/PosixTaskLauncher.h"

int main(int, char**) {
    PosixTaskLauncher tasks;
    PosixFileManager files;
    Platform platform{tasks, files, Commands::linuxBeside(executableDirectory())};
    AppDelegate controller(platform);

    const QList<CandidatePartition> candidates = controller.scanCandidatePartitions();
    if (candidates.isEmpty()) {
        std::puts("No exFAT drives found");
    }
    for (const CandidatePartition& candidate : candidates) {
        std::printf("%s (%s)\n", qUtf8Printable(candidate.identifier),
                    qUtf8Printable(candidate.sizeText));
    }
    return 0;
}
