// Faults that fuzzing the public API brought out in our GDI, each kept as the
// behaviour it should have had (the sanitizer build runs these too).
#include "canvas.h"
#include "platform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace win32;

namespace {

// A wide pen's path through a repeated point: the segment of no length has
// no direction to take a normal of, and adds nothing to what the path draws.
TEST(WidePaths, ARepeatedPointAddsNothing) {
    const LOGBRUSH brush{BS_SOLID, PALETTEINDEX(9), 0};
    const DWORD dashes[2] = {4, 2};
    const HPEN pens[] = {CreatePen(PS_SOLID, 5, PALETTEINDEX(9)),
                         ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, 3, &brush, 2, dashes)};
    const std::vector<POINT> plain = {{3, 3}, {20, 3}, {20, 14}};
    const std::vector<POINT> repeated = {{3, 3}, {3, 3}, {20, 3}, {20, 3}, {20, 3}, {20, 14}};
    for (HPEN pen : pens) {
        Canvas a(24, 18), b(24, 18);
        SelectObject(a.dc, pen);
        SelectObject(b.dc, pen);
        EXPECT_TRUE(Polyline(a.dc, plain.data(), int(plain.size())));
        EXPECT_TRUE(Polyline(b.dc, repeated.data(), int(repeated.size())));
        EXPECT_EQ(b.rows(), a.rows());
        EXPECT_GT(a.count(9), 0);
        SelectObject(a.dc, GetStockObject(BLACK_PEN));
        SelectObject(b.dc, GetStockObject(BLACK_PEN));
        DeleteObject(pen);
    }
}

// A pen about as wide as its circle leaves a small hole at the centre; the
// circle's outline has a corner at each of its thousands of pixels. What it
// draws is what lies within half the pen's width of the circle, to a pixel or
// two (the box leaves out its last column and row, so the circle is centred
// on a pixel's corner), whether the pen follows every corner or, as the
// widest do, fewer.
TEST(WidePaths, APenAsWideAsItsCircleLeavesTheHoleAtTheCentre) {
    struct Case {
        int radius, width;
    } cases[] = {{560, 1000}, {1000, 1900}, {16000, 31900}};
    for (const Case &k : cases) {
        Canvas c(120, 120);
        c.pen(PS_SOLID, k.width, 9);
        SelectObject(c.dc, GetStockObject(NULL_BRUSH));
        EXPECT_TRUE(Ellipse(c.dc, 60 - k.radius, 60 - k.radius, 60 + k.radius, 60 + k.radius));
        const double hole = k.radius - 0.5 - k.width / 2.0;
        int wrong = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const double d = std::hypot(x - 59.5, y - 59.5);
                if (d < hole - 2) wrong += c.at(x, y) != 0;
                if (d > hole + 2) wrong += c.at(x, y) != 9;
            }
        EXPECT_EQ(wrong, 0) << "radius " << k.radius << ", pen " << k.width;
        SelectObject(c.dc, GetStockObject(BLACK_PEN));
    }
}

} // namespace
