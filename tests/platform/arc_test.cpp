// Ellipse, Arc and Pie on memory DCs: the box and its excluded edges, the
// direction and extent of arcs, thin and inverted boxes, mix modes, wide
// pens, huge boxes and every surface format.
#include "canvas.h"
#include "platform.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

using namespace win32;

namespace {

// The bounding box of every pixel of index `index`: left, top, right, bottom
// (inclusive); all -1 when there is none.
std::vector<int> extent(const Canvas &c, int index) {
    const InkBox b = box_of(c, index);
    if (b.pixels == 0) return {-1, -1, -1, -1};
    return {b.left, b.top, b.right - 1, b.bottom - 1};
}

TEST(Ellipses, FillTheirBoxButItsRightColumnAndBottomRow) {
    Canvas c(20, 16);
    c.pen(PS_SOLID, 1, 1);
    c.brush(2);
    EXPECT_TRUE(Ellipse(c.dc, 2, 3, 13, 12));
    EXPECT_EQ(extent(c, 1), (std::vector<int>{2, 3, 12, 11}));
    EXPECT_EQ(extent(c, 2), (std::vector<int>{3, 4, 11, 10}));
    // Each row of the inside runs between the outline's pixels.
    EXPECT_EQ(c.rows(2, 3, 11, 9), "...11111...\n"
                                   "..1222221..\n"
                                   ".122222221.\n"
                                   "12222222221\n"
                                   "12222222221\n"
                                   "12222222221\n"
                                   ".122222221.\n"
                                   "..1222221..\n"
                                   "...11111...\n");
}

TEST(Ellipses, NormaliseBoxesGivenBackToFront) {
    Canvas a(24, 20), b(24, 20);
    for (Canvas *c : {&a, &b}) {
        c->pen(PS_SOLID, 1, 1);
        c->brush(2);
    }
    Ellipse(a.dc, 3, 2, 21, 17);
    Ellipse(b.dc, 21, 17, 3, 2);
    EXPECT_EQ(b.rows(), a.rows());
    Arc(a.dc, 3, 2, 21, 17, 30, 2, 0, 17);
    Arc(b.dc, 21, 2, 3, 17, 30, 2, 0, 17);
    EXPECT_EQ(b.rows(), a.rows());
}

TEST(Ellipses, ThinAndEmptyBoxes) {
    struct Case {
        RECT box;
        const char *expected;
    };
    const Case cases[] = {
        {{1, 1, 1, 4}, "......\n......\n......\n......\n"}, // no width
        {{1, 1, 5, 1}, "......\n......\n......\n......\n"}, // no height
        {{2, 1, 3, 2}, "......\n......\n......\n......\n"}, // one pixel paints nothing
        {{1, 0, 2, 4}, ".1....\n.1....\n.1....\n.1....\n"}, // one column
        {{1, 2, 6, 3}, "......\n......\n.11111\n......\n"}, // one row
        {{1, 0, 3, 4}, ".11...\n.11...\n.11...\n.11...\n"}, // two columns: all outline
        {{0, 1, 5, 3}, "......\n11111.\n11111.\n......\n"},
    };
    for (const Case &k : cases) {
        Canvas c(6, 4);
        c.pen(PS_SOLID, 1, 1);
        c.brush(2);
        EXPECT_TRUE(Ellipse(c.dc, k.box.left, k.box.top, k.box.right, k.box.bottom));
        EXPECT_EQ(c.rows(), k.expected) << k.box.left << "," << k.box.top;
    }
    // Without a pen a thin box fills all but its last column and row.
    Canvas c(6, 4);
    c.pen(PS_NULL, 0, 0);
    c.brush(2);
    Ellipse(c.dc, 0, 0, 5, 2);
    Ellipse(c.dc, 5, 0, 7, 4);
    EXPECT_EQ(c.rows(), "2222.2\n.....2\n.....2\n......\n");
}

TEST(Arcs, RunCounterClockwiseFromTheStartRayToTheEndRay) {
    // A circle of radius 5 about (5, 5), as a BGI arc from 0 to 90 degrees
    // asks for it: from the ray to the right to the ray upwards.
    Canvas quarter(11, 10), rest(11, 10), both(11, 10);
    for (Canvas *c : {&quarter, &rest, &both}) c->pen(PS_SOLID, 1, 1);
    EXPECT_TRUE(Arc(quarter.dc, 0, 0, 10, 10, 10, 5, 5, 0));
    EXPECT_TRUE(Arc(rest.dc, 0, 0, 10, 10, 5, 0, 10, 5));
    EXPECT_EQ(quarter.rows(), "...........\n"
                              ".......1...\n"
                              "........1..\n"
                              ".........1.\n"
                              ".........1.\n"
                              "...........\n"
                              "...........\n"
                              "...........\n"
                              "...........\n"
                              "...........\n");
    // Each leaves out the pixel at its end: the two together are the circle
    // but for the pixels on the rays.
    Arc(both.dc, 0, 0, 10, 10, 10, 5, 5, 0);
    Arc(both.dc, 0, 0, 10, 10, 5, 0, 10, 5);
    EXPECT_EQ(both.rows(), "...111.....\n"
                           "..1....1...\n"
                           ".1......1..\n"
                           "1........1.\n"
                           "1........1.\n"
                           "1..........\n"
                           "1........1.\n"
                           ".1......1..\n"
                           "..1....1...\n"
                           "...1111....\n");
    EXPECT_EQ(quarter.count(1) + rest.count(1), both.count(1));
}

// An arc whose rays coincide is the closed outline Ellipse draws for the
// same box and pen, pixel for pixel, dashes included: rays through equal
// points, through two points of one ray and through the middle of the box,
// on every box up to 16 x 16 (thin ones too) and a few larger ones.
TEST(Arcs, WhoseRaysCoincideAreTheOutlineEllipseDraws) {
    struct PenKind {
        int style, width;
    };
    std::vector<RECT> boxes;
    int y = 3;
    for (int h = 1; h <= 16; ++h) {
        int x = 3;
        for (int w = 1; w <= 16; ++w) {
            boxes.push_back({x, y, x + w, y + h});
            x += w + 6;
        }
        y += h + 6;
    }
    boxes.push_back({3, y, 64, y + 40});
    boxes.push_back({70, y, 191, y + 121});
    boxes.push_back({200, y, 400, y + 37});
    for (PenKind pen : {PenKind{PS_SOLID, 1}, PenKind{PS_DOT, 1}, PenKind{PS_SOLID, 3}}) {
        Canvas arcs(460, y + 125), ellipses(460, y + 125);
        arcs.pen(pen.style, pen.width, 1);
        ellipses.pen(pen.style, pen.width, 1);
        SelectObject(ellipses.dc, GetStockObject(NULL_BRUSH));
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            const RECT &b = boxes[i];
            const int mx = (b.left + b.right) / 2, my = (b.top + b.bottom) / 2;
            const int dx = int(i % 7) * 5 - 15, dy = int(i % 5) * 9 - 17;
            switch (i % 3) {
            case 0: // one point twice
                Arc(arcs.dc, b.left, b.top, b.right, b.bottom, mx + dx, my + dy, mx + dx, my + dy);
                break;
            case 1: // two points on one ray
                Arc(arcs.dc, b.left, b.top, b.right, b.bottom, mx + dx, my + dy, mx + 3 * dx,
                    my + 3 * dy);
                break;
            default: // the middle itself
                Arc(arcs.dc, b.left, b.top, b.right, b.bottom, mx, my, mx, my);
                break;
            }
            Ellipse(ellipses.dc, b.left, b.top, b.right, b.bottom);
        }
        for (const RECT &b : boxes) {
            const int w = b.right - b.left, h = b.bottom - b.top;
            EXPECT_EQ(arcs.rows(b.left - 2, b.top - 2, w + 4, h + 4),
                      ellipses.rows(b.left - 2, b.top - 2, w + 4, h + 4))
                << w << " x " << h << ", pen style " << pen.style << " width " << pen.width;
        }
    }
}

