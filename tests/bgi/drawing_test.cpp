// Pages, viewport, current position, pens and the straight-edged primitives
// of the BGI layer on a headless window, checked by what ends up on the page
// and in the window. Also runs in the Windows build under Wine, except the
// write modes' colour arithmetic, which is a palette device's.
#include "drawing_fixture.h"

#include <climits>
#include <initializer_list>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// Columns x0..x1 of row y: '#' where colour c shows, '.' for black, '?' else.
std::string row(int x0, int x1, int y, int c) {
    std::string s;
    for (int x = x0; x <= x1; ++x) {
        const int p = getpixel(x, y);
        s += p == c ? '#' : p == BLACK ? '.' : '?';
    }
    return s;
}

// n pixels of a dash pattern: on, off, on, off ... lengths, repeated.
std::string dashes(std::initializer_list<int> lengths, int n) {
    std::string s;
    while (int(s.size()) < n) {
        bool on = true;
        for (int length : lengths) {
            s.append(std::size_t(length), on ? '#' : '.');
            on = !on;
        }
    }
    return s.substr(0, std::size_t(n));
}

// ---- Pages ----------------------------------------------------------------

TEST_F(Drawing, AHiddenPageReachesTheWindowOnlyWhenShown) {
    block(0, 0, 3, 3, GREEN);
    setvisualpage(3); // never active: made, cleared and shown
    EXPECT_EQ(window_color(1, 1), BLACK);
    EXPECT_EQ(getpixel(1, 1), GREEN) << "page 0 is still the one drawn on";
    setactivepage(1);
    block(0, 0, 9, 9, RED);
    putpixel(639, 479, YELLOW);
    EXPECT_EQ(window_color(5, 5), BLACK);
    setvisualpage(1);
    EXPECT_EQ(window_color(5, 5), RED);
    EXPECT_EQ(window_color(639, 479), YELLOW) << "the whole client area is copied";
    setactivepage(0);
    setvisualpage(0);
    EXPECT_EQ(window_color(1, 1), GREEN) << "an existing page keeps its content";
    EXPECT_EQ(window_color(639, 479), BLACK);
}

TEST_F(Drawing, ANewPageIsClearedToItsLastColumnAndRow) {
    HDC screen = GetDC(nullptr);
    const int w = GetDeviceCaps(screen, HORZRES), h = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
    setbkcolor(BLUE); // pixels never cleared would show no BGI colour
    setactivepage(2);
    for (auto [x, y] : {std::pair(0, 0), {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}})
        EXPECT_EQ(getpixel(x, y), BLACK) << x << "," << y << ": the background, shown blue";
    EXPECT_EQ(getpixel(w, 0), -1) << "outside the page";
    EXPECT_EQ(getpixel(-1, 0), -1);
}

TEST_F(Drawing, PagesOutside0To15OrWithoutAWindowAreNeverMade) {
    for (int page : {16, -1, INT_MIN, INT_MAX}) {
        setactivepage(page);
        setvisualpage(page);
    }
    putpixel(2, 2, GREEN);
    EXPECT_EQ(window_color(2, 2), GREEN) << "page 0 is still active and shown";
    setactivepage(1);
    setactivepage(0);
    EXPECT_EQ(getpixel(2, 2), GREEN) << "and the drawing is on page 0";
    closegraph();
    setactivepage(2);
    setvisualpage(3);
    open();
    EXPECT_EQ(bgi::page_bitmap(2), nullptr);
    EXPECT_EQ(bgi::page_bitmap(3), nullptr);
}

// ---- Viewport ---------------------------------------------------------------

TEST_F(Drawing, CleardeviceClearsTheWholePageAndKeepsTheClip) {
    block(0, 0, 299, 299, WHITE);
    setviewport(100, 100, 200, 200, 1);
    moveto(5, 5);
    cleardevice();
    EXPECT_EQ(position(), std::pair(0, 0));
    putpixel(-50, -50, RED); // outside the clip
    putpixel(0, 0, RED);     // device (100, 100)
    full_viewport();
    EXPECT_EQ(getpixel(50, 50), BLACK);
    EXPECT_EQ(getpixel(250, 250), BLACK);
    EXPECT_EQ(getpixel(100, 100), RED);
    EXPECT_EQ(window_color(250, 250), BLACK);
}

