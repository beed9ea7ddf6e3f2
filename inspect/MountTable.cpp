#include <algorithm>

#include "app/AppDelegate.h"
#include "app/Paths.h"
#include "inspect/Text.h"
#include "platform/FileSystemStats.h"
#include "platform/Files.h"

MountMap AppDelegate::parseMountList(const QString& mountList, const QString& baseDirectory) {
    struct Mount {
        QString key;
        QString mountPoint;
    };
    QList<Mount> found;
    forEachLine(mountList, [&](QStringView line) {
        // DEVICE " on " MOUNTPOINT " (" TYPE-AND-OPTIONS: the first " on " ends the device text,
        // the first " (" after it ends the mount point.
        const qsizetype on = line.indexOf(u" on ");
        if (on >= 0) {
            const QStringView device = line.first(on);
            const QStringView remainder = line.sliced(on + 4);
            const qsizetype open = remainder.indexOf(u" (");
            // A plain text prefix test: no "/" appended, no normalisation.
            if (open >= 0 && remainder.first(open).startsWith(baseDirectory)) {
                found.append({device.sliced(device.lastIndexOf(u'/') + 1).toString(),
                              remainder.first(open).toString()});
            }
        }
    });
    // Sorted first and then put into the map in key order, which keeps building the map linear in
    // the number of lines however many volumes there are. The sort is stable, so of the lines with
    // one key the last is the last of its run, and that one counts.
    std::stable_sort(found.begin(), found.end(),
                     [](const Mount& a, const Mount& b) { return a.key < b.key; });
    MountMap mounts;
    for (qsizetype i = 0; i < found.size(); ++i) {
        if (i + 1 < found.size() && found[i + 1].key == found[i].key) {
            continue;
        }
        mounts.insert(mounts.cend(), found[i].key, found[i].mountPoint);
    }
    return mounts;
}

MountMap AppDelegate::currentMountsUnderBase() {
    MountMap mounts = parseMountList(runTaskAtPath(platform_.commands.mount, {}), mountBaseDir);

    // All stale keys are known before the first is cleaned up, so the map is never changed while
    // it is being gone through.
    QStringList staleKeys;
    for (auto mount = mounts.cbegin(); mount != mounts.cend(); ++mount) {
        if (!platform_.files.fileExistsAtPath("/dev/" + mount.key())) {
            staleKeys.append(mount.key());
        }
    }
    for (const QString& key : staleKeys) {
        const QString mountPoint = mounts.value(key);
        removeDesktopLinkForIdentifier(key);
        // The forced unmount runs whatever the plain one did; neither outcome is looked at, and
        // the volume leaves the map in any case.
        runTaskAtPath(platform_.commands.umount, {mountPoint});
        runTaskAtPath(platform_.commands.umount, {"-f", mountPoint});
        mounts.remove(key);
    }
    return mounts;
}

std::optional<QString> AppDelegate::freeSpaceStringForMountPoint(const QString& mountPoint) {
    const std::optional<FileSystemStatistics> figures =
        platform_.stats.statisticsAtPath(mountPoint);
    if (!figures) {
        return std::nullopt;
    }
    // Each figure becomes a double before any arithmetic, so the products cannot overflow.
    const double blockSize = static_cast<double>(figures->blockSize);
    const double totalBlocks = static_cast<double>(figures->totalBlocks);
    const double availableBlocks = static_cast<double>(figures->availableBlocks);
    const double free = availableBlocks * blockSize / 1073741824.0;
    const double total = totalBlocks * blockSize / 1073741824.0;
    // QString::number writes a full stop and no grouping whatever the user's locale.
    return QString::number(free, 'f', 1) + u'/' + QString::number(total, 'f', 1) + " GB free";
}
