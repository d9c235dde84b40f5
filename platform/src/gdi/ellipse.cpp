// Ellipse, Arc and Pie. The outline of an ellipse is a ring of pixels, traced
// one quadrant at a time and mirrored; an arc is a stretch of that ring drawn
// as a polyline (with rays that coincide, the closed outline Ellipse draws),
// a pie the same stretch closed through the centre and drawn as a polygon.
// Ellipses too large to trace are drawn as polygons that follow the curve
// closely wherever it can be seen.
#include "pen.h"
#include "raster.h"
#include "trace.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace win32::gdi {

namespace {

// Boxes up to this many pixels across are traced pixel by pixel: their ring
// has about 2 (width + height) points, and every product below fits 64 bits.
constexpr long long kTraceLimit = 1 << 15;

// A shape's box in device pixels, in order, right column and bottom row
// excluded.
struct ShapeBox {
    long long left, top, right, bottom;
    long long width() const { return right - left; }
    long long height() const { return bottom - top; }
    bool empty() const { return width() <= 0 || height() <= 0; }
    // Where the rays of arcs and pies start and where pies close: the middle
    // of the box, halves rounded down.
    DevicePoint centre() const { return {(left + right) >> 1, (top + bottom) >> 1}; }
    bool traced() const { return width() <= kTraceLimit && height() <= kTraceLimit; }
};

// The box of a call in device pixels, given back to front or not. An
// inside-frame pen keeps its whole stroke within the box: the curve moves in
// by half the pen's width.
ShapeBox shape_box(const DeviceContext &dc, int left, int top, int right, int bottom) {
    ShapeBox box{(long long)left + dc.origin.x, (long long)top + dc.origin.y,
                 (long long)right + dc.origin.x, (long long)bottom + dc.origin.y};
    auto order = [](ShapeBox &b) {
        if (b.left > b.right) std::swap(b.left, b.right);
        if (b.top > b.bottom) std::swap(b.top, b.bottom);
    };
    order(box);
    const Pen &pen = *dc.pen.object;
    if (pen.dash_style() == PS_INSIDEFRAME && pen.width > 1) {
        box.left += pen.width / 2, box.top += pen.width / 2;
        box.right -= (pen.width - 1) / 2, box.bottom -= (pen.width - 1) / 2;
        order(box);
    }
    return box;
}

// Whether anything drawn for the box, widened by the pen, can be seen.
bool within_reach(const DeviceContext &dc, const ShapeBox &box) {
    const Box area = dc.drawable();
    const long long margin = dc.pen.object->width + 1;
    return !area.empty() && box.left - margin < area.right && box.right + margin > area.left &&
           box.top - margin < area.bottom && box.bottom + margin > area.top;
}

// ---- The traced ring -----------------------------------------------------------------

// A direction on the screen (y grows downwards).
struct Direction {
    long long x, y;
};

// A point of the ring: its pixel, and where the selection of arcs places it:
// its offset from the centre in whole pixels, halves truncated towards the
// centre, so that mirrored points sit at mirrored places. A point of the
// lower half (but for the left end of the middle row) counts as lying just
// before its place, any other just after it: on a ray, and among points at
// one place.
struct RingPoint {
    DevicePoint pixel;
    Direction place;
    bool late;
};

struct Step {
    long long x, y;
};

// One quadrant of the outline in doubled coordinates about the centre of the
// box (x to the right, y upwards; a = width - 1, b = height - 1), from the
// right end of the middle row up to the top. Each step goes to whichever of
// the points up-left, up and left is nearest the curve by |F|, F(x, y) =
// b²x² + a²y² - a²b², preferring them in that order, until the middle
// column is reached. An even width ends one column from the middle, and the
// column runs on upwards while it stays within the curve; boxes one or two
// pixels wide are a straight run.
std::vector<Step> quadrant(long long a, long long b) {
    std::vector<Step> q;
    q.reserve(std::size_t(a / 2 + b / 2 + 2));
    long long x = a, y = b % 2;
    q.push_back({x, y});
    if (a <= 1) {
        for (y += 2; y <= b; y += 2) q.push_back({x, y});
        return q;
    }
    const long long aa = a * a, bb = b * b, aabb = aa * bb;
    auto f = [&](long long px, long long py) { return bb * px * px + aa * py * py - aabb; };
    auto size = [&](long long px, long long py) {
        const long long v = f(px, py);
        return v < 0 ? -v : v;
    };
    const long long last = a % 2;
    while (x > last) {
        const long long up_left = size(x - 2, y + 2), up = size(x, y + 2), left = size(x - 2, y);
        if (up_left <= up && up_left <= left)
            x -= 2, y += 2;
        else if (up <= left)
            y += 2;
        else
            x -= 2;
        q.push_back({x, y});
    }
    if (last == 1) {
        for (; y + 2 <= b && f(x, y + 2) <= 0; y += 2) q.push_back({x, y + 2});
    }
    return q;
}

// The whole outline, counter-clockwise on the screen from the right end of
// the middle row: the four quadrants, each with both its ends, so a pixel
// where two of them meet may come twice in a row.
std::vector<RingPoint> ring(const ShapeBox &box) {
    const long long a = box.width() - 1, b = box.height() - 1;
    const std::vector<Step> q = quadrant(a, b);
    const std::size_t n = q.size();
    std::vector<RingPoint> out(4 * n);
    // Offsets from the box's corner: (a ± x) / 2 across, (b ± y) / 2 down.
    for (std::size_t i = 0; i < n; ++i) {
        const long long x = q[i].x, y = q[i].y, px = x / 2, py = y / 2;
        const long long right = box.left + (a + x) / 2, left = box.left + (a - x) / 2;
        const long long upper = box.top + (b - y) / 2, lower = box.top + (b + y) / 2;
        out[i] = {{right, upper}, {px, -py}, false};
        out[2 * n - 1 - i] = {{left, upper}, {-px, -py}, false};
        out[2 * n + i] = {{left, lower}, {-px, py}, py != 0};
        out[4 * n - 1 - i] = {{right, lower}, {px, py}, true};
    }
    return out;
}

// Orders directions counter-clockwise on the screen, starting at a ray.
// Places are under 2^15 and rays under 2^34, so a product of a place with
// either fits 64 bits; two rays are only ever compared with `same_rays`.
class Sweep {
public:
    explicit Sweep(Direction ray) : from_(nonzero(ray)) {}