TEST_F(Drawing, ClearviewportLeavesTheFarColumnAndRow) {
    block(0, 0, 199, 199, WHITE);
    setviewport(10, 20, 110, 70, 0); // no clip to hide an overrun
    clearviewport();
    full_viewport();
    EXPECT_EQ(count_of(BLACK, 200), 100 * 50);
    EXPECT_EQ(getpixel(10, 20), BLACK);
    EXPECT_EQ(getpixel(109, 69), BLACK);
}

TEST_F(Drawing, ViewportIsKeptAsGivenAndWithoutClipMovesOnlyTheOrigin) {
    moveto(30, 30);
    setviewport(50, 40, 10, 20, 1);
    viewporttype v{};
    getviewsettings(&v);
    EXPECT_EQ((std::vector{v.left, v.top, v.right, v.bottom, v.clip}),
              (std::vector{50, 40, 10, 20, 1}));
    EXPECT_EQ(position(), std::pair(0, 0));
    getviewsettings(nullptr);
    setviewport(100, 100, 200, 200, 1);
    putpixel(-20, -20, RED); // outside the clip
    setviewport(100, 100, 200, 200, 0);
    putpixel(-10, -10, GREEN);
    full_viewport();
    EXPECT_EQ(getpixel(90, 90), GREEN);
    EXPECT_EQ(getpixel(80, 80), BLACK);
}

// With clip on, drawing reaches the viewport's columns left..right-1 and rows
// top..bottom-1, on the page and in the window: a bar far larger than the
// viewport fills exactly that. A viewport given back to front clips to the
// box between its corners.
TEST_F(Drawing, ClipEndsJustBeforeTheViewportsRightAndBottom) {
    for (const viewporttype v :
         {viewporttype{10, 20, 60, 45, 1}, viewporttype{60, 45, 10, 20, 1}}) {
        cleardevice();
        setviewport(v.left, v.top, v.right, v.bottom, v.clip);
        setfillstyle(SOLID_FILL, RED);
        bar(-100, -100, 100, 100);
        full_viewport();
        EXPECT_EQ(count_of(RED, 80), 50 * 25) << v.left;
        for (auto [x, y, c] : {std::tuple(10, 20, RED),
                               {59, 44, RED},
                               {60, 30, BLACK},
                               {30, 45, BLACK},
                               {9, 30, BLACK},
                               {30, 19, BLACK}}) {
            EXPECT_EQ(getpixel(x, y), c) << x << "," << y << " " << v.left;
            EXPECT_EQ(window_color(x, y), c) << x << "," << y << " " << v.left;
        }
    }
}

// A paint of the window while another page is shown shows that page, and
// leaves the page DC with the page drawn on and the window DC with the
// viewport's clip.
TEST_F(Drawing, APaintLeavesTheActivePageAndTheClipInPlace) {
    setactivepage(1);
    InvalidateRect(bgi::window_handle(), nullptr, FALSE);
    kbhit(); // the paint
    block(0, 0, 9, 9, RED);
    EXPECT_EQ(window_color(5, 5), BLACK) << "page 0 is shown";
    setvisualpage(1);
    EXPECT_EQ(window_color(5, 5), RED) << "the drawing went to page 1";
    setactivepage(0);
    setvisualpage(0);
    EXPECT_EQ(window_color(5, 5), BLACK) << "and not to page 0";

    setviewport(100, 100, 200, 200, 1);
    InvalidateRect(bgi::window_handle(), nullptr, FALSE);
    kbhit();
    putpixel(-50, -50, RED); // outside the clip
    putpixel(50, 50, GREEN);
    full_viewport();
    EXPECT_EQ(window_color(50, 50), BLACK);
    EXPECT_EQ(getpixel(50, 50), BLACK);
    EXPECT_EQ(window_color(150, 150), GREEN);
}

// ---- Current position -----------------------------------------------------

TEST_F(Drawing, PositionsAreHandedOverOnlyWhereTheRuleSays) {
    // The window DC does not follow moves on a hidden page...
    setactivepage(1);
    moveto(100, 100);
    setactivepage(0);
    EXPECT_EQ(position(), std::pair(0, 0));
    // ...but a relative move starts from the page DC and moves both.
    moverel(0, 0);
    EXPECT_EQ(position(), std::pair(100, 100));
    // Showing the page drawn on hands its position to the window.
    setactivepage(1);
    moveto(70, 80);
    setvisualpage(1);
    EXPECT_EQ(position(), std::pair(70, 80));
    // Polylines leave it, lines to a point move it.
    line(10, 10, 20, 20);
    rectangle(1, 1, 3, 3);
    EXPECT_EQ(position(), std::pair(70, 80));
    lineto(100, 50);
    linerel(-10, 5);
    EXPECT_EQ(position(), std::pair(90, 55));
}

