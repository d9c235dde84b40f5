// Lines: cosmetic pens pixel by pixel with their dash styles, geometric
// (wide) pens as unions of filled pieces; LineTo and Polyline.
#include "mix.h"
#include "raster.h"
#include "trace.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace win32::gdi {

namespace {

// A run of `count` pixels of an 8-bit surface from `p` on, `step` bytes
// apart, combined with one mix. Copying a value along a row (step 1 or -1)
// writes the bytes a word at a time.
template <bool Copy> struct BytePen {
    static constexpr bool copies = Copy;
    std::uint8_t and_bits, xor_bits;

    // The value copied, in every byte of a word.
    std::uint64_t word() const { return std::uint64_t(xor_bits) * 0x0101010101010101u; }

    void run(std::uint8_t *p, long long count, std::ptrdiff_t step) const {
        if (Copy && (step == 1 || step == -1)) {
            fill(step > 0 ? p : p - (count - 1), std::size_t(count));
            return;
        }
#pragma GCC unroll 4
        for (long long i = 0; i < count; ++i, p += step) *p = one(*p);
    }
    std::uint8_t one(std::uint8_t pixel) const {
        return Copy ? xor_bits : std::uint8_t((pixel & and_bits) ^ xor_bits);
    }
    // n bytes from p on: short ones by two stores that may overlap.
    void fill(std::uint8_t *p, std::size_t n) const {
        if (n >= 16) {
            std::memset(p, xor_bits, n);
            return;
        }
        const std::uint64_t v = word();
        auto put = [&](std::size_t at, std::size_t bytes) { std::memcpy(p + at, &v, bytes); };
        if (n >= 8)
            put(0, 8), put(n - 8, 8);
        else if (n >= 4)
            put(0, 4), put(n - 4, 4);
        else if (n >= 2)
            put(0, 2), put(n - 2, 2);
        else if (n == 1)
            *p = xor_bits;
    }
};

// a / b for 0 <= a and 0 < b, in 32 bits when both fit: a line's one
// division, which a short line pays for every pixel it spares.
inline long long quotient(long long a, long long b) {
    if ((unsigned long long)(a | b) <= 0xFFFFFFFFu) return std::uint32_t(a) / std::uint32_t(b);
    return a / b;
}

// A walk on 8-bit pixels taken as runs between the moves of its minor
// coordinate: after a move the slack lies in [two_n - two_minor, two_n), so
// the next run is `shortest` steps long, or one more from `longer_from` on.
struct Runs {
    std::uint8_t *p;
    long long slack, moves, left;
    long long two_n, two_minor, shortest;
    std::ptrdiff_t along, across;

