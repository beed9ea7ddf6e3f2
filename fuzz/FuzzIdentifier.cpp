// The tokenizer and the predicates on identifiers and size units, on arbitrary text.

#include <QString>

#include <cstdint>
#include <cstdlib>

#include "app/AppDelegate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList tokens = AppDelegate::tokenizeWhitespace(text);
    qsizetype characters = 0;
    for (const QString& token : tokens) {
        if (token.isEmpty() || token.contains(u' ') || token.contains(u'\t')) {
            std::abort();
        }
        characters += token.size();
        AppDelegate::isSizeUnitToken(token);
        // An accepted identifier is a plain name: ASCII letters and digits only.
        if (AppDelegate::isValidPartitionIdentifier(token)) {
            for (QChar c : token) {
                if (c.unicode() > 0x7f || !c.isLetterOrNumber()) {
                    std::abort();
                }
            }
        }
    }
    if (characters > text.size()) {
        std::abort();
    }
    AppDelegate::isValidPartitionIdentifier(text);
    AppDelegate::isSizeUnitToken(text);
    return 0;
}
