// Classic behaviour (BGI_CLASSIC=1) against the default, on a window of the
// layer: EGA colours and palette codes, fills in their own colour, text and
// dash gaps that let the picture through, bars with both edges, and cursor
// keys as 0 and a scan code, for getch, bioskey and interrupt 0x16. Also the
// mouse interrupt 0x33 and the classic set-up calls. Runs on our headless
// display and, in the Windows build, under Wine.
#include "bgi.h"
#include "bgi_internal.h"
#include "bios.h"
#include "dos.h"
#include "graphics.h"
#include "headless_display.h"
#include "inject.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#ifndef _WIN32
using namespace win32;
#endif

namespace {

void set_classic(bool on) {
#ifdef _WIN32
    _putenv_s("BGI_CLASSIC", on ? "1" : "0");
#else
    setenv("BGI_CLASSIC", on ? "1" : "0", 1);
#endif
}

// A 640 x 480 window, opened with or without classic behaviour.
struct Window {
    explicit Window(bool classic) {
        set_classic(classic);
        int driver = VGA, mode = VGAHI;
        initgraph(&driver, &mode, "");
        while (kbhit()) getch();
    }
    ~Window() {
        while (kbhit()) getch();
        closegraph();
        set_classic(false);
    }
    Window(const Window &) = delete;
    Window &operator=(const Window &) = delete;
};

COLORREF rgb_of(const PALETTEENTRY &e) {
    return RGB(e.peRed, e.peGreen, e.peBlue);
}

// The colour the page shows at (x, y) as RGB: the current colour of the BGI
// colour getpixel finds there.
COLORREF shown(int x, int y) {
    const int c = getpixel(x, y);
    PALETTEENTRY e{};
    if (c < 0 || !GetPaletteEntries(bgi::palette_handle(), UINT(16 + c), 1, &e)) return CLR_INVALID;
    return rgb_of(e);
}

TEST(ClassicPalette, CodesNameTheSixtyFourEgaColours) {
    struct Case {
        int code;
        COLORREF rgb;
    };
    const Case cases[] = {{EGA_BLACK, RGB(0, 0, 0)},
                          {EGA_BLUE, RGB(0, 0, 0xAA)},
                          {EGA_BROWN, RGB(0xAA, 0x55, 0)},
                          {EGA_LIGHTGRAY, RGB(0xAA, 0xAA, 0xAA)},
                          {EGA_DARKGRAY, RGB(0x55, 0x55, 0x55)},
                          {EGA_LIGHTRED, RGB(0xFF, 0x55, 0x55)},
                          {EGA_YELLOW, RGB(0xFF, 0xFF, 0x55)},
                          {EGA_WHITE, RGB(0xFF, 0xFF, 0xFF)},
                          {38, RGB(0xFF, 0xAA, 0)},
                          {64 + EGA_BROWN, RGB(0xAA, 0x55, 0)}};
    Window w(true);
    for (const Case &c : cases) {
        setpalette(3, c.code);
        setfillstyle(SOLID_FILL, 3);
        bar(10, 10, 19, 19);
        EXPECT_EQ(shown(15, 15), c.rgb) << "code " << c.code;
    }
}

TEST(ClassicPalette, DefaultsAreTheEgaPaletteAndItsCodes) {
    Window w(true);
    const signed char codes[16] = {0, 1, 2, 3, 4, 5, 20, 7, 56, 57, 58, 59, 60, 61, 62, 63};
    palettetype p{};
    getpalette(&p);
    EXPECT_EQ(p.size, 16);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(p.colors[i], codes[i]) << i;
        EXPECT_EQ(getdefaultpalette()->colors[i], codes[i]) << i;
        setfillstyle(SOLID_FILL, i);
        bar(i * 10, 0, i * 10 + 9, 9);
        EXPECT_EQ(shown(i * 10 + 5, 5), rgb_of(bgi::ega_color(codes[i]))) << i;
    }
    EXPECT_EQ(shown(6 * 10 + 5, 5), RGB(0xAA, 0x55, 0)) << "brown, not dark yellow";
}