    // `steps` pixels and the move after them.
    template <class Pen> void run_and_move(const Pen &pen, long long steps) {
        pen.run(p, steps, along);
        p += steps * along + across;
        slack += two_n - steps * two_minor;
        ++moves;
        left -= steps;
    }
    template <class Pen> void all(const Pen &pen) {
        const long long longer_from = shortest * two_minor;
        // The first run, from wherever the walk stands.
        if (const long long first = quotient(slack, two_minor) + 1; first <= left) {
            run_and_move(pen, first);
            switch (shortest) {
            case 2:
                unrolled<2>(pen, longer_from);
                break;
            case 3:
                unrolled<3>(pen, longer_from);
                break;
            case 4:
                unrolled<4>(pen, longer_from);
                break;
            case 5:
                unrolled<5>(pen, longer_from);
                break;
            case 6:
                unrolled<6>(pen, longer_from);
                break;
            case 7:
                unrolled<7>(pen, longer_from);
                break;
            case 8:
                unrolled<8>(pen, longer_from);
                break;
            default:
                break;
            }
            whole_runs(pen, longer_from);
        }
        pen.run(p, left, along);
        p += left * along;
        slack -= left * two_minor;
    }
    // Whole runs of any length. The walk is kept in locals: a byte stored
    // could be any member, which the compiler would then load again.
    template <class Pen> void whole_runs(const Pen &pen, long long longer_from) {
        std::uint8_t *q = p;
        long long s = slack, m = 0, l = left;
        const long long after_short = two_n - shortest * two_minor;
        const long long after_long = after_short - two_minor;
        const std::ptrdiff_t short_step = shortest * along + across, long_step = short_step + along;
        auto each_run = [&](auto paint) {
            for (;;) {
                const bool longer = s >= longer_from;
                const long long steps = shortest + longer;
                if (steps > l) break;
                paint(q, steps);
                q += longer ? long_step : short_step;
                s += longer ? after_long : after_short;
                ++m;
                l -= steps;
            }
        };
        if (Pen::copies && (along == 1 || along == -1) && shortest >= 8 && shortest < 16) {
            // 8 to 16 bytes of a row: two stores of 8 that may overlap.
            const std::uint64_t v = pen.word();
            each_run([&](std::uint8_t *at, long long steps) {
                std::uint8_t *first = along > 0 ? at : at - (steps - 1);
                std::memcpy(first, &v, 8);
                std::memcpy(first + steps - 8, &v, 8);
            });
        } else {
            each_run([&](std::uint8_t *at, long long steps) { pen.run(at, steps, along); });
        }
        p = q, slack = s, moves += m, left = l;
    }
    // Whole runs of Shortest pixels or one more, each store written out.
    template <int Shortest, class Pen> void unrolled(const Pen &pen, long long longer_from) {
        std::uint8_t *q = p;
        long long s = slack, m = 0, l = left;
        const long long after_short = two_n - Shortest * two_minor;
        const long long after_long = after_short - two_minor;
        while (l > Shortest) {
#pragma GCC unroll 8
            for (int j = 0; j < Shortest; ++j) q[j * along] = pen.one(q[j * along]);
            q += Shortest * along;
            if (s >= longer_from) {
                *q = pen.one(*q);
                q += along;
                s += after_long;
                l -= Shortest + 1;
            } else {
                s += after_short;
                l -= Shortest;
            }
            q += across;
            ++m;
        }
        p = q, slack = s, moves += m, left = l;
    }
};

// Walks the pixels of one cosmetic segment: along the major axis one pixel a
// step, the minor coordinate rounded to nearest (halves down) from the exact
// one. `slack` is the remainder of that rounding, kept so that it drops
// below zero exactly when the minor coordinate moves on.
struct LineWalk {
    long long major, minor;
    long long slack, two_n, two_minor; // two_minor = 2 |minor change|
    int major_step, minor_step;
    bool x_major;
    // On 8-bit surfaces, the pixel itself and the byte steps to the next.
    std::uint8_t *pixel = nullptr;
    std::ptrdiff_t pixel_major = 0, pixel_minor = 0;

    // `count` pixels combined with `mix` (or left alone, without `paint`).
    // The walk runs on local copies: a byte written through `pixel` could
    // otherwise be any member, and the compiler would reload them all.
    void run(Surface &s, long long count, Mix mix, bool paint) {
        if (count <= 0) return;
        if (pixel && paint) {
            if (mix.and_bits == 0)
                paint_bytes(BytePen<true>{mix.and_bits, mix.xor_bits}, count);
            else
                paint_bytes(BytePen<false>{mix.and_bits, mix.xor_bits}, count);
            return;
        }
        long long major_ = major, minor_ = minor, slack_ = slack;
        const int minor_step_ = minor_step;
        const long long two_n_ = two_n, two_minor_ = two_minor;
        if (pixel) {
            std::uint8_t *p = pixel;
            const std::ptrdiff_t along = pixel_major, across = pixel_minor;
            for (long long i = 0; i < count; ++i) {
                p += along;
                slack_ -= two_minor_;
                if (slack_ < 0) slack_ += two_n_, p += across, minor_ += minor_step_;
            }
            pixel = p;
            major_ += major_step * count;
        } else {
            for (long long i = 0; i < count; ++i) {
                if (paint) {
                    const int x = int(x_major ? major_ : minor_),
                              y = int(x_major ? minor_ : major_);
                    s.put(x, y, mix.apply(s.get(x, y)));
                }
                major_ += major_step;
                slack_ -= two_minor_;
                if (slack_ < 0) slack_ += two_n_, minor_ += minor_step_;
            }
        }
        major = major_, minor = minor_, slack = slack_;
    }

