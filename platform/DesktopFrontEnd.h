#pragma once

#include <QString>

class AlertPresenter;
class Application;

// The desktop front end, built as a module of its own that is loaded only where there is a
// graphical session, so that the terminal front end never loads the graphical libraries.
class DesktopFrontEnd {
  public:
    virtual ~DesktopFrontEnd() = default;
    // The tray application; never fails once the front end exists.
    virtual Application& application() = 0;
    // Modal message boxes; never fails once the front end exists.
    virtual AlertPresenter& alerts() = 0;
};

// The module's one entry point: a new front end, or null (with `whyNot` filled) when there is no
// display or no system tray.
using CreateDesktopFrontEnd = DesktopFrontEnd* (*)(QString* whyNot);
inline constexpr char kCreateDesktopFrontEndSymbol[] = "exfatbarCreateDesktopFrontEnd";
// Where the module lies in the bundle directory.
inline constexpr char kDesktopModulePath[] = "lib/exfatbar-desktop.so";
