// The mount list parser on arbitrary output of the mount command.

#include <QString>

#include <cstdint>
#include <cstdlib>

#include "app/AppDelegate.h"
#include "inspect/Utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString base = "/Users/u/exfat-volumes";
    const QString text = decodeWellFormedUtf8(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const MountMap mounts = AppDelegate::parseMountList(text, base);
    for (auto mount = mounts.cbegin(); mount != mounts.cend(); ++mount) {
        // Every mount lies under the base, and neither part can hold a line break.
        if (!mount.value().startsWith(base) || mount.key().contains(u'/') ||
            mount.key().contains(u'\n') || mount.value().contains(u'\n') ||
            mount.value().contains(u" (")) {
            std::abort();
        }
    }
    return 0;
}