// A palette entry names a register of the colour table: setrgbpalette of a
// code recolours every entry holding it; -1 in setallpalette keeps an entry;
// setbkcolor gives entry 0 the code entry c holds.
TEST(ClassicPalette, EntriesShareTheRegistersTheyName) {
    Window w(true);
    palettetype p{};
    getpalette(&p);
    p.colors[2] = EGA_YELLOW;
    p.colors[5] = -1;
    setallpalette(&p);
    palettetype after{};
    getpalette(&after);
    EXPECT_EQ(after.colors[2], EGA_YELLOW);
    EXPECT_EQ(after.colors[5], EGA_MAGENTA) << "-1 leaves the entry";

    setrgbpalette(EGA_YELLOW, 0, 160, 252);
    for (int c : {2, int(YELLOW)}) {
        setfillstyle(SOLID_FILL, c);
        bar(0, 0, 9, 9);
        EXPECT_EQ(shown(5, 5), RGB(0, 160, 252)) << c;
    }
    setrgbpalette(6, 255, 255, 255);
    setfillstyle(SOLID_FILL, BROWN);
    bar(0, 0, 9, 9);
    EXPECT_EQ(shown(5, 5), RGB(0xAA, 0x55, 0)) << "brown holds code 20, not register 6";

    setbkcolor(LIGHTBLUE);
    getpalette(&after);
    EXPECT_EQ(after.colors[0], EGA_LIGHTBLUE);
    EXPECT_EQ(getbkcolor(), LIGHTBLUE);
    setbkcolor(BLACK);
    getpalette(&after);
    EXPECT_EQ(after.colors[0], EGA_BLACK);
}

// The default keeps BGI colours 0..15 and masks what it is given.
TEST(ClassicPalette, WithoutItPaletteColoursAreTheLayersOwn) {
    Window w(false);
    setpalette(3, EGA_BROWN); // 20 & 15: red
    palettetype p{};
    getpalette(&p);
    EXPECT_EQ(p.colors[3], RED);
    EXPECT_EQ(getdefaultpalette()->colors[6], BROWN);
}

// After setcolor, a fill whose colour the DCs' text colour last had paints
// in the drawing colour by default, in the fill colour when classic.
TEST(ClassicFills, TakeTheFillColourWhateverSetcolorDid) {
    for (bool classic : {false, true}) {
        Window w(classic);
        setfillstyle(SOLID_FILL, WHITE);
        setcolor(RED);
        bar(0, 0, 20, 20);
        EXPECT_EQ(getpixel(10, 10), classic ? WHITE : RED) << classic;
    }
}

// DOS filled both edges of a bar.
TEST(ClassicFills, BarsCoverBothEdges) {
    for (bool classic : {false, true}) {
        Window w(classic);
        setfillstyle(SOLID_FILL, GREEN);
        bar(10, 10, 20, 20);
        EXPECT_EQ(getpixel(20, 15), classic ? GREEN : BLACK) << classic;
        EXPECT_EQ(getpixel(15, 20), classic ? GREEN : BLACK) << classic;
        EXPECT_EQ(getpixel(21, 21), BLACK) << classic;
    }
}

