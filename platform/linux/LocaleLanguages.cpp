#include "platform/linux/LocaleLanguages.h"

#include <QLocale>

QStringList LocaleLanguages::preferredLanguages() {
    return QLocale::system().uiLanguages();
}
