#include <gtest/gtest.h>

#include <QLocale>

#include "app/AppDelegate.h"
#include "tests/Fakes.h"

namespace {

TEST(MountList, GrammarAndPrefix) {
    const QString base = "/Users/me/exfat-volumes";
    struct Case {
        const char* name;
        QString mountList;
        MountMap expected;
    };
    const Case cases[] = {
        {"empty list", "", {}},
        {"outside the base",
         "/dev/disk0s2 on / (hfs, local, journaled)\ndevfs on /dev (devfs, local)",
         {}},
        {"under the base",
         "/dev/disk2s1 on /Users/me/exfat-volumes/disk2s1 (local, nodev, nosuid)\n",
         {{"disk2s1", "/Users/me/exfat-volumes/disk2s1"}}},
        {"the base itself",
         "/dev/disk2s1 on /Users/me/exfat-volumes (local)",
         {{"disk2s1", "/Users/me/exfat-volumes"}}},
        {"a sibling continuing the base's name",
         "/dev/disk3s1 on /Users/me/exfat-volumes-old/x (local)",
         {{"disk3s1", "/Users/me/exfat-volumes-old/x"}}},
        {"other letter case", "/dev/disk3s1 on /Users/me/exFAT-volumes/x (local)", {}},
        {"no \" on \"", "mount: something went wrong", {}},
        {"no \" (\" after \" on \"", "/dev/disk4s1 on /Users/me/exfat-volumes/disk4s1", {}},
        {"\" (\" only before \" on \"", "/dev/a (x) on /Users/me/exfat-volumes/disk4s1", {}},
        {"device ends at the first \" on \"", "a on b on /Users/me/exfat-volumes/x (local)", {}},
        {"mount point cut at its own \" (\"",
         "/dev/disk2s1 on /Users/me/exfat-volumes/My (Stick) (local)",
         {{"disk2s1", "/Users/me/exfat-volumes/My"}}},
        {"later line wins",
         "/dev/disk2s1 on /Users/me/exfat-volumes/one (local)\n"
         "/dev/disk2s1 on /Users/me/exfat-volumes/two (local)",
         {{"disk2s1", "/Users/me/exfat-volumes/two"}}},
        {"two keys, one value",
         "/dev/disk2s1 on /Users/me/exfat-volumes/x (local)\n"
         "/dev/disk3s1 on /Users/me/exfat-volumes/x (local)",
         {{"disk2s1", "/Users/me/exfat-volumes/x"}, {"disk3s1", "/Users/me/exfat-volumes/x"}}},
        {"device text without \"/\" is its own key",
         "tmpfs on /Users/me/exfat-volumes/t (tmpfs)",
         {{"tmpfs", "/Users/me/exfat-volumes/t"}}},
        {"mount point kept as printed",
         "/dev/disk2s1 on /Users/me/exfat-volumes//x/ (local)",
         {{"disk2s1", "/Users/me/exfat-volumes//x/"}}},
        {"carriage returns stay in the mount point",
         "/dev/disk2s1 on /Users/me/exfat-volumes/x\r (local)\r\n",
         {{"disk2s1", "/Users/me/exfat-volumes/x\r"}}},
        {"non-ASCII names",
         U(u"/dev/sdb1 on /Users/me/exfat-volumes/\u5199\u771f (fuseblk)"),
         {{"sdb1", U(u"/Users/me/exfat-volumes/\u5199\u771f")}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AppDelegate::parseMountList(c.mountList, base), c.expected) << c.name;
    }
}

class MountTableTest : public ::testing::Test {
  protected:
    void SetUp() override { fakes.shareLog(log); }

    void mountList(const QByteArray& text) { fakes.tasks.respond("/sbin/mount", {}, text); }

    FakePlatform fakes;
    QStringList log;
};

TEST_F(MountTableTest, EmptyMountListRunsNothingElse) {
    AppDelegate controller(fakes.platform);
    log.clear();
    EXPECT_TRUE(controller.currentMountsUnderBase().isEmpty());
    EXPECT_EQ(log, QStringList{"run /sbin/mount"});
}

TEST_F(MountTableTest, MountsWhoseDeviceHasGoneAreCleanedUpOneAfterTheOther) {
    mountList(
        "/dev/disk2s1 on /Users/u/exfat-volumes/disk2s1 (exfat)\n"
        "/dev/disk3s1 on /Users/u/exfat-volumes/disk3s1 (exfat)\n"
        "/dev/disk4s1 on /Users/u/exfat-volumes/disk4s1 (exfat)\n"
        "/dev/disk9s1 on /Volumes/elsewhere (exfat)\n");
    fakes.files.addFile("/dev/disk2s1");
    fakes.files.addDirectory("/Users/u/exfat-volumes/disk3s1");
    fakes.files.addLink("/Users/u/Desktop/exFAT (disk3s1)", "/Users/u/exfat-volumes/disk3s1");
    AppDelegate controller(fakes.platform);
    log.clear();

    const MountMap expected = {{"disk2s1", "/Users/u/exfat-volumes/disk2s1"}};
    EXPECT_EQ(controller.currentMountsUnderBase(), expected);
    const QStringList expectedLog = {
        "run /sbin/mount",
        // Every key is tested before the first clean-up.
        "exists /dev/disk2s1",
        "exists /dev/disk3s1",
        "exists /dev/disk4s1",
        // Then each stale mount gets all of its steps before the next one's first.
        "exists /Users/u/Desktop/exFAT (disk3s1)",
        "isLink /Users/u/Desktop/exFAT (disk3s1)",
        "remove /Users/u/Desktop/exFAT (disk3s1)",
        "run /sbin/umount /Users/u/exfat-volumes/disk3s1",
        "run /sbin/umount -f /Users/u/exfat-volumes/disk3s1",
        "exists /Users/u/Desktop/exFAT (disk4s1)",
        "run /sbin/umount /Users/u/exfat-volumes/disk4s1",
        "run /sbin/umount -f /Users/u/exfat-volumes/disk4s1",
    };
    EXPECT_EQ(log, expectedLog);
}

TEST_F(MountTableTest, DeviceNodeTestIsPlainConcatenation) {
    mountList("map auto_home on /Users/u/exfat-volumes/x (autofs)\n");
    AppDelegate controller(fakes.platform);
    controller.currentMountsUnderBase();
    EXPECT_TRUE(fakes.files.calls.contains("exists /dev/map auto_home"))
        << fakes.files.calls.join("\n");
}

TEST(FreeSpace, FiguresInBinaryGigabytes) {
    struct Case {
        const char* name;
        std::optional<FileSystemStatistics> figures;
        std::optional<QString> expected;
    };
    const Case cases[] = {
        {"small counts", FileSystemStatistics{1u << 12, 3u << 20, 1u << 19}, "2.0/12.0 GB free"},
        {"byte counts beyond 32 bits", FileSystemStatistics{1u << 15, 1'000'000, 250'000},
         "7.6/30.5 GB free"},
        {"empty file system", FileSystemStatistics{4096, 0, 0}, "0.0/0.0 GB free"},
        {"eight exabytes", FileSystemStatistics{1u << 12, 1ull << 51, 1ull << 50},
         "4294967296.0/8589934592.0 GB free"},
        {"statistics unreadable", std::nullopt, std::nullopt},
    };
    // The user's locale must not turn the full stop into a comma.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (const Case& c : cases) {
        FakePlatform fakes;
        if (c.figures) {
            fakes.stats.figures["/Users/u/exfat-volumes/disk2s1"] = *c.figures;
        }
        AppDelegate controller(fakes.platform);
        EXPECT_EQ(controller.freeSpaceStringForMountPoint("/Users/u/exfat-volumes/disk2s1"),
                  c.expected)
            << c.name;
    }
    QLocale::setDefault(QLocale::c());
}

}  // namespace
