// Mix modes: how a pen or brush value combines with a pixel, bit by bit.
#pragma once

#include "surface.h"

#include <cstdint>

namespace win32::gdi {

// The and/xor pair of mix mode `rop2` (R2_BLACK .. R2_WHITE) for pen value
// p. The mode's number less one is its truth table, indexed by pen bit * 2 +
// pixel bit; for each pen bit the result is 0, 1, the pixel bit or its
// inverse, which is what an and/xor pair expresses.
inline Mix mix_of(int rop2, std::uint8_t p) {
    const unsigned table = unsigned(rop2 - 1) & 15u;
    auto all = [](unsigned bit) { return std::uint8_t(bit & 1u ? 0xFF : 0); };
    const std::uint8_t xor_if_set = all(table >> 2), and_if_set = all((table >> 2) ^ (table >> 3));
    const std::uint8_t xor_if_clear = all(table), and_if_clear = all(table ^ (table >> 1));
    return {std::uint8_t((p & and_if_set) | (~p & and_if_clear)),
            std::uint8_t((p & xor_if_set) | (~p & xor_if_clear))};
}

} // namespace win32::gdi
