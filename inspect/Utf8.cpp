#include "inspect/Utf8.h"

#include <QStringDecoder>

#include "inspect/Utf8Sequence.h"

QString decodeWellFormedUtf8(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* end = p + bytes.size();
    while (p < end) {
        const int length = utf8SequenceLength(p, end);
        if (length == 0) {
            return QString();
        }
        p += length;
    }
    // A leading byte-order mark is a character of the output like any other: keep it.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless |
                                                     QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}