// Rays closer together than the ring's points, a fraction of a degree
// apart: an arc lights at most the pixels between them, never the whole
// ring; a pie at most the slice between them, its radii and the centre.
TEST(Arcs, WithRaysCloserThanTheRingsPointsStayShort) {
    const double pi = 3.141592653589793;
    const RECT boxes[] = {{0, 0, 41, 41}, {0, 0, 52, 26}, {0, 0, 23, 47}};
    for (const RECT &box : boxes) {
        const double cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
        const int longest = std::max(box.right - box.left, box.bottom - box.top) / 2;
        for (bool pie : {false, true}) {
            for (double sweep : {0.02, 0.4}) {
                for (int degrees = 0; degrees < 360; degrees += 11) {
                    const double from = degrees * pi / 180, to = (degrees + sweep) * pi / 180;
                    const int far = 100000;
                    Canvas c(box.right + 2, box.bottom + 2);
                    c.pen(PS_SOLID, 1, 1);
                    c.brush(2);
                    const int xs = int(cx + far * std::cos(from)),
                              ys = int(cy - far * std::sin(from));
                    const int xe = int(cx + far * std::cos(to)), ye = int(cy - far * std::sin(to));
                    if (pie)
                        Pie(c.dc, box.left, box.top, box.right, box.bottom, xs, ys, xe, ye);
                    else
                        Arc(c.dc, box.left, box.top, box.right, box.bottom, xs, ys, xe, ye);
                    int lit = 0, astray = 0;
                    for (int y = 0; y < c.height; ++y)
                        for (int x = 0; x < c.width; ++x) {
                            if (c.at(x, y) == 0) continue;
                            ++lit;
                            // Between the rays, or within two pixels of
                            // one: where each pixel is placed.
                            const double dx = x - cx, dy = cy - y;
                            const double off = std::remainder(std::atan2(dy, dx) - from, 2 * pi);
                            auto near_ray = [&](double a) {
                                const double along = dx * std::cos(a) + dy * std::sin(a);
                                const double across = dy * std::cos(a) - dx * std::sin(a);
                                return std::hypot(along < 0 ? along : 0, across) <= 2;
                            };
                            if (!(off >= 0 && off <= to - from) && !near_ray(from) && !near_ray(to))
                                ++astray;
                        }
                    EXPECT_EQ(astray, 0) << (pie ? "pie " : "arc ") << degrees << "+" << sweep
                                         << " in " << box.right << " x " << box.bottom;
                    EXPECT_LE(lit, pie ? longest + 3 : 2) << degrees << "+" << sweep;
                }
            }
        }
    }
}

