// Linux stand-in for the disk utility: "diskutil list" prints every block device with its
// partitions in the disk utility's listing layout; "diskutil unmount DEVICE" unmounts every mount
// of that device.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <blkid.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "helpers/DiskListing.h"
#include "helpers/MountInfo.h"
#include "helpers/Unmount.h"

namespace fs = std::filesystem;

namespace {

std::string readFirstLine(const fs::path& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

std::uint64_t readSectors(const fs::path& path) {
    const std::string text = readFirstLine(path / "size");
    // sysfs counts in 512-byte sectors whatever the device's own sector size.
    try {
        return std::stoull(text) * 512;
    } catch (const std::exception&) {
        return 0;
    }
}

// The /dev node of a kernel block device name ("cciss!c0d0" names /dev/cciss/c0d0).
std::string deviceNode(std::string name) {
    std::replace(name.begin(), name.end(), '!', '/');
    return "/dev/" + name;
}

struct Probe {
    std::string scheme, type, fileSystem, label;
};

std::string lookup(blkid_probe probe, const char* name) {
    const char* value = nullptr;
    size_t length = 0;
    if (blkid_probe_lookup_value(probe, name, &value, &length) != 0 || value == nullptr) {
        return std::string();
    }
    // libblkid counts the terminating zero in the length.
    return std::string(value, strnlen(value, length));
}

// What libblkid reads from the node; all empty when it cannot be opened or read.
Probe probeNode(const std::string& node, bool wholeDisk) {
    Probe result;
    blkid_probe probe = blkid_new_probe_from_filename(node.c_str());
    if (probe == nullptr) {
        return result;
    }
    blkid_probe_enable_superblocks(probe, 1);
    blkid_probe_set_superblocks_flags(probe, BLKID_SUBLKS_TYPE | BLKID_SUBLKS_LABEL);
    blkid_probe_enable_partitions(probe, 1);
    blkid_probe_set_partitions_flags(probe, BLKID_PARTS_ENTRY_DETAILS);
    if (blkid_do_safeprobe(probe) >= 0) {
        if (wholeDisk) {
            result.scheme = lookup(probe, "PTTYPE");
        } else {
            result.scheme = lookup(probe, "PART_ENTRY_SCHEME");
            result.type = lookup(probe, "PART_ENTRY_TYPE");
        }
        result.fileSystem = lookup(probe, "TYPE");
        result.label = lookup(probe, "LABEL");
    }
    blkid_free_probe(probe);
    return result;
}

bool lessByKernelOrder(const std::string& a, const std::string& b) {
    // loop2 before loop10, sdz before sdaa.
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

std::vector<DiskInfo> scanDisks() {
    std::vector<DiskInfo> disks;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator("/sys/block", error)) {
        DiskInfo disk;
        disk.name = entry.path().filename().string();
        disk.sizeBytes = readSectors(entry.path());
        if (disk.sizeBytes == 0 || disk.name.rfind("ram", 0) == 0) {
            continue;  // empty loop devices, RAM disks
        }
        const Probe whole = probeNode(deviceNode(disk.name), true);
        disk.scheme = whole.scheme;
        if (disk.scheme.empty()) {
            disk.fileSystem = whole.fileSystem;
            disk.label = whole.label;
        }
        std::error_code partitionsError;
        for (const fs::directory_entry& child :
             fs::directory_iterator(entry.path(), partitionsError)) {
            const std::string number = readFirstLine(child.path() / "partition");
            if (number.empty()) {
                continue;
            }
            PartitionInfo partition;
            partition.name = child.path().filename().string();
            try {
                partition.number = static_cast<unsigned>(std::stoul(number));
            } catch (const std::exception&) {
                continue;
            }
            partition.sizeBytes = readSectors(child.path());
            const Probe probe = probeNode(deviceNode(partition.name), false);
            partition.scheme = probe.scheme.empty() ? disk.scheme : probe.scheme;
            partition.type = probe.type;
            partition.label = probe.label;
            disk.partitions.push_back(std::move(partition));
        }
        std::sort(
            disk.partitions.begin(), disk.partitions.end(),
            [](const PartitionInfo& a, const PartitionInfo& b) { return a.number < b.number; });
        disks.push_back(std::move(disk));
    }
    std::sort(disks.begin(), disks.end(), [](const DiskInfo& a, const DiskInfo& b) {
        return lessByKernelOrder(a.name, b.name);
    });
    return disks;
}

int list() {
    const std::vector<DiskInfo> disks = scanDisks();
    for (size_t i = 0; i < disks.size(); ++i) {
        std::fputs(renderDiskListing(disks[i]).c_str(), stdout);
        if (i + 1 < disks.size()) {
            std::fputs("\n", stdout);
        }
    }
    return 0;
}

int unmount(const std::string& device) {
    struct stat node {};
    const bool isBlockDevice = ::stat(device.c_str(), &node) == 0 && S_ISBLK(node.st_mode);
    const std::string majorMinor = isBlockDevice ? std::to_string(major(node.st_rdev)) + ":" +
                                                       std::to_string(minor(node.st_rdev))
                                                 : std::string();
    const std::vector<MountInfoEntry> mounts = readMountInfo();
    int failures = 0;
    int unmounted = 0;
    // Latest first, so that mounts on top of others go before them.
    for (auto mount = mounts.rbegin(); mount != mounts.rend(); ++mount) {
        if (mount->source != device && (majorMinor.empty() || mount->majorMinor != majorMinor)) {
            continue;
        }
        const std::string reason = unmountMountPoint(mount->mountPoint, false);
        if (reason.empty()) {
            std::printf("Unmounted %s from %s\n", device.c_str(), mount->mountPoint.c_str());
            ++unmounted;
        } else {
            std::printf("Unmount of %s from %s failed: %s\n", device.c_str(),
                        mount->mountPoint.c_str(), reason.c_str());
            ++failures;
        }
    }
    if (unmounted == 0 && failures == 0) {
        std::printf("%s is not mounted\n", device.c_str());
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "list") == 0) {
        return list();
    }
    if (argc == 3 && std::strcmp(argv[1], "unmount") == 0) {
        return unmount(argv[2]);
    }
    std::fputs("usage: diskutil list\n       diskutil unmount DEVICE\n", stderr);
    return 2;
}
