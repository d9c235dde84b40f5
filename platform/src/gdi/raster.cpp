#include "raster.h"

#include "mix.h"

#include <algorithm>
#include <cmath>

namespace win32::gdi {

DevicePoint to_device(const DeviceContext &dc, const POINT &p) {
    return {(long long)p.x + dc.origin.x, (long long)p.y + dc.origin.y};
}

Box reach(const DeviceContext &dc, const std::vector<DevicePoint> &points, long long margin) {
    if (points.empty()) return {};
    long long l = points[0].x, t = points[0].y, r = l, b = t;
    for (const DevicePoint &p : points) {
        l = std::min(l, p.x), r = std::max(r, p.x);
        t = std::min(t, p.y), b = std::max(b, p.y);
    }
    const Box area = dc.drawable();
    auto clamp = [](long long v, int lo, int hi) { return int(std::clamp<long long>(v, lo, hi)); };
    Box box{clamp(l - margin, area.left, area.right), clamp(t - margin, area.top, area.bottom),
            clamp(r + margin + 1, area.left, area.right),
            clamp(b + margin + 1, area.top, area.bottom)};
    return box.empty() ? Box{} : box;
}

PixelMask::PixelMask(const Box &box) : box_(box.empty() ? Box{} : box) {
    width_ = std::size_t(box_.right - box_.left);
    bits_.assign(width_ * std::size_t(box_.bottom - box_.top), 0);
}

void PixelMask::add_span(long long y, long long x0, long long x1) {
    if (y < box_.top || y >= box_.bottom) return;
    x0 = std::max<long long>(x0, box_.left);
    x1 = std::min<long long>(x1, box_.right);
    if (x0 >= x1) return;
    std::uint8_t *row = bits_.data() + std::size_t(y - box_.top) * width_;
    std::fill(row + (x0 - box_.left), row + (x1 - box_.left), std::uint8_t(1));
}

void fill_polygon(PixelMask &mask, const std::vector<DevicePoint> &points, bool winding) {
    const std::size_t n = points.size();
    if (n < 3 || mask.box().empty()) return;
    long long min_y = points[0].y, max_y = points[0].y;
    for (const DevicePoint &p : points) min_y = std::min(min_y, p.y), max_y = std::max(max_y, p.y);
    const long long top = std::max<long long>(min_y, mask.box().top);
    const long long bottom = std::min<long long>(max_y, mask.box().bottom);
    struct Crossing {
        long long x; // first pixel column at or right of the edge
        int direction;
    };
    std::vector<Crossing> crossings;
    for (long long y = top; y < bottom; ++y) {
        crossings.clear();
        for (std::size_t i = 0; i < n; ++i) {
            const DevicePoint &a = points[i], &b = points[(i + 1) % n];
            if (a.y == b.y) continue;
            const bool down = a.y < b.y;
            const DevicePoint &lo = down ? a : b, &hi = down ? b : a;
            if (y < lo.y || y >= hi.y) continue;
            const wide num = wide(lo.x) * (hi.y - lo.y) + wide(y - lo.y) * (hi.x - lo.x);
            crossings.push_back({ceil_div(num, hi.y - lo.y), down ? 1 : -1});
        }
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing &p, const Crossing &q) { return p.x < q.x; });
        int count = 0;
        for (std::size_t k = 0; k + 1 < crossings.size(); ++k) {
            count += winding ? crossings[k].direction : 1;
            const bool inside = winding ? count != 0 : (count & 1) != 0;
            if (inside) mask.add_span(y, crossings[k].x, crossings[k + 1].x);
        }
    }
}

void fill_pen_cap(PixelMask &mask, DevicePoint p, int width) {
    const long long left = p.x - width / 2, top = p.y - width / 2;
    if (width <= 2) {
        for (long long y = top; y < top + width; ++y) mask.add_span(y, left, left + width);
        return;
    }
    // In doubled units, so that the half-pixel steps stay integers: pixel
    // (i, j) of the box is in the disc of radius r = (w - 1) / 2 about its
    // centre when (max(|i - r| - 1/2, 0))^2 + (j - r)^2 < r^2, or the same
    // with i and j exchanged; i2 = 2|i - r| and j2 = 2|j - r| below.
    const wide r2 = width - 1;
    auto inside = [&](wide i2, wide j2) {
        const wide a = i2 > 0 ? i2 - 1 : 0;
        return a * a + j2 * j2 < r2 * r2;
    };
    // Only the rows the mask has: a row's pixels are those with i2 up to the
    // largest that is still inside, found by bisection (i2 has the parity of
    // r2, and being inside only gets harder as i2 grows).
    const long long first_row = std::max<long long>(top, mask.box().top);
    const long long last_row = std::min<long long>(top + width, mask.box().bottom);
    for (long long y = first_row; y < last_row; ++y) {
        const wide j2 = 2 * (y - top) - r2 < 0 ? r2 - 2 * (y - top) : 2 * (y - top) - r2;
        auto holds = [&](wide i2) { return inside(i2, j2) || inside(j2, i2); };
        const wide parity = r2 % 2;
        if (!holds(parity)) continue;
        wide lo = 0, hi = (r2 - parity) / 2; // i2 = parity + 2k
        while (lo < hi) {
            const wide mid = (lo + hi + 1) / 2;
            if (holds(parity + 2 * mid))
                lo = mid;
            else
                hi = mid - 1;
        }
        const wide reach2 = parity + 2 * lo;
        mask.add_span(y, left + (long long)((r2 - reach2) / 2),
                      left + (long long)((r2 + reach2) / 2) + 1);
    }
}

void paint_mask(DeviceContext &dc, const PixelMask &mask, std::uint32_t value) {
    Surface &s = dc.surface();
    const std::uint32_t m = s.mask();
    const int rop2 = dc.rop2;
    bool any = false;
    mask.for_each_span([&](int y, int x0, int x1) {
        any = true;
        if (rop2 == R2_COPYPEN) {
            s.fill_span(y, x0, x1, value);
            return;
        }
        for (int x = x0; x < x1; ++x) s.set(x, y, mix(rop2, value, s.get(x, y), m));
    });
    if (any) s.changed = true;
}

} // namespace win32::gdi
