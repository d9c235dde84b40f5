// What the layer keeps over many windows: 200 initgraph/closegraph cycles,
// each drawing with every family, must leave the GDI objects, the windows,
// the timers and the heap where the first cycle left them. Only the fill
// brushes, the palette record and the caches' 8 pens and 8 fonts outlive a
// window, and they do not grow.
#include "bgi.h"
#include "bgi_internal.h"
#include "headless_display.h"
#include "heap_in_use.h"
#include "inject.h"
#include "platform_testing.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

using win32::testing::GdiObjects;
using win32::testing::live_gdi_objects;

// One program's life with the window: every family draws, text in every
// font at several sizes, images in every put mode, pages, the palette and
// the viewport; keys are typed and read.
void one_window() {
    int driver = VGA, mode = VGAHI;
    initgraph(&driver, &mode, "");
    for (int page : {1, 2, 0}) {
        setactivepage(page);
        cleardevice();
        for (int style = SOLID_LINE; style <= USERBIT_LINE; ++style)
            for (int thickness : {NORM_WIDTH, THICK_WIDTH}) {
                setlinestyle(style, 0x3C3Cu + unsigned(page), thickness);
                setcolor(style + thickness);
                line(0, style * 10, 200, style * 10 + thickness);
                rectangle(10, 10, 100 + style, 80);
            }
        setlinestyle(SOLID_LINE, 0, NORM_WIDTH);
        for (int pattern = EMPTY_FILL; pattern <= USER_FILL; ++pattern) {
            setfillstyle(pattern, pattern);
            bar(pattern * 20, 100, pattern * 20 + 15, 130);
        }
        const char rows[8] = {1, 2, 4, 8, 16, 32, 64, char(128)};
        setfillpattern(rows, LIGHTRED);
        const int points[] = {300, 10, 380, 60, 320, 90, 300, 10};
        fillpoly(4, points);
        drawpoly(4, points);
        bar3d(400, 50, 450, 100, 10, 1);
        setcolor(YELLOW);
        rectangle(500, 200, 540, 240);
        floodfill(510, 210, YELLOW);
        arc(100, 300, 10, 200, 40);
        circle(200, 300, 30);
        pieslice(300, 300, 30, 300, 40);
        ellipse(400, 300, 0, 360, 50, 20);
        fillellipse(500, 300, 30, 40);
        sector(580, 300, 45, 270, 30, 50);
        for (int x = 0; x < 16; ++x) putpixel(x, 470, x);
        getpixel(3, 470);
    }
    setvisualpage(1);
    setvisualpage(0);
    for (int font = DEFAULT_FONT; font <= BOLD_FONT; ++font)
        for (int size : {1, 3, 7}) {
            settextstyle(font, font % 2, size);
            settextjustify(font % 3, size % 3);
            outtextxy(20 + font * 40, 400, "Text 123");
            textwidth("width");
            textheight("height");
        }
    setusercharsize(3, 2, 5, 4);
    outtext("user size");
    for (int op = COPY_PUT; op <= NOT_PUT; ++op) {
        const int size = 10 + op * 13;
        std::vector<unsigned char> block(imagesize(0, 0, size, size / 2));
        getimage(0, 0, size, size / 2, block.data());
        putimage(100 + op * 60, 420, block.data(), op);
    }
    setpalette(3, RED);
    setrgbpalette(5, 10, 200, 30);
    palettetype palette = *getdefaultpalette();
    setallpalette(&palette);
    setbkcolor(BLUE);
    setviewport(20, 20, 300, 200, 1);
    clearviewport();
    line(-10, -10, 400, 400);
    setviewport(0, 0, getmaxx(), getmaxy(), 0);
    setwritemode(XOR_PUT);
    line(0, 0, 100, 100);
    graphdefaults();
    inject_char('k');
    while (kbhit()) getch();
    delay(1);
    // A second initgraph without closegraph replaces the window.
    mode = 3;
    initgraph(&driver, &mode, "");
    outtextxy(10, 10, "maximised");
    putpixel(1, 1, RED);
    closegraph();
}

TEST(Resources, TwoHundredWindowsKeepWhatTheFirstKept) {
    const GdiObjects before = live_gdi_objects();
    one_window();
    const GdiObjects first = live_gdi_objects();
    const long long first_heap = heap_in_use();
    for (int cycle = 1; cycle < 200; ++cycle) one_window();
    const GdiObjects last = live_gdi_objects();
    const long long last_heap = heap_in_use();

    EXPECT_EQ(last, first) << "GDI objects after 1 window: " << first.total()
                           << ", after 200: " << last.total();
    EXPECT_EQ(win32::testing::live_windows(), 0);
    EXPECT_EQ(win32::testing::live_timers(), 0);
    // What outlives the windows: the fill brushes (pattern 0 is the stock
    // null brush) and the background brush, the user pattern's bitmap, and
    // the caches' pens and fonts, full after a window's drawing. No DC, no
    // page, no palette object, no region.
    EXPECT_EQ(last.dcs, before.dcs);
    EXPECT_EQ(last.palettes, before.palettes);
    EXPECT_EQ(last.bitmaps, before.bitmaps + 1);
    EXPECT_EQ(last.brushes, before.brushes + USER_FILL + 1);
    EXPECT_EQ(last.pens, before.pens + 8);
    EXPECT_EQ(last.fonts, before.fonts + 8);
    EXPECT_EQ(last.regions, before.regions);
    std::printf("GDI objects before: %d, after 1 window: %d, after 200: %d\n", before.total(),
                first.total(), last.total());
    if (first_heap < 0) {
        std::printf("heap not counted: run with GLIBC_TUNABLES=glibc.malloc.tcache_count=0\n");
        return;
    }
    // A leak of 21 bytes a window would pass the allowance over the 199
    // windows after the first; a window's page alone is 1280 x 800 bytes.
    // The allowance is for SDL, which sets up its event wait (about 2 KiB)
    // over the first few waits.
    constexpr long long allowance = 4096;
    const long long growth = last_heap - first_heap;
    std::printf("heap in use after 1 window: %lld bytes, after 200: %lld (%+lld)\n", first_heap,
                last_heap, growth);
    EXPECT_LE(growth, allowance);
}

} // namespace
