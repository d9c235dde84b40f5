// BitBlt: copying and combining rectangles of pixels between surfaces of any
// of our formats, with every ternary raster operation. Clipping first; then
// the plain copy of 8-bit pixels, the operations without a pattern row by
// row, or the general path.
#include "conversion.h"
#include "paint.h"
#include "trace.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace win32::gdi {

namespace {

bool uses_source(DWORD rop) {
    return ((rop >> 2) ^ rop) & 0x00330000;
}
bool uses_pattern(DWORD rop) {
    return ((rop >> 4) ^ rop) & 0x000F0000;
}

// A ternary raster operation as a bitwise choice: bits 16..23 of its code
// are its truth table, indexed by pattern bit * 4 + source bit * 2 +
// destination bit; for each pattern and source bit the result is 0, 1, the
// destination bit or its inverse.
struct Rop3 {
    std::uint8_t when_set[4], when_clear[4]; // by pattern bit * 2 + source bit

    explicit Rop3(DWORD rop) {
        const unsigned table = (rop >> 16) & 0xFF;
        for (unsigned ps = 0; ps < 4; ++ps) {
            when_set[ps] = (table >> (ps * 2 + 1)) & 1 ? 0xFF : 0;
            when_clear[ps] = (table >> (ps * 2)) & 1 ? 0xFF : 0;
        }
    }
    std::uint8_t apply(std::uint8_t p, std::uint8_t s, std::uint8_t d) const {
        auto by_d = [&](unsigned ps) {
            return std::uint8_t((d & when_set[ps]) | (~d & when_clear[ps]));
        };
        const std::uint8_t with_p = std::uint8_t((s & by_d(3)) | (~s & by_d(2)));
        const std::uint8_t without_p = std::uint8_t((s & by_d(1)) | (~s & by_d(0)));
        return std::uint8_t((p & with_p) | (~p & without_p));
    }
};

// A raster operation without a pattern, as the and/xor pair that each
// source bit chooses for the destination bit: result = (d & and) ^ xor.
// Applied to 64 bits at a time, as the operation is bitwise.
struct SourceRop {
    std::uint64_t and_if_set, xor_if_set, and_if_clear, xor_if_clear;

    explicit SourceRop(const Rop3 &op) {
        auto all = [](std::uint8_t byte) { return std::uint64_t(byte) * 0x0101010101010101u; };
        // The pattern bit is 0; by source bit 1 and 0.
        and_if_set = all(std::uint8_t(op.when_set[1] ^ op.when_clear[1]));
        xor_if_set = all(op.when_clear[1]);
        and_if_clear = all(std::uint8_t(op.when_set[0] ^ op.when_clear[0]));
        xor_if_clear = all(op.when_clear[0]);
    }
    // The result depends on the source alone (a copy, inverted or not).
    bool ignores_destination() const { return and_if_set == 0 && and_if_clear == 0; }

