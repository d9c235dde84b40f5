// Pixel memory of a bitmap or a window: 1, 4 or 8 bits per pixel.
//
// What a pixel value means depends on the surface: on a device-compatible
// 8-bit surface it is an index into the system palette; on a monochrome
// device bitmap 0 is black and 1 is white; on a device-independent bitmap it
// is an index into the bitmap's own colour table.
#pragma once

#include "platform.h"

#include <cstdint>
#include <cstring>
#include <memory>

namespace win32::gdi {

struct Surface {
    int width = 0;
    int height = 0;
    int bits_per_pixel = 8;
    int stride = 0; // bytes per row
    bool bottom_up = false;
    bool device_independent = false;
    RGBQUAD color_table[256] = {};
    int color_count = 0;
    // Set by every change of pixels, cleared by whoever shows the surface.
    bool changed = false;

    // Allocates zeroed memory for width x height pixels, rows padded to
    // row_alignment bytes. False (and an empty surface) when the size is
    // unreasonable or memory is short.
    bool allocate(int w, int h, int bpp, int row_alignment);

    std::uint8_t *bits() { return storage.get(); }
    const std::uint8_t *bits() const { return storage.get(); }
    std::size_t byte_size() const { return std::size_t(stride) * std::size_t(height); }

    std::uint8_t *row(int y) { return storage.get() + row_offset(y); }
    const std::uint8_t *row(int y) const { return storage.get() + row_offset(y); }

    std::uint32_t mask() const { return (1u << bits_per_pixel) - 1u; }

    std::uint32_t get(int x, int y) const {
        const std::uint8_t *r = row(y);
        switch (bits_per_pixel) {
        case 8:
            return r[x];
        case 4:
            return (x & 1) ? (r[x >> 1] & 0x0F) : (r[x >> 1] >> 4);
        default:
            return (r[x >> 3] >> (7 - (x & 7))) & 1u;
        }
    }

    void set(int x, int y, std::uint32_t v) {
        std::uint8_t *r = row(y);
        switch (bits_per_pixel) {
        case 8:
            r[x] = std::uint8_t(v);
            break;
        case 4: {
            std::uint8_t &b = r[x >> 1];
            b = (x & 1) ? std::uint8_t((b & 0xF0) | (v & 0x0F))
                        : std::uint8_t((b & 0x0F) | ((v & 0x0F) << 4));
            break;
        }
        default: {
            std::uint8_t &b = r[x >> 3];
            const std::uint8_t bit = std::uint8_t(0x80 >> (x & 7));
            b = (v & 1) ? std::uint8_t(b | bit) : std::uint8_t(b & ~bit);
        }
        }
    }

    // Sets pixels x0..x1-1 of row y to v.
    void fill_span(int y, int x0, int x1, std::uint32_t v) {
        if (bits_per_pixel == 8) {
            std::memset(row(y) + x0, int(v & 0xFF), std::size_t(x1 - x0));
            return;
        }
        for (int x = x0; x < x1; ++x) set(x, y, v);
    }

private:
    std::size_t row_offset(int y) const {
        return std::size_t(bottom_up ? height - 1 - y : y) * std::size_t(stride);
    }
    std::unique_ptr<std::uint8_t[]> storage;
};

} // namespace win32::gdi
