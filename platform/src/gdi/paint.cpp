#include "paint.h"

#include "device_context.h"
#include "mix.h"

#include <algorithm>
#include <cstring>

namespace win32::gdi {

BrushPattern::BrushPattern(const DeviceContext &dc, const Brush &brush) {
    if (brush.style == BS_PATTERN && brush.pattern_width > 0 && brush.pattern_height > 0) {
        width = brush.pattern_width;
        height = brush.pattern_height;
        auto resolve = [&](std::uint8_t v) {
            if (!brush.monochrome) return v;
            return std::uint8_t(dc.pixel((v & 1) ? dc.bk_color : dc.text_color));
        };
        if (brush.uniform) {
            single = resolve(brush.pattern[0]);
            return;
        }
        values = brush.pattern;
        if (brush.monochrome) {
            const std::uint8_t colors[2] = {resolve(0), resolve(1)};
            for (std::uint8_t &v : values) v = colors[v & 1];
        }
        return;
    }
    single = brush.style == BS_SOLID ? std::uint8_t(dc.pixel(brush.color)) : 0;
}

void BrushPattern::row(int y, int x0, int x1, std::uint8_t *out) const {
    const std::size_t n = std::size_t(x1 - x0);
    if (n == 0) return;
    if (solid()) {
        std::memset(out, single, n);
        return;
    }
    const std::uint8_t *pattern_row = values.data() + std::size_t(y % height) * width;
    // The pattern from x0's phase up to its end, then whole copies of what is
    // already there, doubling each time.
    const int phase = x0 % width;
    std::size_t done = std::min(n, std::size_t(width - phase));
    std::memcpy(out, pattern_row + phase, done);
    if (done < n) {
        const std::size_t rest = std::min(n - done, std::size_t(phase));
        std::memcpy(out + done, pattern_row, rest);
        done += rest;
    }
    while (done < n) {
        const std::size_t more = std::min(done, n - done);
        std::memcpy(out + done, out, more);
        done += more;
    }
}

SpanPaint::SpanPaint(Surface &s, std::uint8_t value, int mode)
    : surface(s), rop2(mode), mix(mix_of(mode, value)) {}

SpanPaint::SpanPaint(DeviceContext &dc, const Brush &brush, int mode)
    : surface(dc.surface()), rop2(mode) {
    if (brush.style == BS_NULL) {
        nothing = true;
        return;
    }
    BrushPattern p(dc, brush);
    if (p.solid()) {
        mix = mix_of(mode, p.value());
        return;
    }
    uniform = false;
    pattern.emplace(std::move(p));
}

void SpanPaint::span(int y, int x0, int x1) {
    if (nothing || x0 >= x1) return;
    if (uniform) {
        surface.fill(y, x0, x1, mix);
        return;
    }
    const std::size_t n = std::size_t(x1 - x0);
    if (values.size() < n) values.resize(n);
    pattern->row(y, x0, x1, values.data());
    if (rop2 != R2_COPYPEN) {
        if (pixels.size() < n) pixels.resize(n);
        surface.read(y, x0, x1, pixels.data());
        for (std::size_t i = 0; i < n; ++i) values[i] = mix_of(rop2, values[i]).apply(pixels[i]);
    }
    surface.write(y, x0, x1, values.data());
}

void SpanPaint::box(const Box &b) {
    if (nothing || b.empty()) return;
    if (uniform) {
        surface.fill_box(b, mix);
        return;
    }
    for (int y = b.top; y < b.bottom; ++y) span(y, b.left, b.right);
}

} // namespace win32::gdi