// Text cells and the gaps of styled lines let what is under them show.
TEST(ClassicText, CellsAndDashGapsAreTransparent) {
    for (bool classic : {false, true}) {
        Window w(classic);
        setfillstyle(SOLID_FILL, BLUE);
        bar(0, 0, 200, 100);
        setcolor(YELLOW);
        outtextxy(10, 10, "W");
        // The character's cell: besides the text's pixels (and, on Windows,
        // their smoothed edges) what was there, or black when opaque.
        const int width = textwidth("W"), height = textheight("W"), cell = width * height;
        ASSERT_GT(cell, 0);
        int blue = 0, black = 0, yellow = 0;
        for (int y = 10; y < 10 + height; ++y)
            for (int x = 10; x < 10 + width; ++x) {
                const int c = getpixel(x, y);
                blue += c == BLUE, black += c == BLACK, yellow += c == YELLOW;
            }
        EXPECT_GT(yellow, 0) << classic;
        EXPECT_EQ(classic ? black : blue, 0) << classic;
        EXPECT_GT(classic ? blue : black, cell / 4) << classic;

        setlinestyle(DASHED_LINE, 0, NORM_WIDTH);
        line(0, 50, 199, 50);
        int gaps = 0;
        for (int x = 0; x < 100; ++x) gaps += getpixel(x, 50) == (classic ? BLUE : BLACK);
        EXPECT_GT(gaps, 20) << classic;
    }
}

// getch answers a cursor or function key as 0, then its scan code; bioskey
// and interrupt 0x16 as the scan code alone. Without classic behaviour such
// keys never arrive.
TEST(ClassicKeys, CursorAndFunctionKeysComeAsScanCodes) {
    struct Case {
        UINT key;
        int code;
    };
    const Case cases[] = {{VK_UP, 72},       {VK_DOWN, 80},   {VK_LEFT, 75},  {VK_RIGHT, 77},
                          {VK_HOME, 71},     {VK_END, 79},    {VK_PRIOR, 73}, {VK_NEXT, 81},
                          {VK_INSERT, 82},   {VK_DELETE, 83}, {VK_F1, 59},    {VK_F1 + 9, 68},
                          {VK_F1 + 10, 133}, {VK_F12, 134}};
    {
        Window w(false);
        inject_key_down(VK_UP);
        EXPECT_EQ(kbhit(), 0);
    }
    Window w(true);
    for (const Case &c : cases) {
        inject_key_down(c.key);
        ASSERT_EQ(kbhit(), 1) << c.key;
        EXPECT_EQ(getch(), 0) << c.key;
        EXPECT_EQ(kbhit(), 1) << "the second half waits";
        EXPECT_EQ(getch(), c.code) << c.key;
        inject_key_down(c.key);
        EXPECT_EQ(bioskey(1), c.code << 8) << c.key;
        EXPECT_EQ(bioskey(0), c.code << 8) << c.key;
    }
    inject_key_down(VK_DOWN);
    union REGS r {};
    r.x.ax = 0x0100;
    int86(0x16, &r, &r);
    EXPECT_EQ(r.x.ax, 80 << 8);
    EXPECT_EQ(r.x.flags & 0x40, 0) << "the zero flag says a key waits";
    r.x.ax = 0x0000;
    EXPECT_EQ(int86(0x16, &r, &r), 80 << 8);
    r.x.ax = 0x0100;
    int86(0x16, &r, &r);
    EXPECT_NE(r.x.flags & 0x40, 0) << "none waits now";
}

// Keys with a character carry their scan code for bioskey.
TEST(BiosKeyboard, KeysAreScanCodeAndCharacter) {
    Window w(false);
    struct Case {
        UINT key;
        int code;
    };
    const Case cases[] = {{'A', 0x1E61},      {VK_RETURN, 0x1C0D}, {VK_ESCAPE, 0x011B},
                          {VK_SPACE, 0x3920}, {'1', 0x0231},       {VK_BACK, 0x0E08}};
    for (const Case &c : cases) {
#ifdef _WIN32
        // Typed as the keyboard types them: a press that makes its character.
        inject_key_down(c.key);
#else
        win32::testing::inject_key(bgi_test_window(), c.key, std::string(1, char(c.code & 0xFF)));
#endif
        EXPECT_EQ(bioskey(0), c.code) << c.key;
    }
    EXPECT_EQ(bioskey(1), 0) << "nothing waits";
    EXPECT_EQ(bioskey(7), 0) << "no such command";
}

