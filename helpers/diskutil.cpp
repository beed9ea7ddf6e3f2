// Linux stand-in for the disk utility: "diskutil list" prints every block device with its
// partitions in the disk utility's listing layout; "diskutil unmount DEVICE" unmounts every mount
// of that device.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include <blkid.h>
#include <fcntl.h>
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

// A count of 512-byte sectors in the sysfs attribute `name` of a device, in bytes.
std::uint64_t readSectors(const fs::path& path, const char* name = "size") {
    const std::string text = readFirstLine(path / name);
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

std::string lookup(blkid_probe probe, const char* name) {
    const char* value = nullptr;
    size_t length = 0;
    if (blkid_probe_lookup_value(probe, name, &value, &length) != 0 || value == nullptr) {
        return std::string();
    }
    // libblkid counts the terminating zero in the length.
    return std::string(value, strnlen(value, length));
}

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// How much of the start of a partition the file-system probes read.
constexpr off_t kProbeArea = 1 << 17;

// A partition as the disk's partition table describes it.
struct TableEntry {
    std::string scheme;  // "dos", "gpt", ...
    std::string type;    // "0x7", or a lower-case GUID
};

// Reads the partition table of the open disk `fd` once for all of its partitions: partition
// number to entry, and the scheme of the table in `scheme` (left empty when the disk has none).
std::map<unsigned, TableEntry> readPartitionTable(int fd, std::string& scheme) {
    std::map<unsigned, TableEntry> entries;
    blkid_probe probe = blkid_new_probe();
    if (probe == nullptr) {
        return entries;
    }
    if (blkid_probe_set_device(probe, fd, 0, 0) != 0) {
        blkid_free_probe(probe);
        return entries;
    }
    blkid_probe_enable_superblocks(probe, 0);
    blkid_probe_enable_partitions(probe, 1);
    if (blkid_partlist list = blkid_probe_get_partitions(probe); list != nullptr) {
        if (blkid_parttable table = blkid_partlist_get_table(list); table != nullptr) {
            const char* type = blkid_parttable_get_type(table);
            scheme = type != nullptr ? type : "";
        }
        const int count = blkid_partlist_numof_partitions(list);
        for (int i = 0; i < count; ++i) {
            blkid_partition partition = blkid_partlist_get_partition(list, i);
            const int number = partition != nullptr ? blkid_partition_get_partno(partition) : 0;
            if (number <= 0) {
                continue;
            }
            TableEntry entry;
            blkid_parttable owner = blkid_partition_get_table(partition);
            const char* ownerType = owner != nullptr ? blkid_parttable_get_type(owner) : nullptr;
            entry.scheme = ownerType != nullptr ? ownerType : scheme;
            if (const char* guid = blkid_partition_get_type_string(partition); guid != nullptr) {
                entry.type = lowerCase(guid);
            } else {
                char code[16];
                std::snprintf(code, sizeof code, "0x%x", blkid_partition_get_type(partition));
                entry.type = code;
            }
            entries[static_cast<unsigned>(number)] = entry;
        }
    }
    blkid_free_probe(probe);
    return entries;
}

// The file system in the area of `length` bytes at `offset` of the open device `fd`, and its
// label; both empty when there is none or it cannot be read.
std::pair<std::string, std::string> probeFileSystem(int fd, std::uint64_t offset,
                                                    std::uint64_t length) {
    std::pair<std::string, std::string> found;
    blkid_probe probe = blkid_new_probe();
    if (probe == nullptr) {
        return found;
    }
    if (blkid_probe_set_device(probe, fd, static_cast<blkid_loff_t>(offset),
                               static_cast<blkid_loff_t>(length)) == 0) {
        blkid_probe_enable_partitions(probe, 0);
        blkid_probe_enable_superblocks(probe, 1);
        blkid_probe_set_superblocks_flags(probe, BLKID_SUBLKS_TYPE | BLKID_SUBLKS_LABEL);
        // File systems only (no RAID members, crypto containers, ...), and the first that matches.
        blkid_probe_filter_superblocks_usage(probe, BLKID_FLTR_ONLYIN, BLKID_USAGE_FILESYSTEM);
        if (blkid_do_probe(probe) == 0) {
            found = {lookup(probe, "TYPE"), lookup(probe, "LABEL")};
        }
    }
    blkid_free_probe(probe);
    return found;
}

bool lessByKernelOrder(const std::string& a, const std::string& b) {
    // loop2 before loop10, sdz before sdaa.
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// One disk and its partitions, from sysfs and from the disk itself.
DiskInfo scanDisk(const fs::path& path, std::string name, std::uint64_t sizeBytes) {
    DiskInfo disk;
    disk.name = std::move(name);
    disk.sizeBytes = sizeBytes;
    std::vector<std::uint64_t> starts;
    std::error_code partitionsError;
    for (const fs::directory_entry& child : fs::directory_iterator(path, partitionsError)) {
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
        disk.partitions.push_back(std::move(partition));
        starts.push_back(readSectors(child.path(), "start"));
    }

    // The disk is opened once: one read of its table serves all its partitions, and each
    // partition is probed through it, so the disk's cache serves them all where each partition's
    // own node would start cold. An unreadable disk is listed all the same.
    const int fd = ::open(deviceNode(disk.name).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        // The probes read a few hundred bytes at many places near the start of each area: one
        // read-ahead per area, all asked for before the first probe, brings them in together
        // instead of as one device request each.
        for (std::uint64_t start : starts) {
            ::posix_fadvise(fd, static_cast<off_t>(start), kProbeArea, POSIX_FADV_WILLNEED);
        }
        const std::map<unsigned, TableEntry> table = readPartitionTable(fd, disk.scheme);
        if (disk.scheme.empty()) {
            std::tie(disk.fileSystem, disk.label) = probeFileSystem(fd, 0, disk.sizeBytes);
        }
        for (size_t i = 0; i < disk.partitions.size(); ++i) {
            PartitionInfo& partition = disk.partitions[i];
            if (const auto found = table.find(partition.number); found != table.end()) {
                partition.scheme = found->second.scheme;
                partition.type = found->second.type;
            }
            if (partition.sizeBytes > 0) {
                partition.label = probeFileSystem(fd, starts[i], partition.sizeBytes).second;
            }
        }
        ::close(fd);
    }
    std::sort(disk.partitions.begin(), disk.partitions.end(),
              [](const PartitionInfo& a, const PartitionInfo& b) { return a.number < b.number; });
    return disk;
}

std::vector<DiskInfo> scanDisks() {
    // The disks are read side by side: most of the time goes in waiting for the devices.
    std::vector<std::future<DiskInfo>> scans;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator("/sys/block", error)) {
        std::string name = entry.path().filename().string();
        const std::uint64_t sizeBytes = readSectors(entry.path());
        if (sizeBytes == 0 || name.rfind("ram", 0) == 0) {
            continue;  // empty loop devices, RAM disks
        }
        scans.push_back(
            std::async(std::launch::async, scanDisk, entry.path(), std::move(name), sizeBytes));
    }
    std::vector<DiskInfo> disks;
    for (std::future<DiskInfo>& scan : scans) {
        disks.push_back(scan.get());
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
