// Ellipse, Arc and Pie. The outline of an ellipse is a ring of pixels, traced
// one quadrant at a time and mirrored; an arc is a stretch of that ring drawn
// as a polyline, a pie the same stretch closed through the centre and drawn
// as a polygon. Ellipses too large to trace are drawn as polygons that follow
// the curve closely wherever it can be seen.
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
    std::vector<RingPoint> out;
    out.reserve(4 * q.size());
    auto add = [&](const Step &s, int sx, int sy, bool late) {
        out.push_back({{box.left + (a + sx * s.x) / 2, box.top + (b + sy * s.y) / 2},
                       {sx * (s.x / 2), sy * (s.y / 2)},
                       late});
    };
    for (const Step &s : q) add(s, 1, -1, false);
    for (auto s = q.rbegin(); s != q.rend(); ++s) add(*s, -1, -1, false);
    for (const Step &s : q) add(s, -1, 1, s.y / 2 != 0);
    for (auto s = q.rbegin(); s != q.rend(); ++s) add(*s, 1, 1, true);
    return out;
}

// Orders directions counter-clockwise on the screen, starting at a ray.
class Sweep {
public:
    explicit Sweep(Direction ray) : from_(nonzero(ray)) {}

    static Direction nonzero(Direction d) { return d.x == 0 && d.y == 0 ? Direction{1, 0} : d; }
    // Positive when v lies counter-clockwise of u, as seen on the screen.
    static wide turn(Direction u, Direction v) { return wide(u.y) * v.x - wide(u.x) * v.y; }
    static bool same(Direction u, Direction v) {
        return turn(u, v) == 0 && wide(u.x) * v.x + wide(u.y) * v.y > 0;
    }

    bool on_ray(Direction u) const { return same(from_, u); }
    // Whether u comes strictly before v, neither lying on the ray.
    bool before(Direction u, Direction v) const {
        const int hu = half(u), hv = half(v);
        if (hu != hv) return hu < hv;
        return turn(u, v) > 0;
    }
    // Whether point p comes strictly before point q along the sweep; at one
    // place, a point counted late comes first.
    bool earlier(const RingPoint &p, const RingPoint &q) const {
        const int rp = rank(p), rq = rank(q);
        if (rp != rq) return rp < rq;
        if (rp != 1) return false;
        const Direction u = nonzero(p.place), v = nonzero(q.place);
        if (same(u, v)) return p.late && !q.late;
        return before(u, v);
    }

private:
    // 0 from the ray up to its opposite, 1 from there on.
    int half(Direction u) const {
        const wide t = turn(from_, u);
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

// The stretch of the ring from the ray through `start` counter-clockwise to
// the ray through `end`: from the first point at the start ray on, as many
// points as lie before the end ray; a stretch holding none, or rays that
// coincide, go all the way round.
std::vector<DevicePoint> arc_points(const std::vector<RingPoint> &points, Direction start,
                                    Direction end) {
    const Sweep sweep(start);
    end = Sweep::nonzero(end);
    const bool full = sweep.on_ray(end);
    std::size_t first = 0, count = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const RingPoint &p = points[i];
        if (sweep.earlier(p, points[first])) first = i;
        const Direction u = Sweep::nonzero(p.place);
        bool inside;
        if (full)
            inside = true;
        else if (sweep.on_ray(u))
            inside = !p.late;
        else if (Sweep::same(u, end))
            inside = p.late;
        else
            inside = sweep.before(u, end);
        count += inside;
    }
    const std::size_t n = points.size(), length = count == 0 ? n : count;
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

Direction ray(const DevicePoint &centre, const DeviceContext &dc, int x, int y) {
    const DevicePoint p = to_device(dc, {x, y});
    return {p.x - centre.x, p.y - centre.y};
}

} // namespace

} // namespace win32::gdi

