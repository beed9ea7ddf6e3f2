#include "platform/linux/DesktopLoader.h"

#include <QFile>

#include <dlfcn.h>

#include "app/Paths.h"

std::unique_ptr<DesktopFrontEnd> loadDesktopFrontEnd(const QString& bundleDirectory,
                                                     QString* whyNot) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        *whyNot = "no graphical session";
        return nullptr;
    }
    const QByteArray path =
        QFile::encodeName(appendPathComponent(bundleDirectory, kDesktopModulePath));
    void* module = ::dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        *whyNot = QString("the desktop module cannot be loaded: %1").arg(::dlerror());
        return nullptr;
    }
    const auto create =
        reinterpret_cast<CreateDesktopFrontEnd>(::dlsym(module, kCreateDesktopFrontEndSymbol));
    DesktopFrontEnd* frontEnd = create != nullptr ? create(whyNot) : nullptr;
    if (create == nullptr) {
        *whyNot = "the desktop module has no entry point";
    }
    // Nothing of the module may be used after it is unloaded; on success it stays loaded.
    if (frontEnd == nullptr) {
        ::dlclose(module);
    }
    return std::unique_ptr<DesktopFrontEnd>(frontEnd);
}