TEST_F(Drawing, WithoutRedrawHandlingTheWindowLeads) {
    bgiemu_handle_redraw = 0;
    moveto(10, 20);
    EXPECT_EQ(position(), std::pair(10, 20));
    moverel(5, 5);
    EXPECT_EQ(position(), std::pair(5, 5)) << "from the page DC's older position";
    lineto(100, 50);
    linerel(1, 1);
    EXPECT_EQ(position(), std::pair(1, 1)) << "from the page DC's older position";
    // Leaving the shown page hands the window's position to the page DC.
    moveto(30, 40);
    setactivepage(1);
    EXPECT_EQ(position(), std::pair(30, 40));
    // A flip saves on the active page what only the window got.
    setactivepage(0);
    putpixel(7, 7, RED);
    EXPECT_EQ(getpixel(7, 7), RED) << "read from the window";
    setvisualpage(1);
    EXPECT_EQ(getpixel(7, 7), RED) << "page 0, now hidden, got the window's pixels";
    EXPECT_EQ(window_color(7, 7), BLACK);
}

// ---- Bars, pixels, defaults -------------------------------------------------

TEST_F(Drawing, BarsCoverTheirCornersNormalisedRightAndBottomExcluded) {
    setfillstyle(SOLID_FILL, RED);
    bar(10, 10, 0, 0);
    EXPECT_EQ(count_of(RED, 14), 100);
    EXPECT_EQ(getpixel(0, 0), RED);
    EXPECT_EQ(getpixel(9, 9), RED);
    EXPECT_EQ(window_color(9, 9), RED);
    cleardevice();
    bar(5, 5, 5, 9);
    setfillstyle(EMPTY_FILL, RED);
    bar(0, 0, 10, 10);
    EXPECT_EQ(count_of(RED, 14), 0);
}

TEST_F(Drawing, Bar3dFaceIsInsetByTheLineThickness) {
    setfillstyle(SOLID_FILL, RED);
    setlinestyle(SOLID_LINE, 0, THICK_WIDTH);
    bar3d(20, 20, 0, 0, 5, 1);
    EXPECT_EQ(count_of(RED, 30), 15 * 15) << "columns and rows 3..17";
    EXPECT_EQ(getpixel(3, 3), RED);
    EXPECT_EQ(getpixel(17, 17), RED);
    // The outline, 3 pixels wide around the edges, leaves one pixel free.
    for (auto [x, y, c] : {std::tuple(1, 10, WHITE),
                           {2, 10, BLACK},
                           {3, 10, RED},
                           {10, 19, WHITE},
                           {10, 18, BLACK},
                           {10, 17, RED}})
        EXPECT_EQ(getpixel(x, y), c) << x << "," << y;
    // An inset wider than the bar leaves no face at all.
    cleardevice();
    setlinestyle(SOLID_LINE, 0, 10);
    bar3d(20, 20, 24, 24, 0, 0);
    bar3d(40, 20, 41, 21, 0, 0);
    EXPECT_EQ(count_of(RED, 60), 0);
}

TEST_F(Drawing, PixelsAreMaskedAndReadBackAsBgiColours) {
    struct Case {
        int given, painted;
    };
    for (Case c : {Case{18, GREEN}, Case{15, WHITE}, Case{-1, WHITE}, Case{0x7F4, RED}}) {
        putpixel(3, 4, c.given);
        EXPECT_EQ(getpixel(3, 4), c.painted) << c.given;
    }
    // Two BGI colours of one RGB: the lower wins.
    setpalette(MAGENTA, BLUE);
    putpixel(3, 4, MAGENTA);
    EXPECT_EQ(getpixel(3, 4), BLUE);
}

