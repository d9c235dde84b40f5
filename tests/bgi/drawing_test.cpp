// Pages, viewport, current position, pens and the straight-edged primitives
// of the BGI layer on a headless window. The first half reads pixels back and
// also runs in the Windows build under Wine; the second half checks the
// platform calls through our platform's call trace.
#include "bgi.h"
#include "bgi_internal.h"
#include "headless_display.h"
#include "platform.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include "platform_testing.h"
using namespace win32;
#endif

namespace {

constexpr COLORREF default_rgb[16] = {
    RGB(0, 0, 0),       RGB(0, 0, 255),     RGB(0, 255, 0),    RGB(0, 255, 255),
    RGB(255, 0, 0),     RGB(255, 0, 255),   RGB(165, 42, 42),  RGB(211, 211, 211),
    RGB(47, 79, 79),    RGB(173, 216, 230), RGB(32, 178, 170), RGB(224, 255, 255),
    RGB(240, 128, 128), RGB(219, 112, 147), RGB(255, 255, 0),  RGB(255, 255, 255)};

// The BGI colour (default palette) the window shows at a client position.
int window_color(int x, int y) {
#ifdef _WIN32
    HDC dc = GetDC(bgi::window_handle());
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(bgi::window_handle(), dc);
#else
    const COLORREF c = win32::testing::window_pixel(bgi::window_handle(), x, y);
#endif
    for (int i = 0; i < 16; ++i)
        if (default_rgb[i] == c) return i;
    return -1;
}

// A solid block covering columns l..r and rows t..b.
void block(int l, int t, int r, int b, int c) {
    setfillstyle(SOLID_FILL, c);
    bar(l, t, r + 1, b + 1);
}

// Opens a 640 x 480 window for each test. The clip region and the redraw
// setting outlive a window, so each test leaves them as it found them.
class Drawing : public ::testing::Test {
protected:
    void SetUp() override {
        int driver = VGA, mode = VGAHI;
        initgraph(&driver, &mode, "");
        ASSERT_EQ(graphresult(), grOk);
    }
    void TearDown() override {
        bgiemu_handle_redraw = 1;
        setviewport(0, 0, getmaxx(), getmaxy(), 0);
        closegraph();
    }
    // Back to the whole window in device coordinates, without clip.
    static void full_viewport() { setviewport(0, 0, getmaxx(), getmaxy(), 0); }
};

// The pixels of colour c among columns and rows 0..n-1.
int count_of(int c, int n) {
    int count = 0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) count += getpixel(x, y) == c;
    return count;
}

std::pair<int, int> position() {
    return {getx(), gety()};
}

// ---- Pages ----------------------------------------------------------------

TEST_F(Drawing, AHiddenPageReachesTheWindowOnlyWhenShown) {
    block(0, 0, 3, 3, GREEN);
    setvisualpage(3); // never active: made, cleared and shown
    EXPECT_EQ(window_color(1, 1), BLACK);
    EXPECT_EQ(getpixel(1, 1), GREEN) << "page 0 is still the one drawn on";
    setactivepage(1);
    block(0, 0, 9, 9, RED);
    EXPECT_EQ(window_color(5, 5), BLACK);
    setvisualpage(1);
    EXPECT_EQ(window_color(5, 5), RED);
    setactivepage(0);
    setvisualpage(0);
    EXPECT_EQ(window_color(1, 1), GREEN) << "an existing page keeps its content";
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
    closegraph();
    setactivepage(2);
    setvisualpage(3);
    int driver = VGA, mode = VGAHI;
    initgraph(&driver, &mode, "");
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
    EXPECT_EQ(getpixel(9, 9), RED);
    cleardevice();
    bar(5, 5, 5, 9);
    setfillstyle(EMPTY_FILL, RED);
    bar(0, 0, 10, 10);
    EXPECT_EQ(count_of(RED, 14), 0);
}

TEST_F(Drawing, Bar3dFaceIsInsetByTheLineThickness) {
    setfillstyle(SOLID_FILL, RED);
    setlinestyle(SOLID_LINE, 0, THICK_WIDTH);
    bar3d(0, 0, 20, 20, 5, 1);
    for (int xy : {3, 10, 17}) EXPECT_EQ(getpixel(xy, xy), RED) << xy;
    EXPECT_NE(getpixel(2, 10), RED);
    EXPECT_NE(getpixel(18, 10), RED);
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

// ---- Shapes, drawn by the platform's rasterisers ----------------------------

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

} // namespace

// ---- Through the call trace (our platform only) ---------------------------