    static Direction nonzero(Direction d) { return d.x == 0 && d.y == 0 ? Direction{1, 0} : d; }
    // Positive when v lies counter-clockwise of u, as seen on the screen.
    static long long turn(Direction u, Direction v) { return u.y * v.x - u.x * v.y; }
    static bool same(Direction u, Direction v) {
        return turn(u, v) == 0 && u.x * v.x + u.y * v.y > 0;
    }
    static bool same_rays(Direction u, Direction v) {
        return wide(u.y) * v.x == wide(u.x) * v.y && wide(u.x) * v.x + wide(u.y) * v.y > 0;
    }
    bool on_ray(Direction u) const { return same(from_, u); }
    // Whether place u comes strictly before direction v (a place, or a ray
    // whose half is given), neither lying on the ray.
    bool before(Direction u, Direction v) const { return before(u, v, half(v)); }
    bool before(Direction u, Direction v, int v_half) const {
        const int hu = half(u);
        if (hu != v_half) return hu < v_half;
        return turn(u, v) > 0;
    }
    int half_of_ray(Direction ray) const {
        const wide t = wide(from_.y) * ray.x - wide(from_.x) * ray.y;
        if (t != 0) return t > 0 ? 0 : 1;
        return same_rays(from_, ray) ? 0 : 1;
    }
    // The first point along the sweep; at one place, a point counted late
    // comes first, and of equals the first in the list.
    std::size_t first_of(const std::vector<RingPoint> &points) const {
        std::size_t best = 0;
        int best_rank = rank(points[0]), best_half = half(nonzero(points[0].place));
        for (std::size_t i = 1; i < points.size(); ++i) {
            const RingPoint &p = points[i], &q = points[best];
            const int r = rank(p);
            if (r > best_rank) continue;
            if (r == best_rank) {
                if (r != 1) continue;
                const Direction u = nonzero(p.place), v = nonzero(q.place);
                const int h = half(u);
                if (h > best_half) continue;
                if (h == best_half) {
                    if (same(u, v)) {
                        if (!p.late || q.late) continue;
                    } else if (turn(u, v) <= 0) {
                        continue;
                    }
                }
                best_half = h;
            } else {
                best_half = half(nonzero(p.place));
            }
            best = i, best_rank = r;
        }
        return best;
    }

private:
    // 0 from the ray up to its opposite, 1 from there on.
    int half(Direction u) const {
        const long long t = turn(from_, u);
        if (t != 0) return t > 0 ? 0 : 1;
        return same(from_, u) ? 0 : 1;
    }
    // 0 on the ray and counted just after it, 2 on it and counted just
    // before it (a whole turn on), 1 anywhere else.
    int rank(const RingPoint &p) const {
        if (!on_ray(nonzero(p.place))) return 1;
        return p.late ? 2 : 0;
    }
    Direction from_;
};

// Whether the rays through two points, seen from the centre, coincide: an
// arc between them is the whole ellipse.
bool rays_coincide(Direction start, Direction end) {
    return Sweep::same_rays(Sweep::nonzero(start), Sweep::nonzero(end));
}

// The stretch of the ring from the ray through `start` counter-clockwise to
// the ray through `end`: from the first point at the start ray on, as many
// points as lie before the end ray. Rays that coincide go all the way round.
// A stretch that holds no point (rays closer together than the ring's
// points) keeps the first one: it stays as short as the rays are close.
std::vector<DevicePoint> arc_points(const std::vector<RingPoint> &points, Direction start,
                                    Direction end) {
    const Sweep sweep(start);
    const bool full = rays_coincide(start, end);
    end = Sweep::nonzero(end);
    const int end_half = sweep.half_of_ray(end);
    const std::size_t first = sweep.first_of(points);
    std::size_t count = 0;
    for (std::size_t i = 0; i < points.size() && !full; ++i) {
        const RingPoint &p = points[i];
        const Direction u = Sweep::nonzero(p.place);
        bool inside;
        if (sweep.on_ray(u))
            inside = !p.late;
        else if (Sweep::same(u, end))
            inside = p.late;
        else
            inside = sweep.before(u, end, end_half);
        count += inside;
    }
    const std::size_t n = points.size(), length = full ? n : std::max<std::size_t>(count, 1);
    std::vector<DevicePoint> out;
    out.reserve(length + 2);
    for (std::size_t k = 0; k < length; ++k) out.push_back(points[(first + k) % n].pixel);
    return out;
}

// ---- Boxes too large to trace --------------------------------------------------------

// Points of the curve from angle t0 to t1 (counter-clockwise on the screen,
// about the middle of the box): within a quarter pixel of it wherever it
// comes near `visible`, straight chords elsewhere. The first point is t0's.
class Approximation {
public:
    Approximation(const ShapeBox &box, const Box &visible, long long margin)
        : cx_((double(box.left) + double(box.right) - 1) / 2),
          cy_((double(box.top) + double(box.bottom) - 1) / 2), rx_((double(box.width()) - 1) / 2),
          ry_((double(box.height()) - 1) / 2), left_(double(visible.left) - double(margin)),
          top_(double(visible.top) - double(margin)),
          right_(double(visible.right) + double(margin)),
          bottom_(double(visible.bottom) + double(margin)) {}