namespace win32 {

using namespace gdi;

BOOL Ellipse(HDC dc_handle, int left, int top, int right, int bottom) {
    trace::record("Ellipse", dc_handle, {left, top, right, bottom});
    auto dc = find_dc(dc_handle);
    if (!dc) return FALSE;
    const ShapeBox box = shape_box(*dc, left, top, right, bottom);
    if (box.empty() || !within_reach(*dc, box)) return TRUE;
    const bool wide = wide_pen(*dc);
    if (!box.traced()) {
        std::vector<DevicePoint> outline = approximation(*dc, box).points(0, 2 * std::numbers::pi);
        fill_and_stroke(
            *dc, [&](const Box &area, SpanSink &sink) { scan_polygon(outline, false, area, sink); },
            outline);
        return TRUE;
    }
    const std::vector<RingPoint> points = ring(box);
    const bool thin = box.width() <= 2 || box.height() <= 2;
    const bool no_pen = dc->pen.object->dash_style() == PS_NULL;
    fill_and_stroke(
        *dc,
        [&](const Box &area, SpanSink &sink) {
            if (!thin) {
                ellipse_inside(box, points, area, sink);
            } else if (no_pen) {
                // Without an outline a thin box fills all but its last column
                // and row; with one, the outline covers it.
                for (long long y = box.top; y < box.bottom - 1; ++y)
                    sink.span(y, box.left, box.right - 1);
            }
        },
        ellipse_outline(box, points, wide));
    return TRUE;
}

BOOL Arc(HDC dc_handle, int left, int top, int right, int bottom, int x_start, int y_start,
         int x_end, int y_end) {
    trace::record("Arc", dc_handle, {left, top, right, bottom, x_start, y_start, x_end, y_end});
    auto dc = find_dc(dc_handle);
    if (!dc) return FALSE;
    const ShapeBox box = shape_box(*dc, left, top, right, bottom);
    if (box.empty() || !within_reach(*dc, box) || dc->pen.object->dash_style() == PS_NULL)
        return TRUE;
    const DevicePoint centre = box.centre();
    const Direction start = ray(centre, *dc, x_start, y_start),
                    end = ray(centre, *dc, x_end, y_end);
    if (!box.traced()) {
        const Approximation curve = approximation(*dc, box);
        const double t0 = curve.angle_of(start);
        double t1 = curve.angle_of(end);
        while (t1 <= t0) t1 += 2 * std::numbers::pi;
        stroke_polyline(*dc, curve.points(t0, t1));
        return TRUE;
    }
    stroke_polyline(*dc, arc_points(ring(box), start, end));
    return TRUE;
}

BOOL Pie(HDC dc_handle, int left, int top, int right, int bottom, int x_start, int y_start,
         int x_end, int y_end) {
    trace::record("Pie", dc_handle, {left, top, right, bottom, x_start, y_start, x_end, y_end});
    auto dc = find_dc(dc_handle);
    if (!dc) return FALSE;
    const ShapeBox box = shape_box(*dc, left, top, right, bottom);
    if (box.empty() || !within_reach(*dc, box)) return TRUE;
    const DevicePoint centre = box.centre();
    const Direction start = ray(centre, *dc, x_start, y_start),
                    end = ray(centre, *dc, x_end, y_end);
    std::vector<DevicePoint> polygon;
    if (box.traced()) {
        polygon = arc_points(ring(box), start, end);
    } else {
        const Approximation curve = approximation(*dc, box);
        const double t0 = curve.angle_of(start);
        double t1 = curve.angle_of(end);
        while (t1 <= t0) t1 += 2 * std::numbers::pi;
        polygon = curve.points(t0, t1);
    }
    polygon.push_back(centre);
    std::vector<DevicePoint> outline = polygon;
    outline.push_back(polygon.front());
    fill_and_stroke(
        *dc, [&](const Box &area, SpanSink &sink) { scan_polygon(polygon, false, area, sink); },
        outline);
    return TRUE;
}

} // namespace win32
