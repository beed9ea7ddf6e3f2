#pragma once

#include <QString>

// `base` and `component` joined by exactly one "/".
inline QString appendPathComponent(const QString& base, const QString& component) {
    if (base.endsWith(u'/')) {
        return base + component;
    }
    return base + u'/' + component;
}

// The part of `path` after its final "/" (all of it when it has none).
inline QString lastPathComponent(const QString& path) {
    return path.sliced(path.lastIndexOf(u'/') + 1);
}

// `path` without its last component and the separator before it ("/" for a component at the
// root, the empty text for a path without "/").
inline QString deleteLastPathComponent(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0) {
        return QString();
    }
    return slash == 0 ? QStringLiteral("/") : path.first(slash);
}
