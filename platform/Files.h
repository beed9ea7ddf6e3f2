#pragma once

#include <QString>

// The file-system services the controller relies on. None of them reports why it failed: the
// controller looks at the file system again when it needs to know.
class FileManager {
  public:
    virtual ~FileManager() = default;
    // The absolute path of the current user's home directory; "/" when it cannot be found.
    virtual QString homeDirectory() = 0;
    // True when an item exists at `path`, symbolic links followed (a link whose target is missing
    // counts as absent); false when it does not or cannot be examined.
    virtual bool fileExistsAtPath(const QString& path) = 0;
    // As above; on true, `isDirectory` tells whether the item (links followed) is a directory. It
    // is left as the caller set it on false.
    virtual bool fileExistsAtPath(const QString& path, bool& isDirectory) = 0;
    // True when the item at `path` is itself a symbolic link (not followed); false otherwise or
    // when it cannot be examined.
    virtual bool isSymbolicLinkAtPath(const QString& path) = 0;
    // Creates that one directory, its parent existing, with default permissions; false when it
    // was not created.
    virtual bool createDirectoryAtPath(const QString& path) = 0;
    // Creates a symbolic link at `path` whose content is `destination`; false, and what stands at
    // `path` untouched, when anything is there or the link cannot be made.
    virtual bool createSymbolicLinkAtPath(const QString& path, const QString& destination) = 0;
    // Deletes the item at `path`: a symbolic link itself, never its target; a directory only when
    // it is empty. False when nothing was deleted.
    virtual bool removeFileAtPath(const QString& path) = 0;
};
