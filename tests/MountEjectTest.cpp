#include <gtest/gtest.h>

#include <QRegularExpression>

#include "app/AppDelegate.h"
#include "tests/Fakes.h"

namespace {

const QString kDevice = "/dev/disk2s1";
const QString kMountPoint = "/Users/u/exfat-volumes/disk2s1";
const QString kLink = "/Users/u/Desktop/exFAT (disk2s1)";
const QString kMountCommand =
    "run /usr/local/sbin/mount.exfat -o nobrowse /dev/disk2s1 /Users/u/exfat-volumes/disk2s1";
const QByteArray kMountedLine = "/dev/disk2s1 on /Users/u/exfat-volumes/disk2s1 (exfat, local)\n";

// An imaginary Mac with disk2s1 attached, the tools installed, and a mount list that the mount
// and unmount commands change as the real ones would.
struct Mac {
    Mac() {
        for (const char* folder : {"/Users", "/Users/u", "/Users/u/Desktop"}) {
            fakes.files.addDirectory(folder);
        }
        fakes.files.addFile("/usr/local/sbin/mount.exfat");
        fakes.files.addFile(kDevice);
        fakes.tasks.respondWith("/sbin/mount", {}, [this] { return mountList; });
        mountSucceeds(kMountedLine);
    }

    // The mount command adds `line` to the mount list and prints nothing.
    void mountSucceeds(const QByteArray& line) {
        fakes.tasks.respondWith("/usr/local/sbin/mount.exfat",
                                {"-o", "nobrowse", kDevice, kMountPoint}, [this, line] {
                                    mountList += line;
                                    return QByteArray();
                                });
    }
    void mountFails(const QByteArray& message) {
        fakes.tasks.respond("/usr/local/sbin/mount.exfat", {"-o", "nobrowse", kDevice, kMountPoint},
                            message);
    }
    // The unmount command takes the volume out of the mount list.
    void unmountSucceeds() {
        fakes.tasks.respondWith("/sbin/umount", {kMountPoint}, [this] {
            mountList.replace(kMountedLine, "");
            return QByteArray();
        });
    }

    static MenuEntry entry(MenuAction action, const QString& represented) {
        MenuEntry item;
        item.action = action;
        item.representedObject = represented;
        return item;
    }
    // Starts the controller, runs `beforeAction` (the system changing after the start), then the
    // action; the log holds what the action did.
    void mount(const std::function<void(Mac&)>& beforeAction = {}) {
        AppDelegate controller(fakes.platform);
        if (beforeAction) {
            beforeAction(*this);
        }
        fakes.shareLog(log);
        controller.mountAction(entry(MenuAction::Mount, "disk2s1"));
    }
    void eject(const QString& mountPoint = kMountPoint) {
        AppDelegate controller(fakes.platform);
        fakes.shareLog(log);
        controller.unmountAction(entry(MenuAction::Unmount, mountPoint));
    }

    QStringList commands() const { return log.filter(QRegularExpression("^run ")); }
    std::optional<QString> linkTarget() const {
        const auto item = fakes.files.items.constFind(kLink);
        if (item == fakes.files.items.cend() || item->kind != FakeFileManager::Kind::Link) {
            return std::nullopt;
        }
        return item->target;
    }

