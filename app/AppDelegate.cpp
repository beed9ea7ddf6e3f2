#include "app/AppDelegate.h"

#include "app/Paths.h"
#include "platform/Files.h"

AppDelegate::AppDelegate(Platform& platform)
    : mountBaseDir(appendPathComponent(platform.files.homeDirectory(), "exfat-volumes")),
      platform_(platform) {}

AppDelegate::~AppDelegate() = default;