    // The same walk on 8-bit pixels. Lines that keep their minor coordinate,
    // or move it every step, are one run; other long lines are runs between
    // its moves (or, moving more often than not, between the steps without
    // one), each one step longer than the shortest or not: one division a
    // line, none a run, short runs written out store by store. Short lines
    // go pixel by pixel, where the branch of the move follows the slope's
    // pattern, which the processor learns.
    template <class Pen> void paint_bytes(const Pen &pen, long long count) {
        std::uint8_t *p = pixel;
        long long slack_ = slack, moves = 0;
        const long long two_n_ = two_n, two_minor_ = two_minor;
        const std::ptrdiff_t along = pixel_major, across = pixel_minor;
        if (two_minor_ == 0) {
            pen.run(p, count, along);
            p += count * along;
        } else if (two_minor_ == two_n_) {
            // slack - two_n is below zero and slack + 0 again: it stays.
            pen.run(p, count, along + across);
            p += count * (along + across);
            moves = count;
        } else if (count >= 64 && 2 * two_minor_ <= two_n_) {
            Runs runs{p,
                      slack_,
                      0,
                      count,
                      two_n_,
                      two_minor_,
                      quotient(two_n_ - two_minor_, two_minor_) + 1,
                      along,
                      across};
            runs.all(pen);
            p = runs.p, slack_ = runs.slack, moves = runs.moves;
        } else if (count >= 64) {
            // Moving more often than not: a walk of diagonal steps whose
            // "moves" are the steps without one, with the slack mirrored
            // (two_n - 1 - slack drops below zero where slack does not).
            const long long straight = two_n_ - two_minor_;
            Runs runs{p,
                      two_n_ - 1 - slack_,
                      0,
                      count,
                      two_n_,
                      straight,
                      quotient(two_minor_, straight) + 1,
                      along + across,
                      -across};
            runs.all(pen);
            p = runs.p, slack_ = two_n_ - 1 - runs.slack, moves = count - runs.moves;
        } else {
            for (long long i = 0; i < count; ++i) {
                *p = pen.one(*p);
                p += along;
                slack_ -= two_minor_;
                if (slack_ < 0) slack_ += two_n_, p += across, ++moves;
            }
        }
        pixel = p;
        major += major_step * count;
        minor += minor_step * moves;
        slack = slack_;
    }
};

// A step to one of the eight neighbours: the curves, traced pixel by pixel,
// are made of such steps, and each paints just its start.
bool neighbour_step(long long dx, long long dy) {
    return dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1;
}

// Single pixels along a row gathered into spans, painted with one mix.
struct StepRun {
    Surface &surface;
    Box clip;
    Mix mix;
    long long y = 0, x0 = 0, x1 = 0; // the pending span; none while x0 == x1

    void add(DevicePoint p) {
        if (x0 < x1 && p.y == y) {
            if (p.x == x1) {
                ++x1;
                return;
            }
            if (p.x == x0 - 1) {
                --x0;
                return;
            }
        }
        flush();
        y = p.y, x0 = p.x, x1 = p.x + 1;
    }
    void flush() {
        if (x0 < x1 && y >= clip.top && y < clip.bottom) {
            const long long left = std::max<long long>(x0, clip.left);
            const long long right = std::min<long long>(x1, clip.right);
            if (left < right) surface.fill(int(y), int(left), int(right), mix);
        }
        x0 = x1 = 0;
    }
};

struct CosmeticStroke {
    Surface &surface;
    Box clip;
    Mix on, gap;
    bool paints_gaps;
    const DashPattern &dash;

