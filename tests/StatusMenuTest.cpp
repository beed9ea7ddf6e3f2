#include <gtest/gtest.h>

#include <QRegularExpression>

#include "app/AppDelegate.h"
#include "tests/Fakes.h"

namespace {

const char* const kMountListHead = "/dev/disk0s2 on / (hfs, local, journaled)\n";

// One entry as one line: title, then what differs from an enabled entry without action.
QString describe(const MenuEntry& entry, const AppDelegate* controller) {
    if (entry.isSeparator) {
        return "---";
    }
    QString line = entry.title;
    if (!entry.enabled) {
        line += " | disabled";
    }
    switch (entry.action) {
        case MenuAction::Unmount:
            line += " | unmountAction";
            break;
        case MenuAction::Mount:
            line += " | mountAction";
            break;
        case MenuAction::Quit:
            line += " | quitAction";
            break;
        case MenuAction::None:
            break;
    }
    if (entry.target != nullptr) {
        line += entry.target == controller ? " -> controller" : " -> elsewhere";
    }
    if (entry.representedObject) {
        line += " [" + *entry.representedObject + "]";
    }
    if (!entry.keyEquivalent.isEmpty()) {
        line += " key " + entry.keyEquivalent;
    }
    return line;
}

QStringList describe(const StatusMenu& menu, const AppDelegate* controller) {
    QStringList lines;
    for (const MenuEntry& entry : menu.entries) {
        lines.append(describe(entry, controller));
    }
    return lines;
}

class StatusMenuTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // disk2s1 mounted with 3.2 of 7.5 GB free.
        fakes.files.addFile("/dev/disk2s1");
        fakes.files.addFile("/dev/disk5s1");
        fakes.stats.figures["/Users/u/exfat-volumes/disk2s1"] = {4096, 1966080, 838861};
    }
    void mounts(const QByteArray& lines) {
        fakes.tasks.respond("/sbin/mount", {}, kMountListHead + lines);
    }
    void listing(const QByteArray& lines) {
        fakes.tasks.respond("/usr/sbin/diskutil", {"list"},
                            "/dev/disk2 (external, physical):\n"
                            "   #:                       TYPE NAME                    SIZE       "
                            "IDENTIFIER\n" +
                                lines);
    }

    FakePlatform fakes;
};

TEST_F(StatusMenuTest, FourLayouts) {
    const QByteArray mounted = "/dev/disk2s1 on /Users/u/exfat-volumes/disk2s1 (exfat, local)\n";
    const QByteArray mountedCandidate = "   1:               Windows_NTFS A  7.5 GB    disk2s1\n";
    const QByteArray freeCandidates =
        "   2:                 DOS_FAT_32 B  7.5 GB    disk3s1\n"
        "   3:       Microsoft Basic Data    1.0 TB    disk4s2\n";
    struct Case {
        const char* name;
        QByteArray mountList;
        QByteArray listing;
        QStringList entries;
    };
    const Case cases[] = {
        {"nothing at all",
         "",
         "",
         {"No exFAT drives found | disabled", "---", "Quit | quitAction -> controller"}},
        {"mounts only: every candidate is mounted",
         mounted,
         mountedCandidate,
         {"Eject | disabled",
          "Eject: disk2s1 (3.2/7.5 GB free) | unmountAction -> controller "
          "[/Users/u/exfat-volumes/disk2s1]",
          "---", "Quit | quitAction -> controller"}},
        {"candidates only",
         "",
         freeCandidates,
         {"Mount | disabled", "Mount: disk3s1 (7.5 GB) | mountAction -> controller [disk3s1]",
          "Mount: disk4s2 (1.0 TB) | mountAction -> controller [disk4s2]", "---",
          "Quit | quitAction -> controller"}},
        {"both, the mounted candidate left out",
         mounted,
         mountedCandidate + freeCandidates,
         {"Eject | disabled",
          "Eject: disk2s1 (3.2/7.5 GB free) | unmountAction -> controller "
          "[/Users/u/exfat-volumes/disk2s1]",
          "---", "Mount | disabled",
          "Mount: disk3s1 (7.5 GB) | mountAction -> controller [disk3s1]",
          "Mount: disk4s2 (1.0 TB) | mountAction -> controller [disk4s2]", "---",
          "Quit | quitAction -> controller"}},
    };
    for (const Case& c : cases) {
        mounts(c.mountList);
        listing(c.listing);
        AppDelegate controller(fakes.platform);
        const StatusMenu menu = controller.statusMenu();
        EXPECT_EQ(describe(menu, &controller), c.entries) << c.name;
        EXPECT_EQ(menu.title, "") << c.name;
        EXPECT_FALSE(menu.autoenablesItems) << c.name;
    }
}

