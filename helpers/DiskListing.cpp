#include "helpers/DiskListing.h"

#include <cinttypes>
#include <cstdio>
#include <map>

#include "inspect/Utf8Sequence.h"

std::string formatDecimalSize(std::uint64_t bytes) {
    static const char* const kUnits[] = {"Bytes", "KB", "MB", "GB", "TB", "PB", "EB"};
    double value = static_cast<double>(bytes);
    size_t unit = 0;
    // Move up while the figure, rounded to one decimal, would reach 1000.
    while (unit + 1 < sizeof kUnits / sizeof kUnits[0] && value >= 999.95) {
        value /= 1000.0;
        ++unit;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
    return text;
}

std::string partitionTypeName(const std::string& scheme, const std::string& type) {
    if (type.empty()) {
        return std::string();
    }
    if (scheme == "dos") {
        static const std::map<std::string, std::string> kNames = {
            {"0x7", "Windows_NTFS"}, {"0xb", "DOS_FAT_32"},      {"0xc", "DOS_FAT_32"},
            {"0x4", "DOS_FAT_16"},   {"0x6", "DOS_FAT_16"},      {"0xe", "DOS_FAT_16"},
            {"0x1", "DOS_FAT_12"},   {"0x5", "DOS_Extended"},    {"0xf", "DOS_Extended"},
            {"0x82", "Linux_Swap"},  {"0x83", "Linux"},          {"0x8e", "Linux_LVM"},
            {"0xef", "EFI"},         {"0xee", "GPT_Protective"},
        };
        const auto found = kNames.find(type);
        return found != kNames.end() ? found->second : "DOS_Type_" + type;
    }
    if (scheme == "gpt") {
        static const std::map<std::string, std::string> kNames = {
            {"ebd0a0a2-b9e5-4433-87c0-68b6b72699c7", "Microsoft Basic Data"},
            {"e3c9e316-0b5c-4db8-817d-f92df00215ae", "Microsoft Reserved"},
            {"c12a7328-f81f-11d2-ba4b-00a0c93ec93b", "EFI"},
            {"0fc63daf-8483-4772-8e79-3d69d8477de4", "Linux Filesystem"},
            {"0657fd6d-a4ab-43c4-84e5-0933c84b4f4f", "Linux Swap"},
            {"e6d6d379-f507-44c2-a23c-238f2a3df928", "Linux LVM"},
            {"48465300-0000-11aa-aa11-00306543ecac", "Apple_HFS"},
            {"7c3457ef-0000-11aa-aa11-00306543ecac", "Apple_APFS"},
        };
        const auto found = kNames.find(type);
        return found != kNames.end() ? found->second : type;
    }
    return scheme + "_" + type;
}

std::string schemeName(const std::string& scheme) {
    if (scheme == "dos") {
        return "FDisk_partition_scheme";
    }
    if (scheme == "gpt") {
        return "GUID_partition_scheme";
    }
    return scheme;
}

std::string sanitizeLabel(const std::string& label) {
    std::string safe;
    const auto* p = reinterpret_cast<const unsigned char*>(label.data());
    const auto* end = p + label.size();
    while (p < end) {
        const unsigned char lead = *p;
        if (lead < 0x20 || lead == 0x7f) {
            safe += '?';
            ++p;
            continue;
        }
        if (lead < 0x80) {
            safe += static_cast<char>(lead);
            ++p;
            continue;
        }
        const int length = utf8SequenceLength(p, end);
        // C1 controls (U+0080 to U+009F) would be line-breaking or invisible; they go as well.
        if (length == 0 || (lead == 0xC2 && p[1] < 0xA0)) {
            safe += '?';
            ++p;
            continue;
        }
        safe.append(reinterpret_cast<const char*>(p), static_cast<size_t>(length));
        p += length;
    }
    return safe;
}

namespace {

void appendLine(std::string& out, const std::string& index, const std::string& type,
                const std::string& name, const std::string& size, const std::string& identifier) {
    char line[1024];
    std::snprintf(line, sizeof line, "%4s:%27s %-23s %10s   ", index.c_str(), type.c_str(),
                  name.c_str(), size.c_str());
    out += line;
    out += identifier;
    out += '\n';
}

}  // namespace

std::string renderDiskListing(const DiskInfo& disk) {
    std::string out = "/dev/" + disk.name + ":\n";
    appendLine(out, "#", "TYPE", "NAME", "SIZE", "IDENTIFIER");
    const std::string wholeType = disk.scheme.empty() ? disk.fileSystem : schemeName(disk.scheme);
    appendLine(out, "0", wholeType, disk.scheme.empty() ? sanitizeLabel(disk.label) : "",
               "*" + formatDecimalSize(disk.sizeBytes), disk.name);
    for (const PartitionInfo& partition : disk.partitions) {
        appendLine(out, std::to_string(partition.number),
                   partitionTypeName(partition.scheme, partition.type),
                   sanitizeLabel(partition.label), formatDecimalSize(partition.sizeBytes),
                   partition.name);
    }
    return out;
}
