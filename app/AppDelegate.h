#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

#include "app/StatusMenu.h"
#include "platform/Platform.h"

class StatusItem;

// One partition of the disk utility's listing that may hold an exFAT volume.
struct CandidatePartition {
    QString identifier;
    // The listing's size number and unit exactly as written there, joined by one space.
    QString sizeText;

    friend bool operator==(const CandidatePartition&, const CandidatePartition&) = default;
};

// Partition identifier to the mount point of a volume mounted under the mount base directory.
using MountMap = QMap<QString, QString>;

// The application controller: owns the status item and the mount base directory, inspects the
// machine at every click and carries out the menu's actions. Its member functions are defined in
// the folder of the subsystem they belong to.
class AppDelegate {
  public:
    // Fixes the mount base directory and creates it when nothing stands at its path.
    explicit AppDelegate(Platform& platform);
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;
    ~AppDelegate();

    // Application shell (app/AppDelegate.cpp).
    void applicationDidFinishLaunching();
    // The status menu as the system stands now: both inspections run afresh.
    StatusMenu statusMenu();
    // A click on the status item: a fresh menu is popped up and the chosen entry's action run
    // while the menu still exists.
    void statusItemClicked();
    // Sends the entry's action to its target with the entry as argument.
    void performMenuEntry(const MenuEntry& entry);
    void quitAction();

    // Command runner (inspect/CommandRunner.cpp).
    QString runTaskAtPath(const QString& launchPath, const QStringList& arguments);

    // Tools installer (actions/ToolsInstaller.cpp).
    QString siblingBinDir();
    bool installCLIToolsFromBinDir(const QString& binDir);
    bool ensureCLIToolsInstalled();
    // The script that copies the tools from `binDir` into /usr/local/sbin, the folder quoted for
    // the shell whatever characters its path holds.
    static QString installScriptForBinDir(const QString& binDir);

    // Partition listing (inspect/PartitionListing.cpp).
    static QStringList tokenizeWhitespace(const QString& text);
    static bool isValidPartitionIdentifier(const QString& text);
    static bool isSizeUnitToken(const QString& text);
    static QList<CandidatePartition> parsePartitionListing(const QString& listing);
    QList<CandidatePartition> scanCandidatePartitions();

    // Mount table (inspect/MountTable.cpp).
    static MountMap parseMountList(const QString& mountList, const QString& baseDirectory);
    MountMap currentMountsUnderBase();
    std::optional<QString> freeSpaceStringForMountPoint(const QString& mountPoint);

    // Desktop links (actions/DesktopLinks.cpp).
    QString desktopLinkPathForIdentifier(const QString& identifier);
    void removeDesktopLinkForIdentifier(const QString& identifier);

    // Mount and eject (actions/MountEject.cpp): the actions of the Mount and Eject entries, which
    // carry a partition identifier and a mount point.
    void mountAction(const MenuEntry& sender);
    void unmountAction(const MenuEntry& sender);

    const QString& mountBaseDirectory() const { return mountBaseDir; }
    StatusItem* currentStatusItem() const { return statusItem; }

  private:
    StatusItem* statusItem = nullptr;
    QString mountBaseDir;

    Platform& platform_;
};
