#include "platform/posix/PosixFileManager.h"

#include <cstdlib>

#include <pwd.h>
#include <unistd.h>

QString PosixFileManager::homeDirectory() {
    // HOME is how a login session reports the user's home; the user database is the fallback
    // for a process started without one.
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return QString::fromUtf8(home);
    }
    if (const passwd* entry = ::getpwuid(::getuid());
        entry != nullptr && entry->pw_dir != nullptr) {
        return QString::fromUtf8(entry->pw_dir);
    }
    return "/";
}
