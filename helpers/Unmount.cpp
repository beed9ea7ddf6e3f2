#include "helpers/Unmount.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <spawn.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// The FUSE tool that releases a user's mount, at the places Debian installs it; no search.
const char* fuseReleaseTool() {
    for (const char* path :
         {"/usr/bin/fusermount3", "/bin/fusermount3", "/usr/bin/fusermount", "/bin/fusermount"}) {
        if (::access(path, X_OK) == 0) {
            return path;
        }
    }
    return nullptr;
}

// Runs the FUSE tool with its output going to ours; true when it reported success.
bool releaseFuseMount(const std::string& mountPoint, bool lazily, std::string& reason) {
    const char* tool = fuseReleaseTool();
    if (tool == nullptr) {
        reason = "no fusermount tool is installed";
        return false;
    }
    std::vector<const char*> argv = {tool, "-u"};
    if (lazily) {
        argv.push_back("-z");
    }
    argv.push_back("--");
    argv.push_back(mountPoint.c_str());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int error =
        ::posix_spawn(&pid, tool, nullptr, nullptr, const_cast<char* const*>(argv.data()), environ);
    if (error != 0) {
        reason = std::string(tool) + ": " + std::strerror(error);
        return false;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        return true;
    }
    reason = std::string(tool) + " could not release the mount";
    return false;
}

const MountInfoEntry* findMount(const std::vector<MountInfoEntry>& mounts,
                                const std::string& mountPoint) {
    // The latest mount at a path is the one an unmount reaches.
    for (auto entry = mounts.rbegin(); entry != mounts.rend(); ++entry) {
        if (entry->mountPoint == mountPoint) {
            return &*entry;
        }
    }
    return nullptr;
}

}  // namespace

bool isFuseMountOfUser(const MountInfoEntry& entry, unsigned uid) {
    if (entry.fileSystemType.rfind("fuse", 0) != 0) {
        return false;
    }
    const std::string owner = "user_id=" + std::to_string(uid);
    const std::string options = "," + entry.superOptions + ",";
    return options.find("," + owner + ",") != std::string::npos;
}

std::string unmountMountPoint(const std::string& mountPoint, bool force) {
    if (::umount2(mountPoint.c_str(), force ? MNT_FORCE : 0) == 0) {
        return std::string();
    }
    int error = errno;
    if (force && error != EINVAL && error != ENOENT && error != EPERM) {
        // The system would not force it (busy, or the file system cannot be forced): detach it
        // now and let it go once the last user has let go.
        if (::umount2(mountPoint.c_str(), MNT_DETACH) == 0) {
            return std::string();
        }
        error = errno;
    }
    if (error == EPERM && ::geteuid() != 0) {
        const std::vector<MountInfoEntry> mounts = readMountInfo();
        const MountInfoEntry* mount = findMount(mounts, mountPoint);
        if (mount != nullptr && isFuseMountOfUser(*mount, ::getuid())) {
            std::string reason;
            if (releaseFuseMount(mountPoint, force, reason)) {
                return std::string();
            }
            return reason;
        }
    }
    if (error == EINVAL) {
        return "not currently mounted";
    }
    return std::strerror(error);
}