TEST(Pies, CloseTheArcThroughTheCentreAndFillIt) {
    Canvas c(11, 10);
    c.pen(PS_SOLID, 1, 1);
    c.brush(2);
    EXPECT_TRUE(Pie(c.dc, 0, 0, 10, 10, 10, 5, 5, 0));
    EXPECT_EQ(c.rows(), "......1....\n"
                        "......11...\n"
                        "......121..\n"
                        ".....12221.\n"
                        ".....12111.\n"
                        ".....11....\n"
                        "...........\n"
                        "...........\n"
                        "...........\n"
                        "...........\n");
}

// A box whose sides add up to odd numbers has no middle pixel: the rays
// start, and the pie closes, at the middle with halves rounded down.
TEST(Pies, CloseAtTheMiddleOfTheBoxRoundedDown) {
    Canvas c(13, 6);
    c.pen(PS_SOLID, 1, 1);
    c.brush(2);
    EXPECT_TRUE(Pie(c.dc, 0, 0, 11, 9, 20, 4, 5, -10)); // from 3 o'clock to 12 o'clock
    EXPECT_EQ(c.rows(), "......11.....\n"
                        "......121....\n"
                        ".....12221...\n"
                        ".....122221..\n"
                        ".....111111..\n"
                        ".............\n");
}

// A wide inside-frame pen keeps its whole stroke within the box, on every
// side and at every width, odd or even.
TEST(Ellipses, InsideFramePensStrokeWithinTheBox) {
    for (int width = 1; width <= 7; ++width) {
        Canvas c(30, 24);
        c.pen(PS_INSIDEFRAME, width, 1);
        c.brush(2);
        Ellipse(c.dc, 2, 3, 22, 19);
        EXPECT_EQ(extent(c, 1), (std::vector<int>{2, 3, 21, 18})) << width;
    }
}

// Drawn with XOR on a blank bitmap, a shape that paints each of its pixels
// once leaves the same picture as drawn with COPY.
TEST(Ellipses, PaintEachPixelOfTheirOutlineOnce) {
    struct Case {
        const char *name;
        int width;
        std::function<void(HDC)> draw;
    };
    const Case cases[] = {
        {"ellipse", 1, [](HDC dc) { Ellipse(dc, 2, 3, 40, 27); }},
        {"odd ellipse", 1, [](HDC dc) { Ellipse(dc, 2, 3, 41, 28); }},
        {"tall", 1, [](HDC dc) { Ellipse(dc, 5, 1, 9, 29); }},
        {"one row", 1, [](HDC dc) { Ellipse(dc, 3, 5, 30, 6); }},
        {"two columns", 1, [](HDC dc) { Ellipse(dc, 3, 2, 5, 20); }},
        {"full arc", 1, [](HDC dc) { Arc(dc, 2, 3, 41, 28, 50, 15, 50, 15); }},
        {"arc", 1, [](HDC dc) { Arc(dc, 2, 3, 41, 28, 0, 0, 40, 40); }},
        {"wide ellipse", 5, [](HDC dc) { Ellipse(dc, 4, 4, 30, 26); }},
        {"wide arc", 4, [](HDC dc) { Arc(dc, 4, 4, 40, 26, 40, 0, 0, 15); }},
    };
    for (const Case &k : cases) {
        std::string pictures[2];
        for (int xor_mode = 0; xor_mode < 2; ++xor_mode) {
            Canvas c(44, 30);
            c.pen(PS_SOLID, k.width, 5);
            SelectObject(c.dc, GetStockObject(NULL_BRUSH));
            SetROP2(c.dc, xor_mode ? R2_XORPEN : R2_COPYPEN);
            k.draw(c.dc);
            pictures[xor_mode] = c.rows();
        }
        EXPECT_EQ(pictures[1], pictures[0]) << k.name;
        EXPECT_NE(pictures[0].find('5'), std::string::npos) << k.name;
    }
}