    // Narrows the steps [first, last) of a segment to those whose pixel lies
    // within the clip; false when none does.
    template <class MinorAt>
    bool clip_steps(long long major0, int step, bool rising, bool x_major, MinorAt minor_at,
                    long long &first, long long &last) const {
        const long long major_lo = x_major ? clip.left : clip.top;
        const long long major_hi = x_major ? clip.right : clip.bottom;
        const long long minor_lo = x_major ? clip.top : clip.left;
        const long long minor_hi = x_major ? clip.bottom : clip.right;
        // Steps whose major coordinate lies within the clip.
        if (step > 0)
            first = std::max(first, major_lo - major0), last = std::min(last, major_hi - major0);
        else
            first = std::max(first, major0 - major_hi + 1),
            last = std::min(last, major0 - major_lo + 1);
        if (first >= last) return false;
        // The minor coordinate moves one way only: narrow the steps to those
        // within the clip by bisection, unless both ends are within.
        auto inside = [&](long long i) {
            const long long m = minor_at(i);
            return m >= minor_lo && m < minor_hi;
        };
        if (inside(first) && inside(last - 1)) return true;
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
        return first < last;
    }

    // The pixels from a up to, not including, b; `style_start` is how far
    // along the path a lies, for the dash pattern.
    void segment(DevicePoint a, DevicePoint b, long long style_start) {
        const long long dx = b.x - a.x, dy = b.y - a.y;
        if (dx == 0 && dy == 0) return;
        if (neighbour_step(dx, dy)) {
            if (!clip.contains(a.x, a.y)) return;
            bool drawn = true;
            if (!dash.solid()) drawn = dash.at(style_start).entry % 2 == 0;
            if (!drawn && !paints_gaps) return;
            const int x = int(a.x), y = int(a.y);
            surface.touch({x, y, x + 1, y + 1});
            surface.put(x, y, (drawn ? on : gap).apply(surface.get(x, y)));
            return;
        }
        const bool x_major = std::llabs(dx) >= std::llabs(dy);
        const long long n = x_major ? std::llabs(dx) : std::llabs(dy);
        const long long d_major = x_major ? dx : dy, d_minor = x_major ? dy : dx;
        const long long major0 = x_major ? a.x : a.y, minor0 = x_major ? a.y : a.x;
        const int step = d_major > 0 ? 1 : -1;
        auto minor_at = [&](long long i) {
            // Level and upright lines keep their minor coordinate.
            if (d_minor == 0) return minor0;
            return minor0 + ceil_div(wide(2) * d_minor * i - n, wide(2) * n);
        };
        const bool rising = d_minor >= 0;
        LineWalk walk;
        walk.x_major = x_major;
        walk.two_n = 2 * n;
        walk.two_minor = 2 * std::llabs(d_minor);
        walk.major_step = step;
        walk.minor_step = rising ? 1 : -1;
        long long first = 0, last = n; // the steps to paint, [first, last)
        Box touched;
        if (clip.contains(a.x, a.y) && clip.contains(b.x, b.y)) {
            // Every step lies between the ends, so within the clip; the
            // rounding starts half a pixel off (the quotient 0, the
            // remainder n).
            walk.slack = rising ? n : n - 1;
            walk.major = major0;
            walk.minor = minor0;
            touched = {int(std::min(a.x, b.x)), int(std::min(a.y, b.y)),
                       int(std::max(a.x, b.x)) + 1, int(std::max(a.y, b.y)) + 1};
        } else {
            if (!clip_steps(major0, step, rising, x_major, minor_at, first, last)) return;
            // The walk starts at step `first`: the rounding's quotient gives
            // the minor coordinate, its remainder the slack (counted the
            // other way round when the minor coordinate falls).
            const wide e = wide(2) * d_minor * first - n;
            const long long q = ceil_div(e, walk.two_n);
            const long long remainder = (long long)(wide(q) * walk.two_n - e);
            walk.slack = rising ? remainder : walk.two_n - 1 - remainder;
            walk.major = major0 + step * first;
            walk.minor = minor0 + q;
            const long long end_major = major0 + step * (last - 1), end_minor = minor_at(last - 1);
            const long long ends[2][2] = {{walk.major, walk.minor}, {end_major, end_minor}};
            const int x0 = int(ends[0][!x_major]), y0 = int(ends[0][x_major]);
            const int x1 = int(ends[1][!x_major]), y1 = int(ends[1][x_major]);
            touched = {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1) + 1,
                       std::max(y0, y1) + 1};
        }
        surface.touch(touched);
        if (surface.bits_per_pixel == 8) {
            const int x0 = int(x_major ? walk.major : walk.minor);
            const int y0 = int(x_major ? walk.minor : walk.major);
            const std::ptrdiff_t row = surface.row_step();
            walk.pixel = surface.row(y0) + x0;
            walk.pixel_major = x_major ? step : step * row;
            walk.pixel_minor = x_major ? walk.minor_step * row : walk.minor_step;
        }

