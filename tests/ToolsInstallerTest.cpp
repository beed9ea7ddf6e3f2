#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/AppDelegate.h"
#include "platform/linux/LinuxAuthorization.h"
#include "platform/posix/PosixFileManager.h"
#include "platform/posix/PosixTaskLauncher.h"
#include "tests/Fakes.h"
#include "tests/LoopDevice.h"

namespace {

const QString kMarker = "/usr/local/sbin/mount.exfat";
const QString kBinDir = "/Applications/bin";
const QString kCreate = "create system.privilege.admin (value 0/null, flags 0) flags 19";
const QString kFree = "free 42 flags 0";

QString executeLine(const QString& binDir) {
    return "execute 42 /bin/sh 0 -c " + AppDelegate::installScriptForBinDir(binDir);
}

TEST(ToolsInstaller, Outcomes) {
    enum class Marker { Present, Absent, Dangling };
    enum class Folder { Missing, RegularFile, Directory };
    struct Case {
        const char* name;
        Marker marker;
        Folder folder;
        std::int32_t createStatus;
        std::int32_t executeStatus;
        bool scriptMakesMarker;
        bool result;
        QString alert;  // empty: none
        QStringList authorization;
    };
    const QStringList installed = {
        kCreate, executeLine(kBinDir), "read 256 -> 5", "read 256 -> 0", "close", kFree};
    const Case cases[] = {
        {"marker present", Marker::Present, Folder::Missing, 0, 0, false, true, "", {}},
        {"no tools folder",
         Marker::Absent,
         Folder::Missing,
         0,
         0,
         false,
         false,
         "exFAT command line tools not found",
         {}},
        {"tools folder is a file",
         Marker::Absent,
         Folder::RegularFile,
         0,
         0,
         false,
         false,
         "exFAT command line tools not found",
         {}},
        {"right refused or cancelled",
         Marker::Absent,
         Folder::Directory,
         errAuthorizationCanceled,
         0,
         false,
         false,
         "",
         {kCreate}},
        {"installed", Marker::Absent, Folder::Directory, 0, 0, true, true, "", installed},
        {"dangling marker counts as absent", Marker::Dangling, Folder::Directory, 0, 0, true, true,
         "", installed},
        {"script stopped before the marker", Marker::Absent, Folder::Directory, 0, 0, false, false,
         "Couldn't install the command line tools", installed},
        {"shell not started: drained all the same, no alert", Marker::Absent, Folder::Directory, 0,
         errAuthorizationToolExecuteFailure, false, false, "", installed},
    };
    for (const Case& c : cases) {
        FakePlatform fakes;
        fakes.bundle.path = "/Applications/exFAT.app";
        if (c.marker == Marker::Present) {
            fakes.files.addLink(kMarker, "/usr/local/sbin/mount.exfat-fuse");
            fakes.files.addFile("/usr/local/sbin/mount.exfat-fuse");
        } else if (c.marker == Marker::Dangling) {
            fakes.files.addLink(kMarker, "/usr/local/sbin/mount.exfat-fuse");
        }
        if (c.folder == Folder::RegularFile) {
            fakes.files.addFile(kBinDir);
        } else if (c.folder == Folder::Directory) {
            fakes.files.addDirectory(kBinDir);
        }
        fakes.authorization.createStatus = c.createStatus;
        fakes.authorization.executeStatus = c.executeStatus;
        if (c.scriptMakesMarker) {
            fakes.authorization.onExecute = [&fakes] {
                fakes.files.addFile("/usr/local/sbin/mount.exfat-fuse");
                fakes.files.addLink(kMarker, "/usr/local/sbin/mount.exfat-fuse");
            };
        }
        AppDelegate controller(fakes.platform);

        EXPECT_EQ(controller.ensureCLIToolsInstalled(), c.result) << c.name;
        EXPECT_EQ(fakes.authorization.calls, c.authorization) << c.name;
        EXPECT_EQ(fakes.bundle.calls.isEmpty(), c.marker == Marker::Present)
            << c.name << ": the tools folder is computed only when the marker is missing";
        if (c.alert.isEmpty()) {
            EXPECT_TRUE(fakes.alerts.shown.isEmpty()) << c.name;
        } else {
            ASSERT_EQ(fakes.alerts.shown.size(), 1) << c.name;
            EXPECT_EQ(fakes.alerts.shown[0], (Alert{c.alert, "OK", "", "", kBinDir})) << c.name;
        }
    }
}

TEST(ToolsInstaller, JapaneseMessagesKeepTheOkButton) {
    struct Case {
        bool folderExists;
        QString message;
    };
    const Case cases[] = {
        {false, QString::fromUtf8("コマンドラインツールが見つかりません")},
        {true, QString::fromUtf8("コマンドラインツールをインストールできませんでした")},
    };
    for (const Case& c : cases) {
        FakePlatform fakes;
        fakes.languages.languages = {"ja-JP"};
        if (c.folderExists) {
            fakes.files.addDirectory(kBinDir);
        }
        AppDelegate controller(fakes.platform);
        EXPECT_FALSE(controller.ensureCLIToolsInstalled());
        ASSERT_EQ(fakes.alerts.shown.size(), 1);
        EXPECT_EQ(fakes.alerts.shown[0], (Alert{c.message, "OK", "", "", kBinDir}));
    }
}

TEST(ToolsInstaller, ToolsFolderLiesBesideTheBundle) {
    struct Case {
        QString bundle;
        QString binDir;
    };
    const Case cases[] = {
        {"/Volumes/Stick/App.app", "/Volumes/Stick/bin"},
        {"/opt/exfatbar/exfatbar.app", "/opt/exfatbar/bin"},
        {"/App.app", "/bin"},
    };
    for (const Case& c : cases) {
        FakePlatform fakes;
        fakes.bundle.path = c.bundle;
        AppDelegate controller(fakes.platform);
        EXPECT_EQ(controller.siblingBinDir(), c.binDir);
    }
}

TEST(InstallScript, TextForAPlainFolder) {
    const QString script = AppDelegate::installScriptForBinDir("/T");
    EXPECT_EQ(script.size(), 473);
    EXPECT_TRUE(script.startsWith("set -e; mkdir -p /usr/local/sbin; cp '/T/mount.exfat-fuse' "));
    EXPECT_EQ(script.count("/T"), 6);
    for (const char* tool :
         {"mount.exfat-fuse", "exfatfsck", "mkexfatfs", "exfatlabel", "dumpexfat", "exfatattrib"}) {
        EXPECT_TRUE(script.contains(QString("'/T/%1'").arg(tool))) << tool;
        EXPECT_TRUE(script.contains(QString("/usr/local/sbin/%1").arg(tool))) << tool;
    }
    EXPECT_TRUE(script.contains("; chmod 755 /usr/local/sbin/mount.exfat-fuse "));
    EXPECT_TRUE(script.contains("; ln -sf mount.exfat-fuse /usr/local/sbin/mount.exfat;"));
    EXPECT_TRUE(script.contains("; ln -sf exfatfsck /usr/local/sbin/fsck.exfat;"));
    EXPECT_TRUE(script.endsWith("; ln -sf mkexfatfs /usr/local/sbin/mkfs.exfat"));
    EXPECT_FALSE(script.contains(u'\n'));
}

// The shell runs the script for awkward folder names, its target moved into a scratch prefix:
// the copies come from exactly that folder and nothing in the name runs.
TEST(InstallScript, ShellSeesTheExactFolder) {
    const QStringList names = {
        "with space", "it's",           "a'; touch PWNED; echo '",  "'",
        "%@ and %1",  "$(touch PWNED)", "back\\slash`touch PWNED`", QString::fromUtf8("写真 'x'"),
    };
    for (const QString& name : names) {
        QTemporaryDir scratch;
        const QString binDir = scratch.filePath("tools/" + name);
        ASSERT_TRUE(QDir().mkpath(binDir)) << name;
        for (const char* tool : {"mount.exfat-fuse", "exfatfsck", "mkexfatfs", "exfatlabel",
                                 "dumpexfat", "exfatattrib"}) {
            QFile file(binDir + "/" + tool);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(tool);
        }
        const QString prefix = scratch.filePath("prefix/sbin");
        const QString script =
            AppDelegate::installScriptForBinDir(binDir).replace("/usr/local/sbin", prefix);
        std::string output;
        QFile shellScript(scratch.filePath("run.sh"));
        ASSERT_TRUE(shellScript.open(QIODevice::WriteOnly));
        shellScript.write(script.toUtf8());
        shellScript.close();
        const int status =
            runShell("cd '" + scratch.path().toStdString() + "' && /bin/sh run.sh 2>&1", &output);
        EXPECT_EQ(status, 0) << name << ": " << output;
        QFile copied(prefix + "/exfatattrib");
        ASSERT_TRUE(copied.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(copied.readAll(), "exfatattrib") << name;
        EXPECT_EQ(QFile::symLinkTarget(prefix + "/mount.exfat"), prefix + "/mount.exfat-fuse")
            << name;
        EXPECT_FALSE(QFileInfo::exists(scratch.filePath("PWNED"))) << name;
    }
}

// The Linux authorization through polkit, with stand-ins for pkexec that answer as pkexec does.
TEST(LinuxAuthorizationTest, PolkitVerdicts) {
    QTemporaryDir scratch;
    struct Case {
        const char* name;
        const char* pkexec;
        std::int32_t status;
        QByteArray output;  // read from the stream; none handed back when not granted
    };
    const Case cases[] = {
        {"granted", "[ \"$1\" = --disable-internal-agent ] || exit 99; shift; exec \"$@\"",
         errAuthorizationSuccess, "ran as root\n"},
        {"dialog dismissed", "echo dismissed >&2; exit 126", errAuthorizationCanceled, ""},
        {"not authorized or no agent", "echo 'No authentication agent found.' >&2; exit 127",
         errAuthorizationCanceled, ""},
        {"granted, script failed", "shift; \"$@\"; exit 1", errAuthorizationSuccess,
         "ran as root\n"},
    };
    for (const Case& c : cases) {
        const QString pkexec = scratch.filePath(QString("pkexec-%1").arg(&c - cases));
        QFile file(pkexec);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("#!/bin/sh\n") + c.pkexec + "\n");
        file.close();
        ASSERT_TRUE(file.setPermissions(QFile::ReadOwner | QFile::ExeOwner));

        PosixTaskLauncher tasks;
        LinuxAuthorization authorization(
            tasks, [] { return false; }, pkexec);
        AuthorizationRef reference = 0;
        ASSERT_EQ(authorization.create({{"system.privilege.admin", 0, nullptr, 0}}, 19, reference),
                  errAuthorizationSuccess)
            << c.name;
        std::unique_ptr<PrivilegedStream> stream;
        EXPECT_EQ(authorization.executeWithPrivileges(reference, "/bin/sh", 0,
                                                      {"-c", "echo ran as root"}, stream),
                  c.status)
            << c.name;
        QByteArray read;
        if (stream) {
            char buffer[4];
            for (std::size_t got; (got = stream->read(buffer, sizeof buffer)) > 0;) {
                read.append(buffer, static_cast<qsizetype>(got));
            }
            stream->close();
        }
        EXPECT_EQ(read, c.output) << c.name;
        authorization.free(reference, 0);
        EXPECT_NE(
            authorization.executeWithPrivileges(reference, "/bin/sh", 0, {"-c", "true"}, stream),
            errAuthorizationSuccess)
            << c.name << ": a released reference grants nothing";
    }

    PosixTaskLauncher tasks;
    LinuxAuthorization withoutPolkit(
        tasks, [] { return false; }, scratch.filePath("no-pkexec"));
    AuthorizationRef reference = 0;
    EXPECT_NE(withoutPolkit.create({{"system.privilege.admin", 0, nullptr, 0}}, 19, reference),
              errAuthorizationSuccess)
        << "without pkexec nobody can grant the right";
}

// As root, for real: the assembled tools folder installed into a scratch file system mounted
// over /usr/local/sbin in this process's own mount namespace.
class RealInstall : public ::testing::Test {
  protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "installing into /usr/local/sbin needs root";
        }
        if (const std::string reason = enterPrivateMountNamespace(); !reason.empty()) {
            GTEST_SKIP() << reason;
        }
        ASSERT_EQ(::mkdir("/usr/local/sbin", 0755) == 0 || errno == EEXIST, true);
        ASSERT_EQ(::mount("tmpfs", "/usr/local/sbin", "tmpfs", 0, "size=64m"), 0);
    }
    void TearDown() override {
        ::umount2("/usr/local/sbin", MNT_DETACH);
        qputenv("HOME", savedHome);
    }

    bool ensureWithBundleAt(const QString& bundlePath) {
        fakes.bundle.path = bundlePath;
        savedHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        Platform platform = fakes.with(Commands::macOS(), nullptr, &files, nullptr, &authorization);
        AppDelegate controller(platform);
        return controller.ensureCLIToolsInstalled();
    }

    PosixTaskLauncher tasks;
    // Root already: the right is there without asking and the shell runs directly.
    LinuxAuthorization authorization{tasks, [] { return true; }};
    PosixFileManager files;
    FakePlatform fakes;
    QTemporaryDir home;
    QByteArray savedHome;
};

