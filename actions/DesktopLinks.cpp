#include "app/AppDelegate.h"
#include "app/Paths.h"
#include "platform/Files.h"

QString AppDelegate::desktopLinkPathForIdentifier(const QString& identifier) {
    const QString desktop = appendPathComponent(platform_.files.homeDirectory(), "Desktop");
    return appendPathComponent(desktop, "exFAT (" + identifier + ")");
}

void AppDelegate::removeDesktopLinkForIdentifier(const QString& identifier) {
    const QString path = desktopLinkPathForIdentifier(identifier);
    // The existence test follows the link: a link whose volume folder has gone stays. Only our
    // kind of item, a symbolic link, is ever removed: a file or folder of the user's that happens
    // to bear the link's name is left alone.
    if (platform_.files.fileExistsAtPath(path) && platform_.files.isSymbolicLinkAtPath(path)) {
        platform_.files.removeFileAtPath(path);
    }
}
