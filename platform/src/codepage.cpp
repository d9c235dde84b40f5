#include "codepage.h"

#include <cstdint>

namespace win32 {

namespace {

// Code page 1252 puts these characters at 0x80..0x9F; 0 marks the unused slots.
constexpr std::uint16_t upper_control_block[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int to_cp1252(std::uint32_t code_point) {
    if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) return int(code_point);
    for (int i = 0; i < 32; ++i)
        if (upper_control_block[i] && upper_control_block[i] == code_point) return 0x80 + i;
    return -1;
}

} // namespace

char32_t cp1252_to_unicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return upper_control_block[byte - 0x80];
    return byte;
}

std::string utf8_to_cp1252(const std::string &utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int length = lead < 0x80         ? 1
                     : (lead >> 5) == 6  ? 2
                     : (lead >> 4) == 14 ? 3
                     : (lead >> 3) == 30 ? 4
                                         : 0;
        if (length == 0 || i + std::size_t(length) > utf8.size()) {
            ++i; // a stray byte is skipped
            continue;
        }
        std::uint32_t cp = length == 1 ? lead : lead & (0x7F >> length);
        bool valid = true;
        for (int k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(utf8[i + k]);
            if ((c & 0xC0) != 0x80) valid = false;
            cp = (cp << 6) | (c & 0x3F);
        }
        i += valid ? std::size_t(length) : 1;
        if (!valid) continue;
        const int b = to_cp1252(cp);
        if (b >= 0) out += char(b);
    }
    return out;
}

} // namespace win32
