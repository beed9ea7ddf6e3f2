#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fstream>
#include <sstream>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "app/AppDelegate.h"
#include "helpers/MountInfo.h"
#include "helpers/Unmount.h"
#include "platform/linux/LinuxFileSystemStats.h"
#include "platform/posix/PosixFileManager.h"
#include "platform/posix/PosixTaskLauncher.h"
#include "tests/Fakes.h"
#include "tests/LoopDevice.h"

namespace {

TEST(MountInfo, OctalEscapes) {
    struct Case {
        std::string text;
        std::string decoded;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"a\\040b", "a b"},
        {"tab\\011x", "tab\tx"},
        {"new\\012line", "new\nline"},
        {"back\\134slash", "back\\slash"},
        {"\\040\\040", "  "},
        {"end\\04", "end\\04"},
        {"end\\", "end\\"},
        {"not\\08x", "not\\08x"},
        {"too big\\477", "too big\\477"},
        {"\\101\\102", "AB"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decodeOctalEscapes(c.text), c.decoded) << c.text;
    }
}

TEST(MountInfo, CapturedTableRendersAsMountLines) {
    std::ifstream file(EXFATBAR_FIXTURES_DIR "/mountinfo.txt");
    std::stringstream text;
    text << file.rdbuf();
    std::string lines;
    for (const MountInfoEntry& entry : parseMountInfo(text.str())) {
        lines += renderMountLine(entry) + "\n";
    }
    EXPECT_EQ(lines,
              "/dev/vda on / (ext4, rw, relatime)\n"
              "proc on /proc (proc, rw, relatime)\n"
              "my dev on /tmp/v/a b (tmpfs, rw, relatime)\n"
              "my dev on /tmp/v/tab\tx (tmpfs, rw, relatime)\n"
              "my dev on /tmp/v/new\nline (tmpfs, rw, relatime)\n"
              "my dev on /tmp/v/back\\slash (tmpfs, rw, relatime)\n"
              "my dev on /tmp/v/\xe5\x86\x99\xe7\x9c\x9f (tmpfs, rw, relatime)\n"
              "my dev on /tmp/v/p (x) (tmpfs, rw, relatime)\n"
              "none on /tmp/mi/s (tmpfs, rw, relatime)\n"
              "/dev/loop0p1 on /tmp/mi/m (fuseblk, rw, nosuid, nodev, relatime)\n");
}

TEST(MountInfo, MalformedLinesAreLeftOut) {
    for (const char* line : {"", "46 45 254:0 / / rw,relatime", "46 45 254:0 / / rw - ", "garbage",
                             "1 2 3 4 5 6 7 8 9"}) {
        EXPECT_FALSE(parseMountInfoLine(line).has_value()) << line;
    }
    ASSERT_TRUE(parseMountInfoLine("1 2 0:1 / /x rw - tmpfs").has_value()) << "no source";
}

TEST(MountInfo, FuseMountsOfAUser) {
    MountInfoEntry entry;
    entry.fileSystemType = "fuseblk";
    entry.superOptions = "rw,user_id=1000,group_id=1000";
    EXPECT_TRUE(isFuseMountOfUser(entry, 1000));
    EXPECT_FALSE(isFuseMountOfUser(entry, 100));
    EXPECT_FALSE(isFuseMountOfUser(entry, 0));
    entry.fileSystemType = "ext4";
    EXPECT_FALSE(isFuseMountOfUser(entry, 1000));
}

TEST(UmountStandIn, CommandLineErrorsAndUnmountedPaths) {
    std::string output;
    EXPECT_EQ(runShell(EXFATBAR_BUNDLE_DIR "/libexec/umount 2>&1", &output), 2);
    EXPECT_EQ(runShell(EXFATBAR_BUNDLE_DIR "/libexec/umount -x /tmp 2>&1", &output), 2);
    output.clear();
    EXPECT_EQ(runShell(EXFATBAR_BUNDLE_DIR "/libexec/umount /nonexistent/x 2>&1", &output), 1);
    EXPECT_EQ(output.rfind("umount: /nonexistent/x: ", 0), 0u) << output;
    EXPECT_EQ(runShell(EXFATBAR_BUNDLE_DIR "/libexec/mount extra 2>&1"), 2);
}

// The real stand-ins, the real runner and the real file manager, as root, in a mount namespace of
// this test process's own.
class RealMounts : public ::testing::Test {
  protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "mounting needs root";
        }
        if (const std::string reason = enterPrivateMountNamespace(); !reason.empty()) {
            GTEST_SKIP() << reason;
        }
        ASSERT_TRUE(home.isValid());
        savedHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        base = home.filePath("exfat-volumes");
        ASSERT_TRUE(QDir(home.path()).mkpath("exfat-volumes"));
        ASSERT_TRUE(QDir(home.path()).mkpath("Desktop"));
    }
    void TearDown() override {
        for (const std::string& mountPoint : mounted) {
            ::umount2(mountPoint.c_str(), MNT_DETACH);
        }
        qputenv("HOME", savedHome);
    }

    void mountTmpfs(const QString& path) {
        ASSERT_TRUE(QDir().mkpath(path));
        const std::string target = QFile::encodeName(path).toStdString();
        ASSERT_EQ(::mount("tmpfs", target.c_str(), "tmpfs", 0, "size=1m"), 0);
        mounted.push_back(target);
    }

    MountMap currentMounts() {
        Platform platform =
            fakes.with(Commands::linuxBeside(EXFATBAR_BUNDLE_DIR), &tasks, &files, &stats);
        AppDelegate controller(platform);
        return controller.currentMountsUnderBase();
    }

    QTemporaryDir home;
    QByteArray savedHome;
    QString base;
    std::vector<std::string> mounted;
    PosixTaskLauncher tasks;
    PosixFileManager files;
    LinuxFileSystemStats stats;
    FakePlatform fakes;
};

