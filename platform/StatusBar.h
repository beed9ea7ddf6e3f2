#pragma once

#include <QString>

#include <functional>
#include <optional>

#include "app/StatusMenu.h"

// The controller's item in the system status bar.
class StatusItem {
  public:
    virtual ~StatusItem() = default;
    // The text the item shows; nothing is reported when it cannot be shown.
    virtual void setTitle(const QString& title) = 0;
    // Whether the item is drawn highlighted while clicked; ignored where the bar draws its own.
    virtual void setHighlightMode(bool highlight) = 0;
    // What each click on the item runs; never run when the bar reports no clicks.
    virtual void setAction(std::function<void()> action) = 0;
    // For status bars whose host opens the item's menu itself instead of reporting a click:
    // `build` gives the menu afresh each time it opens, `perform` runs the chosen entry; ignored
    // by bars that always report clicks.
    virtual void setMenuSource(std::function<StatusMenu()> build,
                               std::function<void(const MenuEntry&)> perform) = 0;
    // Shows `menu` under the item and returns once it has closed: the index of the chosen entry
    // when the user chose an actionable one, nothing when the menu was dismissed or could not be
    // shown.
    virtual std::optional<qsizetype> popUpStatusItemMenu(const StatusMenu& menu) = 0;
};

// The application object: its event loop and the system status bar.
class Application {
  public:
    virtual ~Application() = default;
    // Runs `didFinishLaunching` once the application has started, then the event loop; returns
    // when the loop has been stopped (at once when it cannot run at all).
    virtual void run(const std::function<void()>& didFinishLaunching) = 0;
    // Stops the event loop; nothing is reported.
    virtual void terminate() = 0;
    // A new item of the given length (-1 for as wide as its title) in the system status bar,
    // owned by the application; never null.
    virtual StatusItem* statusItemWithLength(double length) = 0;
};