TEST_F(StatusMenuTest, JapaneseTexts) {
    fakes.languages.languages = {"ja-JP", "en"};
    AppDelegate controller(fakes.platform);
    EXPECT_EQ(describe(controller.statusMenu(), &controller),
              QStringList({QString::fromUtf8("exFATドライブが見つかりません | disabled"), "---",
                           QString::fromUtf8("終了 | quitAction -> controller")}));

    mounts("/dev/disk2s1 on /Users/u/exfat-volumes/disk2s1 (exfat)\n");
    listing("   2:                 DOS_FAT_32 B  7.5 GB    disk3s1\n");
    const QStringList titles = [&] {
        QStringList all;
        for (const MenuEntry& entry : controller.statusMenu().entries) {
            all.append(entry.title);
        }
        return all;
    }();
    EXPECT_EQ(titles, QStringList({QString::fromUtf8("取り出す"),
                                   QString::fromUtf8("取り出す: disk2s1 (3.2/7.5 GB free)"), "",
                                   QString::fromUtf8("マウント"),
                                   QString::fromUtf8("マウント: disk3s1 (7.5 GB)"), "",
                                   QString::fromUtf8("終了")}));
}

TEST_F(StatusMenuTest, MountWithoutFreeSpaceHasTheShortTitle) {
    mounts("/dev/disk5s1 on /Users/u/exfat-volumes/disk5s1 (exfat)\n");
    AppDelegate controller(fakes.platform);
    EXPECT_EQ(describe(controller.statusMenu(), &controller),
              QStringList({"Eject | disabled",
                           "Eject: disk5s1 | unmountAction -> controller "
                           "[/Users/u/exfat-volumes/disk5s1]",
                           "---", "Quit | quitAction -> controller"}));
}

TEST_F(StatusMenuTest, MountsAreInspectedAndCleanedBeforeTheListing) {
    mounts("/dev/disk7s1 on /Users/u/exfat-volumes/disk7s1 (exfat)\n");
    listing("   1:               Windows_NTFS A  7.5 GB    disk7s1\n");
    AppDelegate controller(fakes.platform);
    QStringList log;
    fakes.shareLog(log);
    const StatusMenu menu = controller.statusMenu();
    QStringList commands = log.filter(QRegularExpression("^run "));
    EXPECT_EQ(commands,
              QStringList({"run /sbin/mount", "run /sbin/umount /Users/u/exfat-volumes/disk7s1",
                           "run /sbin/umount -f /Users/u/exfat-volumes/disk7s1",
                           "run /usr/sbin/diskutil list"}));
    // The vanished volume is no longer mounted, so its partition is offered again.
    EXPECT_EQ(describe(menu, &controller).at(1),
              "Mount: disk7s1 (7.5 GB) | mountAction -> controller [disk7s1]");
}

