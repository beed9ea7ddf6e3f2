#include "app/AppDelegate.h"
#include "app/Paths.h"
#include "platform/Alerts.h"
#include "platform/Files.h"
#include "texts/Texts.h"

void AppDelegate::mountAction(const MenuEntry& sender) {
    if (!sender.representedObject) {
        return;
    }
    const QString identifier = *sender.representedObject;
    const QString devicePath = "/dev/" + identifier;
    const QString mountPoint = appendPathComponent(mountBaseDir, identifier);
    FileManager& files = platform_.files;

    // The installer has told the user why, if there is anything to tell.
    if (!ensureCLIToolsInstalled()) {
        return;
    }
    // Made only when nothing stands there; whatever stands there is left for the mount command
    // to judge.
    bool isDirectory = false;
    if (!files.fileExistsAtPath(mountPoint, isDirectory)) {
        files.createDirectoryAtPath(mountPoint);
    }
    // Detach it from wherever the system itself mounted it; what that says does not matter.
    runTaskAtPath(platform_.commands.diskutil, {"unmount", devicePath});
    const QString output =
        runTaskAtPath(platform_.commands.mountExfat, {"-o", "nobrowse", devicePath, mountPoint});

    // The mount list, not the command's status, says whether it worked.
    if (currentMountsUnderBase().contains(identifier)) {
        removeDesktopLinkForIdentifier(identifier);
        files.createSymbolicLinkAtPath(desktopLinkPathForIdentifier(identifier), mountPoint);
        return;
    }
    platform_.alerts.runModal({L(platform_.languages, kCodesMountFail, 11, "Failed to mount"), "OK",
                               "", "", devicePath + "\n\n" + output});
}

void AppDelegate::unmountAction(const MenuEntry& sender) {
    if (!sender.representedObject) {
        return;
    }
    const QString mountPoint = *sender.representedObject;
    const QString identifier = lastPathComponent(mountPoint);
    const QString output = runTaskAtPath(platform_.commands.umount, {mountPoint});

    // Still listed at that very mount point, under whatever key: the volume stays.
    const MountMap mounts = currentMountsUnderBase();
    for (auto mount = mounts.cbegin(); mount != mounts.cend(); ++mount) {
        if (mount.value() == mountPoint) {
            platform_.alerts.runModal(
                {L(platform_.languages, kCodesEjectFail, 11, "Failed to eject"), "OK", "", "",
                 mountPoint + "\n\n" + output});
            return;
        }
    }
    removeDesktopLinkForIdentifier(identifier);
}
