#pragma once

#include <QByteArray>
#include <QString>

// The text that `bytes` encode when they are well-formed UTF-8 throughout (shortest forms only, no
// surrogates, nothing above U+10FFFF); the empty text otherwise, never a part of the bytes.
QString decodeWellFormedUtf8(const QByteArray& bytes);