#ifndef _WIN32
namespace {

using win32::testing::Call;
using win32::testing::start_trace;
using win32::testing::traced_calls;
using Args = std::vector<std::int64_t>;

std::uintptr_t dc_value(int i) {
    return win32::testing::handle_value(bgi::device_context(i));
}

// The DCs that the calls of one name were made on, in order: 0 window, 1 page.
std::vector<int> targets_of(const char *name) {
    std::vector<int> out;
    for (const Call &c : traced_calls(name)) out.push_back(c.dc == dc_value(0) ? 0 : 1);
    return out;
}

std::vector<Args> args_of(const char *name) {
    std::vector<Args> out;
    for (const Call &c : traced_calls(name)) out.push_back(c.args);
    return out;
}

// The calls of the given names, in order, as "name dc args".
std::vector<std::string> sequence(std::initializer_list<std::string> names) {
    std::vector<std::string> out;
    for (const Call &c : traced_calls()) {
        bool wanted = false;
        for (const std::string &n : names) wanted |= n == c.name;
        if (!wanted) continue;
        std::string s = c.name + (c.dc == dc_value(0) ? " W" : c.dc == dc_value(1) ? " P" : "");
        for (std::int64_t a : c.args) s += " " + std::to_string(a);
        out.push_back(s);
    }
    return out;
}

// Fills the pen cache with pens of keys no test uses again, so that the next
// keys are all misses.
void fresh_pens() {
    static unsigned unique = 0xA5000000u;
    for (int i = 0; i < 8; ++i) {
        setlinestyle(USERBIT_LINE, ++unique, 1);
        line(0, 0, 1, 0);
    }
    setlinestyle(SOLID_LINE, 0xFFFF, 1);
}

class Traced : public Drawing {
protected:
    void TearDown() override {
        win32::testing::stop_trace();
        Drawing::TearDown();
    }
};

TEST_F(Traced, GameCycleDrawsTheShownPageOnBothDcsAndLaterFramesOnThePageOnly) {
    for (int frame = 0, p = 0; frame < 4; ++frame, p ^= 1) {
        start_trace();
        setactivepage(p);
        cleardevice();
        setcolor(GREEN);
        rectangle(10, 10, 23, 23);
        floodfill(15, 15, GREEN);
        const std::vector<int> drawn = frame == 0 ? std::vector<int>{1, 0} : std::vector<int>{1};
        EXPECT_EQ(targets_of("Polyline"), drawn) << frame;
        EXPECT_EQ(targets_of("FloodFill"), drawn) << frame;
        const std::vector<int> cleared = frame == 1 ? std::vector<int>{1, 1} : drawn; // + new page
        EXPECT_EQ(targets_of("FillRect"), cleared) << frame;
        start_trace();
        setvisualpage(p);
        EXPECT_EQ(sequence({"BitBlt"}),
                  std::vector<std::string>{"BitBlt W 0 0 640 480 " + std::to_string(dc_value(1)) +
                                           " 0 0 13369376"}); // SRCCOPY
        // The page DC holds the active page again, and both positions agree.
        std::uintptr_t selected = 0;
        for (const Call &c : traced_calls("SelectObject"))
            if (c.dc == dc_value(1)) selected = std::uintptr_t(c.args[0]);
        EXPECT_EQ(selected, win32::testing::handle_value(bgi::page_bitmap(p))) << frame;
        POINT a{}, b{};
        GetCurrentPositionEx(bgi::device_context(0), &a);
        GetCurrentPositionEx(bgi::device_context(1), &b);
        EXPECT_EQ(a.x, b.x);
        EXPECT_EQ(a.y, b.y);
    }
}

TEST_F(Traced, PenCacheCreatesOnMissesAndSelectsOnlyOnChange) {
    fresh_pens();
    setcolor(RED);
    start_trace();
    line(0, 0, 5, 5);
    line(0, 0, 5, 5);
    EXPECT_EQ(traced_calls("CreatePen").size(), 1u);
    EXPECT_EQ(targets_of("SelectObject"), (std::vector<int>{0, 1}));
    start_trace();
    for (int c : {BLUE, RED, BLUE, RED}) {
        setcolor(c);
        line(0, 0, 5, 5);
    }
    EXPECT_EQ(traced_calls("CreatePen").size(), 1u) << "only blue is new";
    EXPECT_EQ(traced_calls("SelectObject").size(), 8u);
    // The pattern tells pens apart in the user style only.
    for (int style : {SOLID_LINE, DOTTED_LINE, CENTER_LINE, DASHED_LINE, USERBIT_LINE}) {
        fresh_pens();
        start_trace();
        for (unsigned pattern : {0x1111u, 0x2222u, 0x1111u}) {
            setlinestyle(style, pattern, 1);
            line(0, 0, 1, 0);
        }
        const size_t made = traced_calls("CreatePen").size() + traced_calls("ExtCreatePen").size();
        EXPECT_EQ(made, style == USERBIT_LINE ? 2u : 1u) << style;
    }
}

TEST_F(Traced, TheNinthKeyEvictsTheLeastRecentlyUsedPenAfterSelectingTheNew) {
    for (bool touch_oldest : {false, true}) {
        fresh_pens();
        std::vector<std::int64_t> pens;
        for (int c = 0; c < 8; ++c) {
            setcolor(c);
            start_trace();
            line(0, 0, 1, 0);
            pens.push_back(args_of("SelectObject").at(0).at(0));
        }
        if (touch_oldest) {
            setcolor(0);
            line(0, 0, 1, 0);
        }
        setcolor(8);
        start_trace();
        line(0, 0, 1, 0);
        const std::vector<std::string> seq =
            sequence({"CreatePen", "SelectObject", "DeleteObject"});
        ASSERT_EQ(seq.size(), 4u) << touch_oldest;
        EXPECT_EQ(seq[0].rfind("CreatePen", 0), 0u);
        EXPECT_EQ(seq[1].rfind("SelectObject W", 0), 0u);
        EXPECT_EQ(seq[2].rfind("SelectObject P", 0), 0u);
        EXPECT_EQ(seq[3], "DeleteObject " + std::to_string(pens[touch_oldest ? 1 : 0]));
    }
}

TEST_F(Traced, PensAreMadeFromTheLineSettings) {
    struct Case {
        int style;
        unsigned pattern;
        int thickness;
        std::vector<std::string> made;
    };
    const std::string white = " 16777247"; // 0x0100001F
    const Case cases[] = {
        {USERBIT_LINE, 0x00FF, 1, {"ExtCreatePen 65543 1" + white + " 2"}},
        {DOTTED_LINE, 0, 3, {"CreatePen 2 3" + white}},
        {SOLID_LINE, 0, 1, {"CreatePen 0 1" + white}},
        {CENTER_LINE, 0, 1, {"CreatePen 3 1" + white}},
        {DASHED_LINE, 0, 1, {"CreatePen 1 1" + white}},
        {9, 0, 1, {"CreatePen 0 1" + white}},  // no such style: solid
        {-1, 0, 1, {"CreatePen 0 1" + white}}, // no such style: solid
        // A dash array longer than GDI takes falls back to PS_DASHDOTDOT.
        {USERBIT_LINE,
         0xAAAA,
         1,
         {"ExtCreatePen 65543 1" + white + " 18", "CreatePen 4 1" + white}},
    };
    for (const Case &c : cases) {
        fresh_pens();
        setlinestyle(c.style, c.pattern, c.thickness);
        start_trace();
        line(0, 0, 1, 0);
        EXPECT_EQ(sequence({"CreatePen", "ExtCreatePen"}), c.made) << c.style;
    }
}

TEST_F(Traced, ANewWindowGetsThePenSelectedAgain) {
    setcolor(LIGHTRED);
    line(0, 0, 1, 0);
    closegraph();
    int driver = VGA, mode = VGAHI;
    initgraph(&driver, &mode, "");
    setcolor(LIGHTRED);
    start_trace();
    line(0, 0, 1, 0);
    EXPECT_EQ(traced_calls("CreatePen").size(), 0u);
    EXPECT_EQ(targets_of("SelectObject"), (std::vector<int>{0, 1}));
}

// Outlines set the mix mode on both DCs around their drawing and take XOR
// and inverted-copy pens from slot c, not 16 + c; fills ignore the mode.
TEST_F(Traced, WriteModesFrameTheOutlineWithTheirMixMode) {
    const std::string copy_pen = "CreatePen 0 1 16777246", slot_pen = "CreatePen 0 1 16777230";
    struct Case {
        int mode, rop; // rop 0: no SetROP2 at all
        std::string pen;
    };
    const Case cases[] = {{COPY_PUT, 0, copy_pen},
                          {XOR_PUT, R2_XORPEN, slot_pen},
                          {OR_PUT, R2_MERGEPEN, copy_pen},
                          {AND_PUT, R2_MASKPEN, copy_pen},
                          {NOT_PUT, R2_NOTCOPYPEN, slot_pen},
                          {5, 0, copy_pen},
                          {-1, 0, copy_pen}};
    const int square[] = {0, 0, 5, 0, 5, 5};
    for (const Case &c : cases) {
        setwritemode(c.mode);
        setcolor(YELLOW);
        std::vector<std::string> expected = {c.pen};
        if (c.rop) {
            const std::string r = std::to_string(c.rop);
            expected = {"SetROP2 W " + r, "SetROP2 P " + r, c.pen, "SetROP2 W 13", "SetROP2 P 13"};
        }
        for (auto draw :
             {+[] { line(0, 0, 9, 9); }, +[] { lineto(3, 3); }, +[] { bar3d(0, 0, 9, 9, 3, 1); }}) {
            fresh_pens();
            start_trace();
            draw();
            EXPECT_EQ(sequence({"SetROP2", "CreatePen"}), expected) << c.mode;
        }
        fresh_pens();
        start_trace();
        fillpoly(3, square);
        bar(0, 0, 5, 5);
        floodfill(1, 1, WHITE);
        EXPECT_EQ(sequence({"SetROP2", "CreatePen"}), std::vector{copy_pen}) << c.mode;
    }
}

// Each primitive makes one call on the page DC, then the same on the window.
TEST_F(Traced, PrimitivesHandGdiTheirGeometryAndColours) {
    struct Case {
        void (*draw)();
        const char *call;
        Args args; // leading arguments
    };
    const Case cases[] = {
        {[] { bar(10, 10, 0, 0); }, "FillRect", {0, 0, 10, 10}},
        {[] {
             setlinestyle(SOLID_LINE, 0, THICK_WIDTH);
             bar3d(0, 0, 20, 20, 0, 0);
         },
         "FillRect",
         {3, 3, 18, 18}},
        {[] { rectangle(0, 0, 13, 13); }, "Polyline", {5, 0, 0, 13, 0, 13, 13, 0, 13, 0, 0}},
        {[] { line(1, 2, 3, 4); }, "Polyline", {2, 1, 2, 3, 4}},
        {[] { bar3d(0, 0, 10, 10, 0, 0); },
         "Polyline",
         {8, 10, 10, 10, 0, 0, 0, 0, 10, 10, 10, 10, 10, 10, 0, 10, 0}},
        {[] { bar3d(10, 10, 0, 0, 10, 1); },
         "Polyline",
         {11, 10, 10, 10, 0, 0, 0, 0, 10, 10, 10, 20, 5, 20, -5, 10, 0, 20, -5, 10, -5, 0, 0}},
        {[] { floodfill(5, 6, 3); }, "FloodFill", {5, 6, 0x01000013}},
        {[] { floodfill(5, 6, 20); }, "FloodFill", {5, 6, 0x01000024}}, // not masked
        {[] { putpixel(1, 2, 18); }, "SetPixel", {1, 2, 0x01000012}},   // masked
    };
    for (const Case &c : cases) {
        start_trace();
        c.draw();
        const std::vector<Args> calls = args_of(c.call);
        ASSERT_EQ(targets_of(c.call), (std::vector<int>{1, 0})) << c.call << " " << c.args[0];
        for (const Args &a : calls)
            EXPECT_EQ(Args(a.begin(), a.begin() + std::ptrdiff_t(c.args.size())), c.args);
    }
    // The back face rises by depth x tan 30, truncated.
    for (auto [depth, dy] : {std::pair(10, 5), {7, 4}, {1, 0}, {-10, -5}}) {
        start_trace();
        bar3d(0, 0, 10, 10, depth, 0);
        const Args a = args_of("Polyline").at(0);
        EXPECT_EQ(Args(a.begin() + 11, a.begin() + 15),
                  (Args{10 + depth, 10 - dy, 10 + depth, -dy}));
    }
    start_trace();
    const int points[] = {0, 0, 9, 9};
    drawpoly(4, nullptr);
    fillpoly(-2, points);
    EXPECT_TRUE(traced_calls().empty());
}

// Write modes combine palette indices: slot c over slot 16 + b.
TEST_F(Traced, WriteModesCombineColourIndices) {
    struct Case {
        int mode, shown;
    };
    const int b = LIGHTBLUE, c = LIGHTRED; // 1001 and 1100
    for (Case k :
         {Case{COPY_PUT, c}, Case{XOR_PUT, b ^ c}, Case{OR_PUT, b | c}, Case{AND_PUT, b & c}}) {
        cleardevice();
        setcolor(b); // a fill in the cached text colour paints in the drawing colour
        block(0, 0, 20, 20, b);
        setcolor(c);
        setwritemode(k.mode);
        line(2, 10, 18, 10);
        EXPECT_EQ(getpixel(10, 10), k.shown) << k.mode;
        EXPECT_EQ(getpixel(10, 5), b);
        if (k.mode == XOR_PUT) {
            line(2, 10, 18, 10);
            EXPECT_EQ(getpixel(10, 10), b) << "XOR twice restores the picture";
        }
    }
}

} // namespace
#endif
