#pragma once

#include <QStringList>

// The user's language preference.
class LanguagePreferences {
  public:
    virtual ~LanguagePreferences() = default;
    // The user's preferred languages, most preferred first, as read at this moment; empty when
    // none is set or the preference cannot be read.
    virtual QStringList preferredLanguages() = 0;
};