    // The angle of the curve's point on the ray from the middle of the box
    // in direction d.
    double angle_of(Direction d) const {
        d = Sweep::nonzero(d);
        return std::atan2(rx_ * double(-d.y), ry_ * double(d.x));
    }

    std::vector<DevicePoint> points(double t0, double t1) const {
        std::vector<DevicePoint> out{at(t0)};
        const double quarter = std::numbers::pi / 2;
        for (double t = t0; t < t1;) {
            const double next = std::min(t1, t + quarter);
            piece(out, t, next, 0);
            t = next;
        }
        return out;
    }

private:
    DevicePoint at(double t) const {
        return {std::llround(cx_ + rx_ * std::cos(t)), std::llround(cy_ - ry_ * std::sin(t))};
    }

    void piece(std::vector<DevicePoint> &out, double t0, double t1, int depth) const {
        // The piece lies within the box of its ends and of the extremes of the
        // curve between them.
        double x0 = std::cos(t0), x1 = std::cos(t1), y0 = std::sin(t0), y1 = std::sin(t1);
        double lo_x = std::min(x0, x1), hi_x = std::max(x0, x1);
        double lo_y = std::min(y0, y1), hi_y = std::max(y0, y1);
        const double quarter = std::numbers::pi / 2;
        for (double k = std::ceil(t0 / quarter); k * quarter < t1; ++k) {
            const int q = int(std::fmod(std::fmod(k, 4) + 4, 4));
            if (q == 0) hi_x = 1;
            if (q == 1) hi_y = 1;
            if (q == 2) lo_x = -1;
            if (q == 3) lo_y = -1;
        }
        const bool seen = cx_ + rx_ * hi_x >= left_ && cx_ + rx_ * lo_x <= right_ &&
                          cy_ - ry_ * lo_y >= top_ && cy_ - ry_ * hi_y <= bottom_;
        const double sag = std::max(rx_, ry_) * (1 - std::cos((t1 - t0) / 2));
        if (!seen || sag < 0.25 || depth >= 60) {
            const DevicePoint p = at(t1);
            if (p.x != out.back().x || p.y != out.back().y) out.push_back(p);
            return;
        }
        const double mid = (t0 + t1) / 2;
        piece(out, t0, mid, depth + 1);
        piece(out, mid, t1, depth + 1);
    }