TEST_F(RealMounts, MountStandInPrintsPathsExactly) {
    const QString awkward = home.filePath("a b (c) on d");
    mountTmpfs(awkward);
    std::string output;
    ASSERT_EQ(runShell(EXFATBAR_BUNDLE_DIR "/libexec/mount", &output), 0);
    const std::string expected = "tmpfs on " + awkward.toStdString() + " (tmpfs, rw, relatime)\n";
    EXPECT_NE(output.find(expected), std::string::npos) << output;
}

TEST_F(RealMounts, MountWithoutDeviceNodeIsUnmountedAndLeavesTheMap) {
    const QString mountPoint = base + "/stale";
    mountTmpfs(mountPoint);
    const QString link = home.filePath("Desktop/exFAT (tmpfs)");
    ASSERT_TRUE(QFile::link(mountPoint, link));
    ASSERT_TRUE(isMountedAt(mountPoint.toStdString()));

    EXPECT_TRUE(currentMounts().isEmpty());
    EXPECT_FALSE(isMountedAt(mountPoint.toStdString()));
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo(mountPoint).isDir()) << "the mount point directory stays";
}

TEST_F(RealMounts, ExfatVolumeUnderTheBaseIsListedWithItsFreeSpace) {
    if (const std::string reason = loopDeviceSkipReason() + fuseExfatSkipReason();
        !reason.empty()) {
        GTEST_SKIP() << reason;
    }
    std::string whyNot;
    auto disk = LoopDisk::attach("label: dos\\n,,7\\n", 64, &whyNot);
    ASSERT_TRUE(disk) << whyNot;
    ASSERT_EQ(runShell("/usr/sbin/mkfs.exfat " + disk->partitionDevice(1) + " >/dev/null"), 0);
    const QString identifier = QString::fromStdString(disk->partitionName(1));
    const QString mountPoint = base + "/" + identifier;
    ASSERT_TRUE(QDir().mkpath(mountPoint));
    ASSERT_EQ(runShell("/usr/sbin/mount.exfat-fuse " + disk->partitionDevice(1) + " '" +
                       mountPoint.toStdString() + "' 2>/dev/null"),
              0);
    mounted.push_back(mountPoint.toStdString());

    const MountMap expected = {{identifier, mountPoint}};
    EXPECT_EQ(currentMounts(), expected);

    // The same figures, read by another route.
    std::string figures;
    runShell("stat -f -c '%S %b %a' '" + mountPoint.toStdString() + "'", &figures);
    double blockSize = 0, total = 0, available = 0;
    std::istringstream(figures) >> blockSize >> total >> available;
    ASSERT_GT(total, 0) << figures;
    const QString text = QString::asprintf("%.1f/%.1f GB free", available * blockSize / (1 << 30),
                                           total * blockSize / (1 << 30));
    Platform platform =
        fakes.with(Commands::linuxBeside(EXFATBAR_BUNDLE_DIR), &tasks, &files, &stats);
    AppDelegate controller(platform);
    EXPECT_EQ(controller.freeSpaceStringForMountPoint(mountPoint), text);

    ::umount2(mountPoint.toStdString().c_str(), 0);
}

TEST_F(RealMounts, UmountReleasesAUsersOwnFuseMount) {
    if (::access("/usr/bin/bindfs", X_OK) != 0 || ::access("/usr/bin/setpriv", X_OK) != 0) {
        GTEST_SKIP() << "bindfs or setpriv is not installed";
    }
    if (const std::string reason = fuseExfatSkipReason(); !reason.empty()) {
        GTEST_SKIP() << reason;
    }
    // An ordinary user may open /dev/fuse in this namespace only: a node of our own with open
    // permissions is bound over it.
    const std::string node = home.filePath("fuse").toStdString();
    ASSERT_EQ(::mknod(node.c_str(), S_IFCHR | 0666, makedev(10, 229)), 0);
    ASSERT_EQ(::chmod(node.c_str(), 0666), 0);
    ASSERT_EQ(::mount(node.c_str(), "/dev/fuse", nullptr, MS_BIND, nullptr), 0);
    mounted.push_back("/dev/fuse");

    const std::string asNobody = "/usr/bin/setpriv --reuid=65534 --regid=65534 --clear-groups ";
    for (const char* flag : {"", "-f "}) {
        QTemporaryDir source("/tmp/exfatbar-src-XXXXXX");
        QTemporaryDir target("/tmp/exfatbar-mp-XXXXXX");
        const std::string mountPoint = target.path().toStdString();
        ASSERT_EQ(::chown(source.path().toUtf8().constData(), 65534, 65534), 0);
        ASSERT_EQ(::chown(mountPoint.c_str(), 65534, 65534), 0);
        ASSERT_EQ(runShell(asNobody + "/usr/bin/bindfs --no-allow-other " +
                           source.path().toStdString() + " " + mountPoint + " 2>&1"),
                  0);
        mounted.push_back(mountPoint);
        ASSERT_TRUE(isMountedAt(mountPoint));

        std::string output;
        EXPECT_EQ(runShell(asNobody + EXFATBAR_BUNDLE_DIR "/libexec/umount " + flag + mountPoint +
                               " 2>&1",
                           &output),
                  0)
            << output;
        EXPECT_FALSE(isMountedAt(mountPoint)) << flag << output;
    }
}

}  // namespace
