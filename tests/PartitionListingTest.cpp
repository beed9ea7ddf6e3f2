#include <gtest/gtest.h>

#include <QFile>

#include "app/AppDelegate.h"
#include "tests/Fakes.h"

namespace {

QList<CandidatePartition> parse(const QString& listing) {
    return AppDelegate::parsePartitionListing(listing);
}

QString readFixture(const char* name) {
    QFile file(QString(EXFATBAR_FIXTURES_DIR "/") + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return QString::fromUtf8(file.readAll());
}

TEST(PartitionIdentifier, AppleAndLinuxForms) {
    struct Case {
        QString text;
        bool valid;
    };
    const Case cases[] = {
        {"disk0s1", true},
        {"disk10s12", true},
        {"disk01s001", true},
        {"disk0", false},
        {"disk", false},
        {"disks1", false},
        {"disk0s", false},
        {"disk1s2s3", false},
        {"disk1s1a", false},
        {"Disk1s1", false},
        {"disk1S1", false},
        {U(u"disk1s\u0663"), false},
        {"", false},
        {"s1", false},
        {"disk1s1 ", false},
        {U(u"disk\uff11s1"), false},
#if defined(__linux__)
        // The kernel's names of partitions, and of the whole disks they are not.
        {"sdb1", true},
        {"sdaa12", true},
        {"vdc2", true},
        {"xvda1", true},
        {"hda3", true},
        {"nvme0n1p3", true},
        {"nvme10n2p15", true},
        {"mmcblk0p1", true},
        {"loop0p1", true},
        {"loop12p3", true},
        {"sdb", false},
        {"sd1", false},
        {"sdb0", false},
        {"sdB1", false},
        {"nvme0n1", false},
        {"nvme0p1", false},
        {"nvmen1p1", false},
        {"mmcblk0", false},
        {"mmcblkp1", false},
        {"loop0", false},
        {"loop0p", false},
        {"loop0p01", false},
        {"loopap1", false},
        {"dm-0", false},
        {"sr0", false},
        {"sdb1x", false},
        {"xvd1", false},
#endif
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AppDelegate::isValidPartitionIdentifier(c.text), c.valid) << qPrintable(c.text);
    }
}

TEST(SizeUnit, MatchedInAnyLetterCase) {
    struct Case {
        QString text;
        bool unit;
    };
    const Case cases[] = {
        {"GB", true},
        {"gb", true},
        {"Gb", true},
        {"gB", true},
        {"bytes", true},
        {"Bytes", true},
        {"BYTES", true},
        {"KB", true},
        {"MB", true},
        {"TB", true},
        {"PB", true},
        // The Kelvin sign lower-cases to "k".
        {U(u"\u212aB"), true},
        {"GiB", false},
        {"KiB", false},
        {"G", false},
        {"B", false},
        {"", false},
        {"byte", false},
        {"GB,", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AppDelegate::isSizeUnitToken(c.text), c.unit) << qPrintable(c.text);
    }
}

TEST(Tokenizer, RunsOfNonWhitespaceInOrder) {
    struct Case {
        QString text;
        QStringList tokens;
    };
    const Case cases[] = {
        {"", {}},
        {" \t  \t", {}},
        {"  a  b\t\tc ", {"a", "b", "c"}},
        {"one", {"one"}},
        // No-break space, ideographic space and em space separate; line breaks do not.
        {U(u"a\u00a0b\u3000c\u2003d"), {"a", "b", "c", "d"}},
        {"a\rb\nc", {"a\rb\nc"}},
        // The zero-width space is a format character, not a space separator.
        {U(u"a\u200bb"), {U(u"a\u200bb")}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AppDelegate::tokenizeWhitespace(c.text), c.tokens) << qPrintable(c.text);
    }
}

TEST(PartitionListing, EachLineOnItsOwn) {
    struct Case {
        const char* name;
        QString line;
        QList<CandidatePartition> expected;
    };
    const Case cases[] = {
        {"empty listing", "", {}},
        {"device line", "/dev/disk2", {}},
        {"header",
         "   #:                       TYPE NAME                    SIZE       IDENTIFIER",
         {}},
        {"begins with colon", ": Windows_NTFS X 15.5 GB disk2s1", {}},
        {"space before colon", "1 : Windows_NTFS X 15.5 GB disk2s1", {}},
        {"letter in index", "1a: Windows_NTFS X 15.5 GB disk2s1", {}},
        {"whole disk",
         "   0:     FDisk_partition_scheme                        *15.5 GB    disk2",
         {}},
        {"three tokens", "1: Windows_NTFS 15.5GB disk2s1", {}},
        {"four tokens", "1: Windows_NTFS 15.5 GB disk2s1", {{"disk2s1", "15.5 GB"}}},
        {"no space after colon", "1:Windows_NTFS 15.5 GB disk2s1", {{"disk2s1", "15.5 GB"}}},
        {"type and name",
         "   1:               Windows_NTFS USB STICK              15.5 GB    disk2s1",
         {{"disk2s1", "15.5 GB"}}},
        {"basic data without name",
         "   2:       Microsoft Basic Data                       500.1 GB    disk3s2",
         {{"disk3s2", "500.1 GB"}}},
        {"Apple type",
         "   2:                  Apple_HFS Work                    499.8 GB   disk0s2",
         {}},
        {"filter word in the name",
         "3: Apple_HFS Fat Cat 10.0 GB disk1s3",
         {{"disk1s3", "10.0 GB"}}},
        {"filter word inside a word",
         "3: Apple_HFS FATHOM 10.0 GB disk1s3",
         {{"disk1s3", "10.0 GB"}}},
        {"basic data spread by spaces and tabs",
         "2: Microsoft  \tBasic\t\tData 1.0 TB disk3s2",
         {{"disk3s2", "1.0 TB"}}},
        {"underscores are no spaces", "2: Microsoft_Basic_Data 1.0 TB disk3s2", {}},
        {"unit keeps its case", "1: Windows_NTFS 15.5 Gb disk2s1", {{"disk2s1", "15.5 Gb"}}},
        {"Bytes", "1: DOS_FAT_32 512 Bytes disk2s1", {{"disk2s1", "512 Bytes"}}},
        {"GiB is no unit", "1: Windows_NTFS 15.5 GiB disk2s1", {}},
        {"size number not examined", "1: Windows_NTFS *15.5 GB disk2s1", {{"disk2s1", "*15.5 GB"}}},
        {"carriage return spoils the identifier", "1: Windows_NTFS X 15.5 GB disk2s1\r", {}},
        {"colon inside the name", "1: Windows_NTFS A:B 15.5 GB disk2s1", {{"disk2s1", "15.5 GB"}}},
        {"leading and trailing ideographic spaces",
         U(u"\u3000 1: Windows_NTFS 15.5 GB disk2s1 \u3000"),
         {{"disk2s1", "15.5 GB"}}},
        {"lower-casing of the type", "1: WINDOWS_ntFS 15.5 GB disk2s1", {{"disk2s1", "15.5 GB"}}},
        {"identifier not last", "1: Windows_NTFS 15.5 GB disk2s1 extra", {}},
        {"unit not before identifier", "1: Windows_NTFS GB 15.5 disk2s1", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parse(c.line), c.expected) << c.name;
    }
}

TEST(PartitionListing, KeepsListingOrderAndDuplicates) {
    const QString listing =
        "1: Windows_NTFS A 1.0 GB disk2s1\n"
        "\n"
        "2: DOS_FAT_32 B 2.0 GB disk2s2\n"
        "1: Windows_NTFS A 1.0 GB disk2s1\n";
    const QList<CandidatePartition> expected = {
        {"disk2s1", "1.0 GB"}, {"disk2s2", "2.0 GB"}, {"disk2s1", "1.0 GB"}};
    EXPECT_EQ(parse(listing), expected);
}

TEST(PartitionListing, WholeListings) {
    struct Case {
        const char* fixture;
        QList<CandidatePartition> expected;
    };
    const Case cases[] = {
        // macOS: GPT and MBR disks, multi-word names, whole-disk lines, Apple and Linux types.
        {"diskutil-list-macos.txt",
         {{"disk1s2", "499.9 GB"},
          {"disk1s3", "500.1 GB"},
          {"disk2s1", "15.5 GB"},
          {"disk3s1", "4.0 GB"}}},
        // Our Linux stand-in on two loop disks, one MBR and one GPT, with a Japanese label.
        {"diskutil-list-linux.txt",
         {{"loop0p1", "33.6 MB"}, {"loop0p2", "16.8 MB"}, {"loop1p1", "16.8 MB"}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parse(readFixture(c.fixture)), c.expected) << c.fixture;
    }
}

TEST(PartitionListing, ScanRunsTheDiskUtilityOnce) {
    FakePlatform fakes;
    fakes.tasks.respond("/usr/sbin/diskutil", {"list"}, "1: Windows_NTFS 15.5 GB disk2s1\n");
    AppDelegate controller(fakes.platform);

    const QList<CandidatePartition> expected = {{"disk2s1", "15.5 GB"}};
    EXPECT_EQ(controller.scanCandidatePartitions(), expected);
    EXPECT_EQ(fakes.tasks.calls, QStringList{"run /usr/sbin/diskutil list"});
}

TEST(PartitionListing, UnreadableListingGivesNoCandidates) {
    FakePlatform fakes;
    fakes.tasks.respond("/usr/sbin/diskutil", {"list"}, "1: Windows_NTFS 15.5 GB disk2s1\n\xff");
    AppDelegate controller(fakes.platform);
    EXPECT_TRUE(controller.scanCandidatePartitions().isEmpty());
}

}  // namespace
