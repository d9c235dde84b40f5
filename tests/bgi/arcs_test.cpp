// Arcs, circles and ellipses by their pixels and by what getarccoords
// reports; also run by the Windows build under Wine.
#include "drawing_fixture.h"

#include <climits>

namespace {

// The end points every arc-like call leaves for getarccoords, and those
// circle and fillellipse leave alone.
TEST_F(Drawing, ArcCoordinatesFollowTheLastArcSliceOrSector) {
    struct Case {
        const char *name;
        void (*draw)();
        arccoordstype expected;
    };
    const Case cases[] = {
        {"arc 0..90", [] { arc(100, 100, 0, 90, 50); }, {100, 100, 150, 100, 100, 50}},
        {"arc 30..120", [] { arc(100, 100, 30, 120, 50); }, {100, 100, 143, 76, 76, 57}},
        {"arc 0..360", [] { arc(100, 100, 0, 360, 50); }, {100, 100, 150, 100, 150, 100}},
        {"pieslice", [] { pieslice(20, 30, 180, 270, 10); }, {20, 30, 10, 30, 20, 40}},
        {"ellipse 0..45", [] { ellipse(0, 0, 0, 45, 100, 50); }, {0, 0, 100, 0, 44, -44}},
        {"ellipse 90..150", [] { ellipse(0, 0, 90, 150, 100, 50); }, {0, 0, 0, -50, -65, -37}},
        {"ellipse 200..330", [] { ellipse(0, 0, 200, 330, 100, 50); }, {0, 0, -80, 29, 65, 37}},
        {"round ellipse",
         [] { ellipse(300, 200, 150, 330, 100, 100); },
         {300, 200, 214, 151, 386, 250}},
        {"sector, no width", [] { sector(7, 9, 10, 20, 0, 50); }, {7, 9, 7, 9, 7, 9}},
        // Along the axis of the missing radius: no 0 / 0 on the way.
        {"ellipse, no height, at 0",
         [] { ellipse(100, 100, 0, 360, 50, 0); },
         {100, 100, 100, 100, 100, 100}},
        {"sector, no width, at 90", [] { sector(7, 9, 90, 270, 0, 50); }, {7, 9, 7, 9, 7, 9}},
        {"negative angles", [] { arc(50, 50, -90, -450, 20); }, {50, 50, 50, 70, 50, 70}},
    };
    for (const Case &k : cases) {
        k.draw();
        arccoordstype got{};
        getarccoords(&got);
        EXPECT_EQ(got.x, k.expected.x) << k.name;
        EXPECT_EQ(got.y, k.expected.y) << k.name;
        EXPECT_EQ(got.xstart, k.expected.xstart) << k.name;
        EXPECT_EQ(got.ystart, k.expected.ystart) << k.name;
        EXPECT_EQ(got.xend, k.expected.xend) << k.name;
        EXPECT_EQ(got.yend, k.expected.yend) << k.name;
        // circle and fillellipse keep what the arc left.
        circle(10, 10, 5);
        fillellipse(30, 30, 4, 7);
        arccoordstype after{};
        getarccoords(&after);
        EXPECT_EQ(after.xstart, got.xstart) << k.name;
        EXPECT_EQ(after.yend, got.yend) << k.name;
    }
    getarccoords(nullptr); // nothing to write to
}

TEST_F(Drawing, FilledShapesTakeTheOutlineColourAndTheFillColour) {
    setcolor(YELLOW);
    setfillstyle(SOLID_FILL, RED);
    fillellipse(100, 100, 30, 20);
    EXPECT_EQ(getpixel(100, 100), RED);
    EXPECT_EQ(getpixel(70, 100), YELLOW); // the left end of the middle row
    EXPECT_EQ(getpixel(100, 80), YELLOW); // the top
    EXPECT_EQ(getpixel(69, 100), BLACK);
    EXPECT_EQ(getpixel(130, 100), BLACK); // the box leaves out its right column
    EXPECT_EQ(window_color(100, 100), RED);

    // A quarter slice from 3 o'clock to 12 o'clock, about (200, 100).
    setfillstyle(SOLID_FILL, GREEN);
    pieslice(200, 100, 0, 90, 40);
    EXPECT_EQ(getpixel(215, 85), GREEN);
    EXPECT_EQ(getpixel(185, 85), BLACK);
    EXPECT_EQ(getpixel(215, 115), BLACK);
    EXPECT_EQ(getpixel(200, 100), YELLOW); // the centre, where the edges meet

    // The lines pattern: every eighth row of the inside, counted from the
    // top of the page, in the fill colour; the rest in the background.
    setfillstyle(LINE_FILL, LIGHTCYAN);
    sector(400, 100, 0, 360, 60, 30);
    int lined = 0, blank = 0;
    for (int y = 80; y < 120; ++y) {
        const int c = getpixel(380, y);
        if (y % 8 == 7)
            lined += c == LIGHTCYAN;
        else
            blank += c == BLACK;
    }
    EXPECT_EQ(lined, 5);
    EXPECT_EQ(blank, 35);
}

TEST_F(Drawing, ArcsAndCirclesDrawInCopyModeWhateverTheWriteMode) {
    setcolor(LIGHTBLUE);
    block(0, 0, 200, 200, LIGHTBLUE);
    setcolor(LIGHTRED);
    setwritemode(XOR_PUT);
    setfillstyle(SOLID_FILL, GREEN);
    // Twice each: XOR would take the second away again.
    for (int i = 0; i < 2; ++i) {
        circle(50, 50, 20);
        arc(150, 50, 0, 180, 20);
        ellipse(50, 150, 0, 360, 30, 10);
        fillellipse(150, 150, 20, 10);
        pieslice(100, 100, 0, 90, 15);
        sector(100, 180, 180, 360, 15, 10);
    }
    EXPECT_EQ(getpixel(30, 50), LIGHTRED);
    EXPECT_EQ(getpixel(150, 30), LIGHTRED);
    EXPECT_EQ(getpixel(20, 150), LIGHTRED);
    EXPECT_EQ(getpixel(150, 150), GREEN);
    EXPECT_EQ(getpixel(105, 95), GREEN);
    EXPECT_EQ(getpixel(100, 184), GREEN);
    EXPECT_EQ(window_color(30, 50), LIGHTRED);
}

TEST_F(Drawing, CirclesFollowTheAspectRatio) {
    struct Case {
        int xasp, yasp;
        int top; // the row of the circle's top above (100, 100)
    };
    const Case cases[] = {
        {10000, 10000, 50},
        {10000, 20000, 75},
        {20000, 10000, 0},
        // The product r * xasp passes 32 bits: the ratio still holds.
        {100000000, 100000000, 50},
        // No ratio without a y aspect: the circle stays round.
        {10000, 0, 50},
    };
    for (const Case &k : cases) {
        cleardevice();
        setcolor(WHITE);
        setaspectratio(k.xasp, k.yasp);
        circle(100, 100, 50);
        EXPECT_EQ(getpixel(100, k.top), WHITE) << k.xasp << "/" << k.yasp;
        EXPECT_EQ(getpixel(100, k.top + 1), BLACK) << k.xasp << "/" << k.yasp;
        EXPECT_EQ(getpixel(50, 100), WHITE) << k.xasp << "/" << k.yasp;
    }
}

#ifndef _WIN32
// The system's GDI under Wine takes its time over such radii: ours only.
TEST_F(Drawing, HugeRadiiDrawOnlyWhatTheWindowShows) {
    setcolor(WHITE);
    setfillstyle(SOLID_FILL, RED);
    // A circle whose top runs along row 240.
    circle(320, 1000000240, 1000000000);
    EXPECT_EQ(getpixel(0, 240), WHITE);
    EXPECT_EQ(getpixel(639, 240), WHITE);
    EXPECT_EQ(getpixel(320, 239), BLACK);
    fillellipse(320, 240, INT_MAX, INT_MAX);
    pieslice(INT_MIN, INT_MAX, 0, 359, INT_MAX);
    arc(0, 0, 45, 46, INT_MIN);
    sector(100, 100, 0, 90, INT_MAX, INT_MIN);
    setaspectratio(INT_MAX, 1);
    circle(100, 100, INT_MAX);
    setaspectratio(INT_MIN, -1);
    circle(100, 100, INT_MIN);
    EXPECT_EQ(getpixel(320, 239), BLACK);
    // Centres at the ends of the ints: short arcs whose end points wrap
    // round to the other side, nearly 2^32 from the centre (their boxes wrap
    // too, and what they draw is not checked: only that they are drawn).
    for (int x : {INT_MIN, INT_MAX})
        for (int y : {INT_MIN, INT_MAX})
            for (int from : {44, 134, 224, 314}) {
                arc(x, y, from, from + 1, 4);
                ellipse(x, y, from, from + 2, 3, 5);
                sector(x, y, from, from + 1, 5, 4);
            }
}
#endif

} // namespace
