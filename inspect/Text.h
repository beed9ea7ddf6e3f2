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

// Calls `visit` with each line of `text`, in order: the text between two line feeds, before the
// first or after the last. Only the line feed ends a line; consecutive line feeds give empty lines
// and a final one gives an empty last line.
template <typename Visit>
void forEachLine(QStringView text, Visit visit) {
    for (;;) {
        const qsizetype lineEnd = text.indexOf(u'\n');
        if (lineEnd < 0) {
            visit(text);
            return;
        }
        visit(text.first(lineEnd));
        text = text.sliced(lineEnd + 1);
    }
}
