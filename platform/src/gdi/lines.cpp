// Lines: cosmetic pens pixel by pixel with their dash styles, geometric
// (wide) pens as filled outlines; LineTo and Polyline.
#include "mix.h"
#include "raster.h"
#include "trace.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace win32::gdi {

namespace {

// The dash pattern of a pen, in pixels: on, off, on, off, ...; empty = solid.
std::vector<long long> dash_pattern(const Pen &pen) {
    switch (pen.dash_style()) {
    case PS_DASH:
        return {18, 6};
    case PS_DOT:
        return {3, 3};
    case PS_DASHDOT:
        return {9, 6, 3, 6};
    case PS_DASHDOTDOT:
        return {9, 3, 3, 3, 3, 3};
    case PS_ALTERNATE:
        return {1, 1};
    case PS_USERSTYLE: {
        std::vector<long long> d(pen.dashes.begin(), pen.dashes.end());
        if (d.size() % 2) d.insert(d.end(), pen.dashes.begin(), pen.dashes.end());
        return d;
    }
    default:
        return {};
    }
}

struct CosmeticPainter {
    Surface &surface;
    Box clip;
    std::uint32_t pen_value, background_value;
    int rop2;
    bool opaque;
    std::vector<long long> dashes;
    long long period = 0;

    bool on(long long position) const {
        if (dashes.empty()) return true;
        long long p = position % period;
        for (std::size_t i = 0; i < dashes.size(); ++i) {
            if (p < dashes[i]) return i % 2 == 0;
            p -= dashes[i];
        }
        return true;
    }

    void plot(int x, int y, bool drawn) {
        std::uint32_t value;
        if (drawn)
            value = pen_value;
        else if (opaque)
            value = background_value; // gaps show the background colour
        else
            return;
        surface.set(x, y, mix(rop2, value, surface.get(x, y), surface.mask()));
    }

    // The pixels from a up to, not including, b. The minor coordinate of
    // each step is the exact one rounded to nearest, halves rounded down.
    void segment(DevicePoint a, DevicePoint b, long long style_start) {
        const long long dx = b.x - a.x, dy = b.y - a.y;
        if (dx == 0 && dy == 0) return;
        const bool x_major = std::llabs(dx) >= std::llabs(dy);
        const long long n = x_major ? std::llabs(dx) : std::llabs(dy);
        const long long d_major = x_major ? dx : dy, d_minor = x_major ? dy : dx;
        const long long major0 = x_major ? a.x : a.y, minor0 = x_major ? a.y : a.x;
        const int step = d_major > 0 ? 1 : -1;
        auto minor_at = [&](long long i) {
            return minor0 + ceil_div(wide(2) * d_minor * i - n, wide(2) * n);
        };
        const long long major_lo = x_major ? clip.left : clip.top;
        const long long major_hi = x_major ? clip.right : clip.bottom;
        const long long minor_lo = x_major ? clip.top : clip.left;
        const long long minor_hi = x_major ? clip.bottom : clip.right;
        // Steps whose major coordinate lies within the clip.
        long long first = 0, last = n; // [first, last)
        if (step > 0)
            first = std::max(first, major_lo - major0), last = std::min(last, major_hi - major0);
        else
            first = std::max(first, major0 - major_hi + 1),
            last = std::min(last, major0 - major_lo + 1);
        if (first >= last) return;
        // The minor coordinate moves one way only: narrow the steps to those
        // within the clip by bisection.
        const bool rising = d_minor >= 0;
        auto below = [&](long long i) { return minor_at(i) < minor_lo; };
        auto above = [&](long long i) { return minor_at(i) >= minor_hi; };
        auto first_not = [&](long long lo, long long hi, auto pred) {
            while (lo < hi) {
                const long long mid = lo + (hi - lo) / 2;
                if (pred(mid))
                    lo = mid + 1;
                else
                    hi = mid;
            }
            return lo;
        };
        if (rising) {
            first = first_not(first, last, below);
            last = first_not(first, last, [&](long long i) { return !above(i); });
        } else {
            first = first_not(first, last, above);
            last = first_not(first, last, [&](long long i) { return !below(i); });
        }
        for (long long i = first; i < last; ++i) {
            const long long major = major0 + step * i, minor = minor_at(i);
            const bool drawn = on(style_start + i);
            if (x_major)
                plot(int(major), int(minor), drawn);
            else
                plot(int(minor), int(major), drawn);
        }
    }
};

// A wide segment: its body, a rectangle along it w pixels across, and
// round ends (which also make the joins round).
void add_wide_segment(PixelMask &mask, DevicePoint a, DevicePoint b, int width, bool round_start,
                      bool round_end) {
    auto cap = [&](DevicePoint p) {
        const long long l = p.x - width / 2, t = p.y - width / 2;
        fill_ellipse(mask, l, t, l + width, t + width);
    };
    if (round_start) cap(a);
    if (round_end) cap(b);
    const double dx = double(b.x - a.x), dy = double(b.y - a.y);
    const double length = std::hypot(dx, dy);
    if (length == 0) return;
    const double nx = -dy / length * width / 2, ny = dx / length * width / 2;
    auto round = [](double v) { return (long long)std::floor(v + 0.5); };
    const std::vector<DevicePoint> body = {{round(a.x + nx), round(a.y + ny)},
                                           {round(b.x + nx), round(b.y + ny)},
                                           {round(b.x - nx), round(b.y - ny)},
                                           {round(a.x - nx), round(a.y - ny)}};
    fill_polygon(mask, body, false);
}

void stroke_wide(DeviceContext &dc, const Pen &pen, const std::vector<DevicePoint> &points) {
    PixelMask mask(reach(dc, points, pen.width));
    if (mask.box().empty()) return;
    const bool round_caps = (pen.style & PS_ENDCAP_MASK) == PS_ENDCAP_ROUND;
    const std::vector<long long> dashes = dash_pattern(pen);
    if (dashes.empty()) {
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            const bool first = i == 0, last = i + 2 == points.size();
            // Joins are round; ends follow the pen's end cap.
            add_wide_segment(mask, points[i], points[i + 1], pen.width, !first || round_caps,
                             !last || round_caps);
        }
    } else {
        // Dashes are pieces of the path, each drawn like a short line.
        long long period = 0;
        for (long long d : dashes) period += d;
        double position = 0;
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            const DevicePoint a = points[i], b = points[i + 1];
            const double length = std::hypot(double(b.x - a.x), double(b.y - a.y));
            double t = 0;
            while (t < length && period > 0) {
                double p = std::fmod(position + t, double(period));
                std::size_t k = 0;
                while (p >= double(dashes[k])) p -= double(dashes[k]), k = (k + 1) % dashes.size();
                const double run = std::min(double(dashes[k]) - p, length - t);
                if (k % 2 == 0) {
                    auto at = [&](double s) {
                        return DevicePoint{(long long)std::llround(a.x + (b.x - a.x) * s / length),
                                           (long long)std::llround(a.y + (b.y - a.y) * s / length)};
                    };
                    add_wide_segment(mask, at(t), at(t + run), pen.width, round_caps, round_caps);
                }
                t += run;
            }
            position += length;
        }
    }
    paint_mask(dc, mask, dc.pixel(pen.color));
}

} // namespace

