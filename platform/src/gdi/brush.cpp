#include "brush.h"

#include "device_context.h"
#include "paint.h"
#include "trace.h"

#include <algorithm>
#include <new>
#include <vector>

namespace win32::gdi {

namespace {

std::shared_ptr<Brush> make_solid(COLORREF color) {
    auto brush = std::shared_ptr<Brush>(new (std::nothrow) Brush);
    if (brush) brush->color = color;
    return brush;
}

} // namespace

std::shared_ptr<Brush> stock_brush(int index) {
    static std::shared_ptr<Brush> brushes[6];
    if (index < 0 || index > NULL_BRUSH) return nullptr;
    if (!brushes[index]) {
        static constexpr COLORREF colors[5] = {RGB(255, 255, 255), RGB(192, 192, 192),
                                               RGB(128, 128, 128), RGB(64, 64, 64), RGB(0, 0, 0)};
        auto brush = std::make_shared<Brush>();
        brush->stock = true;
        if (index == NULL_BRUSH)
            brush->style = BS_NULL;
        else
            brush->color = colors[index];
        brushes[index] = brush;
    }
    return brushes[index];
}

} // namespace win32::gdi

namespace win32 {

using namespace gdi;

HBRUSH CreateSolidBrush(COLORREF color) {
    trace::record("CreateSolidBrush", nullptr, {color});
    auto brush = make_solid(color);
    return brush ? static_cast<HBRUSH>(add_object(brush)) : nullptr;
}

HBRUSH CreatePatternBrush(HBITMAP bitmap_handle) {
    trace::record("CreatePatternBrush", nullptr, {trace::value(bitmap_handle)});
    auto bitmap = find<Bitmap>(bitmap_handle);
    if (!bitmap || bitmap->surface.width == 0) return nullptr;
    auto brush = std::shared_ptr<Brush>(new (std::nothrow) Brush);
    if (!brush) return nullptr;
    // The brush keeps a copy: the bitmap may be deleted afterwards.
    const Surface &s = bitmap->surface;
    brush->style = BS_PATTERN;
    brush->pattern_width = s.width;
    brush->pattern_height = s.height;
    brush->monochrome = s.bits_per_pixel == 1;
    brush->pattern.resize(std::size_t(s.width) * s.height);
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            std::uint32_t v = s.get(x, y);
            if (!brush->monochrome && s.device_independent)
                v = nearest_system_index(rgb_of_pixel(s, v));
            brush->pattern[std::size_t(y) * s.width + x] = std::uint8_t(v);
        }
    brush->uniform = std::all_of(brush->pattern.begin(), brush->pattern.end(),
                                 [&](std::uint8_t v) { return v == brush->pattern[0]; });
    return static_cast<HBRUSH>(add_object(brush));
}

int FillRect(HDC dc_handle, const RECT *rect, HBRUSH brush_handle) {
    if (rect)
        trace::record(
            "FillRect", dc_handle,
            {rect->left, rect->top, rect->right, rect->bottom, trace::value(brush_handle)});
    auto dc = find_dc(dc_handle);
    auto brush = find<Brush>(brush_handle);
    if (!dc || !brush || !rect) return 0;
    // Left column and top row included, right column and bottom row excluded.
    // Given back to front, an axis covers right + 1 .. left instead.
    auto span = [](long long a, long long b, long long origin, int &lo, int &hi) {
        long long from = a + origin, to = b + origin;
        if (from > to) std::swap(from, to), ++from, ++to;
        lo = int(std::clamp<long long>(from, INT32_MIN / 2, INT32_MAX / 2));
        hi = int(std::clamp<long long>(to, INT32_MIN / 2, INT32_MAX / 2));
    };
    Box box;
    span(rect->left, rect->right, dc->origin.x, box.left, box.right);
    span(rect->top, rect->bottom, dc->origin.y, box.top, box.bottom);
    SpanPaint(*dc, *brush, R2_COPYPEN).box(box.intersect(dc->drawable()));
    return 1;
}

} // namespace win32
