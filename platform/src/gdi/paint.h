// Painting spans: with one value under a mix mode (pens, solid brushes), or
// with a brush's pattern. Boxes, lines, polygons, flood fills and blits all
// paint through here.
#pragma once

#include "brush.h"
#include "surface.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace win32::gdi {

struct DeviceContext;

// A brush as pixel values of one DC's surface: monochrome patterns take the
// DC's text colour (0 bits) and background colour (1 bits) as they are now.
// Patterns are anchored at device (0, 0); a solid brush is a pattern of one
// pixel, the empty brush one of value 0.
class BrushPattern {
public:
    BrushPattern(const DeviceContext &dc, const Brush &brush);
    // The brush's values for pixels x0..x1-1 of device row y (x0, y >= 0).
    void row(int y, int x0, int x1, std::uint8_t *out) const;
    bool solid() const { return values.empty(); }
    std::uint8_t value() const { return single; }

private:
    int width = 1, height = 1;
    std::uint8_t single = 0;          // a solid brush's value
    std::vector<std::uint8_t> values; // a pattern's, row by row
};

// Paints spans of a surface, each pixel once per call.
class SpanPaint {
public:
    // One value (a pen's colour) under the mix mode.
    SpanPaint(Surface &surface, std::uint8_t value, int rop2);
    // A brush of the DC under the mix mode; the empty brush paints nothing.
    SpanPaint(DeviceContext &dc, const Brush &brush, int rop2);

    bool paints() const { return !nothing; }
    // Pixels x0..x1-1 of row y, within the surface.
    void span(int y, int x0, int x1);
    void box(const Box &box);
    // Many spans of a shape, all within `bounds`, which changes as a whole:
    // `each` is called with a painter of one span (y, x0, x1).
    template <class Each> void spans_within(const Box &bounds, Each each) {
        if (nothing || bounds.empty()) return;
        if (!uniform || mix.keeps()) {
            each([this](int y, int x0, int x1) { span(y, x0, x1); });
            return;
        }
        surface.touch(bounds);
        each([this](int y, int x0, int x1) { surface.fill_touched(y, x0, x1, mix); });
    }

private:
    Surface &surface;
    int rop2;
    bool nothing = false;
    bool uniform = true; // one mix for every pixel
    Mix mix;
    std::optional<BrushPattern> pattern; // the brush, unless uniform
    std::vector<std::uint8_t> values, pixels;
};

} // namespace win32::gdi
