#pragma once

// Plain C++ (no Qt), shared by the controller and the Linux stand-ins.

// The length of the well-formed UTF-8 sequence that starts at `p` (1 to 4 bytes), or 0 when the
// bytes from `p` on are not one: a stray trailing byte, an overlong form, a surrogate, a code point
// above U+10FFFF or a sequence cut short by `end`. Requires p < end.
inline int utf8SequenceLength(const unsigned char* p, const unsigned char* end) {
    const unsigned char lead = *p;
    if (lead < 0x80) {
        return 1;
    }
    int trailing = 0;
    // The allowed range of the first trailing byte rules out overlong forms, surrogates and code
    // points above U+10FFFF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trailing = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trailing = 2;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trailing = 3;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (end - p <= trailing || p[1] < low || p[1] > high) {
        return 0;
    }
    for (int i = 2; i <= trailing; ++i) {
        if (p[i] < 0x80 || p[i] > 0xBF) {
            return 0;
        }
    }
    return trailing + 1;
}
