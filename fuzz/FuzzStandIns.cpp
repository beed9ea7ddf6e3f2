// The Linux stand-ins' own parsing and formatting: mountinfo lines with their octal escapes, the
// mount list lines made of them, labels, and sizes.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "helpers/DiskListing.h"
#include "helpers/MountInfo.h"
#include "inspect/Utf8Sequence.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (decodeOctalEscapes(text).size() > text.size()) {
        std::abort();
    }
    for (const MountInfoEntry& entry : parseMountInfo(text)) {
        const std::string line = renderMountLine(entry);
        if (line.find(" on ") == std::string::npos) {
            std::abort();
        }
    }
    // A label can never break a listing line or its encoding.
    const std::string safe = sanitizeLabel(text);
    const auto* p = reinterpret_cast<const unsigned char*>(safe.data());
    const auto* end = p + safe.size();
    while (p < end) {
        const int length = utf8SequenceLength(p, end);
        if (length == 0 || *p < 0x20 || *p == 0x7f) {
            std::abort();
        }
        p += length;
    }
    std::uint64_t bytes = 0;
    std::memcpy(&bytes, data, std::min(size, sizeof bytes));
    const std::string sizeText = formatDecimalSize(bytes);
    if (sizeText.find(' ') == std::string::npos || sizeText.find("1000.0") != std::string::npos) {
        std::abort();
    }
    return 0;
}
