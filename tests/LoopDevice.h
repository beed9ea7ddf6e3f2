#pragma once

#include <memory>
#include <string>

// Runs `command` with /bin/sh; returns its exit status and, when asked, its standard output.
int runShell(const std::string& command, std::string* output = nullptr);

// Why tests that attach loop devices cannot run here, or the empty text when they can.
std::string loopDeviceSkipReason();

// A disk image partitioned by an sfdisk script and attached as a loop device with its partitions;
// detached and deleted again on destruction.
class LoopDisk {
  public:
    // Nothing (and `whyNot` filled) when the image cannot be made or attached.
    static std::unique_ptr<LoopDisk> attach(const std::string& sfdiskScript, int sizeMiB,
                                            std::string* whyNot);
    ~LoopDisk();
    LoopDisk(const LoopDisk&) = delete;
    LoopDisk& operator=(const LoopDisk&) = delete;

    // "loop3"
    const std::string& name() const { return name_; }
    // "loop3p1"
    std::string partitionName(int number) const { return name_ + "p" + std::to_string(number); }
    // "/dev/loop3p1"
    std::string partitionDevice(int number) const { return "/dev/" + partitionName(number); }
    // Takes the partitions and the device away now, as when a disk is pulled out.
    void detach();

  private:
    LoopDisk(std::string image, std::string name)
        : image_(std::move(image)), name_(std::move(name)) {}
    std::string image_;
    std::string name_;
    bool attached_ = true;
};

// Moves this test process into a mount namespace of its own whose mounts do not propagate back,
// so that nothing a test mounts can reach the machine's own mount table. Returns the empty text
// on success (also when already done), or why it cannot be done.
std::string enterPrivateMountNamespace();

// Whether the FUSE exFAT driver can be used here; the empty text when it can, or why not.
std::string fuseExfatSkipReason();

// Whether `mountPoint` is in this process's mount table.
bool isMountedAt(const std::string& mountPoint);
