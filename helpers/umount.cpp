// Linux stand-in for the system's unmount command: "umount MOUNTPOINT" and "umount -f MOUNTPOINT".
// On failure it prints the system's reason, which the eject alert shows to the user.

#include <cstdio>
#include <cstring>
#include <string>

#include "helpers/Unmount.h"

int main(int argc, char** argv) {
    const bool force = argc == 3 && std::strcmp(argv[1], "-f") == 0;
    if (argc != 2 && !force) {
        std::fputs("usage: umount [-f] MOUNTPOINT\n", stderr);
        return 2;
    }
    const std::string mountPoint = argv[argc - 1];
    const std::string reason = unmountMountPoint(mountPoint, force);
    if (!reason.empty()) {
        std::fprintf(stderr, "umount: %s: %s\n", mountPoint.c_str(), reason.c_str());
        return 1;
    }
    return 0;
}
