#pragma once

#include <string>

#include "helpers/MountInfo.h"

// Unmounts the file system mounted at `mountPoint`: forcibly when `force` is set (a lazy detach
// where the system refuses to force). A caller who is not root releases a FUSE mount of their own
// through the FUSE tools, whose messages reach this process's output. Returns the empty text on
// success, or the system's reason why the mount stays.
std::string unmountMountPoint(const std::string& mountPoint, bool force);

// Whether `entry` is a FUSE mount made by the user `uid`.
bool isFuseMountOfUser(const MountInfoEntry& entry, unsigned uid);
