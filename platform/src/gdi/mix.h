// Mix modes: how a pen or brush value combines with a pixel, bit by bit.
#pragma once

#include <cstdint>

namespace win32::gdi {

// The value mix mode `rop2` (R2_BLACK .. R2_WHITE) gives for pen value p over
// pixel value d, kept to `mask`. The mode's number less one is its truth
// table, indexed by pen bit * 2 + pixel bit.
inline std::uint32_t mix(int rop2, std::uint32_t p, std::uint32_t d, std::uint32_t mask) {
    switch (rop2) {
    case 13:
        return p & mask;
    case 7:
        return (p ^ d) & mask;
    case 15:
        return (p | d) & mask;
    case 9:
        return (p & d) & mask;
    case 4:
        return ~p & mask;
    case 11:
        return d & mask;
    default: {
        const unsigned table = unsigned(rop2 - 1) & 15u;
        std::uint32_t r = 0;
        if (table & 1) r |= ~p & ~d;
        if (table & 2) r |= ~p & d;
        if (table & 4) r |= p & ~d;
        if (table & 8) r |= p & d;
        return r & mask;
    }
    }
}

} // namespace win32::gdi
