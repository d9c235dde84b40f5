// Our rasterisers on memory DCs: lines and their styles, mix modes, polygons
// and flood fill, pixel by pixel and against hostile coordinates.
#include "canvas.h"
#include "platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <string>
#include <vector>

using namespace win32;

namespace {

TEST(Lines, ExcludeTheEndAndRoundHalvesTowardsSmallerCoordinates) {
    struct Case {
        POINT from, to;
        const char *expected;
    };
    const Case cases[] = {
        {{0, 0}, {4, 1}, "111...\n...1..\n......\n"}, // the tie at x = 2 takes the upper row
        {{4, 1}, {0, 0}, ".11...\n...11.\n......\n"}, // so does the same line drawn back
        {{0, 2}, {5, 0}, "....1.\n..11..\n11....\n"}, {{5, 0}, {5, 3}, ".....1\n.....1\n.....1\n"},
        {{2, 1}, {2, 1}, "......\n......\n......\n"}, // nothing for a zero length
    };
    for (const Case &k : cases) {
        Canvas c(6, 3);
        c.pen(PS_SOLID, 1, 1);
        MoveToEx(c.dc, k.from.x, k.from.y, nullptr);
        EXPECT_TRUE(LineTo(c.dc, k.to.x, k.to.y));
        EXPECT_EQ(c.rows(), k.expected)
            << k.from.x << "," << k.from.y << " -> " << k.to.x << "," << k.to.y;
        POINT p;
        GetCurrentPositionEx(c.dc, &p);
        EXPECT_EQ(p.x, k.to.x);
        EXPECT_EQ(p.y, k.to.y);
    }
}

TEST(Lines, HugeCoordinatesDrawOnlyTheVisiblePixelsAndReturnAtOnce) {
    Canvas c(20, 10);
    c.pen(PS_SOLID, 1, 1);
    const auto start = std::chrono::steady_clock::now();
    MoveToEx(c.dc, -2000000000, 5, nullptr);
    LineTo(c.dc, 2000000000, 5);
    MoveToEx(c.dc, INT_MIN, INT_MIN, nullptr);
    LineTo(c.dc, INT_MAX, INT_MAX); // the diagonal through the origin
    SetViewportOrgEx(c.dc, INT_MAX, INT_MIN, nullptr);
    LineTo(c.dc, INT_MIN, INT_MAX);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(ms, 1000.0);
    SetViewportOrgEx(c.dc, 0, 0, nullptr);
    for (int x = 0; x < 20; ++x) EXPECT_EQ(c.at(x, 5), 1) << x;
    EXPECT_EQ(c.at(3, 3), 1);
    EXPECT_EQ(c.at(7, 7), 1);
    EXPECT_EQ(c.count(1), 20 + 9);
}

TEST(Lines, DashStylesRunOnAcrossSegmentsWithOpaqueGaps) {
    Canvas c(16, 2);
    c.pen(PS_DOT, 1, 1);
    const POINT path[] = {{0, 0}, {4, 0}, {4, 1}, {16, 1}};
    Polyline(c.dc, path, 4);
    // 3 on, 3 off, counted along the path: the turn at (4, 0) does not restart it.
    EXPECT_EQ(c.rows(), "11122...........\n....211122211122\n");

    Canvas t(16, 1);
    t.pen(PS_DASHDOT, 1, 1);
    SetBkMode(t.dc, TRANSPARENT);
    MoveToEx(t.dc, 0, 0, nullptr);
    LineTo(t.dc, 16, 0);
    EXPECT_EQ(t.rows(), "111111111......1\n");
}

TEST(Lines, UserStylesCountTheirUnitsAndLeaveGapsAlone) {
    struct Case {
        DWORD type;
        const char *expected;
    };
    // {2, 1}: a cosmetic pen counts three pixels a unit, a geometric one one.
    for (Case k : {Case{PS_COSMETIC, "111111...111111...11\n"},
                   Case{PS_GEOMETRIC, "11.11.11.11.11.11.11\n"}}) {
        Canvas c(20, 1);
        const LOGBRUSH brush{BS_SOLID, PALETTEINDEX(1), 0};
        const DWORD dashes[] = {2, 1};
        HPEN pen = ExtCreatePen(k.type | PS_USERSTYLE, 1, &brush, 2, dashes);
        ASSERT_NE(pen, nullptr);
        c.owned.push_back(pen);
        SelectObject(c.dc, pen);
        MoveToEx(c.dc, 0, 0, nullptr);
        LineTo(c.dc, 20, 0);
        EXPECT_EQ(c.rows(), k.expected) << "gaps stay unpainted in the opaque mode too";
    }
    const LOGBRUSH brush{BS_SOLID, 0, 0};
    const DWORD too_many[17] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, 1, &brush, 17, too_many), nullptr);
}

