#pragma once

#include <QIcon>
#include <QString>

#include <memory>

#include "platform/Alerts.h"
#include "platform/StatusBar.h"

class QApplication;

// The status bar of a desktop session: a system tray icon that shows the item's title, a menu
// popped up at each left click, and the same menu, built afresh, for tray hosts that open the
// icon's menu themselves.
class QtApplication : public Application {
  public:
    // Starts the Qt application; nothing (with `whyNot` filled) when there is no display or no
    // system tray.
    static std::unique_ptr<QtApplication> create(QString* whyNot);
    ~QtApplication() override;

    void run(const std::function<void()>& didFinishLaunching) override;
    void terminate() override;
    StatusItem* statusItemWithLength(double length) override;

  private:
    class Item;
    explicit QtApplication(std::unique_ptr<QApplication> application);

    std::unique_ptr<QApplication> application_;
    std::unique_ptr<Item> item_;
};

// Modal message boxes with the alert's message, informative text and buttons.
class QtAlerts : public AlertPresenter {
  public:
    void runModal(const Alert& alert) override;
};

// The tray icon: `title` drawn legibly into square pixmaps from 16 to 64 pixels.
QIcon titleIcon(const QString& title);

// `title` as a menu text shows it: every "&" doubled, so that none becomes a shortcut mark.
QString menuText(const QString& title);
