#pragma once

#include <QString>

// What a modal alert shows. Buttons left empty are not shown.
struct Alert {
    QString messageText;
    QString defaultButton;
    QString alternateButton;
    QString otherButton;
    QString informativeText;

    friend bool operator==(const Alert&, const Alert&) = default;
};

// Modal alerts.
class AlertPresenter {
  public:
    virtual ~AlertPresenter() = default;
    // Shows `alert` and returns once the user has dismissed it; returns at once when it cannot be
    // shown at all.
    virtual void runModal(const Alert& alert) = 0;
};