TEST(Lines, MixModesCombineIndices) {
    struct Case {
        int rop2;
        int expected; // pen 0x5C over pixel 0x36
    };
    for (Case k :
         {Case{R2_COPYPEN, 0x5C}, Case{R2_XORPEN, 0x5C ^ 0x36}, Case{R2_MERGEPEN, 0x5C | 0x36},
          Case{R2_MASKPEN, 0x5C & 0x36}, Case{R2_NOTCOPYPEN, 0xFF & ~0x5C},
          Case{R2_NOT, 0xFF & ~0x36}, Case{R2_NOP, 0x36}, Case{R2_BLACK, 0}, Case{R2_WHITE, 0xFF},
          Case{R2_MASKPENNOT, 0x5C & ~0x36 & 0xFF}}) {
        Canvas c(4, 1);
        SetPixel(c.dc, 1, 0, PALETTEINDEX(0x36));
        c.pen(PS_SOLID, 1, 0x5C);
        SetROP2(c.dc, k.rop2);
        MoveToEx(c.dc, 1, 0, nullptr);
        LineTo(c.dc, 2, 0);
        EXPECT_EQ(c.at(1, 0), k.expected) << k.rop2;
    }
    // Exclusive or twice gives the picture back, wide pens included.
    Canvas c(20, 20);
    c.brush(9);
    const RECT all{0, 0, 20, 20};
    FillRect(c.dc, &all, static_cast<HBRUSH>(c.owned.back()));
    SetPixel(c.dc, 5, 5, PALETTEINDEX(77));
    const std::string before = c.rows();
    c.pen(PS_SOLID, 5, 0x33);
    SetROP2(c.dc, R2_XORPEN);
    const POINT path[] = {{2, 2}, {15, 6}, {4, 17}};
    Polyline(c.dc, path, 3);
    EXPECT_NE(c.rows(), before);
    Polyline(c.dc, path, 3);
    EXPECT_EQ(c.rows(), before);
}

TEST(WidePens, CoverBothEndsRoundly) {
    Canvas c(20, 11);
    c.pen(PS_SOLID, 5, 1);
    MoveToEx(c.dc, 4, 5, nullptr);
    LineTo(c.dc, 15, 5);
    for (int x = 2; x <= 17; ++x) EXPECT_EQ(c.at(x, 5), 1) << x;
    for (int y = 3; y <= 7; ++y) EXPECT_EQ(c.at(10, y), 1) << y;
    EXPECT_EQ(c.at(10, 2), 0);
    EXPECT_EQ(c.at(2, 3), 0) << "the corners of the ends are rounded off";
    EXPECT_EQ(c.at(18, 5), 0);
}

TEST(Polygons, FillByTheEvenOddRuleThenOutline) {
    Canvas c(8, 6);
    c.pen(PS_NULL, 1, 0);
    c.brush(3);
    const POINT square[] = {{1, 1}, {5, 1}, {5, 4}, {1, 4}};
    Polygon(c.dc, square, 4);
    EXPECT_EQ(c.rows(), "........\n.3333...\n.3333...\n.3333...\n........\n........\n");

    // A self-crossing star leaves its centre empty by the even-odd rule and
    // fills it by the winding rule.
    const POINT star[] = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
    Canvas even(21, 20), winding(21, 20);
    for (Canvas *k : {&even, &winding}) {
        k->pen(PS_NULL, 1, 0);
        k->brush(4);
    }
    SetPolyFillMode(winding.dc, WINDING);
    Polygon(even.dc, star, 5);
    Polygon(winding.dc, star, 5);
    EXPECT_EQ(even.at(10, 10), 0);
    EXPECT_EQ(winding.at(10, 10), 4);
    EXPECT_EQ(even.at(10, 3), 4);

    Canvas outlined(8, 6);
    outlined.pen(PS_SOLID, 1, 1);
    outlined.brush(3);
    Polygon(outlined.dc, square, 4);
    EXPECT_EQ(outlined.rows(), "........\n.11111..\n.13331..\n.13331..\n.11111..\n........\n");
}

