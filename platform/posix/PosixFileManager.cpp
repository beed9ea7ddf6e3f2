#include "platform/posix/PosixFileManager.h"

#include <QFile>

#include <cstdlib>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray systemPath(const QString& path) {
    return QFile::encodeName(path);
}

}  // namespace

QString PosixFileManager::homeDirectory() {
    // HOME is how a login session reports the user's home; the user database is the fallback
    // for a process started without one.
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return QFile::decodeName(home);
    }
    if (const passwd* entry = ::getpwuid(::getuid());
        entry != nullptr && entry->pw_dir != nullptr) {
        return QFile::decodeName(entry->pw_dir);
    }
    return "/";
}

bool PosixFileManager::fileExistsAtPath(const QString& path) {
    bool isDirectory = false;
    return fileExistsAtPath(path, isDirectory);
}

bool PosixFileManager::fileExistsAtPath(const QString& path, bool& isDirectory) {
    struct stat status {};
    if (path.isEmpty() || ::stat(systemPath(path).constData(), &status) != 0) {
        return false;
    }
    isDirectory = S_ISDIR(status.st_mode);
    return true;
}

bool PosixFileManager::isSymbolicLinkAtPath(const QString& path) {
    struct stat status {};
    return !path.isEmpty() && ::lstat(systemPath(path).constData(), &status) == 0 &&
           S_ISLNK(status.st_mode);
}

bool PosixFileManager::createDirectoryAtPath(const QString& path) {
    // 0777 less the umask: the default permissions of a new folder.
    return !path.isEmpty() && ::mkdir(systemPath(path).constData(), 0777) == 0;
}

bool PosixFileManager::createSymbolicLinkAtPath(const QString& path, const QString& destination) {
    // symlink() never replaces what stands at the path.
    return !path.isEmpty() &&
           ::symlink(systemPath(destination).constData(), systemPath(path).constData()) == 0;
}

bool PosixFileManager::removeFileAtPath(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    const QByteArray name = systemPath(path);
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0) {
        return false;
    }
    return S_ISDIR(status.st_mode) ? ::rmdir(name.constData()) == 0
                                   : ::unlink(name.constData()) == 0;
}