TEST_F(Drawing, GraphdefaultsResetsStatePagesOriginAndClip) {
    setcolor(RED);
    setlinestyle(USERBIT_LINE, 0x1234, 3);
    setfillstyle(HATCH_FILL, GREEN);
    setpalette(1, RED);
    setactivepage(1);
    setvisualpage(1);
    block(0, 0, 5, 5, RED);
    setviewport(10, 10, 100, 100, 1);
    moveto(5, 5);
    graphdefaults();
    linesettingstype l{};
    getlinesettings(&l);
    fillsettingstype f{};
    getfillsettings(&f);
    palettetype p{};
    getpalette(&p);
    viewporttype v{};
    getviewsettings(&v);
    EXPECT_EQ((std::vector<long long>{getcolor(), l.linestyle, l.upattern, l.thickness, f.pattern,
                                      f.color, p.colors[1], v.right, v.clip, getx()}),
              (std::vector<long long>{WHITE, SOLID_LINE, 0xFFFFFFFF, 1, SOLID_FILL, WHITE, 1,
                                      getmaxx(), 1, 0}));
    // Page 0 is drawn on and shown again, at origin (0, 0) without clip.
    putpixel(0, 0, GREEN);
    EXPECT_EQ(window_color(0, 0), GREEN);
    EXPECT_EQ(window_color(2, 2), BLACK);
}

TEST(ConvertUserbits, DashArrayOfTheSixteenBitPattern) {
    struct Case {
        unsigned pattern;
        std::vector<DWORD> dashes;
    };
    const Case cases[] = {
        {0x00FF, {8, 8}},        {0xF0F0, {0, 4, 4, 4, 4, 0}},
        {0x0F0F, {4, 4, 4, 4}},  {0x3333, {2, 2, 2, 2, 2, 2, 2, 2}},
        {0x8000, {0, 15, 1, 0}}, {0x0000, {0, 16}},
        {0xFFFFFFFF, {16, 0}},   {0xAAAA, {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0}},
    };
    for (const Case &c : cases) {
        DWORD dashes[32];
        const int n = bgi::convert_userbits(dashes, c.pattern);
        EXPECT_EQ(std::vector<DWORD>(dashes, dashes + n), c.dashes) << std::hex << c.pattern;
    }
}

// ---- Lines and shapes, drawn by the platform's rasterisers ------------------

TEST_F(Drawing, ShapesPaintTheirOutlinesAndInsides) {
    // The game's square: an outline, then a flood fill up to it.
    setcolor(CYAN);
    rectangle(100, 100, 113, 113);
    floodfill(105, 105, CYAN);
    EXPECT_EQ(getpixel(100, 113), CYAN);
    EXPECT_EQ(getpixel(112, 112), CYAN);
    EXPECT_EQ(getpixel(114, 105), BLACK);
    setcolor(WHITE);
    setfillstyle(SOLID_FILL, GREEN);
    const int triangle[] = {200, 10, 240, 10, 200, 50};
    fillpoly(3, triangle);
    EXPECT_EQ(getpixel(210, 20), GREEN);
    EXPECT_EQ(getpixel(220, 10), WHITE);
    EXPECT_EQ(getpixel(235, 45), BLACK);
}

// Outlines are polylines: every point but the last is painted, and a
// rectangle, which returns to its first corner, is closed.
TEST_F(Drawing, OutlinesRunThroughTheirCorners) {
    setcolor(YELLOW);
    rectangle(0, 0, 13, 13);
    EXPECT_EQ(count_of(YELLOW, 16), 4 * 13) << "the 14 x 14 frame and nothing else";
    for (auto [x, y] : {std::pair(0, 0), {13, 0}, {13, 13}, {0, 13}})
        EXPECT_EQ(getpixel(x, y), YELLOW) << x << "," << y;
    cleardevice();
    line(1, 2, 3, 4);
    EXPECT_EQ(count_of(YELLOW, 16), 2);
    EXPECT_EQ(getpixel(1, 2), YELLOW);
    EXPECT_EQ(getpixel(2, 3), YELLOW);
}

// The 3-D bar's outline: the front face, the side face whose back edge rises
// by depth x tan 30 (truncated), and with topflag the top face's back edge.
TEST_F(Drawing, Bar3dOutlineFollowsTheFrontSideAndTopFaces) {
    setcolor(YELLOW);
    setfillstyle(SOLID_FILL, RED);
    for (int topflag : {1, 0}) {
        cleardevice();
        bar3d(110, 110, 100, 100, 10, topflag); // corners normalised; depth 10 rises by 5
        EXPECT_EQ(getpixel(105, 105), RED) << "the face";
        for (auto [x, y] : {std::pair(100, 100),
                            {110, 100},
                            {100, 110},
                            {110, 110},
                            {120, 105},
                            {120, 100},
                            {120, 95}})
            EXPECT_EQ(getpixel(x, y), YELLOW) << x << "," << y;
        for (auto [x, y] : {std::pair(115, 95), {111, 95}, {110, 95}})
            EXPECT_EQ(getpixel(x, y), topflag ? YELLOW : BLACK) << x << "," << y << " " << topflag;
        EXPECT_EQ(getpixel(120, 94), BLACK);
        EXPECT_EQ(getpixel(120, 106), BLACK);
    }
    // Depth 7 rises by 4, depth 1 by 0, depth -10 by -5 (the side face
    // drops to the left).
    for (auto [depth, dy] : {std::pair(7, 4), {1, 0}, {-10, -5}}) {
        cleardevice();
        bar3d(100, 100, 110, 110, depth, 0);
        const int x = 110 + depth;
        EXPECT_EQ(getpixel(x, 110 - dy), YELLOW) << depth;
        EXPECT_EQ(getpixel(x, 111 - dy), BLACK) << depth;
        if (depth > 0) {
            EXPECT_EQ(getpixel(x, 100 - dy), YELLOW) << depth;
            EXPECT_EQ(getpixel(x, 99 - dy), BLACK) << depth;
        }
    }
}

