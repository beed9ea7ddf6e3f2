#include "platform/qt/QtApplication.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFont>
#include <QFontMetricsF>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QSystemTrayIcon>

#include <cstdlib>

namespace {

// Fills `menu` with the entries of `model`; each actionable entry's QAction carries its index.
void fillMenu(QMenu& menu, const StatusMenu& model) {
    menu.clear();
    menu.setTitle(model.title);
    for (qsizetype i = 0; i < model.entries.size(); ++i) {
        const MenuEntry& entry = model.entries[i];
        if (entry.isSeparator) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(menuText(entry.title));
        action->setEnabled(entry.enabled);
        action->setData(entry.isActionable() ? QVariant(i) : QVariant());
    }
}

}  // namespace

QString menuText(const QString& title) {
    QString text = title;
    return text.replace(QStringLiteral("&"), QStringLiteral("&&"));
}

QIcon titleIcon(const QString& title) {
    // Two lines ("ex" over "FAT") fill a square tray slot far better than one long word.
    const qsizetype split = title.size() > 3 ? 2 : 0;
    const QString top = title.left(split);
    const QString bottom = title.mid(split);
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        QPainterPath background;
        background.addRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
        painter.fillPath(background, QColor(0x1f, 0x4e, 0x8c));
        painter.setPen(Qt::white);

        QFont font("DejaVu Sans");
        font.setBold(true);
        const QRectF inner(size * 0.04, size * 0.04, size * 0.92, size * 0.92);
        const qreal lineHeight = top.isEmpty() ? inner.height() : inner.height() / 2;
        // The largest pixel size at which the longer line still fits the slot's width.
        int pixels = static_cast<int>(lineHeight * 1.2);
        for (; pixels > 4; --pixels) {
            font.setPixelSize(pixels);
            const QFontMetricsF metrics(font);
            if (metrics.horizontalAdvance(bottom) <= inner.width() &&
                metrics.horizontalAdvance(top) <= inner.width() &&
                metrics.capHeight() * 1.25 <= lineHeight) {
                break;
            }
        }
        painter.setFont(font);
        if (top.isEmpty()) {
            painter.drawText(inner, Qt::AlignCenter, bottom);
        } else {
            painter.drawText(QRectF(inner.left(), inner.top(), inner.width(), lineHeight),
                             Qt::AlignHCenter | Qt::AlignBottom, top);
            painter.drawText(
                QRectF(inner.left(), inner.top() + lineHeight, inner.width(), lineHeight),
                Qt::AlignHCenter | Qt::AlignVCenter, bottom);
        }
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

class QtApplication::Item : public StatusItem {
  public:
    Item() {
        // The context menu is set once, before the icon is shown, and rebuilt each time it opens:
        // hosts that open the menu themselves (StatusNotifierItem over DBus) see the live state.
        QObject::connect(&contextMenu_, &QMenu::aboutToShow, [this] {
            if (build_) {
                contextModel_ = build_();
                fillMenu(contextMenu_, contextModel_);
            }
        });
        QObject::connect(&contextMenu_, &QMenu::triggered, [this](QAction* action) {
            const QVariant index = action->data();
            if (index.isValid() && perform_ && index.toLongLong() < contextModel_.entries.size()) {
                // Runs after the menu has closed, with a copy that outlives the next rebuild.
                const MenuEntry entry = contextModel_.entries[index.toLongLong()];
                QMetaObject::invokeMethod(
                    &contextMenu_, [this, entry] { perform_(entry); }, Qt::QueuedConnection);
            }
        });
        tray_.setContextMenu(&contextMenu_);
        QObject::connect(&tray_, &QSystemTrayIcon::activated,
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             if (reason == QSystemTrayIcon::Trigger && action_) {
                                 action_();
                             }
                         });
    }

    void setTitle(const QString& title) override {
        tray_.setIcon(titleIcon(title));
        tray_.setToolTip(title);
        tray_.show();
    }
    // The tray draws its own highlight.
    void setHighlightMode(bool) override {}
    void setAction(std::function<void()> action) override { action_ = std::move(action); }
    void setMenuSource(std::function<StatusMenu()> build,
                       std::function<void(const MenuEntry&)> perform) override {
        build_ = std::move(build);
        perform_ = std::move(perform);
    }

    std::optional<qsizetype> popUpStatusItemMenu(const StatusMenu& model) override {
        QMenu menu;
        fillMenu(menu, model);
        const QRect icon = tray_.geometry();
        const QPoint at = icon.isValid() ? icon.bottomLeft() : QCursor::pos();
        QAction* chosen = menu.exec(at);
        if (chosen == nullptr || !chosen->data().isValid()) {
            return std::nullopt;
        }
        return chosen->data().toLongLong();
    }

  private:
    QSystemTrayIcon tray_;
    QMenu contextMenu_;
    StatusMenu contextModel_;
    std::function<void()> action_;
    std::function<StatusMenu()> build_;
    std::function<void(const MenuEntry&)> perform_;
};

std::unique_ptr<QtApplication> QtApplication::create(QString* whyNot) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        *whyNot = "no graphical session";
        return nullptr;
    }
    // The program takes no command-line options, Qt's own included.
    static int argc = 1;
    static char name[] = "exfatbar";
    static char* argv[] = {name, nullptr};
    auto application = std::make_unique<QApplication>(argc, argv);
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        *whyNot = "no system tray";
        return nullptr;
    }
    // Closing an alert must not end the program: it has no windows of its own.
    QApplication::setQuitOnLastWindowClosed(false);
    return std::unique_ptr<QtApplication>(new QtApplication(std::move(application)));
}

QtApplication::QtApplication(std::unique_ptr<QApplication> application)
    : application_(std::move(application)) {}

QtApplication::~QtApplication() {
    item_.reset();
}

void QtApplication::run(const std::function<void()>& didFinishLaunching) {
    didFinishLaunching();
    QApplication::exec();
}

void QtApplication::terminate() {
    QApplication::quit();
}

StatusItem* QtApplication::statusItemWithLength(double) {
    if (!item_) {
        item_ = std::make_unique<Item>();
    }
    return item_.get();
}

void QtAlerts::runModal(const Alert& alert) {
    QMessageBox box;
    box.setWindowTitle("exFAT");
    box.setIcon(QMessageBox::Warning);
    box.setText(alert.messageText);
    box.setInformativeText(alert.informativeText);
    box.setTextFormat(Qt::PlainText);
    for (const QString& button : {alert.defaultButton, alert.alternateButton, alert.otherButton}) {
        if (!button.isEmpty()) {
            box.addButton(button, QMessageBox::AcceptRole);
        }
    }
    box.exec();
}
