#pragma once

#include <QList>
#include <QString>

#include <optional>

class AppDelegate;

// The controller operations a menu entry can lead to.
enum class MenuAction { None, Unmount, Mount, Quit };

// One entry of the status menu: a separator or an ordinary entry.
struct MenuEntry {
    bool isSeparator = false;
    QString title;
    bool enabled = true;
    MenuAction action = MenuAction::None;
    // The object the action is sent to: none, or the controller.
    AppDelegate* target = nullptr;
    // The datum the action needs: a mount point (Eject) or a partition identifier (Mount).
    std::optional<QString> representedObject;
    // No entry has a keyboard shortcut.
    QString keyEquivalent;

    static MenuEntry separatorItem() {
        MenuEntry separator;
        separator.isSeparator = true;
        return separator;
    }
    // Whether choosing the entry does anything.
    bool isActionable() const {
        return !isSeparator && enabled && action != MenuAction::None && target != nullptr;
    }

    friend bool operator==(const MenuEntry&, const MenuEntry&) = default;
};

// The status menu: built afresh at every click, shown once, then dropped.
struct StatusMenu {
    QString title;
    bool autoenablesItems = true;
    QList<MenuEntry> entries;

    void addItem(MenuEntry entry) { entries.append(std::move(entry)); }

    friend bool operator==(const StatusMenu&, const StatusMenu&) = default;
};
