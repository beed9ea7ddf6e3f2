#include "texts/Texts.h"

#include <algorithm>

#include "platform/Languages.h"

bool IsJapaneseSystem(LanguagePreferences& languages) {
    // Read afresh at every use: a change of the preference shows in the next text.
    const QStringList preferred = languages.preferredLanguages();
    return !preferred.isEmpty() && preferred.first().startsWith(u"ja", Qt::CaseSensitive);
}

QString JPStringFromCodes(std::span<const char16_t> table, std::uint32_t count) {
    constexpr size_t kBufferUnits = 64;
    char16_t buffer[kBufferUnits];
    const size_t copied = std::min({static_cast<size_t>(count), kBufferUnits, table.size()});
    std::copy_n(table.begin(), copied, buffer);
    return QString(reinterpret_cast<const QChar*>(buffer), static_cast<qsizetype>(copied));
}

QString L(LanguagePreferences& languages, std::span<const char16_t> table, std::uint32_t count,
          const QString& english) {
    if (IsJapaneseSystem(languages)) {
        return JPStringFromCodes(table, count);
    }
    return english;
}
