#include "platform/linux/ExecutableBundle.h"

#include "platform/linux/Executable.h"

QString ExecutableBundle::bundlePath() {
    return executableDirectory();
}
