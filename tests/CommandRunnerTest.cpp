#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <chrono>
#include <csignal>

#include "app/AppDelegate.h"
#include "platform/posix/PosixTaskLauncher.h"
#include "tests/Fakes.h"

namespace {

using namespace std::chrono_literals;

// A killed process whose parent has gone may stay a zombie here, with nobody to reap it.
bool isRunning(pid_t pid) {
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray fields = stat.readAll();
    const qsizetype afterName = fields.lastIndexOf(')');
    return afterName >= 0 && fields.mid(afterName + 2, 1) != "Z";
}

class CommandRunnerTest : public ::testing::Test {
  protected:
    QString run(const QString& path, const QStringList& arguments) {
        PosixTaskLauncher tasks(limit);
        Platform platform = fakes.with(Commands::macOS(), &tasks);
        AppDelegate controller(platform);
        return controller.runTaskAtPath(path, arguments);
    }
    QString shell(const QString& script) { return run("/bin/sh", {"-c", script}); }

    std::chrono::milliseconds limit = PosixTaskLauncher::kDefaultTimeLimit;
    FakePlatform fakes;
    QTemporaryDir scratch;
};

TEST_F(CommandRunnerTest, OutputOfRealCommands) {
    struct Case {
        const char* name;
        const char* script;
        QString expected;
    };
    const Case cases[] = {
        {"standard error only", "echo oops >&2", "oops\n"},
        {"both streams in write order", "echo o1; echo e1 >&2; echo o2; echo e2 >&2",
         "o1\ne1\no2\ne2\n"},
        {"failure status keeps the output", "echo partial; exit 3", "partial\n"},
        {"nothing written", "exit 0", ""},
        {"UTF-8 text", "printf '\\344\\270\\200 \\360\\237\\222\\276'", u8"一 💾"},
        {"trailing 0xFF spoils all", "printf 'plain ascii\\377'", ""},
        {"invalid byte in the middle", "printf 'ab\\300\\257cd'", ""},
        {"encoded surrogate", "printf '\\355\\240\\200'", ""},
        {"truncated sequence at the end", "printf 'ok\\342\\202'", ""},
        {"byte-order mark is kept", "printf '\\357\\273\\277x'", QString(QChar(0xFEFF)) + "x"},
        {"NUL bytes are text", "printf 'a\\000b'", QString::fromUtf16(u"a\0b", 3)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(shell(c.script), c.expected) << c.name;
    }
}

TEST_F(CommandRunnerTest, ProgramsThatCannotStartGiveTheEmptyText) {
    const QString notExecutable = scratch.filePath("plain");
    QFile file(notExecutable);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\necho should not run\n");
    file.close();
    ASSERT_TRUE(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner));

    EXPECT_EQ(run(scratch.filePath("missing"), {}), "");
    EXPECT_EQ(run(notExecutable, {}), "");
    EXPECT_EQ(run(scratch.path(), {}), "") << "a directory";
    // The launch path is used as it stands: no search of PATH for a bare name.
    EXPECT_EQ(run("sh", {"-c", "echo searched"}), "");
}

TEST_F(CommandRunnerTest, ArgumentsReachTheChildUnchangedAfterItsProgramName) {
    EXPECT_EQ(shell("echo $#"), "0\n") << "no arguments after -c's script";
    EXPECT_EQ(run("/bin/sh", {"-c", "printf '[%s]' \"$0\" \"$@\"", "zero", "a b", "", "'\"$x"}),
              "[zero][a b][]['\"$x]");
}

TEST_F(CommandRunnerTest, OutputLargerThanThePipeBufferArrivesWhole) {
    const QString output = shell("head -c 1048576 /dev/zero | tr '\\000' x");
    EXPECT_EQ(output.size(), 1048576);
    EXPECT_EQ(output.count(u'x'), 1048576);
}

TEST_F(CommandRunnerTest, OnlyTheThreeStandardDescriptorsReachTheChild) {
    // Descriptors of our own process must not leak into the programs we start.
    EXPECT_EQ(shell("ls /proc/self/fd | sort -n | tr '\\n' ' '"), "0 1 2 3 ")
        << "ls itself holds the fourth, the directory it reads";
}

TEST_F(CommandRunnerTest, CommandsPastTheTimeLimitAreCutOff) {
    limit = 300ms;
    const QString pidFile = scratch.filePath("pid");
    struct Case {
        const char* name;
        QString script;
    };
    const Case cases[] = {
        {"output never ends", "echo started; sleep 30"},
        {"output closed, never exits", "echo started; exec >&- 2>&-; sleep 30"},
        {"a grandchild keeps the pipe open",
         QString("sleep 30 & echo $! > '%1'; echo started").arg(pidFile)},
    };
    for (const Case& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(shell(c.script), "") << c.name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << c.name;
    }
    // The whole process group went: the grandchild was killed too.
    QFile file(pidFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const pid_t grandchild = file.readAll().trimmed().toInt();
    ASSERT_GT(grandchild, 0);
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
        gone = !isRunning(grandchild);
        if (!gone) {
            QThread::msleep(10);
        }
    }
    EXPECT_TRUE(gone) << "sleep " << grandchild << " still runs";
}

TEST_F(CommandRunnerTest, FailuresOfTheLauncherGiveTheEmptyText) {
    fakes.tasks.failToStart("/bin/tool", {"x"});
    AppDelegate controller(fakes.platform);
    EXPECT_EQ(controller.runTaskAtPath("/bin/tool", {"x"}), "");
    EXPECT_EQ(fakes.tasks.calls, QStringList{"run /bin/tool x"});
}

}  // namespace