#ifndef _WIN32
TEST(BiosKeyboard, ShiftFlagsFollowTheKeys) {
    Window w(false);
    EXPECT_EQ(bioskey(2), 0);
    win32::testing::press_key(bgi_test_window(), VK_SHIFT);
    win32::testing::press_key(bgi_test_window(), VK_CONTROL);
    EXPECT_EQ(bioskey(2), 0x02 | 0x04);
    win32::testing::release_key(bgi_test_window(), VK_SHIFT);
    EXPECT_EQ(bioskey(2), 0x04);
    win32::testing::release_key(bgi_test_window(), VK_CONTROL);
    EXPECT_EQ(bioskey(2), 0);
}
#endif

union REGS mouse_call(int service, int cx = 0, int dx = 0) {
    union REGS r {};
    r.x.ax = (unsigned short)service;
    r.x.cx = (unsigned short)cx;
    r.x.dx = (unsigned short)dx;
    int86(0x33, &r, &r);
    return r;
}

TEST(MouseInterrupt, ResetPositionButtonsAndLimits) {
    Window w(false);
    union REGS r = mouse_call(0);
    EXPECT_EQ(r.x.ax, 0xFFFF) << "a driver is there";
    EXPECT_EQ(r.x.bx, 2) << "two buttons";
    r = mouse_call(3);
    EXPECT_EQ(r.x.cx, 320);
    EXPECT_EQ(r.x.dx, 240);
    EXPECT_EQ(r.x.bx, 0);

    inject_mouse_move(100, 50);
    inject_mouse_button(1, true, 100, 50);
    r = mouse_call(3);
    EXPECT_EQ(r.x.bx, 1);
    EXPECT_EQ(r.x.cx, 100);
    EXPECT_EQ(r.x.dx, 50);
    inject_mouse_button(1, false, 100, 50);
    inject_mouse_button(3, true, 100, 50);
    EXPECT_EQ(mouse_call(3).x.bx, 2);
    inject_mouse_button(3, false, 100, 50);

    // Limits in either order; the position stays inside them.
    mouse_call(7, 300, 200);
    mouse_call(8, 100, 150);
    r = mouse_call(3);
    EXPECT_EQ(r.x.cx, 200);
    EXPECT_EQ(r.x.dx, 100);
    mouse_call(4, 250, 120);
    r = mouse_call(3);
    EXPECT_EQ(r.x.cx, 250);
    EXPECT_EQ(r.x.dx, 120);
    EXPECT_EQ(egerx, 250);
    mouse_call(4, 639, 0);
    r = mouse_call(3);
    EXPECT_EQ(r.x.cx, 300);
    EXPECT_EQ(r.x.dx, 100);
    mouse_call(0);
    EXPECT_EQ(mouse_call(3).x.cx, 320) << "a reset lifts the limits";
}

// The driver's pointer counter: shown at 0 only, hidden by a reset.
TEST(MouseInterrupt, ThePointerFollowsTheDriversCounter) {
    Window w(false);
    const auto count = [] { // ShowCursor answers the count it makes
        const int c = ShowCursor(TRUE);
        ShowCursor(FALSE);
        return c - 1;
    };
    mouse_call(0);
    const int hidden = count();
    mouse_call(1);
    EXPECT_EQ(count(), hidden + 1);
    mouse_call(1);
    EXPECT_EQ(count(), hidden + 1) << "never above shown";
    mouse_call(2);
    mouse_call(2);
    EXPECT_EQ(count(), hidden);
    mouse_call(1);
    EXPECT_EQ(count(), hidden) << "two hides need two shows";
    mouse_call(1);
    EXPECT_EQ(count(), hidden + 1);
    mouse_call(0);
    EXPECT_EQ(count(), hidden) << "hidden after a reset";
    mouse_call(1);
}

