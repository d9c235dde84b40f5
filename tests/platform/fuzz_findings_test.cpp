// Faults that fuzzing the public API brought out in our GDI, each kept as the
// behaviour it should have had (the sanitizer build runs these too).
#include "canvas.h"
#include "platform.h"

#include <gtest/gtest.h>

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

} // namespace
