// Arcs, circles and ellipses: each a box about the centre and, for arcs and
// slices, a start and an end point, handed to one platform call per target.
// They draw in copy mode whatever the write mode. An arc or slice that
// sweeps a whole turn or more is the whole ellipse.
#include "bgi.h"
#include "bgi_internal.h"
#include "object_cache.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#ifndef _WIN32
using namespace win32;
#endif
using namespace bgi;

namespace {

constexpr double pi = 3.141592653589793;

// The centre and the end points of the last arc, pie slice, elliptical arc or
// sector, in viewport coordinates; circle and fillellipse leave it alone.
arccoordstype ac = {};

// An offset truncated towards zero. Radii reach the whole int range, and so
// can an offset, which then wraps like the coordinates it is added to.
int truncated(double offset) {
    return int(unsigned((long long)offset));
}

// The point of the circle of radius r about (x, y) in the direction of
// `angle` degrees; y grows downwards.
void circle_point(int x, int y, int angle, int r, int &px, int &py) {
    const double rad = angle * pi / 180;
    px = wrap_add(x, truncated(std::cos(rad) * r));
    py = wrap_sub(y, truncated(std::sin(rad) * r));
}

// The offset from the centre of the point where the ellipse with radii rx
// and ry meets the ray at `angle` degrees. The coordinate along the axis the
// ray is nearer comes from the square root, the other from the tangent or
// cotangent, so no division goes through a sine or cosine near zero.
void arc_coords(double angle, double rx, double ry, int &dx, int &dy) {
    if (rx == 0 || ry == 0) {
        dx = dy = 0;
        return;
    }
    const double rad = angle * pi / 180, s = std::sin(rad), c = std::cos(rad);
    double x, y;
    if (std::fabs(c) > std::fabs(s)) {
        const double t = s / c;
        x = std::sqrt((rx * rx * ry * ry) / (ry * ry + rx * rx * t * t));
        y = x * std::fabs(t);
    } else {
        const double u = c / s;
        y = std::sqrt((rx * rx * ry * ry) / (rx * rx + ry * ry * u * u));
        x = y * std::fabs(u);
    }
    dx = truncated(c >= 0 ? x : -x);
    dy = truncated(s >= 0 ? -y : y);
}

// The end points of a circular arc, into ac.
void circle_points(int x, int y, int stangle, int endangle, int radius) {
    ac.x = x, ac.y = y;
    circle_point(x, y, stangle, radius, ac.xstart, ac.ystart);
    circle_point(x, y, endangle, radius, ac.xend, ac.yend);
}

// The end points of an elliptical arc, into ac.
void ellipse_points(int x, int y, int stangle, int endangle, int xradius, int yradius) {
    ac.x = x, ac.y = y;
    arc_coords(stangle, xradius, yradius, ac.xstart, ac.ystart);
    arc_coords(endangle, xradius, yradius, ac.xend, ac.yend);
    ac.xstart = wrap_add(ac.xstart, x), ac.xend = wrap_add(ac.xend, x);
    ac.ystart = wrap_add(ac.ystart, y), ac.yend = wrap_add(ac.yend, y);
}

void select_pen() {
    pcache.select(drawing.color + palette_slot_offset);
}

// The whole outline of the ellipse in the box: an Arc from a point round to
// the same point.
void whole_outline(HDC dc, int left, int top, int right, int bottom, int x, int y) {
#ifdef _WIN32
    // The system's GDI under Wine draws such an Arc as a polyline that stops
    // one pixel short of closing, so a fill from the centre leaks through.
    // Its Ellipse outline is the same ring, closed (as Windows' Arc is):
    // the Windows build outlines whole ellipses with Ellipse and no brush.
    (void)x, (void)y;
    const HGDIOBJ brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Ellipse(dc, left, top, right, bottom);
    SelectObject(dc, brush);
#else
    Arc(dc, left, top, right, bottom, x, y, x, y);
#endif
}

// Whether the rays from the centre (x, y) through two points coincide, a
// point at the centre counting as on every ray.
bool on_one_ray(int x, int y, int x0, int y0, int x1, int y1) {
    const long long u_x = (long long)x0 - x, u_y = (long long)y0 - y;
    const long long v_x = (long long)x1 - x, v_y = (long long)y1 - y;
    if ((u_x == 0 && u_y == 0) || (v_x == 0 && v_y == 0)) return true;
    // Points that wrapped round the ints lie up to 2^32 from the centre,
    // where the products overflow 64 bits: there the test is in floating
    // point, which tells such rays apart as well as any drawing needs.
    if (std::max({std::llabs(u_x), std::llabs(u_y), std::llabs(v_x), std::llabs(v_y)}) > INT_MAX) {
        const double ux = double(u_x), uy = double(u_y), vx = double(v_x), vy = double(v_y);
        return ux * vy == uy * vx && ux * vx + uy * vy > 0;
    }
    return u_x * v_y == u_y * v_x && u_x * v_x + u_y * v_y > 0;
}

// A point on the exact ray at `angle` degrees from (x, y), far enough out
// that the rays of angles a degree apart are told apart.
void ray_point(int x, int y, int angle, int &px, int &py) {
    constexpr double reach = 1 << 16;
    const double rad = angle * pi / 180;
    px = wrap_add(x, int(std::lround(std::cos(rad) * reach)));
    py = wrap_sub(y, int(std::lround(std::sin(rad) * reach)));
}

// The box of radii rx, ry about (x, y), and the points its arc or slice runs
// between: ac's end points, or, when the angles sweep a whole turn or more,
// the start point twice. Points of angles a turn apart need not lie on one
// ray (each is truncated on its own), so only equal points mean the whole
// ellipse for certain. The other way round, the truncated points of angles
// that differ can fall on one ray (a 1 degree arc of radius 50 starting at
// 0, or most short arcs of small radii), which the platform would draw as
// the whole ellipse: those get points on the angles' own rays instead.
struct ArcCall {
    int left, top, right, bottom;
    arccoordstype ends;
    bool whole() const { return ends.xstart == ends.xend && ends.ystart == ends.yend; }
};

ArcCall arc_call(int x, int y, int stangle, int endangle, int rx, int ry) {
    ArcCall call{wrap_sub(x, rx), wrap_sub(y, ry), wrap_add(x, rx), wrap_add(y, ry), ac};
    arccoordstype &e = call.ends;
    const long long sweep = (long long)endangle - stangle;
    if (sweep >= 360) {
        e.xend = e.xstart;
        e.yend = e.ystart;
    } else if (sweep % 360 != 0 && rx != 0 && ry != 0 &&
               on_one_ray(x, y, e.xstart, e.ystart, e.xend, e.yend)) {
        ray_point(x, y, stangle, e.xstart, e.ystart);
        ray_point(x, y, endangle, e.xend, e.yend);
    }
    return call;
}

void draw_arc(const ArcCall &c) {
    const arccoordstype &p = c.ends;
    on_targets([&](HDC dc) {
        if (c.whole())
            whole_outline(dc, c.left, c.top, c.right, c.bottom, p.xstart, p.ystart);
        else
            Arc(dc, c.left, c.top, c.right, c.bottom, p.xstart, p.ystart, p.xend, p.yend);
    });
}

void draw_pie(const ArcCall &c) {
    const arccoordstype &p = c.ends;
    on_targets([&](HDC dc) {
        Pie(dc, c.left, c.top, c.right, c.bottom, p.xstart, p.ystart, p.xend, p.yend);
    });
}

} // namespace