    std::uint64_t apply(std::uint64_t s, std::uint64_t d) const {
        const std::uint64_t a = (s & and_if_set) | (~s & and_if_clear);
        const std::uint64_t x = (s & xor_if_set) | (~s & xor_if_clear);
        return (d & a) ^ x;
    }
    // d[i] = the result for s[i] over d[i], i < n.
    void apply(const std::uint8_t *s, std::uint8_t *d, std::size_t n) const {
        std::size_t i = 0;
        for (; i + 8 <= n; i += 8) {
            std::uint64_t sw, dw;
            std::memcpy(&sw, s + i, 8);
            std::memcpy(&dw, d + i, 8);
            dw = apply(sw, dw);
            std::memcpy(d + i, &dw, 8);
        }
        for (; i < n; ++i) d[i] = std::uint8_t(apply(s[i], d[i]));
    }
};

// The destination pixels a blit changes, and where its source lies: source
// pixel = destination pixel + offset.
struct BlitArea {
    Box area;
    long long offset_x = 0, offset_y = 0;
};

// A rectangle given back to front covers the same pixels on both sides. Only
// the destination's clip region limits the result; the source is limited by
// its surface alone.
BlitArea clip_blit(const DeviceContext &dst, const DeviceContext *src, int x, int y, int width,
                   int height, int sx, int sy) {
    long long w = width, h = height;
    long long dx = (long long)x + dst.origin.x, dy = (long long)y + dst.origin.y;
    BlitArea blit;
    if (src)
        blit.offset_x = (long long)sx + src->origin.x - dx,
        blit.offset_y = (long long)sy + src->origin.y - dy;
    if (w < 0) dx += w, w = -w;
    if (h < 0) dy += h, h = -h;
    auto clamp = [](long long v) { return int(std::clamp<long long>(v, -(1LL << 30), 1LL << 30)); };
    blit.area = dst.drawable().intersect({clamp(dx), clamp(dy), clamp(dx + w), clamp(dy + h)});
    if (src) {
        const Surface &s = src->bitmap.object->surface;
        blit.area =
            blit.area.intersect({clamp(-blit.offset_x), clamp(-blit.offset_y),
                                 clamp(s.width - blit.offset_x), clamp(s.height - blit.offset_y)});
    }
    return blit;
}

// 8-bit pixels copied as they are, whole rows at a time.
void copy_bytes(Surface &d, const Surface &s, const BlitArea &blit) {
    const Box &a = blit.area;
    d.touch(a);
    if (blit.offset_x == 0 && a.left == 0 && a.right == d.width && d.stride == d.width &&
        s.stride == d.stride && !s.bottom_up && !d.bottom_up) {
        // Whole rows of contiguous memory on both sides: one copy.
        std::memmove(d.row(a.top), s.row(int(a.top + blit.offset_y)),
                     std::size_t(d.stride) * std::size_t(a.bottom - a.top));
        return;
    }
    // Moving pixels down within one surface, the lowest row goes first.
    const bool bottom_first = &s == &d && blit.offset_y < 0;
    for (int i = 0; i < a.bottom - a.top; ++i) {
        const int row = bottom_first ? a.bottom - 1 - i : a.top + i;
        std::memmove(d.row(row) + a.left,
                     s.row(int(row + blit.offset_y)) + (a.left + blit.offset_x),
                     std::size_t(a.right - a.left));
    }
}

// A copy that replaces every pixel of a window with a bitmap's (a page flip)
// makes the window show the bitmap's pixels in place of its own instead:
// nothing is copied until either is drawn on (Surface::borrow).
bool shows_in_place(DeviceContext &dst, DeviceContext &src, const BlitArea &blit) {
    Surface &d = dst.bitmap.object->surface;
    if (dst.type != DeviceContext::Type::window || blit.area != d.bounds()) return false;
    Surface &s = src.surface();
    if (&s == &d || s.bits_per_pixel != 8 || s.device_independent || s.bottom_up) return false;
    d.borrow(s, int(blit.offset_x), int(blit.offset_y));
    return true;
}

// A copy onto a bitmap of the pixels a window shows of it, back where they
// came from (a flip saving the shown page's drawing when there was none),
// changes nothing: it neither copies nor counts as drawing.
bool copies_back(const DeviceContext &dst, const DeviceContext &src, const BlitArea &blit) {
    return src.bitmap.object->surface.borrows(dst.bitmap.object->surface, -blit.offset_x,
                                              -blit.offset_y);
}

// Without a pattern, row by row: each source row converted into a buffer
// before the destination row is written, rows taken in the order that keeps
// a blit within one surface from reading what it wrote. 8-bit destinations
// are combined in place.
void combine_source(Surface &d, const Surface &s, const Conversion &conversion,
                    const BlitArea &blit, const SourceRop &op) {
    const Box &a = blit.area;
    const std::size_t width = std::size_t(a.right - a.left);
    std::vector<std::uint8_t> source(width), pixels(width);
    const bool in_place = d.bits_per_pixel == 8;
    if (in_place) d.touch(a);
    const bool bottom_first = &s == &d && blit.offset_y < 0;
    for (int i = 0; i < a.bottom - a.top; ++i) {
        const int row = bottom_first ? a.bottom - 1 - i : a.top + i;
        read_converted(s, int(row + blit.offset_y), int(a.left + blit.offset_x),
                       int(a.right + blit.offset_x), conversion, source.data());
        if (in_place) {
            op.apply(source.data(), d.row(row) + a.left, width);
            continue;
        }
        if (!op.ignores_destination()) d.read(row, a.left, a.right, pixels.data());
        op.apply(source.data(), pixels.data(), width);
        d.write(row, a.left, a.right, pixels.data());
    }
}

// Everything else, row by row: source values first (so a blit within one
// surface reads its source before writing), then the combination.
void combine(DeviceContext &dst, DeviceContext *src, const Conversion &conversion,
             const BlitArea &blit, DWORD rop) {
    Surface &d = dst.surface();
    const Box &a = blit.area;
    const std::size_t width = std::size_t(a.right - a.left);
    std::vector<std::uint8_t> source(src ? width * std::size_t(a.bottom - a.top) : 0);
    if (src)
        for (int row = a.top; row < a.bottom; ++row)
            read_converted(src->surface(), int(row + blit.offset_y), int(a.left + blit.offset_x),
                           int(a.right + blit.offset_x), conversion,
                           source.data() + std::size_t(row - a.top) * width);
    std::vector<std::uint8_t> pattern(width, 0), pixels(width);
    const bool with_pattern = uses_pattern(rop);
    const BrushPattern brush(dst, *dst.brush.object);
    const Rop3 op(rop);
    const std::uint8_t mask = d.mask();
    for (int row = a.top; row < a.bottom; ++row) {
        if (with_pattern) brush.row(row, a.left, a.right, pattern.data());
        const std::uint8_t *s = src ? source.data() + std::size_t(row - a.top) * width : nullptr;
        d.read(row, a.left, a.right, pixels.data());
        for (std::size_t i = 0; i < width; ++i)
            pixels[i] = std::uint8_t(op.apply(pattern[i], s ? s[i] : 0, pixels[i]) & mask);
        d.write(row, a.left, a.right, pixels.data());
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

    // The null brush has no pattern: an operation that takes one leaves the
    // destination as it is, as the reference does.
    if (uses_pattern(rop) && dst->brush.object->style == BS_NULL) return TRUE;
    const BlitArea blit = clip_blit(*dst, src.get(), x, y, width, height, sx, sy);
    if (blit.area.empty()) return TRUE;
    const Conversion conversion = src ? conversion_between(*src, *dst) : Conversion{};
    const bool plain_copy = src && conversion.identity && ((rop >> 16) & 0xFF) == 0xCC &&
                            dst->bitmap.object->surface.bits_per_pixel == 8;
    if (plain_copy && (copies_back(*dst, *src, blit) || shows_in_place(*dst, *src, blit)))
        return TRUE;
    Surface &d = dst->surface();
    if (plain_copy)
        copy_bytes(d, src->surface(), blit);
    else if (src && !uses_pattern(rop))
        combine_source(d, src->surface(), conversion, blit, SourceRop(Rop3(rop)));
    else
        combine(*dst, src.get(), conversion, blit, rop);
    return TRUE;
}

} // namespace win32
