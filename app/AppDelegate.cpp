#include "app/AppDelegate.h"

#include "app/Paths.h"
#include "platform/Files.h"
#include "platform/StatusBar.h"
#include "texts/Texts.h"

AppDelegate::AppDelegate(Platform& platform)
    : mountBaseDir(appendPathComponent(platform.files.homeDirectory(), "exfat-volumes")),
      platform_(platform) {
    // Only the existence counts: a file standing at the path is left alone and reported nowhere.
    bool isDirectory = false;
    if (!platform_.files.fileExistsAtPath(mountBaseDir, isDirectory)) {
        platform_.files.createDirectoryAtPath(mountBaseDir);
    }
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching() {
    statusItem = platform_.application.statusItemWithLength(-1.0);
    statusItem->setTitle("exFAT");
    statusItem->setHighlightMode(true);
    statusItem->setAction([this] { statusItemClicked(); });
    statusItem->setMenuSource([this] { return statusMenu(); },
                              [this](const MenuEntry& entry) { performMenuEntry(entry); });
}

StatusMenu AppDelegate::statusMenu() {
    StatusMenu menu;
    menu.title = "";
    // The mount inspection, with its clean-up of vanished volumes, comes before the listing.
    const MountMap mounts = currentMountsUnderBase();
    const QList<CandidatePartition> candidates = scanCandidatePartitions();
    QList<CandidatePartition> mountable;
    menu.autoenablesItems = false;
    for (const CandidatePartition& candidate : candidates) {
        if (!mounts.contains(candidate.identifier)) {
            mountable.append(candidate);
        }
    }

    LanguagePreferences& languages = platform_.languages;
    const auto header = [](const QString& title) {
        MenuEntry entry;
        entry.title = title;
        entry.enabled = false;
        return entry;
    };
    const auto actionEntry = [this](const QString& title, MenuAction action) {
        MenuEntry entry;
        entry.title = title;
        entry.action = action;
        entry.target = this;
        return entry;
    };

    if (!mounts.isEmpty()) {
        menu.addItem(header(L(languages, kCodesEject, 4, "Eject")));
        for (auto mount = mounts.cbegin(); mount != mounts.cend(); ++mount) {
            const QString eject = L(languages, kCodesEject, 4, "Eject");
            const std::optional<QString> freeSpace = freeSpaceStringForMountPoint(mount.value());
            const QString title = freeSpace ? eject + ": " + mount.key() + " (" + *freeSpace + ")"
                                            : eject + ": " + mount.key();
            MenuEntry entry = actionEntry(title, MenuAction::Unmount);
            entry.representedObject = mount.value();
            menu.addItem(entry);
        }
        menu.addItem(MenuEntry::separatorItem());
    }
    if (!mountable.isEmpty()) {
        menu.addItem(header(L(languages, kCodesMount, 4, "Mount")));
        for (const CandidatePartition& candidate : mountable) {
            const QString title = L(languages, kCodesMount, 4, "Mount") + ": " +
                                  candidate.identifier + " (" + candidate.sizeText + ")";
            MenuEntry entry = actionEntry(title, MenuAction::Mount);
            entry.representedObject = candidate.identifier;
            menu.addItem(entry);
        }
        menu.addItem(MenuEntry::separatorItem());
    }
    if (mounts.isEmpty() && mountable.isEmpty()) {
        const QString title = IsJapaneseSystem(languages)
                                  ? "exFAT" + JPStringFromCodes(kCodesNoDriveTail, 12)
                                  : QString("No exFAT drives found");
        menu.addItem(header(title));
        menu.addItem(MenuEntry::separatorItem());
    }
    menu.addItem(actionEntry(L(languages, kCodesQuit, 2, "Quit"), MenuAction::Quit));
    return menu;
}

void AppDelegate::statusItemClicked() {
    const StatusMenu menu = statusMenu();
    const std::optional<qsizetype> chosen = statusItem->popUpStatusItemMenu(menu);
    // The menu still exists while the chosen entry's action runs.
    if (chosen && *chosen >= 0 && *chosen < menu.entries.size()) {
        performMenuEntry(menu.entries[*chosen]);
    }
}

void AppDelegate::performMenuEntry(const MenuEntry& entry) {
    if (!entry.isActionable() || entry.target != this) {
        return;
    }
    switch (entry.action) {
        case MenuAction::Quit:
            quitAction();
            break;
        case MenuAction::Mount:
            mountAction(entry);
            break;
        case MenuAction::Unmount:
            unmountAction(entry);
            break;
        case MenuAction::None:
            break;
    }
}

void AppDelegate::quitAction() {
    // Volumes stay mounted and their Desktop links stay in place.
    platform_.application.terminate();
}
