// Linux stand-in for the system's mount list: "mount" prints every mount of this process's mount
// namespace, in the kernel's order, as "DEVICE on MOUNTPOINT (FSTYPE, OPTION, ...)".

#include <cstdio>

#include "helpers/MountInfo.h"

int main(int argc, char**) {
    if (argc != 1) {
        std::fputs("usage: mount\n", stderr);
        return 2;
    }
    for (const MountInfoEntry& entry : readMountInfo()) {
        const std::string line = renderMountLine(entry) + "\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return 0;
}
