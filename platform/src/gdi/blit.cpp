// BitBlt: copying and combining rectangles of pixels between surfaces of any
// of our formats, with every ternary raster operation.
#include "device_context.h"
#include "trace.h"

#include <algorithm>
#include <vector>

namespace win32::gdi {

namespace {

bool uses_source(DWORD rop) {
    return ((rop >> 2) ^ rop) & 0x00330000;
}
bool uses_pattern(DWORD rop) {
    return ((rop >> 4) ^ rop) & 0x000F0000;
}

// The result of ternary raster operation `rop` for pattern p, source s and
// destination d. Bits 16..23 of the code are its truth table, indexed by
// pattern bit * 4 + source bit * 2 + destination bit.
std::uint32_t rop3(DWORD rop, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
    switch ((rop >> 16) & 0xFF) {
    case 0xCC:
        return s;
    case 0x66:
        return s ^ d;
    case 0xEE:
        return s | d;
    case 0x88:
        return s & d;
    case 0x33:
        return ~s;
    case 0xF0:
        return p;
    case 0x5A:
        return p ^ d;
    case 0x55:
        return ~d;
    case 0x00:
        return 0;
    case 0xFF:
        return ~0u;
    default: {
        const unsigned table = (rop >> 16) & 0xFF;
        std::uint32_t r = 0;
        for (unsigned i = 0; i < 8; ++i) {
            if (!(table & (1u << i))) continue;
            r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
        }
        return r;
    }
    }
}

// Source pixel value -> destination pixel value, as a palette device
// converts between formats.
void build_conversion(DeviceContext &src, DeviceContext &dst, std::vector<std::uint32_t> &lut,
                      bool &identity) {
    const Surface &s = src.surface(), &d = dst.surface();
    const std::uint32_t count = 1u << s.bits_per_pixel;
    lut.resize(count);
    identity = false;
    const bool s_mono = s.bits_per_pixel == 1 && !s.device_independent;
    const bool d_mono = d.bits_per_pixel == 1 && !d.device_independent;
    if (!s.device_independent && !d.device_independent && s.bits_per_pixel == d.bits_per_pixel) {
        for (std::uint32_t v = 0; v < count; ++v) lut[v] = v;
        identity = true;
    } else if (s_mono) {
        // Monochrome to colour: 0 bits take the text colour, 1 bits the background.
        lut[0] = dst.pixel(dst.text_color);
        lut[1] = dst.pixel(dst.bk_color);
    } else if (d_mono) {
        // Colour to monochrome: the source's background colour becomes 1, all else 0.
        const COLORREF bk = rgb_of(src.bk_color, *src.palette.object);
        const std::uint32_t bk_value = src.pixel(src.bk_color);
        for (std::uint32_t v = 0; v < count; ++v)
            lut[v] = s.device_independent ? (rgb_of_pixel(s, v) == bk) : (v == bk_value);
    } else {
        for (std::uint32_t v = 0; v < count; ++v)
            lut[v] = pixel_for(rgb_of_pixel(s, v), *dst.palette.object, d);
    }
}

} // namespace

} // namespace win32::gdi