extern "C" {

void arc(int x, int y, int stangle, int endangle, int radius) {
    circle_points(x, y, stangle, endangle, radius);
    select_pen();
    draw_arc(arc_call(x, y, stangle, endangle, radius, radius));
}

// The height follows the aspect ratio, worked out in 64 bits so that no
// product wraps. A y aspect of 0 has no ratio to give: the circle stays
// round. A height beyond the int range is cut to it.
void circle(int x, int y, int radius) {
    select_pen();
    const long long xasp = drawing.aspect_ratio_x, yasp = drawing.aspect_ratio_y;
    long long height = yasp == 0 ? radius : (long long)radius * xasp / yasp;
    if (height > INT_MAX) height = INT_MAX;
    if (height < -INT_MAX) height = -INT_MAX;
    const int ry = int(height), start_x = wrap_add(x, radius);
    const int left = wrap_sub(x, radius), top = wrap_sub(y, ry);
    const int right = start_x, bottom = wrap_add(y, ry);
    // Start and end the same point: the whole ellipse.
    on_targets([&](HDC dc) { whole_outline(dc, left, top, right, bottom, start_x, y); });
}

void pieslice(int x, int y, int stangle, int endangle, int radius) {
    select_pen();
    select_fill_color();
    circle_points(x, y, stangle, endangle, radius);
    draw_pie(arc_call(x, y, stangle, endangle, radius, radius));
}

void ellipse(int x, int y, int stangle, int endangle, int xradius, int yradius) {
    ellipse_points(x, y, stangle, endangle, xradius, yradius);
    select_pen();
    draw_arc(arc_call(x, y, stangle, endangle, xradius, yradius));
}

void fillellipse(int x, int y, int xradius, int yradius) {
    select_pen();
    select_fill_color();
    const int left = wrap_sub(x, xradius), top = wrap_sub(y, yradius);
    const int right = wrap_add(x, xradius), bottom = wrap_add(y, yradius);
    on_targets([&](HDC dc) { Ellipse(dc, left, top, right, bottom); });
}

void sector(int x, int y, int stangle, int endangle, int xradius, int yradius) {
    ellipse_points(x, y, stangle, endangle, xradius, yradius);
    select_pen();
    select_fill_color();
    draw_pie(arc_call(x, y, stangle, endangle, xradius, yradius));
}

void getarccoords(struct arccoordstype *arccoords) {
    if (arccoords) *arccoords = ac;
}

} // extern "C"
