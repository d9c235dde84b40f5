#include "raster.h"

#include <algorithm>
#include <cmath>

namespace win32::gdi {

DevicePoint to_device(const DeviceContext &dc, const POINT &p) {
    return {(long long)p.x + dc.origin.x, (long long)p.y + dc.origin.y};
}

std::vector<DevicePoint> to_device(const DeviceContext &dc, const POINT *points, int count) {
    std::vector<DevicePoint> device;
    if (!points || count <= 0) return device;
    device.reserve(std::size_t(count) + 1);
    for (int i = 0; i < count; ++i) device.push_back(to_device(dc, points[i]));
    return device;
}

Box reach(const DeviceContext &dc, std::span<const DevicePoint> points, long long margin) {
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

void PaintingSink::span(long long y, long long x0, long long x1) {
    if (y < limit_.top || y >= limit_.bottom) return;
    x0 = std::max<long long>(x0, limit_.left);
    x1 = std::min<long long>(x1, limit_.right);
    if (x0 < x1) paint_.span(int(y), int(x0), int(x1));
}

SpanUnion::SpanUnion(const Box &limit) : limit_(limit) {
    rows_.resize(std::size_t(std::max(limit.bottom - limit.top, 0)));
    for (std::size_t r = 0; r < rows_.size(); ++r) rows_[r] = {limit.top + int(r), 0, 0};
}

void SpanUnion::span(long long y, long long x0, long long x1) {
    if (y < limit_.top || y >= limit_.bottom) return;
    x0 = std::max<long long>(x0, limit_.left);
    x1 = std::min<long long>(x1, limit_.right);
    if (x0 >= x1) return;
    Span &row = rows_[std::size_t(y - limit_.top)];
    if (row.x0 >= row.x1) {
        row.x0 = int(x0), row.x1 = int(x1);
    } else if (x0 <= row.x1 && x1 >= row.x0) {
        row.x0 = std::min(row.x0, int(x0)), row.x1 = std::max(row.x1, int(x1));
    } else {
        apart_.push_back({int(y), int(x0), int(x1)});
        // Merged before the list outgrows what merging keeps by much, so
        // that many pieces beside each other (a wide ring about a hole) take
        // memory for the spans they leave, not for every one added.
        if (apart_.size() >= 2 * kept_apart_ + rows_.size() + 64) {
            merged_ = false;
            merge();
            return;
        }
    }
    // A row that grew may now reach spans set apart before.
    if (!apart_.empty()) merged_ = false;
}

void SpanUnion::merge() {
    if (merged_) return;
    merged_ = true;
    // Every span, by row with a counting sort, then by column within each row.
    for (const Span &r : rows_)
        if (r.x0 < r.x1) apart_.push_back(r);
    const std::size_t rows = rows_.size();
    starts_.assign(rows + 1, 0);
    for (const Span &s : apart_) ++starts_[std::size_t(s.y - limit_.top) + 1];
    for (std::size_t r = 0; r < rows; ++r) starts_[r + 1] += starts_[r];
    sorted_.resize(apart_.size());
    for (const Span &s : apart_) sorted_[starts_[std::size_t(s.y - limit_.top)]++] = s;
    for (std::size_t r = 0, begin = 0; r < rows; begin = starts_[r++])
        if (starts_[r] - begin > 1)
            std::sort(sorted_.begin() + std::ptrdiff_t(begin),
                      sorted_.begin() + std::ptrdiff_t(starts_[r]),
                      [](const Span &a, const Span &b) { return a.x0 < b.x0; });
    // Overlapping and touching spans of a row become one; the first of each
    // row goes back to the row, the rest stay apart.
    for (Span &r : rows_) r.x0 = r.x1 = 0;
    apart_.clear();
    for (const Span &s : sorted_) {
        Span &row = rows_[std::size_t(s.y - limit_.top)];
        if (row.x0 >= row.x1) {
            row = s;
            continue;
        }
        // The row's latest span: the last one set apart if it is of this row.
        Span &latest = !apart_.empty() && apart_.back().y == s.y ? apart_.back() : row;
        if (s.x0 <= latest.x1)
            latest.x1 = std::max(latest.x1, s.x1);
        else
            apart_.push_back(s);
    }
    kept_apart_ = apart_.size();
}

bool SpanUnion::covers_limit() {
    merge();
    if (!apart_.empty()) return false;
    return std::all_of(rows_.begin(), rows_.end(),
                       [&](const Span &s) { return s.x0 == limit_.left && s.x1 == limit_.right; });
}

void SpanUnion::paint(SpanPaint &paint) {
    merge();
    paint.spans_within(limit_, [&](auto span) {
        for (const Span &s : rows_)
            if (s.x0 < s.x1) span(s.y, s.x0, s.x1);
        for (const Span &s : apart_) span(s.y, s.x0, s.x1);
    });
}

void SpanUnion::paint_outside(SpanPaint &paint, int y, int x0, int x1) {
    if (y < limit_.top || y >= limit_.bottom) {
        paint.span(y, x0, x1);
        return;
    }
    merge();
    // The row's first span, then the others of the row, left to right.
    auto cut = [&](const Span &s) {
        if (s.x0 >= s.x1 || s.x1 <= x0) return;
        paint.span(y, x0, std::min(s.x0, x1));
        x0 = std::max(x0, s.x1);
    };
    cut(rows_[std::size_t(y - limit_.top)]);
    auto first = std::lower_bound(apart_.begin(), apart_.end(), y,
                                  [](const Span &s, int row) { return s.y < row; });
    for (auto it = first; it != apart_.end() && it->y == y && x0 < x1; ++it) cut(*it);
    paint.span(y, x0, x1);
}

void scan_polygon(std::span<const DevicePoint> points, bool winding, const Box &limit,
                  SpanSink &out) {
    const std::size_t n = points.size();
    if (n < 3 || limit.empty()) return;
    // Each edge steps down the rows it crosses with exact integer arithmetic:
    // its first pixel column at or right of it is x = q, kept as the quotient
    // q and remainder r of the edge's x times its height.
    struct Edge {
        long long top, bottom; // rows [top, bottom) within the limit
        long long q, r, height, step_q, step_r;
        int direction;
    };
    std::vector<Edge> edges;
    edges.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const DevicePoint &a = points[i], &b = points[(i + 1) % n];
        if (a.y == b.y) continue;
        const bool down = a.y < b.y;
        const DevicePoint &lo = down ? a : b, &hi = down ? b : a;
        Edge e;
        e.top = std::max<long long>(lo.y, limit.top);
        e.bottom = std::min<long long>(hi.y, limit.bottom);
        if (e.top >= e.bottom) continue;
        e.height = hi.y - lo.y;
        const long long dx = hi.x - lo.x;
        const wide numerator = wide(lo.x) * e.height + wide(e.top - lo.y) * dx;
        e.q = ceil_div(numerator, e.height);
        e.r = (long long)(wide(e.q) * e.height - numerator);
        e.step_q = floor_div(dx, e.height);
        e.step_r = dx - e.step_q * e.height;
        e.direction = down ? 1 : -1;
        edges.push_back(e);
    }
    if (edges.empty()) return;
    std::sort(edges.begin(), edges.end(),
              [](const Edge &p, const Edge &q) { return p.top < q.top; });
    long long last_row = 0;
    for (const Edge &e : edges) last_row = std::max(last_row, e.bottom);

    // The active edges, kept in order of their crossing of the current row.
    std::vector<Edge *> active;
    std::size_t next = 0;
    // The active edges change only at these rows.
    long long first_end = last_row;
    for (long long y = edges[0].top; y < last_row; ++y) {
        if (y >= first_end || (next < edges.size() && edges[next].top == y) || active.empty()) {
            std::erase_if(active, [&](const Edge *e) { return e->bottom <= y; });
            if (active.empty()) {
                if (next == edges.size()) break;
                y = std::max(y, edges[next].top);
            }
            while (next < edges.size() && edges[next].top == y) active.push_back(&edges[next++]);
            first_end = last_row;
            for (const Edge *e : active) first_end = std::min(first_end, e->bottom);
        }
        // Nearly in order from the row before: edges seldom cross.
        for (std::size_t i = 1; i < active.size(); ++i)
            for (std::size_t j = i; j > 0 && active[j]->q < active[j - 1]->q; --j)
                std::swap(active[j], active[j - 1]);
        int count = 0;
        for (std::size_t k = 0; k + 1 < active.size(); ++k) {
            count += winding ? active[k]->direction : 1;
            const bool inside = winding ? count != 0 : (count & 1) != 0;
            if (inside && active[k]->q < active[k + 1]->q)
                out.span(y, active[k]->q, active[k + 1]->q);
        }
        for (Edge *e : active) {
            e->q += e->step_q;
            e->r -= e->step_r;
            if (e->r < 0) e->r += e->height, ++e->q;
        }
    }
}

namespace {

// The largest s with s * s <= n, for 0 <= n < 2^53.
long long floor_sqrt(long long n) {
    long long s = (long long)std::sqrt(double(n));
    while (s > 0 && s * s > n) --s;
    while ((s + 1) * (s + 1) <= n) ++s;
    return s;
}

} // namespace

PenCap::PenCap(int width) : width_(std::max(width, 0)), rows_(std::size_t(width_), unknown) {}

PenCap::Row PenCap::row(int k) const {
    Row &r = rows_[std::size_t(k)];
    if (r.x0 != unknown.x0) return r;
    if (width_ <= 2) return r = {0, width_};
    // In doubled units, so that the half-pixel steps stay integers: pixel
    // (i, j) of the box is in the disc of radius r = (w - 1) / 2 about its
    // centre when (max(|i - r| - 1/2, 0))^2 + (j - r)^2 < r^2, or the same
    // with i and j exchanged; i2 = 2|i - r| and j2 = 2|j - r| below. The row
    // holds the i2 of the parity of r2 up to the largest meeting either
    // condition; each bound is a square root (r2 < 2^17, so products fit).
    const long long r2 = width_ - 1, parity = r2 % 2;
    const long long j2 = 2LL * k - r2 < 0 ? r2 - 2LL * k : 2LL * k - r2;
    long long reach2 = -1;
    // (max(i2 - 1, 0))^2 + j2^2 < r2^2
    if (const long long room = r2 * r2 - j2 * j2; room > 0) reach2 = floor_sqrt(room - 1) + 1;
    // (max(j2 - 1, 0))^2 + i2^2 < r2^2
    const long long b = j2 > 0 ? j2 - 1 : 0;
    if (const long long room = r2 * r2 - b * b; room > 0)
        reach2 = std::max(reach2, floor_sqrt(room - 1));
    reach2 = std::min(reach2, r2);
    if (reach2 < parity) return r = {0, 0};
    reach2 -= (reach2 - parity) % 2;
    return r = {int((r2 - reach2) / 2), int((r2 + reach2) / 2 + 1)};
}

void PenCap::add(SpanSink &out, DevicePoint p, const Box &limit) const {
    const long long left = p.x - width_ / 2, top = p.y - width_ / 2;
    const long long first_row = std::max<long long>(top, limit.top);
    const long long last_row = std::min<long long>(top + width_, limit.bottom);
    // Wholly left or right of the limit, no row shows.
    if (left >= limit.right || left + width_ <= limit.left) return;
    for (long long y = first_row; y < last_row; ++y) {
        const Row r = row(int(y - top));
        if (r.x0 < r.x1) out.span(y, left + r.x0, left + r.x1);
    }
}

} // namespace win32::gdi
