#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>

#include "app/AppDelegate.h"
#include "platform/Alerts.h"

// Readable failure messages for the Qt types the tests compare.
inline std::ostream& operator<<(std::ostream& out, const QString& text) {
    return out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text;
}
inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << "{";
    for (const QString& text : list) {
        *out << "\n  " << text;
    }
    *out << "}";
}
inline void PrintTo(const std::optional<QString>& text, std::ostream* out) {
    if (text) {
        *out << *text;
    } else {
        *out << "(null)";
    }
}
inline void PrintTo(const CandidatePartition& candidate, std::ostream* out) {
    *out << "{" << candidate.identifier << ", " << candidate.sizeText << "}";
}
inline void PrintTo(const MountMap& map, std::ostream* out) {
    *out << "{";
    for (auto entry = map.cbegin(); entry != map.cend(); ++entry) {
        *out << " " << entry.key() << ": " << entry.value();
    }
    *out << " }";
}
inline void PrintTo(const Alert& alert, std::ostream* out) {
    *out << "{message " << alert.messageText << ", buttons " << alert.defaultButton << "/"
         << alert.alternateButton << "/" << alert.otherButton << ", informative "
         << alert.informativeText << "}";
}
