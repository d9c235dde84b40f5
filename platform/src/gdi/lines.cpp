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

// A pen's dashes, in pixels along the path: on, off, on, off, ...; empty for
// a solid pen. Gaps of the predefined styles take the background colour in
// the opaque background mode; those of alternate and user styles never do.
struct DashStyle {
    std::vector<long long> lengths;
    bool paints_gaps = false;
};

DashStyle dash_style(const Pen &pen) {
    switch (pen.dash_style()) {
    case PS_DASH:
        return {{18, 6}, true};
    case PS_DOT:
        return {{3, 3}, true};
    case PS_DASHDOT:
        return {{9, 6, 3, 6}, true};
    case PS_DASHDOTDOT:
        return {{9, 3, 3, 3, 3, 3}, true};
    case PS_ALTERNATE:
        return {{1, 1}, false};
    case PS_USERSTYLE: {
        // A cosmetic pen counts its entries in units of three pixels, as its
        // predefined styles are made; a geometric one in pixels.
        const long long unit = pen.geometric() ? 1 : 3;
        DashStyle style;
        for (DWORD d : pen.dashes) style.lengths.push_back(unit * d);
        if (style.lengths.size() % 2)
            style.lengths.insert(style.lengths.end(), style.lengths.begin(), style.lengths.end());
        return style;
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
    bool paints_gaps;
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
        else if (paints_gaps)
            value = background_value;
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

// The offsets from a segment's ends to the corners of its body, a strip w
// pixels across: the unit normal is taken in single precision, and the two
// sides are rounded differently (to nearest on the left, away from the line
// on the right), so that a strip covers w pixels across.
struct BodyOffsets {
    DevicePoint left, right;
};

BodyOffsets body_offsets(long long dx, long long dy, int width) {
    // One orientation for both directions of travel: downwards, or leftwards
    // when level.
    if (dy < 0 || (dy == 0 && dx > 0)) dx = -dx, dy = -dy;
    const double length = std::hypot(double(dx), double(dy));
    const double ux = double(float(-double(dy) / length)), uy = double(float(double(dx) / length));
    const double ex = ux * width / 2, ey = uy * width / 2;
    auto away = [](double v) { return (long long)(v > 0 ? std::ceil(v) : std::floor(v)); };
    return {{(long long)std::floor(ex + 0.5), (long long)std::floor(ey + 0.5)},
            {away(-ex), away(-ey)}};
}

// A wide piece from a to b: both ends round, the body along `offsets`.
void add_wide_piece(PixelMask &mask, DevicePoint a, DevicePoint b, const BodyOffsets &offsets,
                    int width, bool round_ends) {
    if (round_ends) {
        fill_pen_cap(mask, a, width);
        fill_pen_cap(mask, b, width);
    }
    if (a.x == b.x && a.y == b.y) return;
    const std::vector<DevicePoint> body = {{a.x + offsets.left.x, a.y + offsets.left.y},
                                           {b.x + offsets.left.x, b.y + offsets.left.y},
                                           {b.x + offsets.right.x, b.y + offsets.right.y},
                                           {a.x + offsets.right.x, a.y + offsets.right.y}};
    fill_polygon(mask, body, false);
}

// The part [from, to] of the segment a -> b (of the given length) that
// comes within `margin` pixels of the box; from > to when none does.
void visible_range(const Box &box, double margin, DevicePoint a, DevicePoint b, double length,
                   double &from, double &to) {
    from = 0, to = length;
    const double d[2] = {double(b.x - a.x) / length, double(b.y - a.y) / length};
    const double start[2] = {double(a.x), double(a.y)};
    const double lo[2] = {box.left - margin, box.top - margin};
    const double hi[2] = {box.right + margin, box.bottom + margin};
    for (int axis = 0; axis < 2; ++axis) {
        if (d[axis] == 0) {
            if (start[axis] < lo[axis] || start[axis] > hi[axis]) from = length, to = 0;
            continue;
        }
        double t0 = (lo[axis] - start[axis]) / d[axis], t1 = (hi[axis] - start[axis]) / d[axis];
        if (t0 > t1) std::swap(t0, t1);
        from = std::max(from, t0), to = std::min(to, t1);
    }
}

// A wide polyline is the union of its segments, each with both ends round:
// the joins are round too. Dashes are pieces of the path, measured along it
// and running on across its corners; each is drawn like a short segment,
// its body along the whole segment's direction.
void stroke_wide(DeviceContext &dc, const Pen &pen, const std::vector<DevicePoint> &points) {
    PixelMask mask(reach(dc, points, pen.width));
    if (mask.box().empty()) return;
    const bool round_ends = (pen.style & PS_ENDCAP_MASK) == PS_ENDCAP_ROUND;
    const std::vector<long long> dashes = dash_style(pen).lengths;
    long long period = 0;
    for (long long d : dashes) period += d;
    // Where the path is in the dash pattern: entry k, with `left` of it to go.
    std::size_t k = dashes.empty() ? 0 : dashes.size() - 1;
    double left = 0;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const DevicePoint a = points[i], b = points[i + 1];
        const long long dx = b.x - a.x, dy = b.y - a.y;
        const BodyOffsets offsets = body_offsets(dx, dy, pen.width);
        if (period <= 0) {
            add_wide_piece(mask, a, b, offsets, pen.width, round_ends);
            continue;
        }
        const double length = std::hypot(double(dx), double(dy));
        // A point t along the segment, each coordinate truncated towards a.
        auto at = [&](double t) {
            return DevicePoint{a.x + (long long)std::trunc(double(dx) * t / length),
                               a.y + (long long)std::trunc(double(dy) * t / length)};
        };
        // Far outside the area the mask covers nothing is drawn, and a whole
        // number of periods leaves the pattern where it was: skip them, so
        // that a long line costs what its visible part does.
        double visible_from = 0, visible_to = length;
        visible_range(mask.box(), double(pen.width) + 2, a, b, length, visible_from, visible_to);
        const double whole = double(period);
        bool first_piece = true;
        long long pieces = 0;
        for (double t = 0; t < length;) {
            const double ahead = t < visible_from ? visible_from - t
                                 : t > visible_to ? length - t
                                                  : 0;
            const double skip = std::floor(ahead / whole - 2) * whole;
            if (skip > 0) {
                t += skip;
                first_piece = false;
                continue;
            }
            if (left <= 0) {
                k = (k + 1) % dashes.size();
                left = double(dashes[k]);
                // A dash of no length leaves a dot only as a segment's first piece.
                if (left == 0 && k % 2 == 0) {
                    if (first_piece)
                        add_wide_piece(mask, at(t), at(t), offsets, pen.width, round_ends);
                    first_piece = false;
                }
                continue;
            }
            const double run = std::min(left, length - t);
            if (k % 2 == 0) {
                add_wide_piece(mask, at(t), at(t + run), offsets, pen.width, round_ends);
                first_piece = false;
                // A pen as wide as the area covers it with few pieces; the
                // rest need not be walked.
                if (++pieces % 64 == 0 && mask.full()) {
                    paint_mask(dc, mask, dc.pixel(pen.color));
                    return;
                }
            }
            t += run;
            left -= run;
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
    const DashStyle style = dash_style(pen);
    CosmeticPainter painter{
        dc.surface(),          clip,    dc.pixel(pen.color),
        dc.pixel(dc.bk_color), dc.rop2, style.paints_gaps && dc.bk_mode == OPAQUE,
        style.lengths};
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
