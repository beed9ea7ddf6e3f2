#pragma once

#include <QString>

#include <memory>

#include "platform/DesktopFrontEnd.h"

// Loads the desktop module from the bundle directory and creates its front end; null (with
// `whyNot` filled) when there is no graphical session, the module cannot be loaded, or it reports
// no system tray. The module stays loaded for the rest of the process.
std::unique_ptr<DesktopFrontEnd> loadDesktopFrontEnd(const QString& bundleDirectory,
                                                     QString* whyNot);