// Other interrupts and services leave the registers and report failure.
TEST(Interrupts, WhatIsNotServedChangesNothing) {
    union REGS in {
    }, out{};
    in.x.ax = 0x0013;
    in.x.bx = 7;
    EXPECT_EQ(int86(0x10, &in, &out), 0x0013);
    EXPECT_EQ(out.x.bx, 7);
    EXPECT_EQ(out.x.cflag, 1);
    struct SREGS s {};
    in.x.ax = 0x0042;
    EXPECT_EQ(int86x(0x33, &in, &out, &s), 0x0042);
    EXPECT_EQ(out.x.cflag, 0);
    EXPECT_EQ(int86(0x33, nullptr, &out), 0);
}

// VGA's modes end where getmaxmode says; -1 is the driver in use.
TEST(ClassicSetUp, ModeRanges) {
    struct Case {
        int driver, low, high;
    };
    const Case cases[] = {{VGA, 0, getmaxmode()},
                          {-1, 0, getmaxmode()},
                          {EGAMONO, 3, 3},
                          {DETECT, -1, -1},
                          {11, -1, -1}};
    for (const Case &c : cases) {
        int low = 99, high = 99;
        getmoderange(c.driver, &low, &high);
        EXPECT_EQ(low, c.low) << c.driver;
        EXPECT_EQ(high, c.high) << c.driver;
    }
    getmoderange(VGA, nullptr, nullptr);
}

TEST(ClassicSetUp, FontFilesNameTheirFonts) {
    struct Case {
        const char *file;
        int font;
    };
    const Case cases[] = {{"TRIP.CHR", TRIPLEX_FONT},
                          {"litt.chr", SMALL_FONT},
                          {"C:\\TC\\BGI\\SANS.CHR", SANS_SERIF_FONT},
                          {"../fonts/goth.chr", GOTHIC_FONT},
                          {"SCRI", SCRIPT_FONT},
                          {"BOLD.CHR", BOLD_FONT},
                          {"MYFONT.CHR", grFontNotFound},
                          {"", grFontNotFound},
                          {"TRIP.BGI.CHR", grFontNotFound},
                          {nullptr, grFontNotFound}};
    for (const Case &c : cases)
        EXPECT_EQ(installuserfont(c.file), c.font) << (c.file ? c.file : "null");
    EXPECT_EQ(registerbgifont(triplex_font), TRIPLEX_FONT);
    EXPECT_EQ(registerbgifont(gothic_font), GOTHIC_FONT);
    EXPECT_EQ(registerbgifont(nullptr), grInvalidFontNum);
}

TEST(ClassicSetUp, DriversInstalledAndLinked) {
    const int svga = installuserdriver("SVGA256", nullptr);
    EXPECT_GT(svga, PC3270) << "a number initgraph detects from";
    EXPECT_EQ(installuserdriver("c:\\bgi\\svga256.bgi", nullptr), svga) << "same driver";
    EXPECT_EQ(installuserdriver("VESA", nullptr), svga + 1);
    EXPECT_EQ(installuserdriver(nullptr, nullptr), grInvalidDriver);
    for (int i = 0; i < 20; ++i) installuserdriver(std::to_string(i).c_str(), nullptr);
    EXPECT_EQ(installuserdriver("ONE_TOO_MANY", nullptr), grError);

    EXPECT_EQ(registerbgidriver(EGAVGA_driver), VGA);
    EXPECT_EQ(registerbgidriver(Herc_driver), HERCMONO);
    EXPECT_EQ(registerbgidriver(nullptr), grInvalidDriver);

    int driver = svga, mode = 0;
    initgraph(&driver, &mode, "");
    EXPECT_EQ(graphresult(), grOk);
    EXPECT_EQ(driver, VGA) << "the window, as for any driver it does not know";
    closegraph();

    EXPECT_EQ(setgraphbufsize(8192), 4096u);
    EXPECT_EQ(setgraphbufsize(4096), 8192u);
    void *block = _graphgetmem(100);
    ASSERT_NE(block, nullptr);
    _graphfreemem(block, 100);
}

} // namespace