    double cx_, cy_, rx_, ry_;
    double left_, top_, right_, bottom_;
};

Approximation approximation(const DeviceContext &dc, const ShapeBox &box) {
    return Approximation(box, dc.drawable(), dc.pen.object->width + 2);
}

// ---- The outlines ----------------------------------------------------------------------

// A closed path along the outline of a whole ellipse.
std::vector<DevicePoint> ellipse_outline(const ShapeBox &box, const std::vector<RingPoint> &points,
                                         bool wide) {
    const long long l = box.left, t = box.top, r = box.right - 1, b = box.bottom - 1;
    // Boxes one or two pixels across are outlined whole. Tracing would go
    // along them and back; a thin pen goes round once instead, so that every
    // pixel is painted once.
    if (!wide && (box.width() <= 2 || box.height() <= 2)) {
        if (box.width() == 1 && box.height() == 1) return {};
        if (box.width() == 1) return {{l, t}, {l, b + 1}};
        if (box.height() == 1) return {{l, t}, {r + 1, t}};
        return {{l, t}, {l, b}, {r, b}, {r, t}, {l, t}};
    }
    std::vector<DevicePoint> out;
    out.reserve(points.size() + 1);
    for (const RingPoint &p : points) out.push_back(p.pixel);
    out.push_back(out.front());
    return out;
}

// Each row of the inside spans the outline's pixels on that row, both ends
// included.
void ellipse_inside(const ShapeBox &box, const std::vector<RingPoint> &points, const Box &area,
                    SpanSink &sink) {
    const long long top = std::max<long long>(box.top, area.top);
    const long long bottom = std::min<long long>(box.bottom, area.bottom);
    if (top >= bottom) return;
    std::vector<long long> lo(std::size_t(bottom - top), box.right), hi(lo.size(), box.left - 1);
    for (const RingPoint &p : points) {
        if (p.pixel.y < top || p.pixel.y >= bottom) continue;
        const std::size_t row = std::size_t(p.pixel.y - top);
        lo[row] = std::min(lo[row], p.pixel.x);
        hi[row] = std::max(hi[row], p.pixel.x);
    }
    for (std::size_t row = 0; row < lo.size(); ++row)
        if (lo[row] <= hi[row]) sink.span(top + (long long)row, lo[row], hi[row] + 1);
}

// What the three calls begin with: the DC, and the box in device pixels,
// with whether anything drawn for it can be seen.
struct ShapeCall {
    std::shared_ptr<DeviceContext> dc;
    ShapeBox box{};
    bool seen = false;
};

ShapeCall shape_call(HDC handle, int left, int top, int right, int bottom) {
    ShapeCall call{find_dc(handle)};
    if (!call.dc) return call;
    call.box = shape_box(*call.dc, left, top, right, bottom);
    call.seen = !call.box.empty() && within_reach(*call.dc, call.box);
    return call;
}

// The closed path the pen follows round a whole ellipse, and the points
// the inside is made from when the box is traced.
struct WholeOutline {
    std::vector<DevicePoint> path;
    std::vector<RingPoint> ring;
};

WholeOutline whole_outline(const DeviceContext &dc, const ShapeBox &box) {
    if (!box.traced()) return {approximation(dc, box).points(0, 2 * std::numbers::pi), {}};
    WholeOutline outline{{}, ring(box)};
    outline.path = ellipse_outline(box, outline.ring, wide_pen(dc));
    return outline;
}

// The rays of an arc or a pie: from the middle of the box through the start
// and through the end point, in device pixels.
struct Rays {
    Direction start, end;
};

Rays rays(const DeviceContext &dc, const ShapeBox &box, int x_start, int y_start, int x_end,
          int y_end) {
    const DevicePoint centre = box.centre();
    auto ray = [&](int x, int y) {
        const DevicePoint p = to_device(dc, {x, y});
        return Direction{p.x - centre.x, p.y - centre.y};
    };
    return {ray(x_start, y_start), ray(x_end, y_end)};
}

// The points of an arc or a pie's curved side on a box too large to trace,
// from the start ray to the end ray. Rays that differ stay apart, however
// close: a whole turn only for rays that coincide.
std::vector<DevicePoint> approximate_stretch(const DeviceContext &dc, const ShapeBox &box,
                                             Rays rays) {
    const Approximation curve = approximation(dc, box);
    const double t0 = curve.angle_of(rays.start);
    double t1 = curve.angle_of(rays.end);
    if (rays_coincide(rays.start, rays.end))
        t1 = t0 + 2 * std::numbers::pi;
    else if (t1 < t0)
        t1 += 2 * std::numbers::pi;
    return curve.points(t0, t1);
}

// An arc is drawn like a polyline, and an arc whose rays coincide is the
// whole outline, closed, as Ellipse draws it. A pie closes its stretch
// through the centre and is drawn like a polygon; a pie whose rays coincide
// has the whole inside of the ellipse, as Ellipse fills it: filled as a
// polygon, the two edges to the centre would leave pixels between them.
BOOL arc_or_pie(bool pie, HDC dc_handle, int left, int top, int right, int bottom, int x_start,
                int y_start, int x_end, int y_end) {
    trace::record(pie ? "Pie" : "Arc", dc_handle,
                  {left, top, right, bottom, x_start, y_start, x_end, y_end});
    const ShapeCall call = shape_call(dc_handle, left, top, right, bottom);
    if (!call.dc) return FALSE;
    if (!call.seen) return TRUE;
    DeviceContext &dc = *call.dc;
    const ShapeBox &box = call.box;
    const Rays ends = rays(dc, box, x_start, y_start, x_end, y_end);
    const bool whole = rays_coincide(ends.start, ends.end);
    if (!pie && whole) {
        stroke_polyline(dc, whole_outline(dc, box).path);
        return TRUE;
    }
    std::vector<RingPoint> ring_points;
    std::vector<DevicePoint> points;
    if (box.traced()) {
        ring_points = ring(box);
        points = arc_points(ring_points, ends.start, ends.end);
    } else {
        points = approximate_stretch(dc, box, ends);
    }
    if (!pie) {
        stroke_polyline(dc, points);
        return TRUE;
    }
    points.push_back(box.centre());
    const bool thin = box.width() <= 2 || box.height() <= 2;
    if (whole && box.traced() && !thin) {
        points.push_back(points.front());
        fill_and_stroke(
            dc,
            [&](const Box &area, SpanSink &sink) { ellipse_inside(box, ring_points, area, sink); },
            points);
        return TRUE;
    }
    fill_and_stroke_polygon(dc, points, false);
    return TRUE;
}

} // namespace

} // namespace win32::gdi

