#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the disk utility stand-in learned of one partition.
struct PartitionInfo {
    unsigned number = 0;
    std::string name;  // kernel name, e.g. sdb1
    std::uint64_t sizeBytes = 0;
    std::string scheme;  // partition table: "dos", "gpt", or empty when unreadable
    std::string type;    // "0x7" for MBR, a lower-case GUID for GPT, or empty
    std::string label;   // file-system label, possibly empty
};

// One whole disk and its partitions, in partition-number order.
struct DiskInfo {
    std::string name;  // kernel name, e.g. sdb
    std::uint64_t sizeBytes = 0;
    std::string scheme;      // partition table of the disk, or empty
    std::string fileSystem;  // file system on the whole disk when it has no table
    std::string label;
    std::vector<PartitionInfo> partitions;
};

// A size in decimal units as the disk utility writes it: "15.5 GB", "209.7 MB", "512.0 Bytes".
std::string formatDecimalSize(std::uint64_t bytes);

// The disk utility's name for a partition type: "Windows_NTFS" for MBR 0x07, "DOS_FAT_32",
// "DOS_FAT_16", "Microsoft Basic Data" for the GPT basic-data GUID, a few well-known others, and
// otherwise the type code itself; empty when the type is unknown.
std::string partitionTypeName(const std::string& scheme, const std::string& type);

// The disk utility's name of a partition table ("FDisk_partition_scheme", ...), or `scheme`.
std::string schemeName(const std::string& scheme);

// `label` made safe for one listing line: invalid UTF-8 and control characters become "?", so a
// label can neither break a line nor spoil the whole listing's encoding.
std::string sanitizeLabel(const std::string& label);

// The listing of one disk: its "/dev/NAME" line, the column header, index 0 for the whole disk
// (size marked "*"), then one line per partition.
std::string renderDiskListing(const DiskInfo& disk);
