// Conformance scenes of filled shapes and mix modes: polygons, flood fills,
// and the sixteen SetROP2 modes.
#include "scene_kit.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace conformance {

namespace {

void polygon(HDC dc, const std::vector<POINT> &points) {
    Polygon(dc, points.data(), int(points.size()));
}

// ---- Polygons -----------------------------------------------------------------------------

struct Shape {
    const char *name;
    std::vector<std::vector<POINT>> polygons;
};

const Shape kShapes[] = {
    {"convex",
     {{{10, 8}, {40, 4}, {60, 20}, {54, 50}, {24, 62}, {2, 36}}, {{-6, 60}, {12, 66}, {-2, 70}}}},
    {"concave", {{{4, 10}, {56, 6}, {30, 22}, {58, 40}, {8, 58}, {20, 32}}}},
    // A pentagram, a bow tie and a sliver.
    {"crossed",
     {{{32, 6}, {50, 58}, {4, 24}, {60, 24}, {14, 58}},
      {{40, 2}, {62, 14}, {62, 2}, {40, 14}},
      {{2, 63}, {62, 60}, {3, 62}}}},
};

// A polygon list filled with a pattern brush under a moved viewport origin
// and a clip region that cuts it, with or without a pen outline.
void polygon_scene(DumpFile &out, const Shape &shape, int fill_mode, bool outline) {
    Canvas canvas(64, 64, kClear);
    HDC dc = canvas.dc();
    PatternBrush pattern;
    BrushIn b(dc, pattern.get());
    Selected p(dc, outline ? pen(PS_SOLID, 1, 0x80) : pen(PS_NULL, 0, 0));
    SetTextColor(dc, pal(0x35));
    SetBkColor(dc, pal(0xC8));
    SetPolyFillMode(dc, fill_mode);
    clip_to(dc, 0, 6, 56, 64);
    SetViewportOrgEx(dc, 5, -3, nullptr);
    for (const std::vector<POINT> &points : shape.polygons) polygon(dc, points);
    std::string name = std::string("polygon_") + shape.name;
    if (fill_mode == WINDING) name += "_winding";
    out.pixels(name + (outline ? "_outline" : "_no_pen"), dc, 64, 64);
}

// Polygons with fewer than three distinct corners, and what the calls return.
void polygon_degenerate(DumpFile &out) {
    Canvas canvas(48, 32, kClear);
    HDC dc = canvas.dc();
    Selected p(dc, pen(PS_SOLID, 1, 0x80));
    Selected b(dc, CreateSolidBrush(pal(0x3C)));
    std::vector<COLORREF> results;
    auto draw = [&](const std::vector<POINT> &points) {
        results.push_back(COLORREF(Polygon(dc, points.data(), int(points.size()))));
    };
    draw({{4, 4}, {40, 10}});                       // two points
    draw({{4, 14}, {20, 18}, {36, 22}});            // on one line
    draw({{30, 4}, {30, 4}, {30, 4}});              // one point three times
    draw({{6, 24}, {6, 24}, {26, 30}, {26, 30}});   // two points, each twice
    draw({{40, 20}, {44, 20}, {44, 21}, {40, 21}}); // one row high
    draw({{10, 2}});                                // one point
    out.pixels("polygon_degenerate", dc, 48, 32);
    out.values("polygon_degenerate_results", int(results.size()), 1, results);
}

// ---- Flood fill ---------------------------------------------------------------------------

constexpr int kBorder = 0x40;

// What every FloodFill call returned, in order.
std::vector<COLORREF> flood_results;

void flood(HDC dc, int x, int y) {
    flood_results.push_back(COLORREF(FloodFill(dc, x, y, pal(kBorder))));
}

void border_rect(HDC dc, int left, int top, int right, int bottom) {
    fill(dc, left, top, right, bottom, kBorder);
}

// The outline of the box whose corner pixels are (left, top) and
// (right, bottom), all inclusive.
void border_box(HDC dc, int left, int top, int right, int bottom) {
    border_rect(dc, left, top, right + 1, top + 1);
    border_rect(dc, left, bottom, right + 1, bottom + 1);
    border_rect(dc, left, top, left + 1, bottom + 1);
    border_rect(dc, right, top, right + 1, bottom + 1);
}

void border_dot(HDC dc, int x, int y) {
    border_rect(dc, x, y, x + 1, y + 1);
}

// Regions that only a fill through diagonal neighbours could leave: a
// diagonal line of border pixels, a missing corner and a kinked wall.
void flood_diagonal(DumpFile &out) {
    Canvas canvas(64, 48, kClear);
    HDC dc = canvas.dc();
    Selected b(dc, CreateSolidBrush(pal(0x90)));
    border_box(dc, 2, 2, 30, 40);
    for (int i = 0; i <= 26; ++i) border_dot(dc, 3 + i, 10 + i);
    fill(dc, 12, 8, 14, 9, 0x77); // other colours inside are filled over
    fill(dc, 25, 30, 26, 31, 0x90);
    flood(dc, 20, 6);

    // A box whose top right corner is missing and whose left wall steps
    // sideways, touching diagonally at the step.
    border_rect(dc, 34, 2, 62, 3);
    border_rect(dc, 62, 3, 63, 41);
    border_rect(dc, 34, 40, 63, 41);
    border_rect(dc, 34, 2, 35, 20);
    border_rect(dc, 35, 20, 36, 41);
    flood(dc, 45, 20);
    out.pixels("flood_diagonal", dc, 64, 48);
}

// A square spiral with a corridor two pixels wide, filled from its middle;
// the corridor opens at the top left into the frame along the bitmap's edges.
void flood_spiral(DumpFile &out) {
    Canvas canvas(64, 64, kClear);
    HDC dc = canvas.dc();
    Selected b(dc, CreateSolidBrush(pal(0x90)));
    int x = 1, y = 1, length = 61;
    const int dx[] = {1, 0, -1, 0}, dy[] = {0, 1, 0, -1};
    for (int turn = 0; length >= 2; ++turn) {
        const int ex = x + dx[turn % 4] * length, ey = y + dy[turn % 4] * length;
        border_rect(dc, std::min(x, ex), std::min(y, ey), std::max(x, ex) + 1, std::max(y, ey) + 1);
        x = ex, y = ey;
        if (turn % 2 == 0 && turn > 0) length -= 3;
    }
    flood(dc, 31, 33);
    out.pixels("flood_spiral", dc, 64, 64);
}

// Concentric rings with one-pixel doors on changing sides; the innermost
// but one has no door, so the fill never reaches the middle.
void flood_rings(DumpFile &out, bool patterned) {
    Canvas canvas(64, 64, kClear);
    HDC dc = canvas.dc();
    PatternBrush pattern;
    Selected solid(dc, CreateSolidBrush(pal(0x90)));
    if (patterned) SelectObject(dc, pattern.get());
    SetTextColor(dc, pal(0x35));
    SetBkColor(dc, pal(0xC8));
    for (int ring = 0; ring < 7; ++ring) {
        const int lo = 1 + ring * 4, hi = 62 - ring * 4;
        border_box(dc, lo, lo, hi, hi);
        if (ring == 5) continue;
        const int door = lo + 2 + (ring * 5) % (hi - lo - 3);
        switch (ring % 4) {
        case 0:
            fill(dc, door, lo, door + 1, lo + 1, kClear);
            break;
        case 1:
            fill(dc, hi, door, hi + 1, door + 1, kClear);
            break;
        case 2:
            fill(dc, door, hi, door + 1, hi + 1, kClear);
            break;
        default:
            fill(dc, lo, door, lo + 1, door + 1, kClear);
            break;
        }
    }
    if (patterned) SetViewportOrgEx(dc, -3, 5, nullptr);
    flood(dc, patterned ? 14 : 11, patterned ? 6 : 11); // device (11, 11)
    out.pixels(patterned ? "flood_rings_pattern" : "flood_rings", dc, 64, 64);
}

// Regions bounded by the bitmap's edges and by a clip region; one is a U
// whose two arms are inside the clip and whose bottom is not.
void flood_edges_clip(DumpFile &out) {
    Canvas canvas(64, 48, kClear);
    HDC dc = canvas.dc();
    Selected b(dc, CreateSolidBrush(pal(0x90)));
    // Open to the top and left edges.
    border_rect(dc, 20, 0, 21, 31);
    border_rect(dc, 0, 30, 20, 31);
    flood(dc, 5, 5);
    // The U.
    border_box(dc, 29, 3, 57, 41);
    border_rect(dc, 37, 3, 50, 34);
    clip_to(dc, 24, 0, 64, 24);
    flood(dc, 32, 10);
    // Open to the right edge, inside the clip.
    border_rect(dc, 58, 10, 64, 11);
    border_rect(dc, 58, 20, 64, 21);
    flood(dc, 61, 15);
    out.pixels("flood_edges_clip", dc, 64, 48);
}

// Fills that must paint nothing: from a pixel of the border colour, from
// outside the clip region, from outside the bitmap.
void flood_refused(DumpFile &out) {
    Canvas canvas(48, 32, kClear);
    HDC dc = canvas.dc();
    Selected b(dc, CreateSolidBrush(pal(0x90)));
    border_box(dc, 4, 4, 20, 20);
    border_rect(dc, 30, 0, 31, 32);
    flood(dc, 4, 10);  // on the border
    flood(dc, 30, 31); // on the border, at the bitmap's edge
    clip_to(dc, 0, 0, 24, 24);
    flood(dc, 40, 10); // outside the clip, in an open area
    flood(dc, 24, 10); // just outside the clip
    SelectClipRgn(dc, nullptr);
    flood(dc, -1, 10); // outside the bitmap
    flood(dc, 48, 10);
    flood(dc, 10, 32);
    out.pixels("flood_refused", dc, 48, 32);
}

// FloodFill under a mix mode: does the brush combine with what is there?
void flood_mix(DumpFile &out) {
    Canvas canvas(32, 24, kClear);
    HDC dc = canvas.dc();
    for (int x = 0; x < 32; x += 4) fill(dc, x, 0, x + 2, 24, 0x5C);
    Selected b(dc, CreateSolidBrush(pal(0x96)));
    border_box(dc, 2, 2, 29, 21);
    SetROP2(dc, R2_XORPEN);
    flood(dc, 10, 10);
    out.pixels("flood_mix_xor", dc, 32, 24);
}

// FloodFill with a clip region and a moved viewport origin together, as the
// BGI layer fills in a clipped viewport: the reference fails there (see the
// table of scenes allowed below 100%), so these fills and what they return
// are a scene of their own.
void flood_clip_viewport(DumpFile &out) {
    Canvas canvas(64, 48, kClear);
    HDC dc = canvas.dc();
    Selected b(dc, CreateSolidBrush(pal(0x90)));
    border_box(dc, 4, 4, 40, 30);
    border_box(dc, 44, 8, 60, 44);
    std::vector<COLORREF> results;
    clip_to(dc, 2, 2, 36, 40);
    SetViewportOrgEx(dc, 10, 6, nullptr);
    results.push_back(COLORREF(FloodFill(dc, 5, 5, pal(kBorder)))); // device (15, 11)
    SetViewportOrgEx(dc, -20, 3, nullptr);
    clip_to(dc, 46, 20, 64, 48);
    results.push_back(COLORREF(FloodFill(dc, 72, 30, pal(kBorder)))); // device (52, 33)
    out.pixels("flood_clip_viewport", dc, 64, 48);
    out.values("flood_clip_viewport_results", int(results.size()), 1, results);
}

// ---- Mix modes ----------------------------------------------------------------------------

// Stripes of indices whose bits differ in every way the modes can tell.
void paint_stripes(HDC dc, int width, int height) {
    const int indices[] = {0x00, 0xFF, 0x55, 0xAA, 0x0F, 0xF0, 0x3C, 0xC3, 0x11, 0x96};
    for (int y = 0; y < height; y += 4) {
        for (int x = 0; x < width; x += 3) {
            fill(dc, x, y, x + 3, y + 4, indices[(x / 3) % 10] ^ ((y / 4) % 2 ? 0x81 : 0));
        }
    }
}

void rop2_scene(DumpFile &out, const char *name, int mode) {
    Canvas canvas(48, 32, kClear);
    HDC dc = canvas.dc();
    paint_stripes(dc, 48, 32);
    SetROP2(dc, mode);
    SetBkColor(dc, pal(0xC6));
    {
        Selected p(dc, pen(PS_SOLID, 1, 0x5A));
        line(dc, 2, 2, 45, 29);
        line(dc, 2, 29, 20, 2);
        Selected b(dc, CreateSolidBrush(pal(0x36)));
        polygon(dc, {{24, 3}, {45, 11}, {30, 28}});
    }
    {
        Selected p(dc, pen(PS_DOT, 1, 0x5A)); // opaque gaps mix too
        line(dc, 1, 16, 47, 18);
    }
    out.pixels(std::string("rop2_") + name, dc, 48, 32);
}

void rop2_scenes(DumpFile &out) {
    const std::pair<const char *, int> modes[] = {
        {"black", R2_BLACK},
        {"notmergepen", R2_NOTMERGEPEN},
        {"masknotpen", R2_MASKNOTPEN},
        {"notcopypen", R2_NOTCOPYPEN},
        {"maskpennot", R2_MASKPENNOT},
        {"not", R2_NOT},
        {"xorpen", R2_XORPEN},
        {"notmaskpen", R2_NOTMASKPEN},
        {"maskpen", R2_MASKPEN},
        {"notxorpen", R2_NOTXORPEN},
        {"nop", R2_NOP},
        {"mergenotpen", R2_MERGENOTPEN},
        {"copypen", R2_COPYPEN},
        {"mergepennot", R2_MERGEPENNOT},
        {"mergepen", R2_MERGEPEN},
        {"white", R2_WHITE},
    };
    for (const auto &[name, mode] : modes) rop2_scene(out, name, mode);
}

} // namespace

void shape_scenes(DumpFile &out) {
    for (const Shape &shape : kShapes) {
        polygon_scene(out, shape, ALTERNATE, true);
        polygon_scene(out, shape, ALTERNATE, false);
    }
    polygon_scene(out, kShapes[2], WINDING, true);
    polygon_scene(out, kShapes[2], WINDING, false);
    polygon_degenerate(out);
    flood_results.clear();
    flood_diagonal(out);
    flood_spiral(out);
    flood_rings(out, false);
    flood_rings(out, true);
    flood_edges_clip(out);
    flood_refused(out);
    flood_mix(out);
    flood_clip_viewport(out);
    out.values("flood_results", int(flood_results.size()), 1, flood_results);
    rop2_scenes(out);
}

} // namespace conformance
