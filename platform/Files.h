#pragma once

#include <QString>

// The file-system services the controller relies on.
class FileManager {
  public:
    virtual ~FileManager() = default;
    // The absolute path of the current user's home directory; "/" when it cannot be found.
    virtual QString homeDirectory() = 0;
};