        long long remaining = last - first;
        if (dash.solid()) {
            walk.run(surface, remaining, on, true);
            return;
        }
        DashPosition position = dash.at(style_start + first);
        while (remaining > 0) {
            const long long count = std::min(remaining, (long long)position.left);
            const bool drawn = position.entry % 2 == 0;
            walk.run(surface, count, drawn ? on : gap, drawn || paints_gaps);
            dash.advance(position, count);
            remaining -= count;
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
    // A segment of no length (a point repeated) has no body: its round ends
    // make its dot, and it has no direction to take a normal of.
    if (dx == 0 && dy == 0) return {};
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

// A wide piece from a to b: the body along `offsets`, and a round end at
// each end asked for.
void add_wide_piece(SpanUnion &shape, DevicePoint a, DevicePoint b, const BodyOffsets &offsets,
                    const PenCap &cap, bool round_a, bool round_b) {
    if (round_a) cap.add(shape, a, shape.limit());
    if (round_b) cap.add(shape, b, shape.limit());
    if (a.x == b.x && a.y == b.y) return;
    const DevicePoint body[] = {{a.x + offsets.left.x, a.y + offsets.left.y},
                                {b.x + offsets.left.x, b.y + offsets.left.y},
                                {b.x + offsets.right.x, b.y + offsets.right.y},
                                {a.x + offsets.right.x, a.y + offsets.right.y}};
    scan_polygon(body, false, shape.limit(), shape);
}

// Whether a piece from a to b in a pen of the given width can reach the box.
bool reaches(const Box &box, DevicePoint a, DevicePoint b, int width) {
    const long long margin = width + 2LL;
    return std::max(a.x, b.x) + margin >= box.left && std::min(a.x, b.x) - margin < box.right &&
           std::max(a.y, b.y) + margin >= box.top && std::min(a.y, b.y) - margin < box.bottom;
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

// A path can have a hundred thousand corners (the ring of pixels of a large
// arc), each costing a piece as tall as the pen. A pen a thousand pixels
// wide or more follows only corners a 256th of its width apart, and the
// ends: what it draws moves by less than that, and along a curve (the ring
// of an arc) by less than a pixel. Narrower pens follow every corner.
constexpr int kCoarsePenWidth = 1024;

std::vector<DevicePoint> coarse_path(std::span<const DevicePoint> points, long long step) {
    std::vector<DevicePoint> kept{points.front()};
    for (std::size_t i = 1; i + 1 < points.size(); ++i) {
        const DevicePoint p = points[i], q = kept.back();
        if (std::max(std::llabs(p.x - q.x), std::llabs(p.y - q.y)) >= step) kept.push_back(p);
    }
    kept.push_back(points.back());
    return kept;
}

// A wide polyline is the union of its segments, each with both ends round:
// the joins are round too. Dashes are pieces of the path, measured along it
// and running on across its corners; each is drawn like a short segment,
// its body along the whole segment's direction.
void add_wide_path(SpanUnion &shape, const Pen &pen, std::span<const DevicePoint> points) {
    if (shape.limit().empty()) return;
    std::vector<DevicePoint> coarse;
    if (pen.width >= kCoarsePenWidth && points.size() > 2) {
        coarse = coarse_path(points, pen.width / 256);
        points = coarse;
    }
    const bool round_ends = (pen.style & PS_ENDCAP_MASK) == PS_ENDCAP_ROUND;
    const PenCap cap(round_ends ? pen.width : 0);
    const DashPattern &dash = pen.dash;
    // Entries are entered lazily, so that a dash of no length at a segment's
    // start can still leave its dot.
    DashPosition position{dash.lengths.empty() ? 0 : dash.lengths.size() - 1, 0};
    // A pen as wide as the area covers it with few pieces; the rest need not
    // be walked. Checked now and then, as it costs a pass over the rows.
    long long pieces = 0;
    auto covered = [&] { return ++pieces % 64 == 0 && shape.covers_limit(); };
    bool a_is_round = false; // the piece before ended at a with a round end
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const DevicePoint a = points[i], b = points[i + 1];
        const long long dx = b.x - a.x, dy = b.y - a.y;
        const BodyOffsets offsets = body_offsets(dx, dy, pen.width);
        if (dash.solid()) {
            // Pieces that cannot reach the area are left out, and where two
            // meet one round end serves both.
            const bool seen = reaches(shape.limit(), a, b, pen.width);
            if (seen)
                add_wide_piece(shape, a, b, offsets, cap, round_ends && !a_is_round, round_ends);
            a_is_round = seen && round_ends;
            if (covered()) return;
            continue;
        }
        const double length = std::hypot(double(dx), double(dy));
        // A point t along the segment, each coordinate truncated towards a.
        auto at = [&](double t) {
            return DevicePoint{a.x + (long long)std::trunc(double(dx) * t / length),
                               a.y + (long long)std::trunc(double(dy) * t / length)};
        };
        // Far outside the area nothing is drawn, and a whole number of
        // periods leaves the pattern where it was: skip them, so that a long
        // line costs what its visible part does.
        double visible_from = 0, visible_to = length;
        visible_range(shape.limit(), double(pen.width) + 2, a, b, length, visible_from, visible_to);
        const double whole = double(dash.period);
        bool first_piece = true;
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
            if (position.left <= 0) {
                position.entry = (position.entry + 1) % dash.lengths.size();
                position.left = double(dash.lengths[position.entry]);
                // A dash of no length leaves a dot only as a segment's first piece.
                if (position.left == 0 && position.entry % 2 == 0) {
                    if (first_piece)
                        add_wide_piece(shape, at(t), at(t), offsets, cap, round_ends, round_ends);
                    first_piece = false;
                }
                continue;
            }
            const double run = std::min(position.left, length - t);
            if (position.entry % 2 == 0) {
                add_wide_piece(shape, at(t), at(t + run), offsets, cap, round_ends, round_ends);
                first_piece = false;
                if (covered()) return;
            }
            t += run;
            position.left -= run;
        }
    }
}

// The pixels of a wide stroke in the DC's pen.
void paint_with_pen(DeviceContext &dc, SpanUnion &stroke) {
    SpanPaint paint(dc.surface(), std::uint8_t(dc.pixel(dc.pen.object->color)), dc.rop2);
    stroke.paint(paint);
}

} // namespace

bool wide_pen(const DeviceContext &dc) {
    const Pen &pen = *dc.pen.object;
    return pen.dash_style() != PS_NULL && pen.geometric() && pen.width > 1;
}

SpanUnion wide_stroke(DeviceContext &dc, std::span<const DevicePoint> points) {
    const Pen &pen = *dc.pen.object;
    SpanUnion shape(reach(dc, points, pen.width));
    if (points.size() >= 2) add_wide_path(shape, pen, points);
    return shape;
}

void stroke_polyline(DeviceContext &dc, std::span<const DevicePoint> points) {
    const Pen &pen = *dc.pen.object;
    if (pen.dash_style() == PS_NULL || points.size() < 2) return;
    if (wide_pen(dc)) {
        SpanUnion shape = wide_stroke(dc, points);
        paint_with_pen(dc, shape);
        return;
    }
    const Box clip = dc.drawable();
    if (clip.empty()) return;
    // The background colour only for the gaps that paint it.
    const bool paints_gaps = pen.dash.paints_gaps && dc.bk_mode == OPAQUE;
    CosmeticStroke stroke{dc.surface(),
                          clip,
                          mix_of(dc.rop2, std::uint8_t(dc.pixel(pen.color))),
                          paints_gaps ? mix_of(dc.rop2, std::uint8_t(dc.pixel(dc.bk_color)))
                                      : Mix{},
                          paints_gaps,
                          pen.dash};
    if (pen.dash.solid()) {
        // A path traced pixel by pixel is mostly steps to a neighbour, each
        // painting its start: a row's run of them goes as one span.
        StepRun run{dc.surface(), clip, stroke.on};
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            const DevicePoint &a = points[i], &b = points[i + 1];
            const long long dx = b.x - a.x, dy = b.y - a.y;
            if (dx == 0 && dy == 0) continue;
            if (neighbour_step(dx, dy))
                run.add(a);
            else
                stroke.segment(a, b, 0);
        }
        run.flush();
        return;
    }
    long long position = 0;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const DevicePoint &a = points[i], &b = points[i + 1];
        stroke.segment(a, b, position);
        position += std::max(std::llabs(b.x - a.x), std::llabs(b.y - a.y));
    }
}

