#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "platform/linux/LinuxFileSystemStats.h"
#include "platform/posix/PosixFileManager.h"

namespace {

class PosixFileManagerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.isValid());
        ASSERT_TRUE(QDir(scratch.path()).mkpath("folder/inner"));
        QFile file(path("file"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        ASSERT_TRUE(QFile::link(path("folder"), path("link-to-folder")));
        ASSERT_TRUE(QFile::link(path("missing"), path("dangling")));
    }
    QString path(const QString& name) const { return scratch.filePath(name); }

    QTemporaryDir scratch;
    PosixFileManager files;
};

TEST_F(PosixFileManagerTest, ExistenceFollowsLinks) {
    struct Case {
        const char* name;
        bool exists;
        bool isDirectory;
    };
    const Case cases[] = {
        {"file", true, false},      {"folder", true, true},    {"link-to-folder", true, true},
        {"dangling", false, false}, {"missing", false, false}, {"file/below-a-file", false, false},
    };
    for (const Case& c : cases) {
        bool isDirectory = false;
        EXPECT_EQ(files.fileExistsAtPath(path(c.name), isDirectory), c.exists) << c.name;
        EXPECT_EQ(isDirectory, c.isDirectory) << c.name;
        EXPECT_EQ(files.fileExistsAtPath(path(c.name)), c.exists) << c.name;
    }
    EXPECT_FALSE(files.fileExistsAtPath(""));
}

TEST_F(PosixFileManagerTest, SymbolicLinksAreToldApartWithoutFollowing) {
    EXPECT_TRUE(files.isSymbolicLinkAtPath(path("link-to-folder")));
    EXPECT_TRUE(files.isSymbolicLinkAtPath(path("dangling")));
    EXPECT_FALSE(files.isSymbolicLinkAtPath(path("folder")));
    EXPECT_FALSE(files.isSymbolicLinkAtPath(path("file")));
    EXPECT_FALSE(files.isSymbolicLinkAtPath(path("missing")));
}

TEST_F(PosixFileManagerTest, DirectoriesOneLevelAtATime) {
    EXPECT_TRUE(files.createDirectoryAtPath(path("new")));
    EXPECT_TRUE(QFileInfo(path("new")).isDir());
    EXPECT_FALSE(files.createDirectoryAtPath(path("a/b"))) << "no parents are made";
    EXPECT_FALSE(QFileInfo::exists(path("a")));
    EXPECT_FALSE(files.createDirectoryAtPath(path("file"))) << "something stands there";
    EXPECT_TRUE(QFileInfo(path("file")).isFile());

    const mode_t mask = ::umask(022);
    ::umask(mask);
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path("new")).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0777 & ~mask);
}

TEST_F(PosixFileManagerTest, LinksNeverReplaceWhatIsThere) {
    EXPECT_TRUE(files.createSymbolicLinkAtPath(path("new-link"), "/some/where"));
    EXPECT_EQ(QFile::symLinkTarget(path("new-link")), "/some/where");
    for (const char* taken : {"file", "folder", "dangling", "link-to-folder"}) {
        const QFileInfo before(path(taken));
        EXPECT_FALSE(files.createSymbolicLinkAtPath(path(taken), "/other")) << taken;
        EXPECT_EQ(QFileInfo(path(taken)).isSymLink(), before.isSymLink()) << taken;
        EXPECT_NE(QFile::symLinkTarget(path(taken)), "/other") << taken;
    }
}

TEST_F(PosixFileManagerTest, RemovalTakesTheLinkNotItsTarget) {
    EXPECT_TRUE(files.removeFileAtPath(path("link-to-folder")));
    EXPECT_FALSE(QFileInfo(path("link-to-folder")).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(path("folder/inner")));
    EXPECT_TRUE(files.removeFileAtPath(path("dangling")));
    EXPECT_FALSE(QFileInfo(path("dangling")).isSymLink());
    EXPECT_FALSE(files.removeFileAtPath(path("folder"))) << "a folder with contents stays";
    EXPECT_TRUE(QFileInfo::exists(path("folder/inner")));
    EXPECT_TRUE(files.removeFileAtPath(path("folder/inner")));
    EXPECT_FALSE(files.removeFileAtPath(path("missing")));
}

TEST_F(PosixFileManagerTest, HomeDirectoryComesFromTheSession) {
    const QByteArray saved = qgetenv("HOME");
    qputenv("HOME", "/home/someone");
    EXPECT_EQ(files.homeDirectory(), "/home/someone");
    qputenv("HOME", "relative");
    EXPECT_TRUE(files.homeDirectory().startsWith(u'/')) << "falls back to the user database";
    qputenv("HOME", saved);
}

TEST(LinuxFileSystemStatsTest, FiguresOfTheHoldingFileSystem) {
    LinuxFileSystemStats stats;
    EXPECT_FALSE(stats.statisticsAtPath("/nonexistent/path").has_value());
    EXPECT_FALSE(stats.statisticsAtPath("").has_value());
    QTemporaryDir scratch;
    const std::optional<FileSystemStatistics> figures = stats.statisticsAtPath(scratch.path());
    ASSERT_TRUE(figures.has_value()) << "a path that is not a mount point still has figures";
    EXPECT_GT(figures->blockSize, 0u);
    EXPECT_GT(figures->totalBlocks, 0u);
    EXPECT_LE(figures->availableBlocks, figures->totalBlocks);
}

}  // namespace
