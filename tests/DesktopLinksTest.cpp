#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdlib>

#include "app/AppDelegate.h"
#include "platform/posix/PosixFileManager.h"
#include "tests/Fakes.h"

namespace {

TEST(DesktopLinkPath, NamedAfterTheIdentifier) {
    struct Case {
        QString home;
        QString identifier;
        QString path;
    };
    const Case cases[] = {
        {"/Users/me", "disk2s1", "/Users/me/Desktop/exFAT (disk2s1)"},
        {"/Users/me", "", "/Users/me/Desktop/exFAT ()"},
        {"/", "sdb1", "/Desktop/exFAT (sdb1)"},
    };
    for (const Case& c : cases) {
        FakePlatform fakes;
        fakes.files.home = c.home;
        AppDelegate controller(fakes.platform);
        fakes.files.calls.clear();
        EXPECT_EQ(controller.desktopLinkPathForIdentifier(c.identifier), c.path);
        EXPECT_TRUE(fakes.files.calls.isEmpty()) << "the path needs no file-system access";
    }
}

TEST(DesktopLinkRemoval, NothingThereMeansNoDeletion) {
    FakePlatform fakes;
    AppDelegate controller(fakes.platform);
    fakes.files.calls.clear();
    controller.removeDesktopLinkForIdentifier("disk2s1");
    EXPECT_EQ(fakes.files.calls, QStringList{"exists /Users/u/Desktop/exFAT (disk2s1)"});
}

// The real file manager in a temporary home.
class DesktopLinksOnDisk : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        savedHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        ASSERT_TRUE(QDir(home.path()).mkpath("Desktop"));
        ASSERT_TRUE(QDir(home.path()).mkpath("exfat-volumes/disk2s1"));
        link = home.filePath("Desktop/exFAT (disk2s1)");
    }
    void TearDown() override { qputenv("HOME", savedHome); }

    void remove() {
        PosixFileManager files;
        Platform platform = fakes.with(Commands::macOS(), nullptr, &files);
        AppDelegate controller(platform);
        controller.removeDesktopLinkForIdentifier("disk2s1");
    }
    static bool isItemAt(const QString& path) {
        return QFileInfo(path).isSymLink() || QFileInfo::exists(path);
    }

    QTemporaryDir home;
    QByteArray savedHome;
    QString link;
    FakePlatform fakes;
};

TEST_F(DesktopLinksOnDisk, LiveLinkGoesAndItsTargetStays) {
    const QString target = home.filePath("exfat-volumes/disk2s1");
    QFile file(target + "/kept.txt");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(QFile::link(target, link));

    remove();
    EXPECT_FALSE(isItemAt(link));
    EXPECT_TRUE(QFileInfo::exists(target + "/kept.txt"));
}

TEST_F(DesktopLinksOnDisk, RemovalGoesByNameWhateverTheLinkHolds) {
    ASSERT_TRUE(QFile::link(home.path(), link));
    remove();
    EXPECT_FALSE(isItemAt(link));
    EXPECT_TRUE(QFileInfo::exists(home.filePath("Desktop")));
}

TEST_F(DesktopLinksOnDisk, DanglingLinkStays) {
    ASSERT_TRUE(QFile::link(home.filePath("exfat-volumes/gone"), link));
    remove();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}

TEST_F(DesktopLinksOnDisk, UsersOwnFolderAndFileBearingTheNameStay) {
    ASSERT_TRUE(QDir(home.path()).mkpath("Desktop/exFAT (disk2s1)"));
    QFile inside(link + "/thesis.txt");
    ASSERT_TRUE(inside.open(QIODevice::WriteOnly));
    inside.write("years of work");
    inside.close();
    remove();
    EXPECT_TRUE(QFileInfo::exists(link + "/thesis.txt"));

    ASSERT_TRUE(QDir(link).removeRecursively());
    QFile file(link);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("notes");
    file.close();
    remove();
    EXPECT_TRUE(QFileInfo(link).isFile());
}

}  // namespace
