#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <chrono>
#include <random>

#include "app/AppDelegate.h"
#include "platform/posix/PosixTaskLauncher.h"
#include "tests/Fakes.h"

namespace {

using namespace std::chrono_literals;

const QByteArray kCandidate = "   1:               Windows_NTFS STICK  15.5 GB    disk2s1\n";

QByteArray garbage(qsizetype size) {
    std::mt19937 random(20261211);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes) {
        byte = static_cast<char>(random());
    }
    return bytes;
}

// What a command prints: a file of bytes that a script cats, or a script of its own.
struct Output {
    QByteArray bytes;
    QByteArray script;  // used instead of the bytes when set
};

// Real processes in place of the disk utility and the mount list, printing what a case says.
class HostileOutputTest : public ::testing::Test {
  protected:
    QString command(const char* name, const Output& output) {
        const QString data = scratch.filePath(QString(name) + ".out");
        QFile file(data);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(output.bytes);
        file.close();
        const QString path = scratch.filePath(name);
        QFile script(path);
        EXPECT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(
            "#!/bin/sh\n" +
            (output.script.isEmpty() ? "exec cat '" + data.toUtf8() + "'" : output.script) + "\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        return path;
    }

    // The menu of one click with these outputs, and how long the click took.
    StatusMenu click(const Output& listing, const Output& mounts,
                     std::chrono::steady_clock::duration* took = nullptr) {
        Commands commands = Commands::macOS();
        commands.diskutil = command("diskutil", listing);
        commands.mount = command("mount", mounts);
        commands.umount = "/bin/true";
        PosixTaskLauncher tasks(2s);
        Platform platform = fakes.with(commands, &tasks);
        AppDelegate controller(platform);
        fakes.files.calls.clear();
        const auto start = std::chrono::steady_clock::now();
        StatusMenu menu = controller.statusMenu();
        if (took != nullptr) {
            *took = std::chrono::steady_clock::now() - start;
        }
        return menu;
    }

    // Whether the click changed anything on disk: made, linked or removed an item.
    bool touchedTheDisk() const {
        return !fakes.files.calls.filter(QRegularExpression("^(mkdir|symlink|remove) ")).isEmpty();
    }

    QTemporaryDir scratch;
    FakePlatform fakes;
};

TEST_F(HostileOutputTest, TheMenuStillBuilds) {
    QByteArray manyCandidates;
    for (int i = 0; i < 100'000; ++i) {
        manyCandidates +=
            QByteArray("   1: Windows_NTFS X 1.0 GB disk") + QByteArray::number(i) + "s1\n";
    }
    struct Case {
        const char* name;
        Output listing;
        Output mounts;
        qsizetype entries;  // in the menu, separators and Quit included
        QString first;      // title of the first entry
    };
    const Case cases[] = {
        {"50 MB of one line",
         {{}, "head -c 52428800 /dev/zero | tr '\\000' x"},
         {{}, "yes '/Users/u/exfat-volumes on (' | tr -d '\\n' | head -c 52428800"},
         3,
         "No exFAT drives found"},
        {"binary garbage",
         {garbage(1 << 20), {}},
         {garbage(1 << 20), {}},
         3,
         "No exFAT drives found"},
        {"invalid UTF-8 after a good line",
         {kCandidate + "\xc3\x28\n", {}},
         {"/dev/disk2s1 on /Users/u/exfat-volumes/disk2s1 (exfat)\n\xff", {}},
         3,
         "No exFAT drives found"},
        {"NUL bytes and carriage returns",
         {QByteArray("1:\0 Windows_NTFS 1 GB disk2s1\r\n", 32), {}},
         {QByteArray("\0\r\n", 3), {}},
         3,
         "No exFAT drives found"},
        {"100 000 candidates", {manyCandidates, {}}, {}, 100'003, "Mount"},
        {"never exits",
         {{}, "echo '1: Windows_NTFS X 1.0 GB disk2s1'; exec sleep 60"},
         {{}, "exec sleep 60"},
         3,
         "No exFAT drives found"},
        {"output never ends",
         {{}, "exec yes '1: Windows_NTFS X 1.0 GB disk2s1'"},
         {},
         3,
         "No exFAT drives found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::chrono::steady_clock::duration took{};
        const StatusMenu menu = click(c.listing, c.mounts, &took);
        ASSERT_EQ(menu.entries.size(), c.entries);
        EXPECT_EQ(menu.entries.first().title, c.first);
        EXPECT_EQ(menu.entries.last().title, "Quit");
        EXPECT_LT(took, 20s) << "the interface comes back";
        EXPECT_FALSE(touchedTheDisk());
    }
}

TEST_F(HostileOutputTest, MissingCommandsGiveTheNothingFoundMenu) {
    Commands commands = Commands::macOS();
    commands.diskutil = scratch.filePath("no-such-diskutil");
    commands.mount = scratch.filePath("no-such-mount");
    PosixTaskLauncher tasks;
    Platform platform = fakes.with(commands, &tasks);
    AppDelegate controller(platform);
    const StatusMenu menu = controller.statusMenu();
    ASSERT_EQ(menu.entries.size(), 3);
    EXPECT_EQ(menu.entries.first().title, "No exFAT drives found");
}

TEST_F(HostileOutputTest, AwkwardMountPointsAreShownAsTheListPrintsThem) {
    // Mount points holding " on ", " (", line breaks and non-ASCII names, each with a device node:
    // the first " (" ends a mount point, and a line break ends its line, which then does not fit.
    const QByteArray mounts =
        "/dev/disk2s1 on /Users/u/exfat-volumes/a on b (exfat, local)\n"
        "/dev/disk3s1 on /Users/u/exfat-volumes/c (d) (exfat, local)\n"
        "/dev/disk4s1 on /Users/u/exfat-volumes/new\nline (exfat, local)\n"
        "/dev/disk5s1 on /Users/u/exfat-volumes/\xe5\x86\x99\xe7\x9c\x9f (exfat, local)\n"
        "a on b on /Users/u/exfat-volumes/x (exfat)\n";
    for (const char* node : {"/dev/disk2s1", "/dev/disk3s1", "/dev/disk4s1", "/dev/disk5s1"}) {
        fakes.files.addFile(node);
    }
    const StatusMenu menu = click({}, {mounts, {}});
    QStringList lines;
    for (const MenuEntry& entry : menu.entries) {
        lines.append(entry.isSeparator
                         ? "---"
                         : entry.title + " [" + entry.representedObject.value_or("") + "]");
    }
    EXPECT_EQ(lines, QStringList({"Eject []", "Eject: disk2s1 [/Users/u/exfat-volumes/a on b]",
                                  "Eject: disk3s1 [/Users/u/exfat-volumes/c]",
                                  "Eject: disk5s1 [" +
                                      QString::fromUtf8("/Users/u/exfat-volumes/写真") + "]",
                                  "---", "Quit []"}));
    EXPECT_FALSE(touchedTheDisk());
}

}  // namespace
