#include "tests/LoopDevice.h"

#include "helpers/MountInfo.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

int runShell(const std::string& command, std::string* output) {
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    std::array<char, 4096> buffer{};
    size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        if (output != nullptr) {
            output->append(buffer.data(), got);
        }
    }
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string loopDeviceSkipReason() {
    if (::geteuid() != 0) {
        return "loop devices need root";
    }
    if (::access("/dev/loop-control", R_OK | W_OK) != 0) {
        return "no /dev/loop-control on this machine";
    }
    for (const char* tool : {"/usr/sbin/losetup", "/usr/bin/partx", "/usr/sbin/sfdisk"}) {
        if (::access(tool, X_OK) != 0) {
            return std::string(tool) + " is not installed";
        }
    }
    return std::string();
}

std::unique_ptr<LoopDisk> LoopDisk::attach(const std::string& sfdiskScript, int sizeMiB,
                                           std::string* whyNot) {
    char pattern[] = "/tmp/exfatbar-disk-XXXXXX";
    const int fd = ::mkstemp(pattern);
    if (fd < 0) {
        *whyNot = "cannot create a disk image";
        return nullptr;
    }
    ::close(fd);
    const std::string image = pattern;
    std::filesystem::resize_file(image, static_cast<std::uintmax_t>(sizeMiB) << 20);
    if (runShell("printf '" + sfdiskScript + "' | /usr/sbin/sfdisk -q '" + image + "'") != 0) {
        std::filesystem::remove(image);
        *whyNot = "sfdisk failed";
        return nullptr;
    }
    std::string device;
    if (runShell("/usr/sbin/losetup -f --show '" + image + "'", &device) != 0 || device.empty()) {
        std::filesystem::remove(image);
        *whyNot = "losetup failed";
        return nullptr;
    }
    while (!device.empty() && (device.back() == '\n' || device.back() == ' ')) {
        device.pop_back();
    }
    std::unique_ptr<LoopDisk> disk(new LoopDisk(image, device.substr(device.rfind('/') + 1)));
    // The kernel here does not read partition tables of loop devices by itself.
    if (runShell("/usr/bin/partx -a /dev/" + disk->name_ + " 2>/dev/null") != 0 ||
        ::access(disk->partitionDevice(1).c_str(), F_OK) != 0) {
        *whyNot = "partx could not add the partitions";
        return nullptr;
    }
    return disk;
}

void LoopDisk::detach() {
    if (!attached_) {
        return;
    }
    attached_ = false;
    runShell("/usr/bin/partx -d /dev/" + name_ + " 2>/dev/null");
    runShell("/usr/sbin/losetup -d /dev/" + name_);
}

LoopDisk::~LoopDisk() {
    detach();
    std::error_code ignored;
    std::filesystem::remove(image_, ignored);
}

std::string enterPrivateMountNamespace() {
    static std::string result = [] {
        if (::unshare(CLONE_NEWNS) != 0) {
            return std::string("cannot make a private mount namespace: ") + std::strerror(errno);
        }
        if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            return std::string("cannot make the mounts private: ") + std::strerror(errno);
        }
        return std::string();
    }();
    return result;
}

std::string fuseExfatSkipReason() {
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        return "no usable /dev/fuse on this machine";
    }
    if (::access("/usr/sbin/mount.exfat-fuse", X_OK) != 0) {
        return "the exfat-fuse package is not installed";
    }
    if (::access("/usr/sbin/mkfs.exfat", X_OK) != 0) {
        return "the exfatprogs package is not installed";
    }
    return std::string();
}

bool isMountedAt(const std::string& mountPoint) {
    for (const MountInfoEntry& entry : readMountInfo()) {
        if (entry.mountPoint == mountPoint) {
            return true;
        }
    }
    return false;
}