TEST(FloodFill, StaysInsideItsBorderAndItsClip) {
    Canvas c(10, 8);
    c.pen(PS_SOLID, 1, 5);
    const POINT box[] = {{1, 1}, {8, 1}, {8, 6}, {1, 6}, {1, 1}};
    Polyline(c.dc, box, 5);
    SetPixel(c.dc, 8, 6, PALETTEINDEX(5));
    // A diagonal gap in the border does not let the fill out: it spreads to
    // the four neighbours of a pixel only.
    SetPixel(c.dc, 8, 3, PALETTEINDEX(0));
    SetPixel(c.dc, 9, 4, PALETTEINDEX(5));
    SetPixel(c.dc, 9, 2, PALETTEINDEX(5));
    c.brush(7);
    EXPECT_TRUE(FloodFill(c.dc, 4, 4, PALETTEINDEX(5)));
    EXPECT_EQ(c.at(4, 4), 7);
    EXPECT_EQ(c.at(2, 2), 7);
    EXPECT_EQ(c.at(8, 3), 7) << "the gap pixel itself is inside";
    EXPECT_EQ(c.at(9, 3), 7) << "and so is its right neighbour, reached through it";
    EXPECT_EQ(c.at(0, 0), 0);
    EXPECT_EQ(c.count(7), 6 * 4 + 2);

    // On the border colour nothing happens.
    EXPECT_FALSE(FloodFill(c.dc, 1, 1, PALETTEINDEX(5)));
    // Outside the clip nothing happens; inside, the clip is a border too.
    HRGN clip = CreateRectRgn(0, 0, 10, 1);
    SelectClipRgn(c.dc, clip);
    DeleteObject(clip);
    c.brush(8);
    EXPECT_FALSE(FloodFill(c.dc, 4, 4, PALETTEINDEX(5)));
    EXPECT_TRUE(FloodFill(c.dc, 0, 0, PALETTEINDEX(5)));
    SelectClipRgn(c.dc, nullptr);
    EXPECT_EQ(c.count(8), 10) << "the row inside the clip, and no more";
}

// A diagonal of border pixels parts two regions that touch only at the
// corners of their pixels: the fill, spreading to the four neighbours of a
// pixel, stays on its side of it, from either side.
TEST(FloodFill, DoesNotCrossADiagonalBorder) {
    for (POINT start : {POINT{0, 9}, POINT{9, 0}}) {
        Canvas c(10, 10);
        c.pen(PS_SOLID, 1, 5);
        MoveToEx(c.dc, 0, 0, nullptr);
        LineTo(c.dc, 10, 10);
        ASSERT_EQ(c.count(5), 10) << "the pixels (i, i)";
        c.brush(7);
        EXPECT_TRUE(FloodFill(c.dc, start.x, start.y, PALETTEINDEX(5)));
        EXPECT_EQ(c.count(7), 45) << start.x << "," << start.y;
        EXPECT_EQ(c.at(start.y, start.x), 0) << "the other side stays as it was";
    }
}

TEST(FloodFill, FillsALargeAreaWithAPatternWithoutGoingAstray) {
    Canvas c(300, 200);
    // A maze of bars that the fill must snake through.
    c.pen(PS_SOLID, 1, 5);
    for (int x = 10; x < 300; x += 20) {
        const int y0 = (x / 20) % 2 ? 0 : 10, y1 = y0 == 0 ? 190 : 200;
        MoveToEx(c.dc, x, y0, nullptr);
        LineTo(c.dc, x, y1);
    }
    const WORD rows[8] = {0xFF55, 0xFFAA, 0xFF55, 0xFFAA, 0xFF55, 0xFFAA, 0xFF55, 0xFFAA};
    HBITMAP bits = CreateBitmap(8, 8, 1, 1, rows);
    HBRUSH pattern = CreatePatternBrush(bits);
    DeleteObject(bits);
    SelectObject(c.dc, pattern);
    SetTextColor(c.dc, PALETTEINDEX(9));
    SetBkColor(c.dc, PALETTEINDEX(4));
    EXPECT_TRUE(FloodFill(c.dc, 0, 0, PALETTEINDEX(5)));
    EXPECT_EQ(c.count(0), 0) << "every open pixel was reached";
    EXPECT_EQ(c.count(9) + c.count(4), 300 * 200 - c.count(5));
    EXPECT_EQ(c.at(0, 0), 9);
    EXPECT_EQ(c.at(1, 0), 4);
    DeleteObject(pattern);
}

