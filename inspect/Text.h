#pragma once

#include <QChar>
#include <QStringView>

// Whitespace as the listings are read: the tab and the Unicode space separators. Line breaks are
// not whitespace.
inline bool isWhitespace(QChar c) {
    return c == u'\t' || c == u' ' ||
           (c.unicode() >= 0x80 && c.category() == QChar::Separator_Space);
}

inline bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// True when `text` is not empty and holds ASCII digits only.
inline bool isAsciiDigits(QStringView text) {
    if (text.isEmpty()) {
        return false;
    }
    for (QChar c : text) {
        if (!isAsciiDigit(c)) {
            return false;
        }
    }
    return true;
}

// `text` without whitespace at either end.
inline QStringView trimWhitespace(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isWhitespace(text[begin])) {
        ++begin;
    }
    while (end > begin && isWhitespace(text[end - 1])) {
        --end;
    }
    return text.sliced(begin, end - begin);
}