TEST_F(RealInstall, AssembledToolsFolderIsInstalled) {
    ASSERT_TRUE(ensureWithBundleAt(EXFATBAR_BUNDLE_DIR));
    EXPECT_TRUE(fakes.alerts.shown.isEmpty());

    for (const char* tool :
         {"mount.exfat-fuse", "exfatfsck", "mkexfatfs", "exfatlabel", "dumpexfat", "exfatattrib"}) {
        struct stat status {};
        ASSERT_EQ(::lstat((std::string("/usr/local/sbin/") + tool).c_str(), &status), 0) << tool;
        EXPECT_TRUE(S_ISREG(status.st_mode)) << tool;
        EXPECT_EQ(status.st_mode & 07777, 0755u) << tool;
    }
    for (const auto& [link, target] :
         {std::pair{"mount.exfat", "mount.exfat-fuse"}, std::pair{"fsck.exfat", "exfatfsck"},
          std::pair{"mkfs.exfat", "mkexfatfs"}}) {
        char content[256] = {};
        ASSERT_GT(::readlink((std::string("/usr/local/sbin/") + link).c_str(), content,
                             sizeof content - 1),
                  0)
            << link;
        EXPECT_STREQ(content, target) << link << " is relative";
    }
    std::string version;
    runShell("/usr/local/sbin/mount.exfat -V 2>&1", &version);
    EXPECT_NE(version.find("FUSE exfat"), std::string::npos) << version;
}

TEST_F(RealInstall, MissingToolStopsTheScriptAndTheUserIsTold) {
    QTemporaryDir shipped;
    ASSERT_TRUE(QDir(shipped.path()).mkpath("exFAT.app"));
    ASSERT_TRUE(QDir(shipped.path()).mkpath("bin"));
    for (const char* tool :
         {"mount.exfat-fuse", "exfatfsck", "mkexfatfs", "exfatlabel", "dumpexfat"}) {
        ASSERT_TRUE(QFile::copy(QString(EXFATBAR_TOOLS_DIR "/") + tool,
                                shipped.filePath(QString("bin/") + tool)));
    }
    EXPECT_FALSE(ensureWithBundleAt(shipped.filePath("exFAT.app")));
    ASSERT_EQ(fakes.alerts.shown.size(), 1);
    EXPECT_EQ(fakes.alerts.shown[0].messageText, "Couldn't install the command line tools");
    EXPECT_EQ(fakes.alerts.shown[0].informativeText, shipped.filePath("bin"));
    EXPECT_FALSE(QFileInfo(kMarker).isSymLink()) << "set -e stopped the script before its links";
}

}  // namespace
