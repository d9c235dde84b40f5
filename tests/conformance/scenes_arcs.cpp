// Conformance scenes of ellipses, arcs and pies: every small size, thin and
// large boxes, boxes given back to front, rays in every direction and at
// every distance, pens of every kind, brushes, mix modes, clip regions and
// viewport origins.
#include "scene_kit.h"

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

namespace conformance {

namespace {

constexpr int kPen = 0x80;
constexpr int kFill = 0x30;

// A sequence of numbers that is the same in every build.
class Numbers {
public:
    explicit Numbers(unsigned seed) : state_(seed) {}
    // A number in lo..hi.
    int in(int lo, int hi) {
        state_ = state_ * 1103515245u + 12345u;
        return lo + int((state_ >> 8) % unsigned(hi - lo + 1));
    }

private:
    unsigned state_;
};

// Places boxes left to right in rows, `gap` pixels apart.
class Shelf {
public:
    Shelf(int width, int gap) : width_(width), gap_(gap), x_(gap), y_(gap) {}
    POINT place(int w, int h) {
        if (x_ + w + gap_ > width_) x_ = gap_, y_ += row_ + gap_, row_ = 0;
        const POINT p{x_, y_};
        x_ += w + gap_;
        row_ = std::max(row_, h);
        return p;
    }
    int height() const { return y_ + row_ + gap_; }

private:
    int width_, gap_, x_, y_, row_ = 0;
};

// The pattern brush selected, its 0 bits in one colour and its 1 bits in
// another.
struct PatternIn {
    explicit PatternIn(HDC dc) : in(dc, pattern.get()) {
        SetTextColor(dc, pal(0x35));
        SetBkColor(dc, pal(0xC8));
    }
    PatternBrush pattern;
    BrushIn in;
};

// What every drawing call of these scenes returned, in order.
std::vector<COLORREF> results;

void ellipse(HDC dc, int l, int t, int r, int b) {
    results.push_back(COLORREF(Ellipse(dc, l, t, r, b)));
}
void arc(HDC dc, int l, int t, int r, int b, POINT s, POINT e) {
    results.push_back(COLORREF(Arc(dc, l, t, r, b, s.x, s.y, e.x, e.y)));
}
void pie(HDC dc, int l, int t, int r, int b, POINT s, POINT e) {
    results.push_back(COLORREF(Pie(dc, l, t, r, b, s.x, s.y, e.x, e.y)));
}

// Ellipses side by side, `gap` pixels apart; `sizes` holds width and height
// by turns.
void ellipses(HDC dc, int width, int gap, std::initializer_list<int> sizes) {
    Shelf shelf(width, gap);
    for (auto it = sizes.begin(); it + 1 < sizes.end(); it += 2) {
        const POINT at = shelf.place(it[0], it[1]);
        ellipse(dc, at.x, at.y, at.x + it[0], at.y + it[1]);
    }
}

// Stripes of two indices under R2_XORPEN, for shapes that must paint each
// pixel once.
void xor_over_stripes(HDC dc, int width, int height) {
    for (int x = 0; x < width; x += 6) fill(dc, x, 0, x + 3, height, 0x5C);
    SetROP2(dc, R2_XORPEN);
}

// ---- Ellipses -----------------------------------------------------------------------------

// Every width in [w0, w1] with every height from 0 to 40, outlined.
void ellipse_sizes(DumpFile &out, int w0, int w1) {
    int width = 2, height = 2;
    for (int w = w0; w <= w1; ++w) width += w + 2;
    for (int h = 0; h <= 40; ++h) height += h + 2;
    Canvas canvas(width, height, kClear);
    HDC dc = canvas.dc();
    Selected p(dc, pen(PS_SOLID, 1, kPen));
    BrushIn no_brush(dc, GetStockObject(NULL_BRUSH));
    int x = 2;
    for (int w = w0; w <= w1; ++w) {
        int y = 2;
        for (int h = 0; h <= 40; ++h) {
            ellipse(dc, x, y, x + w, y + h);
            y += h + 2;
        }
        x += w + 2;
    }
    out.pixels("ellipse_sizes_w" + std::to_string(w0) + "_" + std::to_string(w1), dc, width,
               height);
}

// Ellipses a few pixels across and long the other way, where the tracing
// runs straight for many pixels.
void ellipse_thin(DumpFile &out) {
    Canvas canvas(300, 300, kClear);
    HDC dc = canvas.dc();
    Selected p(dc, pen(PS_SOLID, 1, kPen));
    BrushIn no_brush(dc, GetStockObject(NULL_BRUSH));
    int x = 2;
    for (int w = 1; w <= 12; ++w) {
        ellipse(dc, x, 2, x + w, 232 - 3 * w);
        x += w + 2;
    }
    int y = 2;
    for (int h = 1; h <= 12; ++h) {
        ellipse(dc, 110, y, 296 - 3 * h, y + h);
        y += h + 2;
    }
    out.pixels("ellipse_thin", dc, 300, 300);
}

// Filled ellipses of many shapes. Under R2_MERGEPEN the inside shows under
// the outline as well: each row of the inside runs from the outline's first
// pixel on the row to its last.
void ellipse_filled(DumpFile &out, bool merge) {
    Canvas canvas(320, 130, kClear);
    HDC dc = canvas.dc();
    Selected p(dc, pen(PS_SOLID, 1, kPen));
    Selected b(dc, CreateSolidBrush(pal(kFill)));
    if (merge) SetROP2(dc, R2_MERGEPEN);
    ellipses(dc, 320, 2, {3,  3,  5,  4,  4,  5,  6,  6,  7,  9,  11, 8,  13, 13, 17, 10,
                          10, 17, 20, 20, 24, 15, 15, 24, 31, 30, 30, 31, 41, 21, 21, 41,
                          37, 37, 50, 26, 26, 50, 60, 44, 19, 5,  5,  19, 33, 8,  8,  33});
    out.pixels(merge ? "ellipse_filled_merge" : "ellipse_filled", dc, 320, 130);
}

// Ellipses larger than the bitmap, partly outside it, under a clip region and
// a moved viewport origin, with a pattern brush.
void ellipse_large(DumpFile &out) {
    Canvas canvas(200, 150, kClear);
    HDC dc = canvas.dc();
    PatternIn pattern(dc);
    Selected p(dc, pen(PS_SOLID, 1, kPen));
    ellipse(dc, -60, -40, 150, 120);
    ellipse(dc, 40, 30, 1041, 930);
    ellipse(dc, -2900, -20, 190, 2991);
    clip_to(dc, 10, 90, 190, 140);
    SetViewportOrgEx(dc, -7, 11, nullptr);
    ellipse(dc, -300, 60, 500, 400);
    ellipse(dc, 150, 100, 12150, 104);
    out.pixels("ellipse_large", dc, 200, 150);
}

// Boxes given back to front, thin ones too.
void ellipse_inverted(DumpFile &out) {
    Canvas canvas(200, 60, kClear);
    HDC dc = canvas.dc();
    Selected p(dc, pen(PS_SOLID, 1, kPen));
    Selected b(dc, CreateSolidBrush(pal(kFill)));
    ellipse(dc, 30, 40, 3, 3);
    ellipse(dc, 36, 3, 70, 50);
    ellipse(dc, 100, 50, 75, 8);
    ellipse(dc, 106, 3, 108, 40);
    ellipse(dc, 113, 40, 112, 3);
    ellipse(dc, 150, 4, 118, 5);
    ellipse(dc, 150, 12, 118, 10);
    ellipse(dc, 197, 57, 160, 20);
    out.pixels("ellipse_inverted", dc, 200, 60);
}

// Without a pen only the inside is painted; thin boxes included.
void ellipse_no_pen(DumpFile &out) {
    Canvas canvas(160, 48, kClear);
    HDC dc = canvas.dc();
    Selected p(dc, pen(PS_NULL, 0, 0));
    Selected b(dc, CreateSolidBrush(pal(kFill)));
    SetROP2(dc, R2_MERGEPEN);
    ellipses(dc, 160, 2, {1, 1, 1, 5, 2,  2,  2,  7,  5,  1,  7,  2,  3,  1, 2,  1,  3,  3,
                          5, 4, 7, 9, 13, 13, 17, 10, 10, 17, 24, 15, 19, 5, 31, 30, 41, 21});
    out.pixels("ellipse_no_pen", dc, 160, 48);
}

// Outlines under R2_XORPEN: every pixel of an outline is painted once; with
// an inside, inside and outline are painted one after the other.
void ellipse_xor(DumpFile &out, bool filled) {
    Canvas canvas(240, 80, kClear);
    HDC dc = canvas.dc();
    xor_over_stripes(dc, 240, 80);
    Selected p(dc, pen(PS_SOLID, 1, kPen));
    Selected b(dc, CreateSolidBrush(pal(kFill)));
    if (!filled) SelectObject(dc, GetStockObject(NULL_BRUSH));
    ellipses(dc, 240, 2, {3,  3,  5,  4,  4,  5,  6,  6,  7,  9,  11, 8,  13, 13, 17, 10,
                          10, 17, 20, 20, 24, 15, 15, 24, 31, 30, 30, 31, 19, 5,  33, 8});
    out.pixels(filled ? "ellipse_xor_filled" : "ellipse_xor_outline", dc, 240, 80);
}

// The dash styles of cosmetic pens run on along the outline, from the right
// end of the middle row counter-clockwise; gaps in the opaque and the
// transparent background mode.
void ellipse_styles(DumpFile &out) {
    Canvas canvas(240, 150, kClear);
    HDC dc = canvas.dc();
    SetBkColor(dc, pal(kGap));
    struct Style {
        HPEN pen;
        int mode;
    };
    const Style styles[] = {
        {pen(PS_DOT, 1, kPen), OPAQUE},
        {pen(PS_DASH, 1, kPen + 1), OPAQUE},
        {pen(PS_DASHDOT, 1, kPen + 2), TRANSPARENT},
        {pen(PS_DASHDOTDOT, 1, kPen + 3), OPAQUE},
        {ext_pen(PS_COSMETIC | PS_ALTERNATE, 1, kPen + 4), OPAQUE},
        {ext_pen(PS_COSMETIC | PS_USERSTYLE, 1, kPen + 5, {2, 1, 1, 3}), OPAQUE},
        {ext_pen(PS_GEOMETRIC | PS_USERSTYLE, 1, kPen + 6, {5, 3}), OPAQUE},
        {pen(PS_DOT, 1, kPen + 7), TRANSPARENT},
    };
    int x = 2;
    for (const Style &s : styles) {
        Selected p(dc, s.pen);
        SetBkMode(dc, s.mode);
        ellipse(dc, x, 2, x + 27, 2 + 40);
        ellipse(dc, x + 2, 45, x + 26, 45 + 21);
        ellipse(dc, x, 70, x + 28, 70 + 77);
        x += 30;
    }
    out.pixels("ellipse_styles", dc, 240, 150);
}

// Wide pens: the outline is the stroke along the traced pixels, the inside
// fills up to it.
void ellipse_wide(DumpFile &out, int width) {
    Canvas canvas(240, 100, kClear);
    HDC dc = canvas.dc();
    Selected p(dc, pen(PS_SOLID, width, kPen));
    Selected b(dc, CreateSolidBrush(pal(kFill)));
    ellipses(dc, 240, 3 + width, {40, 30, 31, 31, 24, 60, 70, 17, 16, 16, 9, 30, 6,
                                  6,  12, 2,  2,  12, 45, 44, 21, 40, 3,  3, 1,  9});
    out.pixels("ellipse_wide_w" + std::to_string(width), dc, 240, 100);
}

// An inside-frame pen keeps the whole stroke within the box.
void ellipse_inside_frame(DumpFile &out) {
    Canvas canvas(240, 70, kClear);
    HDC dc = canvas.dc();
    Selected b(dc, CreateSolidBrush(pal(kFill)));
    int x = 2;
    for (int width : {1, 2, 3, 4, 5, 7}) {
        Selected p(dc, pen(PS_INSIDEFRAME, width, kPen + width));
        ellipse(dc, x, 2, x + 36, 2 + 30);
        ellipse(dc, x + 5, 36, x + 33, 36 + 32);
        x += 39;
    }
    out.pixels("ellipse_inside_frame", dc, 240, 70);
}

// ---- Arcs and pies --------------------------------------------------------------------

// The points at Chebyshev distance r from (0, 0), every other one: rays in
// every direction at that distance.
std::vector<POINT> square_ring(int r) {
    std::vector<POINT> points;
    for (int i = -r; i < r; i += 2) points.push_back({i, -r});
    for (int i = -r; i < r; i += 2) points.push_back({r, i});
    for (int i = r; i > -r; i -= 2) points.push_back({i, r});
    for (int i = r; i > -r; i -= 2) points.push_back({-r, i});
    return points;
}

// The middle of a box as the rays see it.
POINT middle(int l, int t, int r, int b) {
    return {(l + r) >> 1, (t + b) >> 1};
}

enum class Kind { arc, pie };

void arc_or_pie(Kind kind, HDC dc, int l, int t, int r, int b, POINT s, POINT e) {
    if (kind == Kind::arc)
        arc(dc, l, t, r, b, s, e);
    else
        pie(dc, l, t, r, b, s, e);
}

// One box, the start ray going round a square ring and the end ray a fixed
// number of ring points further on: every direction, every span.
void arc_sweep(DumpFile &out, Kind kind, int w, int h, int r, int ahead) {
    const std::vector<POINT> ring = square_ring(r);
    const int n = int(ring.size());
    const int columns = 380 / (w + 3);
    const int rows = (n + columns - 1) / columns;
    const int width = columns * (w + 3) + 3, height = rows * (h + 3) + 3;
    Canvas canvas(width, height, kClear);
    HDC dc = canvas.dc();
    Selected p(dc, pen(PS_SOLID, 1, kPen));
    Selected b(dc, CreateSolidBrush(pal(kFill)));
    for (int i = 0; i < n; ++i) {
        const int l = 3 + (i % columns) * (w + 3), t = 3 + (i / columns) * (h + 3);
        const POINT m = middle(l, t, l + w, t + h);
        const POINT s = ring[std::size_t(i)], e = ring[std::size_t((i + ahead) % n)];
        arc_or_pie(kind, dc, l, t, l + w, t + h, {m.x + s.x, m.y + s.y}, {m.x + e.x, m.y + e.y});
    }
    const std::string name = std::string(kind == Kind::arc ? "arc" : "pie") + "_sweep_" +
                             std::to_string(w) + "x" + std::to_string(h) + "_r" +
                             std::to_string(r) + "_ahead" + std::to_string(ahead);
    out.pixels(name, dc, width, height);
}

// Rays from points anywhere near the box: on the curve, inside it, at the
// middle, on the box's edges; equal points, and ends one ray apart.
void arc_near(DumpFile &out, Kind kind, unsigned seed) {
    Canvas canvas(400, 300, kClear);
    HDC dc = canvas.dc();
    Selected p(dc, pen(PS_SOLID, 1, kPen));
    Selected b(dc, CreateSolidBrush(pal(kFill)));
    Numbers random(seed);
    Shelf shelf(400, 3);
    for (int i = 0; i < 90; ++i) {
        const int w = random.in(3, 34), h = random.in(0, 3) == 0 ? w : random.in(3, 34);
        const POINT at = shelf.place(w, h);
        if (shelf.height() > 300) break;
        const int l = at.x, t = at.y, r = l + w, b = t + h;
        const POINT m = middle(l, t, r, b);
        auto point = [&] {
            switch (random.in(0, 3)) {
            case 0:
                return POINT{random.in(l - 2, r + 1), random.in(t - 2, b + 1)};
            case 1:
                return POINT{m.x + random.in(-2, 2), m.y + random.in(-2, 2)};
            default:
                return POINT{m.x + random.in(-40, 40), m.y + random.in(-40, 40)};
            }
        };
        const POINT s = point();
        const POINT e = random.in(0, 9) == 0 ? s : point();
        if (random.in(0, 1))
            arc_or_pie(kind, dc, l, t, r, b, s, e);
        else
            arc_or_pie(kind, dc, r, b, l, t, s, e); // back to front
    }
    out.pixels(std::string(kind == Kind::arc ? "arc" : "pie") + "_near_" + std::to_string(seed), dc,
               400, 300);
}

// What a BGI program asks for: a circle or ellipse about a point, start and
// end points on the curve at whole degrees, truncated towards the centre.
// The points are given here as the integer offsets those degrees give.
void arc_degrees(DumpFile &out, Kind kind) {
    // Offsets (x, y; y downwards) of a radius-20 circle at the angles 0, 15,
    // 30, ... 345 degrees, and of a 20 x 9 ellipse at the same angles.
    const int circle[24][2] = {{20, 0},  {19, -5},  {17, -9},  {14, -14},  {10, -17}, {5, -19},
                               {0, -20}, {-5, -19}, {-9, -17}, {-14, -14}, {-17, -9}, {-19, -5},
                               {-20, 0}, {-19, 5},  {-17, 10}, {-14, 14},  {-10, 17}, {-5, 19},
                               {0, 20},  {5, 19},   {10, 17},  {14, 14},   {17, 10},  {19, 5}};
    const int oval[24][2] = {{20, 0},  {17, -4}, {12, -7}, {8, -8},  {5, -8},   {2, -8},
                             {0, -9},  {-2, -8}, {-5, -8}, {-8, -8}, {-12, -7}, {-17, -4},
                             {-20, 0}, {-17, 4}, {-12, 7}, {-8, 8},  {-5, 8},   {-2, 8},
                             {0, 9},   {2, 8},   {5, 8},   {8, 8},   {12, 7},   {17, 4}};
    Canvas canvas(400, 380, kClear);
    HDC dc = canvas.dc();
    Selected p(dc, pen(PS_SOLID, 1, kPen));
    Selected b(dc, CreateSolidBrush(pal(kFill)));
    const int spans[] = {1, 3, 6, 11, 12, 18, 23, 24};
    int cell = 0;
    for (int span : spans) {
        for (int i = 0; i < 24; i += 5) {
            const int x = 24 + (cell % 9) * 44, y = 24 + (cell / 9) * 44;
            ++cell;
            const int j = (i + span) % 24;
            const bool round = cell % 2 == 0;
            const int(*table)[2] = round ? circle : oval;
            const int ry = round ? 20 : 9;
            arc_or_pie(kind, dc, x - 20, y - ry, x + 20, y + ry, {x + table[i][0], y + table[i][1]},
                       {x + table[j][0], y + table[j][1]});
        }
    }
    out.pixels(std::string(kind == Kind::arc ? "arc" : "pie") + "_degrees", dc, 400, 380);
}

// Arcs and pies partly off the bitmap, under a clip region and moved
// viewport origins, with a pattern brush; one larger than the bitmap.
void arc_clip(DumpFile &out) {
    Canvas canvas(160, 120, kClear);
    HDC dc = canvas.dc();
    PatternIn pattern(dc);
    Selected p(dc, pen(PS_SOLID, 1, kPen));
    arc(dc, -30, -20, 50, 40, {60, 0}, {-40, 40});
    pie(dc, 120, -10, 190, 70, {100, 30}, {150, 100});
    SetViewportOrgEx(dc, 13, -9, nullptr);
    pie(dc, -20, 60, 60, 140, {30, 50}, {30, 50});
    clip_to(dc, 40, 30, 150, 110);
    SetViewportOrgEx(dc, -4, 7, nullptr);
    pie(dc, 20, 20, 140, 120, {0, 0}, {150, 60});
    arc(dc, -500, -300, 800, 700, {150, 0}, {0, 120});
    pie(dc, 90, 0, 3090, 1500, {-100, 600}, {-100, 500});
    out.pixels("arc_clip", dc, 160, 120);
}

// Styled outlines: the dash pattern starts at the first pixel of the arc and
// runs on along it, round the pie's lines too.
void arc_styles(DumpFile &out, Kind kind) {
    Canvas canvas(240, 130, kClear);
    HDC dc = canvas.dc();
    SetBkColor(dc, pal(kGap));
    Selected b(dc, CreateSolidBrush(pal(kFill)));
    const HPEN pens[] = {pen(PS_DOT, 1, kPen),
                         pen(PS_DASH, 1, kPen + 1),
                         pen(PS_DASHDOT, 1, kPen + 2),
                         ext_pen(PS_COSMETIC | PS_ALTERNATE, 1, kPen + 3),
                         ext_pen(PS_COSMETIC | PS_USERSTYLE, 1, kPen + 4, {1, 2}),
                         ext_pen(PS_GEOMETRIC | PS_USERSTYLE, 1, kPen + 5, {4, 3})};
    Numbers random(kind == Kind::arc ? 7 : 8);
    int x = 2;
    for (HPEN the_pen : pens) {
        Selected p(dc, the_pen);
        for (int k = 0; k < 3; ++k) {
            const int y = 2 + k * 42, w = random.in(20, 36), h = random.in(14, 38);
            const POINT m = middle(x, y, x + w, y + h);
            const POINT s{m.x + random.in(-30, 30), m.y + random.in(-30, 30)};
            const POINT e{m.x + random.in(-30, 30), m.y + random.in(-30, 30)};
            arc_or_pie(kind, dc, x, y, x + w, y + h, s, e);
        }
        x += 39;
    }
    out.pixels(std::string(kind == Kind::arc ? "arc" : "pie") + "_styles", dc, 240, 130);
}

// Wide pens along arcs and round pies.
void arc_wide(DumpFile &out, Kind kind, int width) {
    Canvas canvas(240, 110, kClear);
    HDC dc = canvas.dc();
    Selected p(dc, pen(PS_SOLID, width, kPen));
    Selected b(dc, CreateSolidBrush(pal(kFill)));
    Numbers random(unsigned(width) * 3 + (kind == Kind::arc ? 0 : 1));
    Shelf shelf(240, 3 + width);
    for (int i = 0; i < 12; ++i) {
        const int w = random.in(12, 50), h = random.in(12, 40);
        const POINT at = shelf.place(w, h);
        const POINT m = middle(at.x, at.y, at.x + w, at.y + h);
        const POINT s{m.x + random.in(-30, 30), m.y + random.in(-30, 30)};
        const POINT e{m.x + random.in(-30, 30), m.y + random.in(-30, 30)};
        arc_or_pie(kind, dc, at.x, at.y, at.x + w, at.y + h, s, e);
    }
    out.pixels(std::string(kind == Kind::arc ? "arc" : "pie") + "_wide_w" + std::to_string(width),
               dc, 240, 110);
}

// Pies under R2_XORPEN: the inside and then the outline.
void pie_xor(DumpFile &out) {
    Canvas canvas(200, 90, kClear);
    HDC dc = canvas.dc();
    xor_over_stripes(dc, 200, 90);
    Selected p(dc, pen(PS_SOLID, 1, kPen));
    Selected b(dc, CreateSolidBrush(pal(kFill)));
    Numbers random(11);
    Shelf shelf(200, 3);
    for (int i = 0; i < 10; ++i) {
        const int w = random.in(10, 40), h = random.in(10, 40);
        const POINT at = shelf.place(w, h);
        const POINT m = middle(at.x, at.y, at.x + w, at.y + h);
        // Drawn in this order, whatever order a compiler gives the arguments
        // (the end point first, as these pictures were first made).
        const POINT e{m.x + random.in(-30, 30), m.y + random.in(-30, 30)};
        const POINT s{m.x + random.in(-30, 30), m.y - 25};
        pie(dc, at.x, at.y, at.x + w, at.y + h, s, e);
    }
    out.pixels("pie_xor", dc, 200, 90);
}

// Filled shapes with wide pens under R2_XORPEN: the inside stops where the
// stroke begins, so no pixel is painted twice.
void wide_xor(DumpFile &out, int width) {
    Canvas canvas(200, 70, kClear);
    HDC dc = canvas.dc();
    xor_over_stripes(dc, 200, 70);
    Selected p(dc, pen(PS_SOLID, width, kPen));
    Selected b(dc, CreateSolidBrush(pal(kFill)));
    const POINT star[] = {{10, 30}, {40, 8}, {55, 50}, {25, 60}, {48, 20}};
    results.push_back(COLORREF(Polygon(dc, star, 5)));
    ellipse(dc, 64, 6, 100, 40);
    ellipse(dc, 70, 44, 130, 66);
    pie(dc, 106, 5, 150, 45, {150, 10}, {110, 50});
    pie(dc, 150, 8, 196, 60, {170, 0}, {200, 40});
    out.pixels("wide_xor_w" + std::to_string(width), dc, 200, 70);
}

// Arcs and pies of boxes one or two pixels across.
void arc_thin(DumpFile &out) {
    Canvas canvas(200, 40, kClear);
    HDC dc = canvas.dc();
    Selected p(dc, pen(PS_SOLID, 1, kPen));
    Selected b(dc, CreateSolidBrush(pal(kFill)));
    Numbers random(5);
    for (int i = 0; i < 28; ++i) {
        const int x = 4 + (i % 14) * 14, y = 4 + (i / 14) * 18;
        const int w = random.in(1, 2), h = random.in(1, 12);
        const bool flip = random.in(0, 1) == 0;
        const int l = x, t = y, r = x + (flip ? h : w), b = y + (flip ? w : h);
        const POINT m = middle(l, t, r, b);
        const POINT s{m.x + random.in(-9, 9), m.y + random.in(-9, 9)};
        const POINT e{m.x + random.in(-9, 9), m.y + random.in(-9, 9)};
        arc_or_pie(i % 2 ? Kind::pie : Kind::arc, dc, l, t, r, b, s, e);
    }
    out.pixels("arc_thin", dc, 200, 40);
}

// The offset from the centre of the point where a BGI program's elliptical
// arc of radii rx, ry meets the ray at `degrees`: the coordinate along the
// axis the ray is nearer from the square root, the other from the tangent,
// each truncated towards zero; y downwards.
POINT bgi_offset(int degrees, int rx, int ry) {
    const double rad = degrees * 3.141592653589793 / 180, s = std::sin(rad), c = std::cos(rad);
    const double a = rx, b = ry;
    double x, y;
    if (std::fabs(c) > std::fabs(s)) {
        const double t = s / c;
        x = std::sqrt((a * a * b * b) / (b * b + a * a * t * t));
        y = x * std::fabs(t);
    } else {
        const double u = c / s;
        y = std::sqrt((a * a * b * b) / (a * a + b * b * u * u));
        x = y * std::fabs(u);
    }
    return {int(c >= 0 ? x : -x), int(s >= 0 ? -y : y)};
}

// A BGI program's elliptical arc or sector about (x, y) from `from` to `to`
// degrees.
void bgi_arc(Kind kind, HDC dc, int x, int y, int from, int to, int rx, int ry) {
    const POINT s = bgi_offset(from, rx, ry), e = bgi_offset(to, rx, ry);
    arc_or_pie(kind, dc, x - rx, y - ry, x + rx, y + ry, {x + s.x, y + s.y}, {x + e.x, y + e.y});
}

// The classic picture of nested ellipses in a 640 x 480 window, each from 0
// to 352, 354, 356 or 358 degrees: boxes as large as a window, ending just
// short of where they start.
void arc_large_nested(DumpFile &out, Kind kind) {
    Canvas canvas(640, 480, kClear);
    HDC dc = canvas.dc();
    Selected p(dc, pen(PS_SOLID, 1, kPen));
    Selected b(dc, CreateSolidBrush(pal(kFill)));
    if (kind == Kind::pie) SetROP2(dc, R2_XORPEN); // every slice shows through the next
    for (int i = 0; i < 13; ++i)
        bgi_arc(kind, dc, 320 - (i & 1), 240 - (i & 2) / 2, 0, 352 + 2 * (i % 4), 229 - 15 * i,
                171 - 11 * i);
    out.pixels(std::string(kind == Kind::arc ? "arc" : "pie") + "_large_nested", dc, 640, 480);
}

// Large boxes, odd and even both ways, with rays in every direction and
// spans of every size from 5 degrees to nearly a whole turn.
void arc_large(DumpFile &out, Kind kind, unsigned seed) {
    Canvas canvas(800, 600, kClear);
    HDC dc = canvas.dc();
    Selected p(dc, pen(PS_SOLID, 1, kPen));
    Selected b(dc, CreateSolidBrush(pal(kFill)));
    SetROP2(dc, R2_XORPEN);
    Numbers random(seed);
    for (int i = 0; i < 16; ++i) {
        const int rx = random.in(60, 390), ry = random.in(60, 290);
        const int x = 400 + random.in(-5, 5), y = 300 + random.in(-5, 5);
        const int from = random.in(0, 359), to = from + random.in(5, 355);
        bgi_arc(kind, dc, x, y, from, to, rx, ry);
    }
    out.pixels(std::string(kind == Kind::arc ? "arc" : "pie") + "_large_" + std::to_string(seed),
               dc, 800, 600);
}

// Arcs and pies whose rays coincide (equal points, points on one ray, the
// middle of the box itself), on circles and ellipses of every small size and
// a few large ones. The reference leaves a pixel out of each arc, and pixels
// beside the edge to the centre out of some pies; see the table of scenes
// allowed below 100%.
void arc_whole(DumpFile &out, Kind kind) {
    Canvas canvas(400, 330, kClear);
    HDC dc = canvas.dc();
    Selected p(dc, pen(PS_SOLID, 1, kPen));
    Selected b(dc, CreateSolidBrush(pal(kFill)));
    Numbers random(kind == Kind::arc ? 21 : 22);
    Shelf shelf(400, 3);
    auto whole = [&](int w, int h) {
        const POINT at = shelf.place(w, h);
        const POINT m = middle(at.x, at.y, at.x + w, at.y + h);
        const int dx = random.in(-30, 30), dy = random.in(-30, 30), k = random.in(2, 3);
        const POINT s{m.x + dx, m.y + dy};
        const POINT e = random.in(0, 2) == 0 ? POINT{m.x + k * dx, m.y + k * dy} : s;
        arc_or_pie(kind, dc, at.x, at.y, at.x + w, at.y + h, s, e);
    };
    for (int r = 1; r <= 24; ++r) whole(2 * r, 2 * r);
    for (int i = 0; i < 40; ++i) {
        // Drawn in this order whatever order a compiler gives the arguments.
        const int h = random.in(3, 50), w = random.in(3, 50);
        whole(w, h);
    }
    for (int w : {3, 4, 5, 6}) whole(w, w);
    whole(150, 90);
    whole(91, 121);
    const POINT at = shelf.place(40, 30);
    const POINT m = middle(at.x, at.y, at.x + 40, at.y + 30);
    arc_or_pie(kind, dc, at.x, at.y, at.x + 40, at.y + 30, m, m);
    out.pixels(std::string(kind == Kind::arc ? "arc" : "pie") + "_whole", dc, 400, 330);
}

// Rays that differ by less than the ring's points are apart: far points one
// pixel apart, rays a fraction of a degree apart. The reference draws the
// whole ring, or the whole slice; see the table of scenes allowed below
// 100%.
void arc_short(DumpFile &out, Kind kind) {
    Canvas canvas(400, 200, kClear);
    HDC dc = canvas.dc();
    Selected p(dc, pen(PS_SOLID, 1, kPen));
    Selected b(dc, CreateSolidBrush(pal(kFill)));
    Numbers random(kind == Kind::arc ? 31 : 32);
    Shelf shelf(400, 3);
    for (int i = 0; i < 40; ++i) {
        const int w = random.in(6, 60), h = random.in(6, 60);
        const POINT at = shelf.place(w, h);
        if (shelf.height() > 200) break;
        const POINT m = middle(at.x, at.y, at.x + w, at.y + h);
        // A far point and its neighbour counter-clockwise round the box.
        const int d = 1000;
        POINT s, e;
        switch (random.in(0, 3)) {
        case 0:
            s = {m.x + d, m.y + random.in(-d, d)}, e = {s.x, s.y - 1};
            break;
        case 1:
            s = {m.x + random.in(-d, d), m.y - d}, e = {s.x - 1, s.y};
            break;
        case 2:
            s = {m.x - d, m.y + random.in(-d, d)}, e = {s.x, s.y + 1};
            break;
        default:
            s = {m.x + random.in(-d, d), m.y + d}, e = {s.x + 1, s.y};
            break;
        }
        arc_or_pie(kind, dc, at.x, at.y, at.x + w, at.y + h, s, e);
    }
    out.pixels(std::string(kind == Kind::arc ? "arc" : "pie") + "_short", dc, 400, 200);
}

} // namespace

void arc_scenes(DumpFile &out) {
    results.clear();
    ellipse_sizes(out, 0, 16);
    ellipse_sizes(out, 17, 28);
    ellipse_sizes(out, 29, 36);
    ellipse_sizes(out, 37, 40);
    ellipse_thin(out);
    ellipse_filled(out, false);
    ellipse_filled(out, true);
    ellipse_large(out);
    ellipse_inverted(out);
    ellipse_no_pen(out);
    ellipse_xor(out, false);
    ellipse_xor(out, true);
    ellipse_styles(out);
    for (int width : {2, 3, 4, 5, 6}) ellipse_wide(out, width);
    ellipse_inside_frame(out);
    for (Kind kind : {Kind::arc, Kind::pie}) {
        arc_sweep(out, kind, 20, 20, 12, 7);
        arc_sweep(out, kind, 21, 13, 30, 50);
        arc_sweep(out, kind, 14, 25, 6, 19);
        arc_sweep(out, kind, 31, 30, 40, 155);
        arc_near(out, kind, 1);
        arc_near(out, kind, 2);
        arc_degrees(out, kind);
        arc_styles(out, kind);
        arc_wide(out, kind, 3);
        arc_wide(out, kind, 4);
        arc_large_nested(out, kind);
        arc_large(out, kind, 1);
        arc_short(out, kind);
        arc_whole(out, kind);
    }
    arc_clip(out);
    pie_xor(out);
    wide_xor(out, 3);
    wide_xor(out, 4);
    arc_thin(out);
    out.values("arc_results", int(results.size()), 1, results);
}

} // namespace conformance
