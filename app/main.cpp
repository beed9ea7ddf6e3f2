#include <chrono>
#include <cstdio>
#include <memory>

#include "app/AppDelegate.h"
#include "platform/Alerts.h"
#include "platform/linux/DesktopLoader.h"
#include "platform/linux/ExecutableBundle.h"
#include "platform/linux/LinuxAuthorization.h"
#include "platform/linux/LinuxFileSystemStats.h"
#include "platform/linux/LocaleLanguages.h"
#include "platform/posix/PosixFileManager.h"
#include "platform/posix/PosixTaskLauncher.h"
#include "platform/terminal/TerminalAlerts.h"
#include "platform/terminal/TerminalApplication.h"

#include <unistd.h>

// The program takes no options and reads no configuration: its argument vector is not read.
int main(int, char**) {
    ExecutableBundle bundle;
    const QString bundleDirectory = bundle.bundlePath();

    // The desktop front end where there is a graphical session with a system tray, the terminal
    // front end everywhere else.
    QString whyNoDesktop;
    std::unique_ptr<DesktopFrontEnd> desktop = loadDesktopFrontEnd(bundleDirectory, &whyNoDesktop);
    std::unique_ptr<TerminalApplication> terminal;
    std::unique_ptr<TerminalAlerts> terminalAlerts;
    Application* application = nullptr;
    AlertPresenter* alerts = nullptr;
    if (desktop) {
        application = &desktop->application();
        alerts = &desktop->alerts();
    } else {
        std::setvbuf(stdout, nullptr, _IOLBF, 0);
        std::printf("exfatbar: %s, using the terminal\n", qUtf8Printable(whyNoDesktop));
        terminal = std::make_unique<TerminalApplication>(stdin, stdout);
        terminalAlerts = std::make_unique<TerminalAlerts>(stdin, stdout);
        application = terminal.get();
        alerts = terminalAlerts.get();
    }

    PosixTaskLauncher tasks;
    PosixFileManager files;
    LinuxFileSystemStats stats;
    LocaleLanguages languages;
    // The credentials dialog may stay up a while: the privileged install gets a longer limit.
    PosixTaskLauncher privilegedTasks(std::chrono::minutes(15));
    LinuxAuthorization authorization(privilegedTasks, [] { return ::geteuid() == 0; });
    Platform platform{tasks,   files,         stats,
                      *alerts, languages,     *application,
                      bundle,  authorization, Commands::linuxBeside(bundleDirectory)};

    auto controller = std::make_unique<AppDelegate>(platform);
    application->run([&controller] { controller->applicationDidFinishLaunching(); });
    controller.reset();
    return 0;
}
