#include "helpers/MountInfo.h"

#include <fstream>
#include <sstream>

namespace {

bool isOctalDigit(char c) {
    return c >= '0' && c <= '7';
}

// The next space-separated field of `rest`, which loses it and the space after it.
std::string_view nextField(std::string_view& rest) {
    const size_t space = rest.find(' ');
    const std::string_view field = rest.substr(0, space);
    rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
    return field;
}

}  // namespace

std::string decodeOctalEscapes(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        // Three octal digits, the first at most 3, so that the value fits one byte.
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '3' &&
            isOctalDigit(text[i + 2]) && isOctalDigit(text[i + 3])) {
            decoded += static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 +
                                         (text[i + 3] - '0'));
            i += 3;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

std::optional<MountInfoEntry> parseMountInfoLine(std::string_view line) {
    // id parent major:minor root mount-point options [optional fields...] - type source super
    std::string_view rest = line;
    nextField(rest);  // mount id
    nextField(rest);  // parent id
    MountInfoEntry entry;
    entry.majorMinor = nextField(rest);
    nextField(rest);  // root within the file system
    const std::string_view mountPoint = nextField(rest);
    entry.mountOptions = nextField(rest);
    for (;;) {
        if (rest.empty()) {
            return std::nullopt;
        }
        if (nextField(rest) == "-") {
            break;
        }
    }
    entry.fileSystemType = decodeOctalEscapes(nextField(rest));
    const std::string_view source = nextField(rest);
    entry.superOptions = nextField(rest);
    if (entry.majorMinor.empty() || mountPoint.empty() || entry.fileSystemType.empty()) {
        return std::nullopt;
    }
    entry.mountPoint = decodeOctalEscapes(mountPoint);
    entry.source = decodeOctalEscapes(source);
    return entry;
}

std::vector<MountInfoEntry> parseMountInfo(std::string_view text) {
    std::vector<MountInfoEntry> entries;
    while (!text.empty()) {
        const size_t newline = text.find('\n');
        if (auto entry = parseMountInfoLine(text.substr(0, newline))) {
            entries.push_back(std::move(*entry));
        }
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
    }
    return entries;
}

std::vector<MountInfoEntry> readMountInfo() {
    std::ifstream file("/proc/self/mountinfo");
    std::stringstream text;
    text << file.rdbuf();
    return parseMountInfo(text.str());
}

std::string renderMountLine(const MountInfoEntry& entry) {
    std::string line = entry.source + " on " + entry.mountPoint + " (" + entry.fileSystemType;
    std::string_view options = entry.mountOptions;
    while (!options.empty()) {
        const size_t comma = options.find(',');
        line += ", ";
        line += options.substr(0, comma);
        options = comma == std::string_view::npos ? std::string_view() : options.substr(comma + 1);
    }
    line += ')';
    return line;
}
