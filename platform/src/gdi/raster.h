// Shared pieces of the rasterisers: device points, polygon scan conversion,
// unions of spans, the round ends of wide pens, and stroking with the pen.
#pragma once

#include "device_context.h"
#include "paint.h"
#include "pen.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace win32::gdi {

// Exact arithmetic for products of coordinates.
__extension__ typedef __int128 wide;

// floor and ceil of a / b, for b > 0; in 64 bits when the operands fit,
// as they nearly always do.
inline long long floor_div(wide a, wide b) {
    if (a == wide((long long)a) && b == wide((long long)b)) {
        const long long x = (long long)a, y = (long long)b;
        const long long q = x / y;
        return (x % y != 0 && x < 0) ? q - 1 : q;
    }
    wide q = a / b;
    if ((a % b != 0) && (a < 0)) --q;
    return (long long)q;
}
inline long long ceil_div(wide a, wide b) {
    return -floor_div(-a, b);
}

// A point in device pixels; wide enough that logical coordinates plus any
// origin never overflow.
struct DevicePoint {
    long long x, y;
};

DevicePoint to_device(const DeviceContext &dc, const POINT &p);

// The point list of a call, in device pixels.
std::vector<DevicePoint> to_device(const DeviceContext &dc, const POINT *points, int count);

// The part of the DC's drawable area that a shape through `points`, widened
// by `margin` pixels on every side, can reach.
Box reach(const DeviceContext &dc, std::span<const DevicePoint> points, long long margin);

// Receives the spans of a shape: pixels [x0, x1) of row y, in any order.
class SpanSink {
public:
    virtual void span(long long y, long long x0, long long x1) = 0;

protected:
    ~SpanSink() = default;
};

// Paints each span it receives, clipped to a box, right away: for shapes
// whose spans never overlap.
class PaintingSink final : public SpanSink {
public:
    PaintingSink(SpanPaint &paint, const Box &limit) : paint_(paint), limit_(limit) {}
    void span(long long y, long long x0, long long x1) override;

private:
    SpanPaint &paint_;
    Box limit_;
};

// A union of spans within a box, painted once each however often they were
// added: wide lines are unions of overlapping pieces. Each row keeps one span
// that grows with what overlaps or touches it; anything apart from it waits
// in a list, and only then are the rows sorted and merged.
class SpanUnion final : public SpanSink {
public:
    explicit SpanUnion(const Box &limit);
    const Box &limit() const { return limit_; }
    void span(long long y, long long x0, long long x1) override;
    // Whether every pixel of the box is in the union.
    bool covers_limit();
    void paint(SpanPaint &paint);
    // Paints the pixels x0..x1-1 of row y that are not in the union.
    void paint_outside(SpanPaint &paint, int y, int x0, int x1);

private:
    struct Span {
        int y, x0, x1;
    };
    void merge();
    Box limit_;
    bool merged_ = true;         // nothing set apart since the last merge
    std::vector<Span> rows_;     // one per row of the box; empty when x0 >= x1
    std::vector<Span> apart_;    // spans apart from their row's; sorted when merged
    std::size_t kept_apart_ = 0; // how many the last merge kept
    std::vector<Span> sorted_;
    std::vector<std::size_t> starts_;
};

// The spans inside a polygon, within `limit`: a pixel (x, y) is inside when
// the point (x, y) is, edges counted half-open (left and top in, right and
// bottom out), by the even-odd rule or, with `winding`, the non-zero rule.
// Each pixel is given once.
void scan_polygon(std::span<const DevicePoint> points, bool winding, const Box &limit,
                  SpanSink &out);

// The round end of a wide pen of width w: a disc in the w x w box whose
// top-left corner is p - w / 2 (halved in integers). Each row's extent is
// worked out once, the first time a cap needs it: a path puts the same disc
// at every corner.
class PenCap {
public:
    explicit PenCap(int width);
    // The cap at p, its rows within `limit`.
    void add(SpanSink &out, DevicePoint p, const Box &limit) const;

private:
    struct Row {
        int x0, x1; // of the box's columns; none when x0 >= x1
    };
    static constexpr Row unknown{-1, -1};
    Row row(int k) const;
    int width_;
    mutable std::vector<Row> rows_;
};

// Draws the polyline through `points` with the DC's pen. Cosmetic pens leave
// out the last point; the dash style runs on from segment to segment.
void stroke_polyline(DeviceContext &dc, std::span<const DevicePoint> points);

// Whether the DC's pen draws wide strokes, and the pixels such a stroke
// along `points` covers within the DC's drawable area.
bool wide_pen(const DeviceContext &dc);
SpanUnion wide_stroke(DeviceContext &dc, std::span<const DevicePoint> points);

// A filled shape and its outline: `inside` gives the inside's spans within
// the box it is handed, `outline` is the closed path the pen follows. A thin
// outline is drawn over the inside; a wide one is drawn beside it, the
// inside stopping where the stroke begins, so no pixel is painted twice.
void fill_and_stroke(DeviceContext &dc, const std::function<void(const Box &, SpanSink &)> &inside,
                     std::span<const DevicePoint> outline);

// A polygon through `points`: the inside in the brush (even-odd or, with
// `winding`, non-zero) and the closed outline in the pen. The outline's
// closing point is appended to `points`.
void fill_and_stroke_polygon(DeviceContext &dc, std::vector<DevicePoint> &points, bool winding);

} // namespace win32::gdi