namespace {

// Paints each span it receives except where a wide stroke lies.
class BesideStroke final : public SpanSink {
public:
    BesideStroke(SpanPaint &paint, SpanUnion &stroke, const Box &limit)
        : paint_(paint), stroke_(stroke), limit_(limit) {}
    void span(long long y, long long x0, long long x1) override {
        if (y < limit_.top || y >= limit_.bottom) return;
        x0 = std::max<long long>(x0, limit_.left);
        x1 = std::min<long long>(x1, limit_.right);
        if (x0 < x1) stroke_.paint_outside(paint_, int(y), int(x0), int(x1));
    }

private:
    SpanPaint &paint_;
    SpanUnion &stroke_;
    Box limit_;
};

} // namespace

void fill_and_stroke(DeviceContext &dc, const std::function<void(const Box &, SpanSink &)> &inside,
                     std::span<const DevicePoint> outline) {
    const Box area = dc.drawable();
    SpanPaint brush(dc, *dc.brush.object, dc.rop2);
    if (!wide_pen(dc)) {
        if (brush.paints() && !area.empty()) {
            PaintingSink sink(brush, area);
            inside(area, sink);
        }
        stroke_polyline(dc, outline);
        return;
    }
    SpanUnion stroke = wide_stroke(dc, outline);
    if (brush.paints() && !area.empty()) {
        BesideStroke sink(brush, stroke, area);
        inside(area, sink);
    }
    paint_with_pen(dc, stroke);
}

