#pragma once

#include "platform/Languages.h"

// The user's preferred languages as the system reports them: on Linux from LANGUAGE, LC_ALL,
// LC_MESSAGES and LANG ("ja-JP", "ja", ...).
class LocaleLanguages : public LanguagePreferences {
  public:
    QStringList preferredLanguages() override;
};
