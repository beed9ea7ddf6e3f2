#pragma once

#include <QString>

// Listings of `lines` lines, shaped as the real commands print them.

// The disk utility's listing: per disk a device line, the header, the whole disk, and partitions
// of which about half are candidates.
inline QString generatedPartitionListing(int lines) {
    QString text;
    text.reserve(lines * 84);
    static const char* const kTypes[] = {"Windows_NTFS",         "Apple_HFS", "DOS_FAT_32", "Linux",
                                         "Microsoft Basic Data", "EFI"};
    for (int line = 0, disk = 0; line < lines; ++disk) {
        text += QString("/dev/disk%1 (external, physical):\n").arg(disk);
        text += "   #:                       TYPE NAME                    SIZE       IDENTIFIER\n";
        text +=
            QString("   0:     FDisk_partition_scheme                        *15.5 GB    disk%1\n")
                .arg(disk);
        line += 3;
        for (int partition = 1; partition <= 5 && line < lines; ++partition, ++line) {
            text += QString("   %1:%2 VOLUME %3              %4.5 GB    disk%5s%1\n")
                        .arg(partition)
                        .arg(kTypes[(disk + partition) % 6], 27)
                        .arg(partition)
                        .arg(partition * 3)
                        .arg(disk);
        }
    }
    return text;
}

// The mount list: system mounts and, about every other line, a volume under the mount base.
inline QString generatedMountList(int lines, const QString& base) {
    QString text;
    text.reserve(lines * 72);
    for (int line = 0; line < lines; ++line) {
        if (line % 2 == 0) {
            text += QString("/dev/disk%1s1 on %2/disk%1s1 (exfat, local, nodev, nosuid)\n")
                        .arg(line)
                        .arg(base);
        } else {
            text +=
                QString("/dev/disk%1s2 on /Volumes/Other %1 (hfs, local, journaled)\n").arg(line);
        }
    }
    return text;
}