TEST_F(StatusMenuTest, TwoClicksWithoutChangeGiveTheSameMenu) {
    mounts("/dev/disk2s1 on /Users/u/exfat-volumes/disk2s1 (exfat)\n");
    listing("   2:                 DOS_FAT_32 B  7.5 GB    disk3s1\n");
    AppDelegate controller(fakes.platform);
    controller.applicationDidFinishLaunching();
    fakes.application.item.action();
    fakes.application.item.action();
    ASSERT_EQ(fakes.application.item.shownMenus.size(), 2);
    EXPECT_EQ(fakes.application.item.shownMenus[0], fakes.application.item.shownMenus[1]);
    EXPECT_EQ(fakes.application.item.shownMenus[0].entries.size(), 7);
}

TEST_F(StatusMenuTest, LaunchCreatesTheItemAndEachClickPopsUpAFreshMenu) {
    AppDelegate controller(fakes.platform);
    EXPECT_EQ(controller.currentStatusItem(), nullptr) << "no item before launching";
    controller.applicationDidFinishLaunching();
    FakeStatusItem& item = fakes.application.item;
    EXPECT_EQ(fakes.application.calls, QStringList{"statusItemWithLength -1"});
    EXPECT_EQ(controller.currentStatusItem(), &item);
    EXPECT_EQ(item.title, "exFAT");
    EXPECT_TRUE(item.highlight);
    ASSERT_TRUE(item.action);
    ASSERT_TRUE(item.build) << "hosts that open the menu themselves get it built afresh";

    item.action();
    EXPECT_EQ(item.calls, QStringList({"title exFAT", "popUp"}));
    EXPECT_EQ(fakes.tasks.calls, QStringList({"run /sbin/mount", "run /usr/sbin/diskutil list"}));
    EXPECT_TRUE(fakes.application.calls.filter("terminate").isEmpty()) << "dismissed: nothing";

    // The title stays "exFAT" in Japanese too.
    fakes.languages.languages = {"ja"};
    AppDelegate japanese(fakes.platform);
    japanese.applicationDidFinishLaunching();
    EXPECT_EQ(item.title, "exFAT");
}

TEST_F(StatusMenuTest, ChoosingAnEntryRunsItsAction) {
    AppDelegate controller(fakes.platform);
    controller.applicationDidFinishLaunching();
    FakeStatusItem& item = fakes.application.item;

    item.chooseTitle = "No exFAT drives found";
    item.action();
    EXPECT_TRUE(fakes.application.calls.filter("terminate").isEmpty()) << "a disabled entry";

    item.chooseTitle = "Quit";
    item.action();
    EXPECT_EQ(fakes.application.calls.filter("terminate").size(), 1);

    // The same through a host that opened the menu itself.
    const StatusMenu menu = item.build();
    item.perform(menu.entries.last());
    EXPECT_EQ(fakes.application.calls.filter("terminate").size(), 2);
    item.perform(menu.entries.first());
    EXPECT_EQ(fakes.application.calls.filter("terminate").size(), 2);
}

TEST(Construction, MountBaseDirectoryIsMadeWhenNothingStandsThere) {
    struct Case {
        const char* name;
        std::function<void(FakeFileManager&)> before;
        bool created;
    };
    const Case cases[] = {
        {"nothing there", [](FakeFileManager&) {}, true},
        {"a directory already",
         [](FakeFileManager& f) { f.addDirectory("/Users/u/exfat-volumes"); }, false},
        {"an ordinary file", [](FakeFileManager& f) { f.addFile("/Users/u/exfat-volumes"); },
         false},
    };
    for (const Case& c : cases) {
        FakePlatform fakes;
        fakes.files.addDirectory("/Users/u");
        c.before(fakes.files);
        AppDelegate controller(fakes.platform);
        EXPECT_EQ(controller.mountBaseDirectory(), "/Users/u/exfat-volumes") << c.name;
        EXPECT_EQ(fakes.files.calls.contains("mkdir /Users/u/exfat-volumes"), c.created) << c.name;
        EXPECT_TRUE(fakes.tasks.calls.isEmpty()) << c.name;
    }
}

}  // namespace
