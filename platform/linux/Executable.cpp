#include "platform/linux/Executable.h"

#include <climits>

#include <unistd.h>

#include "app/Paths.h"

QString executableDirectory() {
    // The kernel resolves every symbolic link of /proc/self/exe.
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || length == sizeof buffer) {
        return QString();
    }
    return deleteLastPathComponent(QString::fromUtf8(buffer, length));
}
