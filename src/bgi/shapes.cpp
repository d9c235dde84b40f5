// Lines, polygons, bars and pixels: the straight-edged primitives and the
// flood fill, each one platform call per target DC.
#include "bgi.h"
#include "bgi_internal.h"
#include "object_cache.h"

#include <climits>
#include <cstddef>
#include <utility>

#ifndef _WIN32
using namespace win32;
#endif
using namespace bgi;

namespace {

// tan 30 degrees: how far the back face of a 3-D bar rises per unit of depth.
constexpr double bar3d_slope = 0.5773502691896258;

// The outlines that honour the write mode (lineto, drawpoly and bar3d's
// edges). The mix mode holds for this one call only.
template <class F> void draw_outline(F draw) {
    const int mode = begin_write_mode();
    on_targets(draw);
    end_write_mode(mode);
}

// A point list of the public API is pairs of ints, x first: POINT's layout,
// so it goes to GDI as it is.
static_assert(sizeof(POINT) == 2 * sizeof(int) && offsetof(POINT, y) == sizeof(int));
const POINT *as_points(const int *xy) {
    return reinterpret_cast<const POINT *>(xy);
}

} // namespace

extern "C" {

void lineto(int x, int y) {
    draw_outline([&](HDC dc) { LineTo(dc, x, y); });
}

// From the page DC's position, as moverel.
void linerel(int dx, int dy) {
    POINT p{0, 0};
    GetCurrentPositionEx(device.hdc[1], &p);
    lineto(wrap_add(p.x, dx), wrap_add(p.y, dy));
}

// Open: the caller repeats the first point to close the figure.
void drawpoly(int numpoints, const int *polypoints) {
    if (!polypoints || numpoints < 0) return;
    const POINT *points = as_points(polypoints);
    draw_outline([&](HDC dc) { Polyline(dc, points, numpoints); });
}

// A polyline, so the write mode applies and the current position stays.
void line(int x1, int y1, int x2, int y2) {
    const int points[] = {x1, y1, x2, y2};
    drawpoly(2, points);
}

void rectangle(int left, int top, int right, int bottom) {
    const int points[] = {left, top, right, top, right, bottom, left, bottom, left, top};
    drawpoly(5, points);
}

// Copy mode always; the edge in the drawing colour, the inside in the
// current fill brush.
void fillpoly(int numpoints, const int *polypoints) {
    if (!polypoints || numpoints < 0) return;
    const POINT *points = as_points(polypoints);
    pcache.select(drawing.color + palette_slot_offset);
    select_fill_color();
    on_targets([&](HDC dc) { Polygon(dc, points, numpoints); });
}

// The right column and bottom row are left out, as FillRect does; DOS filled
// them too, and so does classic behaviour.
void bar(int left, int top, int right, int bottom) {
    if (left > right) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    const int edge = classic_behaviour() ? 1 : 0;
    const RECT rect{left, top, right < INT_MAX ? right + edge : right,
                    bottom < INT_MAX ? bottom + edge : bottom};
    select_fill_color();
    const HBRUSH brush = current_fill_brush();
    on_targets([&](HDC dc) { FillRect(dc, &rect, brush); });
}

void bar3d(int left, int top, int right, int bottom, int depth, int topflag) {
    if (left > right) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    // The inner face is the bar inset by the line thickness on every side.
    // An inset that passes itself leaves no face; handed to bar as it is, it
    // would be turned round and painted outside the outline.
    const long long t = drawing.line_settings.thickness;
    if ((long long)left + t <= (long long)right - t + 1 &&
        (long long)top + t <= (long long)bottom - t + 1)
        bar(int(left + t), int(top + t), int(right - t + 1), int(bottom - t + 1));
    const int dy = int(depth * bar3d_slope);
    const int back_right = wrap_add(right, depth), back_left = wrap_add(left, depth);
    const int back_top = wrap_sub(top, dy), back_bottom = wrap_sub(bottom, dy);
    // Front face, right side face, then (with a top) back along the top edge.
    const POINT points[] = {{right, bottom},        {right, top},    {left, top},
                            {left, bottom},         {right, bottom}, {back_right, back_bottom},
                            {back_right, back_top}, {right, top},    {back_right, back_top},
                            {back_left, back_top},  {left, top}};
    const int count = topflag ? 11 : 8;
    draw_outline([&](HDC dc) { Polyline(dc, points, count); });
}

// The border colour is not masked: colours beyond 15 name other slots.
void floodfill(int x, int y, int border) {
    select_fill_color();
    const COLORREF border_color = PALETTEINDEX(WORD(unsigned(border) + palette_slot_offset));
    on_targets([&](HDC dc) { FloodFill(dc, x, y, border_color); });
}

void putpixel(int x, int y, int c) {
    const COLORREF pixel_color = palette_color(c & 15);
    on_targets([&](HDC dc) { SetPixel(dc, x, y, pixel_color); });
}

// The BGI colour whose current RGB the pixel shows (the lowest such), or -1
// for a pixel outside the page or the clip, or of no BGI colour.
int getpixel(int x, int y) {
    const COLORREF c = GetPixel(page_is_target() ? device.hdc[1] : device.hdc[0], x, y);
    if (c == CLR_INVALID) return -1;
    return bgi_color_of(c);
}

} // extern "C"
