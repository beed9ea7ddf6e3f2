#include <gtest/gtest.h>

#include <QString>

#include "app/AppDelegate.h"
#include "helpers/DiskListing.h"
#include "platform/posix/PosixTaskLauncher.h"
#include "tests/Fakes.h"
#include "tests/LoopDevice.h"

#include <unistd.h>

#include <cstdlib>

namespace {

TEST(DiskUtilStandIn, DecimalSizes) {
    struct Case {
        std::uint64_t bytes;
        const char* text;
    };
    const Case cases[] = {
        {0, "0.0 Bytes"},
        {512, "512.0 Bytes"},
        {999, "999.0 Bytes"},
        {1000, "1.0 KB"},
        {209'715'200, "209.7 MB"},
        {67'108'864, "67.1 MB"},
        {15'500'000'000, "15.5 GB"},
        // Rounding that would print 1000.0 moves up a unit.
        {999'960'000, "1.0 GB"},
        {999'940'000, "999.9 MB"},
        {1'000'204'886'016, "1.0 TB"},
        {UINT64_MAX, "18.4 EB"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatDecimalSize(c.bytes), c.text) << c.bytes;
    }
}

TEST(DiskUtilStandIn, PartitionTypeNames) {
    struct Case {
        const char* scheme;
        const char* type;
        const char* name;
    };
    const Case cases[] = {
        {"dos", "0x7", "Windows_NTFS"},
        {"dos", "0xb", "DOS_FAT_32"},
        {"dos", "0xc", "DOS_FAT_32"},
        {"dos", "0x4", "DOS_FAT_16"},
        {"dos", "0x6", "DOS_FAT_16"},
        {"dos", "0xe", "DOS_FAT_16"},
        {"dos", "0x83", "Linux"},
        {"dos", "0x1c", "DOS_Type_0x1c"},
        {"gpt", "ebd0a0a2-b9e5-4433-87c0-68b6b72699c7", "Microsoft Basic Data"},
        {"gpt", "0fc63daf-8483-4772-8e79-3d69d8477de4", "Linux Filesystem"},
        {"gpt", "01234567-89ab-cdef-0123-456789abcdef", "01234567-89ab-cdef-0123-456789abcdef"},
        {"dos", "", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(partitionTypeName(c.scheme, c.type), c.name) << c.scheme << " " << c.type;
    }
}

TEST(DiskUtilStandIn, LabelsCannotBreakTheListing) {
    struct Case {
        std::string label;
        std::string safe;
    };
    const Case cases[] = {
        {"MY STICK", "MY STICK"},
        {"\xe5\x86\x99\xe7\x9c\x9f", "\xe5\x86\x99\xe7\x9c\x9f"},  // 写真
        {"a\nb\rc\td", "a?b?c?d"},
        {"bad\xff"
         "byte",
         "bad?byte"},
        {"cut\xe5\x86", "cut??"},
        {"c1\xc2\x85"
         "control",
         "c1??control"},
        {"overlong\xc0\xaf", "overlong??"},
        {std::string("nul\0x", 5), "nul?x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sanitizeLabel(c.label), c.safe) << c.label;
    }
}

TEST(DiskUtilStandIn, RenderedListingParsesBack) {
    DiskInfo disk;
    disk.name = "sdb";
    disk.sizeBytes = 16'000'000'000;
    disk.scheme = "dos";
    disk.partitions = {
        {1, "sdb1", 8'000'000'000, "dos", "0x7", "MY STICK"},
        {2, "sdb2", 4'000'000'000, "dos", "0x83", "fat chance"},
        {3, "sdb3", 2'000'000'000, "dos", "0x83", "home"},
        {5, "sdb5", 1'000'000'000, "", "", ""},
        {6, "sdb6", 1'000'000'000, "dos", "0xc", "evil\n1: Windows_NTFS x 9.9 GB sda1"},
    };
    const std::string listing = renderDiskListing(disk);
    const QList<CandidatePartition> expected = {
        {"sdb1", "8.0 GB"},
        {"sdb2", "4.0 GB"},
        {"sdb6", "1.0 GB"},
    };
    EXPECT_EQ(AppDelegate::parsePartitionListing(QString::fromStdString(listing)), expected)
        << listing;
    EXPECT_EQ(listing.rfind("/dev/sdb:\n", 0), 0u) << listing;
    EXPECT_NE(listing.find("*16.0 GB"), std::string::npos) << listing;
}

// The real stand-in on real loop devices, read by the real command runner.
class DiskUtilOnLoopDevices : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string reason = loopDeviceSkipReason();
        if (!reason.empty()) {
            GTEST_SKIP() << reason;
        }
    }

    QList<CandidatePartition> scan() {
        PosixTaskLauncher tasks;
        FakePlatform fakes;
        Platform platform = fakes.with(Commands::linuxBeside(EXFATBAR_BUNDLE_DIR), &tasks);
        AppDelegate controller(platform);
        return controller.scanCandidatePartitions();
    }

    static QList<CandidatePartition> on(const QList<CandidatePartition>& candidates,
                                        const LoopDisk& disk) {
        QList<CandidatePartition> mine;
        for (const CandidatePartition& candidate : candidates) {
            if (candidate.identifier.startsWith(QString::fromStdString(disk.name() + "p"))) {
                mine.append(candidate);
            }
        }
        return mine;
    }
};

TEST_F(DiskUtilOnLoopDevices, ListsExfatOnNtfsTypeAndBasicDataButNotLinux) {
    std::string whyNot;
    // MBR: one NTFS-typed partition formatted exFAT with a label of two words, one Linux one.
    auto mbr = LoopDisk::attach("label: dos\\n,32MiB,7\\n,,83\\n", 64, &whyNot);
    ASSERT_TRUE(mbr) << whyNot;
    ASSERT_EQ(
        runShell("/usr/sbin/mkfs.exfat -L 'MY STICK' " + mbr->partitionDevice(1) + " >/dev/null"),
        0);
    // GPT: one basic-data partition without a file system.
    auto gpt = LoopDisk::attach("label: gpt\\n,16MiB,EBD0A0A2-B9E5-4433-87C0-68B6B72699C7\\n", 32,
                                &whyNot);
    ASSERT_TRUE(gpt) << whyNot;

    const QList<CandidatePartition> candidates = scan();
    const QList<CandidatePartition> mbrExpected = {
        {QString::fromStdString(mbr->partitionName(1)), "33.6 MB"}};
    const QList<CandidatePartition> gptExpected = {
        {QString::fromStdString(gpt->partitionName(1)), "16.8 MB"}};
    EXPECT_EQ(on(candidates, *mbr), mbrExpected);
    EXPECT_EQ(on(candidates, *gpt), gptExpected);

    std::string listing;
    runShell(EXFATBAR_BUNDLE_DIR "/libexec/diskutil list", &listing);
    EXPECT_NE(listing.find("Windows_NTFS MY STICK"), std::string::npos) << listing;
    EXPECT_NE(listing.find("FDisk_partition_scheme"), std::string::npos) << listing;
    EXPECT_NE(listing.find("GUID_partition_scheme"), std::string::npos) << listing;
}

TEST(DiskUtilStandIn, CommandLineErrors) {
    std::string output;
    EXPECT_EQ(runShell(EXFATBAR_BUNDLE_DIR "/libexec/diskutil 2>&1", &output), 2);
    EXPECT_EQ(runShell(EXFATBAR_BUNDLE_DIR "/libexec/diskutil unmount /dev/nonexistent", &output),
              0);
    EXPECT_NE(output.find("is not mounted"), std::string::npos) << output;
}

}  // namespace

namespace {

TEST_F(DiskUtilOnLoopDevices, UnmountReleasesEveryMountOfTheDevice) {
    for (const std::string& reason : {enterPrivateMountNamespace(), fuseExfatSkipReason()}) {
        if (!reason.empty()) {
            GTEST_SKIP() << reason;
        }
    }
    std::string whyNot;
    auto disk = LoopDisk::attach("label: dos\\n,,7\\n", 32, &whyNot);
    ASSERT_TRUE(disk) << whyNot;
    const std::string device = disk->partitionDevice(1);
    ASSERT_EQ(runShell("/usr/sbin/mkfs.exfat " + device + " >/dev/null"), 0);
    char first[] = "/tmp/exfatbar-mp-XXXXXX";
    char second[] = "/tmp/exfatbar-mp-XXXXXX";
    ASSERT_NE(::mkdtemp(first), nullptr);
    ASSERT_NE(::mkdtemp(second), nullptr);
    ASSERT_EQ(runShell("/usr/sbin/mount.exfat-fuse " + device + " " + first + " 2>&1"), 0);
    ASSERT_EQ(runShell("/usr/bin/mount --bind " + std::string(first) + " " + second), 0);
    ASSERT_TRUE(isMountedAt(first));
    ASSERT_TRUE(isMountedAt(second));

    std::string output;
    runShell(EXFATBAR_BUNDLE_DIR "/libexec/diskutil unmount " + device, &output);
    EXPECT_FALSE(isMountedAt(second)) << output;
    EXPECT_FALSE(isMountedAt(first)) << output;
    EXPECT_NE(output.find("Unmounted " + device + " from " + first), std::string::npos) << output;

    // Whatever happened above, nothing stays mounted on the device before it is detached.
    runShell("/usr/bin/umount -l " + std::string(second) + " 2>/dev/null");
    runShell("/usr/bin/umount -l " + std::string(first) + " 2>/dev/null");
    ::rmdir(first);
    ::rmdir(second);
}

}  // namespace