// A fill that starts in the middle of a spiral must follow it outwards in
// every direction: the region it paints is exactly the 4-connected set of
// pixels a plain search finds from the start.
TEST(FloodFill, FollowsASpiralOutwardsInEveryDirection) {
    Canvas c(240, 180);
    c.pen(PS_SOLID, 1, 5);
    std::vector<POINT> spiral;
    int x = 120, y = 90, step = 4;
    for (int turn = 0; turn < 40; ++turn, step += 4) {
        spiral.push_back({x, y});
        switch (turn % 4) {
        case 0:
            x += step;
            break;
        case 1:
            y += step;
            break;
        case 2:
            x -= step;
            break;
        default:
            y -= step;
            break;
        }
    }
    spiral.push_back({x, y});
    Polyline(c.dc, spiral.data(), int(spiral.size()));

    std::vector<int> before(std::size_t(c.width) * c.height);
    for (int py = 0; py < c.height; ++py)
        for (int px = 0; px < c.width; ++px) before[std::size_t(py) * c.width + px] = c.at(px, py);
    std::vector<char> reached(before.size(), 0);
    std::vector<std::pair<int, int>> stack{{122, 92}};
    while (!stack.empty()) {
        auto [px, py] = stack.back();
        stack.pop_back();
        if (px < 0 || py < 0 || px >= c.width || py >= c.height) continue;
        const std::size_t i = std::size_t(py) * c.width + px;
        if (reached[i] || before[i] == 5) continue;
        reached[i] = 1;
        stack.insert(stack.end(), {{px + 1, py}, {px - 1, py}, {px, py + 1}, {px, py - 1}});
    }

    // In XOR mode, so that a pixel painted twice would be blank again.
    c.brush(7);
    SetROP2(c.dc, R2_XORPEN);
    ASSERT_TRUE(FloodFill(c.dc, 122, 92, PALETTEINDEX(5)));
    int wrong = 0;
    for (int py = 0; py < c.height; ++py)
        for (int px = 0; px < c.width; ++px)
            wrong += (c.at(px, py) == 7) != bool(reached[std::size_t(py) * c.width + px]);
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(c.count(7), 100) << "the spiral's corridor, not just its centre";
}

// Drawn with XOR on a blank bitmap, a shape that paints each of its pixels
// once leaves the same picture as drawn with COPY; a pixel painted twice
// would be blank again. Wide pens are unions of overlapping pieces (caps,
// bodies, dashes, a path folding back) and must paint each pixel once.
TEST(WidePens, PaintEachPixelOfTheirShapeOnce) {
    const POINT folded[] = {{20, 20}, {100, 70}, {25, 35}, {110, 28}, {30, 90}};
    const DWORD dashes[] = {9, 4, 2, 5};
    struct Case {
        const char *name;
        DWORD style;
        DWORD width;
        bool user;
        bool ring = false; // an ellipse's outline: many pieces on both sides of each row
    } cases[] = {
        {"solid round", PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND, 9, false},
        {"solid flat", PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, 7, false},
        {"dashed round", PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_ROUND, 11, true},
        {"dashed square", PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_SQUARE, 6, true},
        {"dotted", PS_GEOMETRIC | PS_DOT | PS_ENDCAP_ROUND, 5, false},
        {"ring solid", PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND, 30, false, true},
        {"ring dashed", PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_ROUND, 25, true, true},
    };
    for (const Case &k : cases) {
        std::string pictures[2];
        for (int xor_mode = 0; xor_mode < 2; ++xor_mode) {
            Canvas c(130, 110);
            const LOGBRUSH brush{BS_SOLID, PALETTEINDEX(5), 0};
            HPEN pen =
                ExtCreatePen(k.style, k.width, &brush, k.user ? 4 : 0, k.user ? dashes : nullptr);
            ASSERT_NE(pen, nullptr) << k.name;
            c.owned.push_back(pen);
            SelectObject(c.dc, pen);
            SetROP2(c.dc, xor_mode ? R2_XORPEN : R2_COPYPEN);
            SelectObject(c.dc, GetStockObject(NULL_BRUSH));
            if (k.ring)
                Ellipse(c.dc, 15, 12, 115, 98);
            else
                Polyline(c.dc, folded, 5);
            pictures[xor_mode] = c.rows();
        }
        EXPECT_EQ(pictures[1], pictures[0]) << k.name;
        EXPECT_NE(pictures[0].find('5'), std::string::npos) << k.name;
    }
}

} // namespace
