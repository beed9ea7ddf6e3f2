#pragma once

#include "platform/Files.h"

// The file manager over POSIX calls.
class PosixFileManager : public FileManager {
  public:
    QString homeDirectory() override;
    bool fileExistsAtPath(const QString& path) override;
    bool fileExistsAtPath(const QString& path, bool& isDirectory) override;
    bool isSymbolicLinkAtPath(const QString& path) override;
    bool createDirectoryAtPath(const QString& path) override;
    bool createSymbolicLinkAtPath(const QString& path, const QString& destination) override;
    bool removeFileAtPath(const QString& path) override;
};
