// Every drawing and state call with extreme arguments, before a window
// exists, while it is open and after it is gone: nothing may crash, overflow
// or touch memory it does not own (the sanitizer build runs this too).
#include "bgi.h"
#include "bgi_internal.h"
#include "headless_display.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

void every_call_with_extremes() {
    const int values[] = {INT_MIN, -100000, -1, 0, 1, 15, 16, 255, 100000, INT_MAX};
    for (int a : values) {
        for (int b : values) {
            setcolor(a);
            setbkcolor(b);
            setpalette(a, b);
            setrgbpalette(a, a, b, b);
            setfillstyle(a, b);
            setlinestyle(a, unsigned(b), b % 50);
            setwritemode(a);
            putpixel(a, b, a);
            getpixel(a, b);
            moveto(a, b);
            lineto(b, a);
            linerel(a, b);
            moverel(a, b);
            line(a, b, b, a);
            rectangle(a, b, b, a);
            bar(a, b, b, a);
            bar3d(a, b, b, a, a, b);
            floodfill(a % 2000, b % 2000, a);
            arc(a, b, a, b, b);
            circle(a, b, b);
            pieslice(b, a, b, a, a);
            ellipse(a, b, a, b, a, b);
            fillellipse(a, b, b, a);
            sector(b, a, a, b, b, a);
            getarccoords(nullptr);
            setactivepage(a);
            setvisualpage(b);
            setviewport(a, b, b, a, a & 1);
            clearviewport();
            setaspectratio(a, b);
            getmodename(a);
            grapherrormsg(a);
            const int points[] = {a, b, b, a, 0, 0, a, a};
            drawpoly(4, points);
            fillpoly(4, points);
            drawpoly(a, nullptr);
            fillpoly(a < 0 ? a : 0, points);
            settextstyle(a, b, a);
            settextjustify(a, b);
            outtextxy(a, b, "x");
            outtext("y");
            textwidth("z");
            unsigned char image[64] = {}; // at most 4 x 2 pixels: 16 bytes
            imagesize(a, b, b, a);
            getimage(a, b, a ^ 3, b ^ 1, image);
            putimage(b, a, image, a);
        }
    }
    // User character sizes with extreme factors and zero divisors.
    for (int f : {INT_MIN, -1, 0, 1, INT_MAX}) {
        setusercharsize(f, f, INT_MAX, f);
        outtextxy(10, 10, "w");
        textheight("w");
    }
    // Pens of any width, solid and patterned, on every outline.
    for (int thickness : {INT_MIN, -1, 0, 100000, INT_MAX}) {
        for (int style : {SOLID_LINE, DOTTED_LINE, USERBIT_LINE}) {
            setlinestyle(style, 0x0F0F, thickness);
            line(-10, 5, 50, 60);
            rectangle(2, 2, 40, 30);
            bar3d(5, 5, 30, 30, 10, 1);
            circle(20, 20, 10);
            pieslice(20, 20, 0, 90, 10);
        }
    }
    setlinestyle(SOLID_LINE, 0, 1);
    setviewport(0, 0, 100, 100, 0);
    setactivepage(0);
    setvisualpage(0);
    cleardevice();
    graphdefaults();
}

TEST(HostileInput, NothingBreaksWithOrWithoutAWindow) {
    every_call_with_extremes();
    int driver = VGA, mode = VGAHI;
    initgraph(&driver, &mode, "");
    every_call_with_extremes();
    closegraph();
    every_call_with_extremes();
    // Unknown drivers and modes, and no pointers at all, open a window too.
    driver = -5, mode = 99;
    initgraph(&driver, &mode, "");
    EXPECT_EQ(driver, VGA);
    initgraph(nullptr, nullptr, nullptr);
    EXPECT_NE(bgi::window_handle(), nullptr);
    every_call_with_extremes();
    closegraph();
    EXPECT_EQ(bgi::window_handle(), nullptr);
}

} // namespace
