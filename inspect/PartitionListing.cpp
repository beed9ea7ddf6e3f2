#include <QVarLengthArray>

#include "app/AppDelegate.h"
#include "inspect/Text.h"

namespace {

// Tokens of `text` as views into it, in order.
template <typename Visit>
void forEachToken(QStringView text, Visit visit) {
    const qsizetype length = text.size();
    qsizetype position = 0;
    while (position < length) {
        while (position < length && isWhitespace(text[position])) {
            ++position;
        }
        if (position == length) {
            break;
        }
        const qsizetype start = position;
        while (position < length && !isWhitespace(text[position])) {
            ++position;
        }
        visit(text.sliced(start, position - start));
    }
}

// When `text` begins with `prefix`, drops the prefix from it and returns true.
bool consumePrefix(QStringView& text, QStringView prefix) {
    if (!text.startsWith(prefix)) {
        return false;
    }
    text = text.sliced(prefix.size());
    return true;
}

// The Apple form: "disk", digits, "s", digits, where the "s" is the last one of the text.
bool isAppleIdentifier(QStringView text) {
    if (!text.startsWith(u"disk")) {
        return false;
    }
    if (text.size() <= 5) {
        return false;
    }
    const qsizetype lastS = text.lastIndexOf(u's');
    const QStringView head = text.first(lastS);
    const QStringView tail = text.sliced(lastS + 1);
    if (!head.startsWith(u"disk")) {
        return false;
    }
    const QStringView middle = head.sliced(4);
    return !middle.isEmpty() && !tail.isEmpty() && isAsciiDigits(middle) && isAsciiDigits(tail);
}

#if defined(__linux__)
// A kernel partition number: digits without a leading zero.
bool isPartitionNumber(QStringView text) {
    return isAsciiDigits(text) && text.front() != u'0';
}

bool isLowerAsciiLetters(QStringView text) {
    if (text.isEmpty()) {
        return false;
    }
    for (QChar c : text) {
        if (c < u'a' || c > u'z') {
            return false;
        }
    }
    return true;
}

// The kernel's names of partitions: sdb1, hda3, vdc2, xvda1 (letters, then the partition number)
// and nvme0n1p3, mmcblk0p1, loop0p1 (a numbered disk, "p", then the partition number).
bool isLinuxIdentifier(QStringView text) {
    for (QStringView prefix : {u"sd", u"hd", u"vd", u"xvd"}) {
        QStringView rest = text;
        if (consumePrefix(rest, prefix)) {
            qsizetype letters = 0;
            while (letters < rest.size() && !isAsciiDigit(rest[letters])) {
                ++letters;
            }
            return isLowerAsciiLetters(rest.first(letters)) &&
                   isPartitionNumber(rest.sliced(letters));
        }
    }
    QStringView rest = text;
    if (consumePrefix(rest, u"nvme")) {
        const qsizetype n = rest.indexOf(u'n');
        if (n < 0 || !isAsciiDigits(rest.first(n))) {
            return false;
        }
        rest = rest.sliced(n + 1);
    } else if (!consumePrefix(rest, u"mmcblk") && !consumePrefix(rest, u"loop")) {
        return false;
    }
    const qsizetype p = rest.indexOf(u'p');
    return p >= 0 && isAsciiDigits(rest.first(p)) && isPartitionNumber(rest.sliced(p + 1));
}
#endif

// `text` with the full Unicode default lower-case mapping applied. ASCII text, the usual case,
// is lowered without the general machinery: on it the two agree.
QString lowerCased(QStringView text) {
    QString lower(text.size(), Qt::Uninitialized);
    QChar* out = lower.data();
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            return text.toString().toLower();
        }
        *out++ = (c >= u'A' && c <= u'Z') ? QChar(c.unicode() + 0x20) : c;
    }
    return lower;
}

// Whether `text`, lower-cased, is one of the listing's unit words.
bool isSizeUnit(QStringView text) {
    const QString lower = lowerCased(text);
    for (const char16_t* unit : {u"bytes", u"kb", u"mb", u"gb", u"tb", u"pb"}) {
        if (lower == QStringView(unit)) {
            return true;
        }
    }
    return false;
}

bool isPartitionIdentifier(QStringView text) {
#if defined(__linux__)
    if (isLinuxIdentifier(text)) {
        return true;
    }
#endif
    return isAppleIdentifier(text);
}

}  // namespace

QStringList AppDelegate::tokenizeWhitespace(const QString& text) {
    QStringList tokens;
    forEachToken(text, [&](QStringView token) { tokens.append(token.toString()); });
    return tokens;
}

bool AppDelegate::isValidPartitionIdentifier(const QString& text) {
    return isPartitionIdentifier(text);
}

bool AppDelegate::isSizeUnitToken(const QString& text) {
    return isSizeUnit(text);
}

QList<CandidatePartition> AppDelegate::parsePartitionListing(const QString& listing) {
    QList<CandidatePartition> candidates;
    // Views into the listing: a line's tokens become texts of their own only when it is accepted.
    QVarLengthArray<QStringView, 16> tokens;
    forEachLine(listing, [&](QStringView untrimmed) {
        const QStringView line = trimWhitespace(untrimmed);
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0 && isAsciiDigits(line.first(colon))) {
            tokens.clear();
            forEachToken(line.sliced(colon + 1), [&](QStringView token) { tokens.append(token); });
            const qsizetype n = tokens.size();
            if (n >= 4 && isPartitionIdentifier(tokens[n - 1]) && isSizeUnit(tokens[n - 2])) {
                QString joined = tokens[0].toString();
                for (qsizetype i = 1; i < n - 3; ++i) {
                    joined += u' ';
                    joined += tokens[i];
                }
                const QString typeAndName = lowerCased(joined);
                if (typeAndName.contains(u"ntfs") || typeAndName.contains(u"fat") ||
                    typeAndName.contains(u"microsoft basic data")) {
                    QString sizeText = tokens[n - 3].toString();
                    sizeText += u' ';
                    sizeText += tokens[n - 2];
                    candidates.append({tokens[n - 1].toString(), sizeText});
                }
            }
        }
    });
    return candidates;
}

QList<CandidatePartition> AppDelegate::scanCandidatePartitions() {
    return parsePartitionListing(runTaskAtPath(platform_.commands.diskutil, {"list"}));
}
