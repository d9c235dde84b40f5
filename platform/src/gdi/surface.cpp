#include "surface.h"

#include <new>

namespace win32::gdi {

namespace {
// Larger requests are refused rather than attempted: no display needs them.
constexpr std::uint64_t max_surface_bytes = std::uint64_t(1) << 30;
} // namespace

bool Surface::allocate(int w, int h, int bpp, int row_alignment) {
    storage.reset();
    width = height = stride = 0;
    bits_per_pixel = bpp;
    if (w <= 0 || h <= 0 || (bpp != 1 && bpp != 4 && bpp != 8)) return false;
    const std::uint64_t row_bits = std::uint64_t(w) * std::uint64_t(bpp);
    const std::uint64_t align_bits = std::uint64_t(row_alignment) * 8;
    const std::uint64_t row_bytes = (row_bits + align_bits - 1) / align_bits * row_alignment;
    if (row_bytes * std::uint64_t(h) > max_surface_bytes) return false;
    storage.reset(new (std::nothrow) std::uint8_t[row_bytes * std::uint64_t(h)]());
    if (!storage) return false;
    width = w;
    height = h;
    stride = int(row_bytes);
    return true;
}

} // namespace win32::gdi
