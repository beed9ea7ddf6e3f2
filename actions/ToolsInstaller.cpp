#include "app/AppDelegate.h"
#include "app/Paths.h"
#include "platform/Alerts.h"
#include "platform/Authorization.h"
#include "platform/Bundle.h"
#include "platform/Files.h"
#include "texts/Texts.h"

namespace {

const QString kInstalledMarker = "/usr/local/sbin/mount.exfat";

// Each "%@" stands between single quotes and receives the tools folder.
const QString kInstallScriptFormat =
    "set -e; mkdir -p /usr/local/sbin; cp '%@/mount.exfat-fuse' '%@/exfatfsck' '%@/mkexfatfs' "
    "'%@/exfatlabel' '%@/dumpexfat' '%@/exfatattrib' /usr/local/sbin/; chmod 755 "
    "/usr/local/sbin/mount.exfat-fuse /usr/local/sbin/exfatfsck /usr/local/sbin/mkexfatfs "
    "/usr/local/sbin/exfatlabel /usr/local/sbin/dumpexfat /usr/local/sbin/exfatattrib; ln -sf "
    "mount.exfat-fuse /usr/local/sbin/mount.exfat; ln -sf exfatfsck /usr/local/sbin/fsck.exfat; "
    "ln -sf mkexfatfs /usr/local/sbin/mkfs.exfat";

}  // namespace

QString AppDelegate::installScriptForBinDir(const QString& binDir) {
    // The script runs as root: a quote in the folder's path must not end the quoting early and
    // let the rest of the path run as commands. Each quote becomes '\'' (close, escaped quote,
    // reopen); a path without quotes goes in unchanged.
    QString quoted = binDir;
    quoted.replace(u'\'', QStringLiteral("'\\''"));
    QString script = kInstallScriptFormat;
    return script.replace(QStringLiteral("%@"), quoted);
}

QString AppDelegate::siblingBinDir() {
    return appendPathComponent(deleteLastPathComponent(platform_.bundle.bundlePath()), "bin");
}

bool AppDelegate::installCLIToolsFromBinDir(const QString& binDir) {
    Authorization& authorization = platform_.authorization;
    const QList<AuthorizationItem> rights = {{"system.privilege.admin", 0, nullptr, 0}};
    const std::uint32_t flags = kAuthorizationFlagInteractionAllowed |
                                kAuthorizationFlagExtendRights | kAuthorizationFlagPreAuthorize;
    AuthorizationRef reference = 0;
    if (authorization.create(rights, flags, reference) != errAuthorizationSuccess) {
        return false;
    }
    const QList<QByteArray> arguments = {"-c", installScriptForBinDir(binDir).toUtf8()};
    std::unique_ptr<PrivilegedStream> stream;
    const std::int32_t status = authorization.executeWithPrivileges(
        reference, "/bin/sh", kAuthorizationFlagDefaults, arguments, stream);
    if (stream) {
        // Draining to the end is the only wait for the script; what it says is never read.
        char buffer[256];
        while (stream->read(buffer, sizeof buffer) > 0) {
        }
        stream->close();
    }
    authorization.free(reference, kAuthorizationFlagDefaults);
    // Started with the right; whether the install worked is for the caller to look at.
    return status == errAuthorizationSuccess;
}

bool AppDelegate::ensureCLIToolsInstalled() {
    FileManager& files = platform_.files;
    bool isDirectory = false;
    if (files.fileExistsAtPath(kInstalledMarker)) {
        return true;
    }
    const QString binDir = siblingBinDir();
    if (!files.fileExistsAtPath(binDir, isDirectory) || !isDirectory) {
        platform_.alerts.runModal(
            {L(platform_.languages, kCodesCLIMissing, 18, "exFAT command line tools not found"),
             "OK", "", "", binDir});
        return false;
    }
    if (!installCLIToolsFromBinDir(binDir)) {
        return false;
    }
    if (files.fileExistsAtPath(kInstalledMarker)) {
        return true;
    }
    platform_.alerts.runModal(
        {L(platform_.languages, kCodesInstallFailed, 25, "Couldn't install the command line tools"),
         "OK", "", "", binDir});
    return false;
}