// The fill spreads up to its border colour only. That colour names its
// palette slot unmasked: 20 is no BGI colour, so that fill runs over the red
// (4) outline it would stop at if the colour were masked.
TEST_F(Drawing, FloodfillStopsOnlyAtItsBorderColour) {
    for (int border : {int(RED), RED + 16}) {
        cleardevice();
        block(0, 0, 39, 39, WHITE);
        setcolor(RED);
        rectangle(10, 10, 29, 29);
        setfillstyle(SOLID_FILL, GREEN);
        floodfill(20, 20, border);
        const bool stops = border == RED;
        EXPECT_EQ(getpixel(20, 20), GREEN) << border;
        EXPECT_EQ(getpixel(10, 10), stops ? RED : GREEN) << border;
        EXPECT_EQ(getpixel(5, 5), stops ? WHITE : GREEN) << border;
    }
}

// ---- Pens ---------------------------------------------------------------------

// A horizontal line from column 10 paints columns 10..57 in the style's dashes
// (the gaps of the predefined styles in the background colour); wider than
// one pixel, the predefined styles draw solid.
TEST_F(Drawing, LineStylesDrawTheirDashesAndThickness) {
    struct Case {
        int style;
        unsigned pattern;
        int thickness;
        std::string dashes;
    };
    const int n = 48;
    const std::string solid(n, '#');
    const Case cases[] = {
        {SOLID_LINE, 0, 1, solid},
        {DOTTED_LINE, 0, 1, dashes({3, 3}, n)},
        {CENTER_LINE, 0, 1, dashes({9, 6, 3, 6}, n)},
        {DASHED_LINE, 0, 1, dashes({18, 6}, n)},
        {9, 0, 1, solid},  // no such style: solid
        {-1, 0, 1, solid}, // no such style: solid
        {USERBIT_LINE, 0x00FF, 1, dashes({8, 8}, n)},
        {USERBIT_LINE, 0x0F0F0033, 1, dashes({2, 2, 2, 10}, n)}, // the low 16 bits
        // A dash array longer than GDI takes: dash, dot, dot instead.
        {USERBIT_LINE, 0xAAAA, 1, dashes({9, 3, 3, 3, 3, 3}, n)},
        {DOTTED_LINE, 0, 3, solid},
    };
    setcolor(YELLOW);
    for (const Case &c : cases) {
        cleardevice();
        setlinestyle(c.style, c.pattern, c.thickness);
        line(10, 20, 10 + n, 20);
        EXPECT_EQ(row(10, 10 + n - 1, 20, YELLOW), c.dashes) << c.style << " " << c.pattern;
        if (c.thickness == 1) {
            EXPECT_EQ(getpixel(10 + n, 20), BLACK) << "the last point is not painted";
        }
        const std::string above = row(12, 10 + n - 3, 19, YELLOW),
                          below = row(12, 10 + n - 3, 21, YELLOW);
        const std::string thick = c.thickness == 1 ? std::string(n - 4, '.') : solid.substr(4);
        EXPECT_EQ(above, thick) << c.style;
        EXPECT_EQ(below, thick) << c.style;
    }
    // The user style's width is the thickness: its dashes are 3 rows high.
    cleardevice();
    setlinestyle(USERBIT_LINE, 0x00FF, 3);
    line(10, 20, 10 + n, 20);
    for (int y : {19, 20, 21}) {
        EXPECT_EQ(getpixel(13, y), YELLOW) << y;
        EXPECT_EQ(getpixel(22, y), BLACK) << y;
        EXPECT_EQ(getpixel(29, y), YELLOW) << y;
    }
}