void stroke_polyline(DeviceContext &dc, const std::vector<DevicePoint> &points) {
    const Pen &pen = *dc.pen.object;
    if (pen.dash_style() == PS_NULL || points.size() < 2) return;
    if (pen.geometric() && pen.width > 1) {
        stroke_wide(dc, pen, points);
        return;
    }
    const Box clip = dc.drawable();
    if (clip.empty()) return;
    CosmeticPainter painter{dc.surface(),          clip,    dc.pixel(pen.color),
                            dc.pixel(dc.bk_color), dc.rop2, dc.bk_mode == OPAQUE,
                            dash_pattern(pen)};
    for (long long d : painter.dashes) painter.period += d;
    if (painter.period <= 0) painter.dashes.clear();
    long long position = 0;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        painter.segment(points[i], points[i + 1], position);
        const DevicePoint &a = points[i], &b = points[i + 1];
        position += std::max(std::llabs(b.x - a.x), std::llabs(b.y - a.y));
    }
    dc.surface().changed = true;
}

} // namespace win32::gdi

namespace win32 {

using namespace gdi;

namespace {

std::vector<std::int64_t> point_args(const POINT *points, int count) {
    std::vector<std::int64_t> args{count};
    for (int i = 0; points && i < count; ++i)
        args.push_back(points[i].x), args.push_back(points[i].y);
    return args;
}

} // namespace

BOOL LineTo(HDC dc_handle, int x, int y) {
    trace::record("LineTo", dc_handle, {x, y});
    auto dc = find_dc(dc_handle);
    if (!dc) return FALSE;
    const POINT end{x, y};
    stroke_polyline(*dc, {to_device(*dc, dc->position), to_device(*dc, end)});
    dc->position = end;
    return TRUE;
}

BOOL Polyline(HDC dc_handle, const POINT *points, int count) {
    if (trace::enabled) trace::record_list("Polyline", dc_handle, point_args(points, count));
    auto dc = find_dc(dc_handle);
    if (!dc || !points || count < 2) return FALSE;
    std::vector<DevicePoint> device;
    device.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) device.push_back(to_device(*dc, points[i]));
    stroke_polyline(*dc, device);
    return TRUE;
}

} // namespace win32