    FakePlatform fakes;
    QByteArray mountList = "/dev/disk0s2 on / (hfs, local, journaled)\n";
    QStringList log;
};

TEST(MountAction, RunsItsCommandsAndLinksTheMountPoint) {
    Mac mac;
    mac.mount();
    EXPECT_EQ(mac.commands(), QStringList({"run /usr/sbin/diskutil unmount /dev/disk2s1",
                                           kMountCommand, "run /sbin/mount"}));
    EXPECT_EQ(mac.linkTarget(), kMountPoint);
    EXPECT_TRUE(mac.fakes.alerts.shown.isEmpty());
    EXPECT_TRUE(mac.log.contains("mkdir " + kMountPoint)) << "the first mount makes its directory";
}

TEST(MountAction, Outcomes) {
    const Alert failed = {"Failed to mount", "OK", "", "",
                          "/dev/disk2s1\n\nexfat: failed to read boot sector"};
    struct Case {
        const char* name;
        std::function<void(Mac&)> arrange;
        std::function<void(Mac&)> afterStart;
        bool mkdir;
        bool mountRuns;
        std::optional<QString> link;
        QList<Alert> alerts;
    };
    const Case cases[] = {
        {"first mount makes the mount point", {}, {}, true, true, kMountPoint, {}},
        {"tools cannot be installed: nothing else happens",
         [](Mac& mac) { mac.fakes.files.items.remove("/usr/local/sbin/mount.exfat"); },
         {},
         false,
         false,
         std::nullopt,
         {{"exFAT command line tools not found", "OK", "", "", "/Applications/bin"}}},
        {"mount point directory of an earlier mount reused",
         [](Mac& mac) { mac.fakes.files.addDirectory(kMountPoint); },
         {},
         false,
         true,
         kMountPoint,
         {}},
        {"a plain file at the mount point: mounted all the same, and it fails",
         [](Mac& mac) {
             mac.fakes.files.addFile(kMountPoint);
             mac.mountFails("exfat: failed to read boot sector");
         },
         {},
         false,
         true,
         std::nullopt,
         {failed}},
        {"the base directory has gone: the mount point cannot be made, the mount fails",
         [](Mac& mac) { mac.mountFails("exfat: failed to read boot sector"); },
         [](Mac& mac) { mac.fakes.files.items.remove("/Users/u/exfat-volumes"); },
         true,
         true,
         std::nullopt,
         {failed}},
        {"success by key whatever mount point the list shows",
         [](Mac& mac) {
             mac.mountSucceeds("/dev/disk2s1 on /Users/u/exfat-volumes/elsewhere (exfat)\n");
         },
         {},
         true,
         true,
         kMountPoint,
         {}},
        {"an earlier link to the volume is replaced",
         [](Mac& mac) {
             mac.fakes.files.addDirectory(kMountPoint);
             mac.fakes.files.addLink(kLink, kMountPoint);
         },
         {},
         false,
         true,
         kMountPoint,
         {}},
        {"a dangling link stays, and the new one cannot be made",
         [](Mac& mac) { mac.fakes.files.addLink(kLink, "/Volumes/gone"); },
         {},
         true,
         true,
         "/Volumes/gone",
         {}},
        {"a folder of the user's named like the link stays",
         [](Mac& mac) { mac.fakes.files.addDirectory(kLink); },
         {},
         true,
         true,
         std::nullopt,
         {}},
        {"the driver fails",
         [](Mac& mac) { mac.mountFails("exfat: failed to read boot sector"); },
         {},
         true,
         true,
         std::nullopt,
         {failed}},
        {"the driver cannot be run at all",
         [](Mac& mac) {
             mac.fakes.tasks.failToStart("/usr/local/sbin/mount.exfat",
                                         {"-o", "nobrowse", kDevice, kMountPoint});
         },
         {},
         true,
         true,
         std::nullopt,
         {{"Failed to mount", "OK", "", "", "/dev/disk2s1\n\n"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Mac mac;
        if (c.arrange) {
            c.arrange(mac);
        }
        mac.mount(c.afterStart);
        EXPECT_EQ(mac.log.contains("mkdir " + kMountPoint), c.mkdir);
        EXPECT_EQ(mac.commands().contains(kMountCommand), c.mountRuns);
        EXPECT_EQ(mac.linkTarget(), c.link);
        EXPECT_EQ(mac.fakes.alerts.shown, c.alerts);
        if (!c.mountRuns) {
            EXPECT_TRUE(mac.commands().isEmpty());
        }
    }
}

TEST(MountAction, RepeatedMountRemovesTheOldLinkBeforeMakingTheNewOne) {
    Mac mac;
    mac.fakes.files.addDirectory(kMountPoint);
    mac.fakes.files.addLink(kLink, kMountPoint);
    mac.mount();
    const qsizetype removed = mac.log.indexOf("remove " + kLink);
    const qsizetype made = mac.log.indexOf("symlink " + kLink + " -> " + kMountPoint);
    ASSERT_GE(removed, 0) << mac.log.join("\n").toStdString();
    EXPECT_GT(made, removed);
    EXPECT_EQ(mac.fakes.files.items.keys().filter("exFAT (").size(), 1);
}

TEST(UnmountAction, Outcomes) {
    const QString umount = "run /sbin/umount " + kMountPoint;
    const QString busy = "umount: " + kMountPoint + ": Device or resource busy\n";
    struct Case {
        const char* name;
        std::function<void(Mac&)> arrange;
        QStringList commands;
        QList<Alert> alerts;
        bool linkStays;
    };
    const Case cases[] = {
        {"unmounted",
         [](Mac& mac) { mac.unmountSucceeds(); },
         {umount, "run /sbin/mount"},
         {},
         false},
        {"unmount failed but the device has vanished",
         [](Mac& mac) { mac.fakes.files.items.remove(kDevice); },
         {umount, "run /sbin/mount", umount, "run /sbin/umount -f " + kMountPoint},
         {},
         false},
        {"still mounted",
         [&busy](Mac& mac) {
             mac.fakes.tasks.respond("/sbin/umount", {kMountPoint}, busy.toUtf8());
         },
         {umount, "run /sbin/mount"},
         {{"Failed to eject", "OK", "", "", kMountPoint + "\n\n" + busy}},
         true},
        {"still mounted there under another key",
         [](Mac& mac) {
             mac.mountList = "/dev/disk9s9 on " + kMountPoint.toUtf8() + " (exfat)\n";
             mac.fakes.files.addFile("/dev/disk9s9");
         },
         {umount, "run /sbin/mount"},
         {{"Failed to eject", "OK", "", "", kMountPoint + "\n\n"}},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Mac mac;
        mac.mountList += kMountedLine;
        mac.fakes.files.addDirectory("/Users/u/exfat-volumes");
        mac.fakes.files.addDirectory(kMountPoint);
        mac.fakes.files.addLink(kLink, kMountPoint);
        c.arrange(mac);
        mac.eject();
        EXPECT_EQ(mac.commands(), c.commands);
        EXPECT_EQ(mac.fakes.alerts.shown, c.alerts);
        EXPECT_EQ(mac.linkTarget().has_value(), c.linkStays);
        EXPECT_TRUE(mac.fakes.files.items.contains(kMountPoint)) << "the directory stays";
    }
}

TEST(MountAndEject, JapaneseAlertsKeepTheOkButton) {
    Mac mac;
    mac.fakes.languages.languages = {"ja"};
    mac.mountFails("boom");
    mac.mount();
    mac.mountList += kMountedLine;
    mac.eject();
    ASSERT_EQ(mac.fakes.alerts.shown.size(), 2);
    EXPECT_EQ(mac.fakes.alerts.shown[0], (Alert{QString::fromUtf8("マウントに失敗しました"), "OK",
                                                "", "", kDevice + "\n\nboom"}));
    EXPECT_EQ(mac.fakes.alerts.shown[1], (Alert{QString::fromUtf8("取り出しに失敗しました"), "OK",
                                                "", "", kMountPoint + "\n\n"}));
}

TEST(MountAndEject, MenuEntriesLeadToTheActions) {
    Mac mac;
    mac.fakes.tasks.respond("/usr/sbin/diskutil", {"list"}, "1: Windows_NTFS 7.5 GB disk2s1\n");
    mac.unmountSucceeds();
    AppDelegate controller(mac.fakes.platform);
    controller.applicationDidFinishLaunching();
    FakeStatusItem& item = mac.fakes.application.item;

    item.chooseTitle = "Mount: disk2s1 (7.5 GB)";
    item.action();
    EXPECT_EQ(mac.linkTarget(), kMountPoint);
    item.chooseTitle = "Eject: disk2s1";
    item.action();
    EXPECT_FALSE(mac.linkTarget().has_value());
    EXPECT_TRUE(mac.fakes.alerts.shown.isEmpty());
    EXPECT_EQ(item.shownMenus.last().entries.at(1).title, "Eject: disk2s1")
        << "no free-space figures for the imaginary volume";
}

}  // namespace