namespace win32 {

using namespace gdi;

BOOL Ellipse(HDC dc_handle, int left, int top, int right, int bottom) {
    trace::record("Ellipse", dc_handle, {left, top, right, bottom});
    const ShapeCall call = shape_call(dc_handle, left, top, right, bottom);
    if (!call.dc) return FALSE;
    if (!call.seen) return TRUE;
    DeviceContext &dc = *call.dc;
    const ShapeBox &box = call.box;
    const WholeOutline outline = whole_outline(dc, box);
    if (!box.traced()) {
        fill_and_stroke(
            dc,
            [&](const Box &area, SpanSink &sink) { scan_polygon(outline.path, false, area, sink); },
            outline.path);
        return TRUE;
    }
    const bool thin = box.width() <= 2 || box.height() <= 2;
    const bool no_pen = dc.pen.object->dash_style() == PS_NULL;
    fill_and_stroke(
        dc,
        [&](const Box &area, SpanSink &sink) {
            if (!thin) {
                ellipse_inside(box, outline.ring, area, sink);
            } else if (no_pen) {
                // Without an outline a thin box fills all but its last column
                // and row; with one, the outline covers it.
                for (long long y = box.top; y < box.bottom - 1; ++y)
                    sink.span(y, box.left, box.right - 1);
            }
        },
        outline.path);
    return TRUE;
}

BOOL Arc(HDC dc_handle, int left, int top, int right, int bottom, int x_start, int y_start,
         int x_end, int y_end) {
    return arc_or_pie(false, dc_handle, left, top, right, bottom, x_start, y_start, x_end, y_end);
}

BOOL Pie(HDC dc_handle, int left, int top, int right, int bottom, int x_start, int y_start,
         int x_end, int y_end) {
    return arc_or_pie(true, dc_handle, left, top, right, bottom, x_start, y_start, x_end, y_end);
}

} // namespace win32