void fill_and_stroke_polygon(DeviceContext &dc, std::vector<DevicePoint> &points, bool winding) {
    const std::size_t corners = points.size();
    points.push_back(points.front()); // the outline is closed
    const std::span<const DevicePoint> polygon(points.data(), corners);
    fill_and_stroke(
        dc, [&](const Box &area, SpanSink &sink) { scan_polygon(polygon, winding, area, sink); },
        points);
}

} // namespace win32::gdi

namespace win32 {

using namespace gdi;

BOOL LineTo(HDC dc_handle, int x, int y) {
    trace::record("LineTo", dc_handle, {x, y});
    auto dc = find_dc(dc_handle);
    if (!dc) return FALSE;
    const POINT end{x, y};
    const DevicePoint ends[] = {to_device(*dc, dc->position), to_device(*dc, end)};
    stroke_polyline(*dc, ends);
    dc->position = end;
    return TRUE;
}

BOOL Polyline(HDC dc_handle, const POINT *points, int count) {
    trace::record_points("Polyline", dc_handle, points, count);
    auto dc = find_dc(dc_handle);
    if (!dc || !points || count < 2) return FALSE;
    // Short polylines (BGI's lines are two points) without the heap.
    DevicePoint few[8];
    if (count <= 8) {
        for (int i = 0; i < count; ++i) few[i] = to_device(*dc, points[i]);
        stroke_polyline(*dc, std::span<const DevicePoint>(few, std::size_t(count)));
    } else {
        stroke_polyline(*dc, to_device(*dc, points, count));
    }
    return TRUE;
}

} // namespace win32
