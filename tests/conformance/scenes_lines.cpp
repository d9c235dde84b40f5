// Conformance scenes of lines: cosmetic lines in every direction and length,
// clipped and with huge coordinates; the dash styles, wide pens and user
// styles.
#include "scene_kit.h"

#include <string>
#include <utility>
#include <vector>

namespace conformance {

namespace {

// A distinct colour for the i-th line of a scene, never kClear or kGap.
int line_colour(int i) {
    return 0x20 + (i * 37) % 0xC0;
}

void polyline(HDC dc, const std::vector<POINT> &points) {
    Polyline(dc, points.data(), int(points.size()));
}

// A canvas for lines: cleared, with the gap colour as background colour.
struct LineCanvas : Canvas {
    LineCanvas(int width, int height) : Canvas(width, height, kClear) {
        SetBkColor(dc(), pal(kGap));
    }
};

// The points at Chebyshev distance r from the origin, once round clockwise
// from the top left corner: every slope a line of that length can have.
std::vector<POINT> ring(int r) {
    std::vector<POINT> points;
    for (int i = -r; i < r; ++i) points.push_back({i, -r});
    for (int i = -r; i < r; ++i) points.push_back({r, i});
    for (int i = r; i > -r; --i) points.push_back({i, r});
    for (int i = r; i > -r; --i) points.push_back({-r, i});
    return points;
}

// ---- Cosmetic lines -------------------------------------------------------------------

// Lines from the centre to every point of a ring, or from every point of the
// ring to the centre; later lines cover earlier ones.
void line_fan(DumpFile &out, int r, bool outwards) {
    const int size = 2 * r + 6, c = r + 3;
    LineCanvas canvas(size, size);
    HDC dc = canvas.dc();
    const std::vector<POINT> points = ring(r);
    for (std::size_t i = 0; i < points.size(); ++i) {
        Selected p(dc, pen(PS_SOLID, 1, line_colour(int(i))));
        const POINT end{c + points[i].x, c + points[i].y};
        if (outwards)
            line(dc, c, c, end.x, end.y);
        else
            line(dc, end.x, end.y, c, c);
    }
    out.pixels((outwards ? "line_fan_out_r" : "line_fan_in_r") + std::to_string(r), dc, size, size);
}

// Lines of every length from 0 to 40 in all eight octants, at a slope that
// changes with the length, drawn with R2_XORPEN in distinct colours: where
// lines overlap, any pixel one of them gains or loses still shows.
void line_lengths(DumpFile &out, bool outwards) {
    constexpr int size = 88, c = 44;
    LineCanvas canvas(size, size);
    HDC dc = canvas.dc();
    SetROP2(dc, R2_XORPEN);
    int index = 0;
    for (int length = 0; length <= 40; ++length) {
        for (int octant = 0; octant < 8; ++octant) {
            const int minor = length == 0 ? 0 : (length * (2 * octant + 3) + octant) % (length + 1);
            int dx = octant & 1 ? minor : length, dy = octant & 1 ? length : minor;
            if (octant & 2) dx = -dx;
            if (octant & 4) dy = -dy;
            Selected p(dc, pen(PS_SOLID, 1, 1 + (index++ * 97) % 254));
            if (outwards)
                line(dc, c, c, c + dx, c + dy);
            else
                line(dc, c + dx, c + dy, c, c);
        }
    }
    out.pixels(outwards ? "line_lengths_out" : "line_lengths_in", dc, size, size);
}

// Long lines through a clip region and over the bitmap edges, solid and
// styled: clipping must neither move a line's pixels nor shift its style.
void line_clip_region(DumpFile &out) {
    LineCanvas canvas(64, 64);
    HDC dc = canvas.dc();
    clip_to(dc, 12, 10, 52, 50);
    const std::vector<POINT> points = ring(40);
    for (std::size_t i = 0; i < points.size(); i += 7) {
        const int styles[] = {PS_SOLID, PS_DOT, PS_DASHDOTDOT, PS_DASH};
        Selected p(dc, pen(styles[(i / 7) % 4], 1, line_colour(int(i))));
        const POINT a = points[i], b = points[(i + points.size() / 2 + 3) % points.size()];
        line(dc, 32 + a.x, 32 + a.y, 32 + b.x, 32 + b.y);
    }
    out.pixels("line_clip_region", dc, 64, 64);
}

void line_clip_edges(DumpFile &out) {
    LineCanvas canvas(48, 40);
    HDC dc = canvas.dc();
    const std::vector<POINT> points = ring(30);
    for (std::size_t i = 0; i < points.size(); i += 5) {
        const int styles[] = {PS_SOLID, PS_DASHDOT, PS_DOT};
        Selected p(dc, pen(styles[(i / 5) % 3], 1, line_colour(int(i))));
        const POINT a = points[i], b = points[(i + points.size() / 2 + 2) % points.size()];
        line(dc, 24 + a.x, 20 + a.y, 24 + b.x, 20 + b.y);
    }
    // Under a moved viewport origin, partly off the bitmap.
    SetViewportOrgEx(dc, 30, -12, nullptr);
    {
        Selected p(dc, pen(PS_SOLID, 1, 0xF0));
        line(dc, -40, 20, 25, 60);
        line(dc, 17, 0, -30, 80);
    }
    out.pixels("line_clip_edges", dc, 48, 40);
}

// Coordinates far beyond the bitmap: the right pixels, and no time spent
// on the part outside.
void line_huge(DumpFile &out) {
    LineCanvas canvas(64, 48);
    HDC dc = canvas.dc();
    {
        Selected p(dc, pen(PS_SOLID, 1, 0x30));
        line(dc, -100000, -5, 100000, 37);
        line(dc, 100000, 40, -100000, 2);
        line(dc, 20, -100000, 40, 100000);
        line(dc, -100000, -100000, 100000, 100000);
        line(dc, -1000000, 47, 1000000, 44);
        line(dc, -100000, -10, 100000, -3); // never enters the bitmap
    }
    {
        Selected p(dc, pen(PS_DASHDOT, 1, 0x60));
        line(dc, -99999, 100000, 100063, -99940);
        line(dc, 55, -100000, 5, 100000);
    }
    clip_to(dc, 8, 20, 40, 30);
    {
        Selected p(dc, pen(PS_SOLID, 1, 0x90));
        line(dc, 100000, 100025, -100000, -99975);
    }
    out.pixels("line_huge", dc, 64, 48);
}

// ---- Dash styles at width 1 -----------------------------------------------------------

// A polyline whose style runs on from segment to segment, and below it the
// same turns drawn by separate LineTo calls.
void pen_style(DumpFile &out, const char *name, HPEN the_pen, bool opaque) {
    LineCanvas canvas(64, 64);
    HDC dc = canvas.dc();
    SetBkMode(dc, opaque ? OPAQUE : TRANSPARENT);
    Selected p(dc, the_pen);
    polyline(dc, {{2, 3}, {61, 3}, {61, 20}, {30, 34}, {4, 12}, {4, 36}, {40, 37}, {58, 26}});
    MoveToEx(dc, 2, 42, nullptr);
    for (POINT q : {POINT{61, 42}, POINT{61, 61}, POINT{30, 50}, POINT{3, 61}, POINT{3, 46}}) {
        LineTo(dc, q.x, q.y);
    }
    out.pixels(std::string("pen_style_") + name + (opaque ? "_opaque" : "_transparent"), dc, 64,
               64);
}

void pen_styles(DumpFile &out) {
    const std::pair<const char *, int> styles[] = {
        {"solid", PS_SOLID},           {"dash", PS_DASH}, {"dot", PS_DOT}, {"dashdot", PS_DASHDOT},
        {"dashdotdot", PS_DASHDOTDOT},
    };
    for (bool opaque : {true, false}) {
        for (const auto &[name, style] : styles) {
            pen_style(out, name, pen(style, 1, 0x42), opaque);
        }
        pen_style(out, "alternate", ext_pen(PS_COSMETIC | PS_ALTERNATE, 1, 0x42), opaque);
    }
}

// ---- Wide pens --------------------------------------------------------------------------

// Polylines of a wide pen: its ends, and joins at sharp, right and obtuse
// angles, turning both ways.
void pen_wide_joins(DumpFile &out, int width) {
    LineCanvas canvas(64, 64);
    HDC dc = canvas.dc();
    Selected p(dc, pen(PS_SOLID, width, 0x42));
    polyline(dc, {{6, 6}, {56, 10}, {8, 17}});                        // sharp
    polyline(dc, {{6, 28}, {22, 24}, {38, 31}, {50, 25}, {58, 37}});  // obtuse, both ways
    polyline(dc, {{7, 40}, {7, 57}, {22, 57}, {22, 45}, {30, 45}});   // right angles
    polyline(dc, {{34, 58}, {44, 44}, {47, 58}, {52, 46}, {58, 58}}); // zigzag
    out.pixels("pen_wide_joins_w" + std::to_string(width), dc, 64, 64);
}

// Single LineTo calls of a wide pen in the eight principal directions and at
// other slopes, one per 16 x 16 cell, and a zero-length one.
void pen_wide_lines(DumpFile &out, int width) {
    LineCanvas canvas(64, 64);
    HDC dc = canvas.dc();
    Selected p(dc, pen(PS_SOLID, width, 0x42));
    const POINT deltas[16] = {{8, 0}, {-8, 0}, {0, 8},  {0, -8}, {7, 7}, {-7, -7}, {7, -7}, {-7, 7},
                              {8, 3}, {3, 8},  {-8, 5}, {5, -8}, {7, 2}, {-2, -7}, {0, 0},  {1, 0}};
    for (int i = 0; i < 16; ++i) {
        const int cx = (i % 4) * 16 + 8, cy = (i / 4) * 16 + 8;
        const POINT d = deltas[i];
        line(dc, cx - d.x / 2, cy - d.y / 2, cx - d.x / 2 + d.x, cy - d.y / 2 + d.y);
    }
    out.pixels("pen_wide_lines_w" + std::to_string(width), dc, 64, 64);
}

// CreatePen with a dash style and a width above 1 draws solid lines.
void pen_wide_dash_styles(DumpFile &out) {
    LineCanvas canvas(64, 48);
    HDC dc = canvas.dc();
    const int styles[] = {PS_DASH, PS_DOT, PS_DASHDOTDOT};
    for (int i = 0; i < 3; ++i) {
        Selected p(dc, pen(styles[i], 3, 0x42 + 0x30 * i));
        const int y = 6 + 15 * i;
        polyline(dc, {{4, y}, {40, y}, {58, y + 9}});
    }
    out.pixels("pen_wide_dash_styles_w3", dc, 64, 48);
}

// ---- User styles ------------------------------------------------------------------------

// A user-styled pen along a polyline, with opaque gaps above and transparent
// ones below. The dash arrays are those of 16-pixel line patterns.
void pen_user(DumpFile &out, const std::vector<DWORD> &dashes, DWORD type, int width) {
    LineCanvas canvas(64, 64);
    HDC dc = canvas.dc();
    Selected p(dc, ext_pen(type | PS_USERSTYLE, width, 0x42, dashes));
    const std::vector<POINT> turns = {{3, 4}, {60, 4}, {60, 16}, {6, 27}, {40, 28}};
    SetBkMode(dc, OPAQUE);
    polyline(dc, turns);
    std::vector<POINT> lower = turns;
    for (POINT &q : lower) q.y += 32;
    SetBkMode(dc, TRANSPARENT);
    polyline(dc, lower);
    std::string name = "pen_user";
    for (std::size_t i = 0; i < dashes.size(); ++i) {
        name += (i == 0 ? "_" : "-") + std::to_string(dashes[i]);
    }
    name += type == PS_GEOMETRIC ? "_geometric_w" : "_cosmetic_w";
    out.pixels(name + std::to_string(width), dc, 64, 64);
}

void pen_users(DumpFile &out) {
    const std::vector<DWORD> arrays[] = {
        {8, 8}, {0, 4, 4, 4, 4, 0}, {2, 2, 2, 2, 2, 2, 2, 2}, {0, 15, 1, 0}, {0, 16}, {16, 0},
    };
    for (const std::vector<DWORD> &dashes : arrays) {
        // The reference GDI aborts on a cosmetic dash of length 0, so cosmetic
        // pens only get the arrays whose dashes all have a length.
        bool empty_dash = false;
        for (std::size_t i = 0; i < dashes.size(); i += 2) empty_dash |= dashes[i] == 0;
        if (!empty_dash) pen_user(out, dashes, PS_COSMETIC, 1);
        pen_user(out, dashes, PS_GEOMETRIC, 1);
        pen_user(out, dashes, PS_GEOMETRIC, 3);
    }
}

} // namespace

void line_scenes(DumpFile &out) {
    for (int r : {3, 8, 17, 30}) {
        line_fan(out, r, true);
        line_fan(out, r, false);
    }
    line_lengths(out, true);
    line_lengths(out, false);
    line_clip_region(out);
    line_clip_edges(out);
    line_huge(out);
    pen_styles(out);
    for (int width = 2; width <= 6; ++width) {
        pen_wide_joins(out, width);
        pen_wide_lines(out, width);
    }
    pen_wide_dash_styles(out);
    pen_users(out);
}

} // namespace conformance
