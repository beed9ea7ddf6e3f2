#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One line of /proc/self/mountinfo, its paths and names decoded.
struct MountInfoEntry {
    std::string majorMinor;
    std::string mountPoint;
    std::string mountOptions;
    std::string fileSystemType;
    std::string source;
    std::string superOptions;
};

// `text` with the kernel's octal escapes (a backslash and three octal digits, as in \040 for a
// space) turned back into their bytes; any other backslash is kept as it stands.
std::string decodeOctalEscapes(std::string_view text);

// The entry described by one mountinfo line, or nothing when the line does not have its fields.
std::optional<MountInfoEntry> parseMountInfoLine(std::string_view line);

// Every entry of a mountinfo text, in the kernel's order; lines that do not parse are left out.
std::vector<MountInfoEntry> parseMountInfo(std::string_view text);

// The entries of this process's mount namespace; empty when the table cannot be read.
std::vector<MountInfoEntry> readMountInfo();

// The mount list line of an entry: "DEVICE on MOUNTPOINT (FSTYPE, OPTION, ...)".
std::string renderMountLine(const MountInfoEntry& entry);
