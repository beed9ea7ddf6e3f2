// The command runner's decoding and the partition listing parser on arbitrary output of the disk
// utility.

#include <QString>

#include <cstdint>
#include <cstdlib>

#include "app/AppDelegate.h"
#include "inspect/Utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = decodeWellFormedUtf8(bytes);
    // Whatever is accepted as UTF-8 encodes back to exactly the bytes it came from.
    if (!text.isEmpty() && text.toUtf8() != bytes) {
        std::abort();
    }
    for (const CandidatePartition& candidate : AppDelegate::parsePartitionListing(text)) {
        if (!AppDelegate::isValidPartitionIdentifier(candidate.identifier) ||
            !candidate.sizeText.contains(u' ') || !text.contains(candidate.identifier)) {
            std::abort();
        }
    }
    return 0;
}