TEST_F(Drawing, ANewWindowDrawsWithTheCurrentPenAgain) {
    reopen_after_a_line(LIGHTRED);
    line(0, 0, 5, 0);
    EXPECT_EQ(getpixel(2, 0), LIGHTRED);
    EXPECT_EQ(window_color(2, 0), LIGHTRED);
}

// ---- Write modes ----------------------------------------------------------------

// A write mode outside 0..4 draws as a copy.
TEST_F(Drawing, UnknownWriteModesDrawAsCopy) {
    for (int mode : {5, -1, INT_MAX}) {
        block(0, 0, 20, 20, LIGHTBLUE);
        setcolor(LIGHTRED);
        setwritemode(mode);
        line(2, 10, 18, 10);
        EXPECT_EQ(getpixel(10, 10), LIGHTRED) << mode;
        EXPECT_EQ(window_color(10, 10), LIGHTRED) << mode;
    }
}

#ifndef _WIN32
// A palette device combines the indices of pen and pixel, and the layer
// takes XOR and inverted-copy pens from palette slot c rather than 16 + c:
// slot c over slot 16 + b. The system's GDI under Wine combines RGB values
// on a true-colour screen, so these run on our platform only.
TEST_F(Drawing, WriteModesCombineColourIndicesOnPageAndWindow) {
    struct Case {
        int mode, color, shown;
    };
    const int b = LIGHTBLUE, c = LIGHTRED; // 1001 and 1100
    // Inverted copy paints the complement of slot c: slot 255 - c, one of
    // the static colours at the top of the system palette (254 is cyan).
    const Case cases[] = {{COPY_PUT, c, c},       {XOR_PUT, c, b ^ c},   {OR_PUT, c, b | c},
                          {AND_PUT, c, b & c},    {NOT_PUT, BLUE, CYAN}, {NOT_PUT, BLACK, WHITE},
                          {NOT_PUT, WHITE, BLACK}};
    void (*const outlines[])() = {[] { line(2, 10, 18, 10); },
                                  [] {
                                      moveto(2, 10);
                                      lineto(18, 10);
                                  },
                                  [] { rectangle(2, 10, 18, 12); }};
    for (const Case &k : cases) {
        for (auto draw : outlines) {
            setwritemode(COPY_PUT);
            setcolor(b); // a fill in the cached text colour paints in the drawing colour
            block(0, 0, 20, 20, b);
            setcolor(k.color);
            setwritemode(k.mode);
            draw();
            EXPECT_EQ(getpixel(10, 10), k.shown) << k.mode << " " << k.color;
            EXPECT_EQ(window_color(10, 10), k.shown) << k.mode << " " << k.color;
            EXPECT_EQ(getpixel(10, 5), b);
        }
    }
    // XOR twice restores the picture.
    setcolor(c);
    setwritemode(XOR_PUT);
    line(2, 5, 18, 5);
    line(2, 5, 18, 5);
    EXPECT_EQ(getpixel(10, 5), b);
}

// The write mode holds for one outline only: both DCs are back in copy mode
// after it, and the filled primitives ignore it; bar3d's outline honours it,
// its face does not.
TEST_F(Drawing, WriteModesApplyToOutlinesOnly) {
    const int b = LIGHTBLUE, c = LIGHTRED;
    setcolor(b);
    block(0, 0, 60, 60, b);
    setcolor(c);
    setfillstyle(SOLID_FILL, GREEN);
    setwritemode(XOR_PUT);
    line(0, 2, 60, 2);
    const int triangle[] = {10, 10, 30, 10, 10, 30};
    fillpoly(3, triangle);
    EXPECT_EQ(getpixel(10, 10), c) << "fillpoly's edge, copied";
    EXPECT_EQ(window_color(10, 10), c);
    EXPECT_EQ(getpixel(13, 13), GREEN);
    bar(40, 10, 50, 20);
    EXPECT_EQ(getpixel(45, 15), GREEN);
    bar3d(10, 40, 30, 55, 0, 0);
    EXPECT_EQ(getpixel(20, 40), b ^ c) << "the outline, combined";
    EXPECT_EQ(getpixel(20, 47), GREEN) << "the face, copied";
    setwritemode(COPY_PUT);
    line(0, 4, 60, 4);
    EXPECT_EQ(getpixel(30, 4), c);
    EXPECT_EQ(window_color(30, 4), c);
}
#endif

} // namespace