namespace win32 {

using namespace gdi;

BOOL BitBlt(HDC dst_handle, int x, int y, int width, int height, HDC src_handle, int sx, int sy,
            DWORD rop) {
    trace::record("BitBlt", dst_handle,
                  {x, y, width, height, trace::value(src_handle), sx, sy, std::int64_t(rop)});
    auto dst = find_dc(dst_handle);
    if (!dst) return FALSE;
    const bool with_source = uses_source(rop);
    auto src = with_source ? find_dc(src_handle) : nullptr;
    if (with_source && !src) return FALSE;

    // A rectangle given back to front covers the same pixels on both sides.
    long long w = width, h = height;
    long long dx = (long long)x + dst->origin.x, dy = (long long)y + dst->origin.y;
    long long ox = 0, oy = 0; // source minus destination, device pixels
    if (with_source)
        ox = (long long)sx + src->origin.x - dx, oy = (long long)sy + src->origin.y - dy;
    if (w < 0) dx += w, w = -w;
    if (h < 0) dy += h, h = -h;

    // Only the destination's clip region limits the result; the source is
    // limited by its surface alone.
    Box area = dst->drawable();
    auto clampi = [](long long v) {
        return int(std::clamp<long long>(v, -(1LL << 30), 1LL << 30));
    };
    area = area.intersect({clampi(dx), clampi(dy), clampi(dx + w), clampi(dy + h)});
    if (with_source) {
        const Surface &ss = src->surface();
        area = area.intersect(
            {clampi(-ox), clampi(-oy), clampi(ss.width - ox), clampi(ss.height - oy)});
    }
    if (area.empty()) return TRUE;

    Surface &d = dst->surface();
    d.changed = true;
    const int aw = area.right - area.left;
    const std::uint32_t mask = d.mask();

    std::vector<std::uint32_t> lut;
    bool identity = false;
    if (with_source) build_conversion(*src, *dst, lut, identity);

    // The fast path: copying whole rows of 8-bit pixels.
    const DWORD code = (rop >> 16) & 0xFF;
    if (with_source && identity && code == 0xCC && d.bits_per_pixel == 8) {
        Surface &s = src->surface();
        const bool same = &s == &d;
        if (ox == 0 && area.left == 0 && area.right == d.width && d.stride == d.width &&
            s.stride == d.stride && !s.bottom_up && !d.bottom_up) {
            // Whole rows of contiguous memory on both sides: one copy.
            std::memmove(d.row(area.top), s.row(int(area.top + oy)),
                         std::size_t(d.stride) * std::size_t(area.bottom - area.top));
            return TRUE;
        }
        // Moving pixels down within one surface, the lowest row goes first.
        const bool bottom_first = same && oy < 0;
        for (int i = 0; i < area.bottom - area.top; ++i) {
            const int row = bottom_first ? area.bottom - 1 - i : area.top + i;
            std::memmove(d.row(row) + area.left, s.row(int(row + oy)) + (area.left + ox),
                         std::size_t(aw));
        }
        return TRUE;
    }

    // Everything else, row by row: source values first (so a blit within one
    // surface reads its source before writing), then the combination.
    std::vector<std::uint32_t> source(std::size_t(aw) * (area.bottom - area.top));
    if (with_source) {
        const Surface &s = src->surface();
        for (int row = area.top; row < area.bottom; ++row)
            for (int col = area.left; col < area.right; ++col)
                source[std::size_t(row - area.top) * aw + (col - area.left)] =
                    lut[s.get(int(col + ox), int(row + oy))];
    }
    std::vector<std::uint32_t> pattern(std::size_t(aw), 0);
    const Brush *brush = uses_pattern(rop) ? dst->brush.object.get() : nullptr;
    std::uint32_t pattern_values[2] = {};
    if (brush && brush->style == BS_PATTERN && brush->monochrome)
        pattern_values[0] = dst->pixel(dst->text_color),
        pattern_values[1] = dst->pixel(dst->bk_color);
    const std::uint32_t solid = brush && brush->style == BS_SOLID ? dst->pixel(brush->color) : 0;

    for (int row = area.top; row < area.bottom; ++row) {
        if (brush) {
            for (int col = area.left; col < area.right; ++col) {
                std::uint32_t p = solid;
                if (brush->style == BS_PATTERN && brush->pattern_width > 0) {
                    const std::uint8_t v = brush->pattern[std::size_t(row % brush->pattern_height) *
                                                              brush->pattern_width +
                                                          col % brush->pattern_width];
                    p = brush->monochrome ? pattern_values[v & 1] : v;
                }
                pattern[col - area.left] = p;
            }
        }
        const std::uint32_t *srow = source.data() + std::size_t(row - area.top) * aw;
        for (int col = area.left; col < area.right; ++col)
            d.set(col, row,
                  rop3(rop, pattern[col - area.left], srow[col - area.left], d.get(col, row)) &
                      mask);
    }
    return TRUE;
}

} // namespace win32