// With a thin pen the inside is painted and the outline over it, like a
// polygon's; a wide pen's stroke lies beside the inside instead.
TEST(Ellipses, InsideAndOutlineMixOncePerPixelOfTheStroke) {
    for (int width : {1, 3}) {
        for (bool pie : {false, true}) {
            Canvas c(30, 24);
            c.clear(0x10);
            c.pen(PS_SOLID, width, 0x01);
            c.brush(0x02);
            SetROP2(c.dc, R2_XORPEN);
            if (pie)
                Pie(c.dc, 3, 3, 27, 21, 30, 0, 0, 12);
            else
                Ellipse(c.dc, 3, 3, 27, 21);
            const int inside = 0x10 ^ 0x02, outline = 0x10 ^ 0x01, both = 0x10 ^ 0x01 ^ 0x02;
            EXPECT_GT(c.count(inside), 0);
            EXPECT_GT(c.count(outline) + c.count(both), 0);
            EXPECT_EQ(c.count(both) > 0, width == 1) << width << (pie ? " pie" : " ellipse");
        }
    }
}

TEST(Ellipses, HugeBoxesDrawOnlyWhatCanBeSeen) {
    Canvas c(64, 48);
    c.pen(PS_SOLID, 1, 1);
    c.brush(2);
    // A circle far larger than the bitmap whose top passes through row 24.
    const int r = 1000000000;
    EXPECT_TRUE(Ellipse(c.dc, 32 - r, 24, 32 + r, 24 + 2 * r));
    for (int x = 0; x < 64; ++x) {
        EXPECT_EQ(c.at(x, 24), 1) << x;
        EXPECT_EQ(c.at(x, 23), 0) << x;
        EXPECT_EQ(c.at(x, 30), 2) << x;
    }
    // Wholly around the bitmap: all inside; wholly beside it: nothing.
    Canvas around(16, 12), beside(16, 12);
    for (Canvas *k : {&around, &beside}) {
        k->pen(PS_SOLID, 3, 1);
        k->brush(2);
    }
    Ellipse(around.dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(around.count(2), 16 * 12);
    Ellipse(beside.dc, 100, INT_MIN, INT_MAX, INT_MAX);
    Pie(beside.dc, -2000000000, -5, -20, 2000000000, 0, 0, 0, 0);
    Arc(beside.dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 1, 0, -1);
    EXPECT_EQ(beside.count(0), 16 * 12);
    // A huge pie whose straight edges cross the bitmap.
    Canvas slice(40, 40);
    slice.pen(PS_SOLID, 1, 1);
    slice.brush(2);
    Pie(slice.dc, 20 - r, 20 - r, 20 + r, 20 + r, 20 + r, 20, 20, 20 - r);
    EXPECT_EQ(slice.at(30, 10), 2);
    EXPECT_EQ(slice.at(10, 10), 0);
    EXPECT_EQ(slice.at(30, 30), 0);
    EXPECT_EQ(slice.at(25, 20), 1);
    // The same circle whose top runs along row 24: an arc whose rays
    // coincide is its outline; rays a hair apart at the top draw next to
    // nothing, never the whole outline.
    Canvas whole(64, 48), outline(64, 48), hair(64, 48);
    for (Canvas *k : {&whole, &outline, &hair}) k->pen(PS_SOLID, 1, 1);
    SelectObject(outline.dc, GetStockObject(NULL_BRUSH));
    Arc(whole.dc, 32 - r, 24, 32 + r, 24 + 2 * r, 32, 0, 32, 0);
    Ellipse(outline.dc, 32 - r, 24, 32 + r, 24 + 2 * r);
    EXPECT_EQ(whole.rows(), outline.rows());
    EXPECT_EQ(whole.count(1), 64);
    Arc(hair.dc, 32 - r, 24, 32 + r, 24 + 2 * r, 33, 0, 32, 0);
    EXPECT_LE(hair.count(1), 2);
}

TEST(Ellipses, StayWithinTheClipAndFollowTheOrigin) {
    Canvas clipped(30, 30), moved(30, 30);
    for (Canvas *k : {&clipped, &moved}) {
        k->pen(PS_SOLID, 1, 1);
        k->brush(2);
    }
    HRGN region = CreateRectRgn(5, 5, 15, 25);
    SelectClipRgn(clipped.dc, region);
    DeleteObject(region);
    Pie(clipped.dc, 0, 0, 30, 30, 30, 0, 30, 29);
    SelectClipRgn(clipped.dc, nullptr);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            if (x < 5 || x >= 15 || y < 5 || y >= 25) {
                EXPECT_EQ(clipped.at(x, y), 0) << x << "," << y;
            }
    EXPECT_EQ(clipped.at(10, 15), 2);
    SetViewportOrgEx(moved.dc, 7, -3, nullptr);
    Ellipse(moved.dc, 0, 3, 10, 13);
    EXPECT_EQ(extent(moved, 1), (std::vector<int>{7, 0, 16, 9}));
}

// The same shape on surfaces of 1, 4 and 8 bits per pixel.
TEST(Ellipses, DrawAlikeOnEverySurfaceFormat) {
    auto shape = [](HDC dc, COLORREF pen_colour, COLORREF brush_colour) {
        HPEN pen = CreatePen(PS_DOT, 1, pen_colour);
        HBRUSH brush = CreateSolidBrush(brush_colour);
        HGDIOBJ old_pen = SelectObject(dc, pen), old_brush = SelectObject(dc, brush);
        SetBkMode(dc, TRANSPARENT);
        Ellipse(dc, 1, 1, 30, 19);
        Pie(dc, 12, 4, 38, 20, 40, 0, 10, 20);
        Arc(dc, -5, -5, 20, 25, 0, 0, 30, 0);
        SelectObject(dc, old_pen);
        SelectObject(dc, old_brush);
        DeleteObject(pen);
        DeleteObject(brush);
    };
    Canvas colour(40, 22);
    shape(colour.dc, PALETTEINDEX(1), PALETTEINDEX(2));
    auto expected = [&](auto map) {
        std::string s;
        for (int y = 0; y < 22; ++y)
            for (int x = 0; x < 40; ++x) s += map(colour.at(x, y));
        return s;
    };
    // Monochrome: the pen white, the brush black on white.
    HBITMAP mono_bits = CreateBitmap(40, 22, 1, 1, nullptr);
    HDC mono = CreateCompatibleDC(nullptr);
    SelectObject(mono, mono_bits);
    const RECT all{0, 0, 40, 22};
    FillRect(mono, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    shape(mono, RGB(255, 255, 255), RGB(0, 0, 0));
    std::string seen;
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 40; ++x) seen += GetPixel(mono, x, y) == RGB(0, 0, 0) ? 'b' : 'w';
    EXPECT_EQ(seen, expected([](int v) { return v == 2 ? 'b' : 'w'; }));
    DeleteDC(mono);
    DeleteObject(mono_bits);
    // 4 bits: table entries name palette entries 16..31.
    struct {
        BITMAPINFOHEADER header{};
        WORD indices[16];
    } info;
    info.header = {sizeof(BITMAPINFOHEADER), 40, 22, 1, 4, 0, 0, 0, 0, 0, 0};
    for (WORD i = 0; i < 16; ++i) info.indices[i] = WORD(16 + i);
    void *bits = nullptr;
    HBITMAP section = CreateDIBSection(colour.dc, reinterpret_cast<BITMAPINFO *>(&info),
                                       DIB_PAL_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    HDC dib = CreateCompatibleDC(colour.dc);
    SelectObject(dib, section);
    SelectPalette(dib, colour.palette, FALSE);
    shape(dib, PALETTEINDEX(17), PALETTEINDEX(18));
    seen.clear();
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 40; ++x) seen += char('0' + GetRValue(GetPixel(dib, x, y)) - 16);
    EXPECT_EQ(seen, expected([](int v) { return char('0' + v); }));
    DeleteDC(dib);
    DeleteObject(section);
}

} // namespace
