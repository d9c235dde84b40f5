// What the window shows of the pages: the shown page's drawing appears at the
// program's next wait, a hidden page's only once it is shown, and every page
// keeps its own pixels however often the pages are flipped. Runs on our
// headless display, where the display's own picture is read back, and in
// the Windows build under Wine, where the screen is read.
#include "drawing_fixture.h"

#include <cstdint>
#include <iterator>
#include <vector>

namespace {

// The BGI colour the display shows at a client position (-1 for a colour
// no BGI colour has now), as read after the program's next wait.
int shown(int x, int y) {
    delay(20);
#ifdef _WIN32
    HDC dc = GetDC(bgi::window_handle());
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(bgi::window_handle(), dc);
#else
    int width = 0, height = 0;
    const std::vector<std::uint32_t> screen =
        win32::testing::presented_pixels(bgi::window_handle(), width, height);
    if (x >= width || y >= height) return -1;
    const std::uint32_t rgb = screen[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    const COLORREF c = RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
#endif
    return bgi::bgi_color_of(c);
}

void box(int left, int top, int color) {
    setfillstyle(SOLID_FILL, color);
    bar(left, top, left + 29, top + 29);
}

using Flip = Drawing;

TEST_F(Flip, DrawingOnTheShownPageShowsAtTheNextWait) {
    box(10, 10, RED);
    EXPECT_EQ(shown(20, 20), RED);
    // Another page shown, then drawn on while shown.
    setactivepage(1);
    setvisualpage(1);
    EXPECT_EQ(shown(20, 20), BLACK) << "page 1 never had page 0's box";
    box(10, 10, GREEN);
    EXPECT_EQ(shown(20, 20), GREEN);
    putpixel(100, 100, YELLOW);
    EXPECT_EQ(shown(100, 100), YELLOW);
}

TEST_F(Flip, AHiddenPageShowsOnlyOnceItIsShown) {
    setactivepage(1);
    box(10, 10, BLUE);
    for (int wait = 0; wait < 3; ++wait) EXPECT_EQ(shown(20, 20), BLACK) << "wait " << wait;
    cleardevice();
    box(50, 50, CYAN);
    EXPECT_EQ(shown(60, 60), BLACK);
    setvisualpage(1);
    EXPECT_EQ(shown(60, 60), CYAN);
    EXPECT_EQ(shown(20, 20), BLACK) << "cleared before it was shown";
}

// Pages 0 to 3, each with a box of its own colour where the others have
// none and one box where all have one; shown in an order that comes back to
// pages, with drawing on the shown page between flips.
TEST_F(Flip, EveryPageKeepsItsOwnPixelsAcrossFlips) {
    constexpr int pages = 4;
    auto own_spot = [](int page) { return 10 + 40 * page; };
    for (int page = 0; page < pages; ++page) {
        setactivepage(page);
        cleardevice();
        box(own_spot(page), 10, 1 + page);
        box(300, 300, 9 + page);
    }
    setactivepage(0);
    std::vector<int> extra(pages, -1); // a box drawn while the page was shown
    const int order[] = {1, 2, 3, 1, 0, 3, 3, 2, 0, 1};
    for (int step = 0; step < int(std::size(order)); ++step) {
        const int visual = order[step];
        setvisualpage(visual);
        for (int page = 0; page < pages; ++page)
            EXPECT_EQ(shown(own_spot(page) + 5, 15), page == visual ? 1 + page : BLACK)
                << "step " << step << ", page " << page << "'s box";
        EXPECT_EQ(shown(305, 305), 9 + visual) << "step " << step;
        for (int page = 0; page < pages; ++page) {
            if (extra[page] < 0) continue;
            EXPECT_EQ(shown(extra[page] + 5, 105), page == visual ? LIGHTRED : BLACK)
                << "step " << step << ", the box drawn on page " << page;
        }
        if (step % 3 == 0 && extra[visual] < 0) {
            // Drawn on the shown page, which is also made the active one.
            setactivepage(visual);
            extra[visual] = 10 + 60 * visual;
            box(extra[visual], 100, LIGHTRED);
            EXPECT_EQ(shown(extra[visual] + 5, 105), LIGHTRED) << "step " << step;
            setactivepage((visual + 1) % pages);
        }
    }
    for (int page = 0; page < pages; ++page) {
        setactivepage(page);
        EXPECT_EQ(getpixel(own_spot(page) + 5, 15), 1 + page) << "page " << page;
        EXPECT_EQ(getpixel(305, 305), 9 + page) << "page " << page;
        for (int other = 0; other < pages; ++other) {
            if (other == page) continue;
            EXPECT_EQ(getpixel(own_spot(other) + 5, 15), BLACK) << page << ", " << other;
        }
    }
}

#ifndef _WIN32
// Palette animation needs a palette device, as our display is: a new
// colour recolours what the shown page holds, drawn before the flip.
TEST_F(Flip, APaletteChangeRecoloursTheShownPage) {
    setactivepage(1);
    box(10, 10, BLUE);
    box(50, 10, GREEN);
    setvisualpage(1);
    setactivepage(0);
    ASSERT_EQ(shown(20, 20), BLUE);
    setpalette(BLUE, GREEN);
    EXPECT_EQ(shown(20, 20), BLUE) << "colour 1 is green now, and shown so";
    int width = 0, height = 0;
    const std::vector<std::uint32_t> screen =
        win32::testing::presented_pixels(bgi::window_handle(), width, height);
    EXPECT_EQ(screen[20 * std::size_t(width) + 20], 0x00FF00u);
    EXPECT_EQ(screen[20 * std::size_t(width) + 60], 0x00FF00u);
    setrgbpalette(BLUE, 40, 80, 120);
    delay(20);
    const std::vector<std::uint32_t> again =
        win32::testing::presented_pixels(bgi::window_handle(), width, height);
    EXPECT_EQ(again[20 * std::size_t(width) + 20], 0x285078u);
}
#endif

} // namespace
