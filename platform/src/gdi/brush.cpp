#include "brush.h"

#include "device_context.h"
#include "mix.h"
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

// The brush's values for pixels x0..x1-1 of device row y, as pixel values of
// the DC's surface. Patterns are anchored at device (0, 0).
void brush_row(const Brush &brush, const std::uint32_t pattern_values[2], int y, int x0, int x1,
               std::uint32_t *out) {
    const int pw = brush.pattern_width, ph = brush.pattern_height;
    const std::uint8_t *prow = brush.pattern.data() + std::size_t(y % ph) * pw;
    int px = x0 % pw;
    for (int x = x0; x < x1; ++x) {
        const std::uint8_t v = prow[px];
        out[x - x0] = brush.monochrome ? pattern_values[v & 1] : v;
        if (++px == pw) px = 0;
    }
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

void paint_box(DeviceContext &dc, const Brush &brush, const Box &box, int rop2) {
    if (brush.style == BS_NULL || box.empty()) return;
    Surface &s = dc.surface();
    const std::uint32_t mask = s.mask();
    s.changed = true;
    const int width = box.right - box.left;

    if (brush.style == BS_SOLID) {
        const std::uint32_t value = dc.pixel(brush.color);
        if (rop2 == R2_COPYPEN) {
            if (s.bits_per_pixel == 8 && box.left == 0 && box.right == s.width &&
                s.stride == s.width && !s.bottom_up) {
                // Whole rows of contiguous memory: one fill for all of them.
                std::memset(s.row(box.top), int(value),
                            std::size_t(width) * (box.bottom - box.top));
                return;
            }
            for (int y = box.top; y < box.bottom; ++y) s.fill_span(y, box.left, box.right, value);
            return;
        }
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x)
                s.set(x, y, mix(rop2, value, s.get(x, y), mask));
        return;
    }

    // Pattern brush: monochrome patterns take the DC's colours now.
    const std::uint32_t pattern_values[2] = {dc.pixel(dc.text_color), dc.pixel(dc.bk_color)};
    if (brush.pattern_width <= 0 || brush.pattern_height <= 0) return;
    std::vector<std::uint32_t> values(static_cast<std::size_t>(width));
    const int ph = brush.pattern_height;
    if (s.bits_per_pixel == 8 && rop2 == R2_COPYPEN) {
        // One row of bytes per pattern row, copied onto every row it covers.
        std::vector<std::uint8_t> rows(std::size_t(width) *
                                       std::size_t(std::min(ph, box.bottom - box.top)));
        const int cached = int(rows.size() / std::size_t(width));
        for (int i = 0; i < cached; ++i) {
            brush_row(brush, pattern_values, box.top + i, box.left, box.right, values.data());
            for (int x = 0; x < width; ++x)
                rows[std::size_t(i) * width + x] = std::uint8_t(values[x]);
        }
        for (int y = box.top; y < box.bottom; ++y)
            std::memcpy(s.row(y) + box.left,
                        rows.data() + std::size_t((y - box.top) % cached) * width,
                        std::size_t(width));
        return;
    }
    for (int y = box.top; y < box.bottom; ++y) {
        brush_row(brush, pattern_values, y, box.left, box.right, values.data());
        for (int x = box.left; x < box.right; ++x)
            s.set(x, y, mix(rop2, values[x - box.left], s.get(x, y), mask));
    }
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
    paint_box(*dc, *brush, box.intersect(dc->drawable()));
    return 1;
}

} // namespace win32
