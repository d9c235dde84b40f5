// Palette, colours and fill styles on two memory DCs standing in for the
// window DC and the page DC, checked by the pixels and, for what the calls
// alone show (which DC realises, what is left uncalled, what is deleted
// when), through the call trace.
#include "bgi.h"
#include "bgi_internal.h"
#include "platform.h"
#include "platform_testing.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace win32;
using win32::testing::Call;
using win32::testing::handle_value;
using win32::testing::start_trace;
using win32::testing::traced_calls;
using Args = std::vector<std::int64_t>;

constexpr int surface_size = 16;
constexpr std::array<COLORREF, 16> default_rgb = {
    RGB(0, 0, 0),       RGB(0, 0, 255),     RGB(0, 255, 0),    RGB(0, 255, 255),
    RGB(255, 0, 0),     RGB(255, 0, 255),   RGB(165, 42, 42),  RGB(211, 211, 211),
    RGB(47, 79, 79),    RGB(173, 216, 230), RGB(32, 178, 170), RGB(224, 255, 255),
    RGB(240, 128, 128), RGB(219, 112, 147), RGB(255, 255, 0),  RGB(255, 255, 255)};

PALETTEENTRY slot(int index) {
    PALETTEENTRY e{};
    GetPaletteEntries(bgi::palette_handle(), UINT(index), 1, &e);
    return e;
}
COLORREF slot_rgb(int index) {
    const PALETTEENTRY e = slot(index);
    return RGB(e.peRed, e.peGreen, e.peBlue);
}

// The integer arguments of the traced calls of one name, run together.
Args args_of(const char *name) {
    Args out;
    for (const Call &c : traced_calls(name)) out.insert(out.end(), c.args.begin(), c.args.end());
    return out;
}

// Initgraph's palette and brush steps, with memory DCs in place of the window
// and the first paint's text colour, background colour and brush.
class PaletteFill : public ::testing::Test {
protected:
    void SetUp() override {
        bgi::create_palette_description();
        bgi::create_fill_brushes();
        bgi::reset_palette();
        bgi::set_defaults();
        const HDC screen = GetDC(nullptr);
        for (int i = 0; i < 2; ++i) {
            dc[i] = CreateCompatibleDC(screen);
            bitmap[i] = CreateCompatibleBitmap(screen, surface_size, surface_size);
            SelectObject(dc[i], bitmap[i]);
            SetTextColor(dc[i], PALETTEINDEX(16 + WHITE));
            SetBkColor(dc[i], PALETTEINDEX(16 + BLACK));
        }
        bgi::attach_device_contexts(dc[0], dc[1]);
        setfillstyle(SOLID_FILL, WHITE);
        start_trace();
    }

    void TearDown() override {
        win32::testing::stop_trace();
        // The user pattern outlives a window; give the next test the initial one.
        const char solid[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
        setfillpattern(solid, WHITE);
        detach_and_release_palette();
        for (int i = 0; i < 2; ++i) {
            DeleteDC(dc[i]);
            DeleteObject(bitmap[i]);
        }
    }

    // As the window's destroy handler leaves things: no DCs, no palette.
    void detach_and_release_palette() const {
        bgi::attach_device_contexts(nullptr, nullptr);
        for (HDC d : dc) SelectPalette(d, HPALETTE(GetStockObject(DEFAULT_PALETTE)), FALSE);
        bgi::release_palette();
    }

    // Expects the DC pair (window first) as the targets of the traced calls.
    void expect_both_dcs(const char *name) const {
        const auto calls = traced_calls(name);
        ASSERT_EQ(calls.size(), 2u) << name;
        EXPECT_EQ(calls[0].dc, handle_value(dc[0])) << name;
        EXPECT_EQ(calls[1].dc, handle_value(dc[1])) << name;
        EXPECT_EQ(calls[0].args, calls[1].args) << name;
    }

    // Fills both DCs with the brush selected into each (a polygon without
    // outline, as the filled shapes paint), in the text and background colours
    // each has, then expects `rows` (bit set = fg, bit 7 leftmost) tiled from
    // (0, 0) on both, the other pixels in bg.
    void expect_fill(const std::array<unsigned char, 8> &rows, COLORREF fg, COLORREF bg) const {
        const POINT whole[] = {
            {0, 0}, {surface_size, 0}, {surface_size, surface_size}, {0, surface_size}};
        for (int i = 0; i < 2; ++i) {
            const HGDIOBJ pen = SelectObject(dc[i], GetStockObject(NULL_PEN));
            Polygon(dc[i], whole, 4);
            SelectObject(dc[i], pen);
            for (int y = 0; y < surface_size; ++y)
                for (int x = 0; x < surface_size; ++x) {
                    const bool set = rows[y % 8] & (0x80 >> (x % 8));
                    ASSERT_EQ(GetPixel(dc[i], x, y), set ? fg : bg) << i << ": " << x << "," << y;
                }
        }
    }

    HDC dc[2] = {};
    HBITMAP bitmap[2] = {};
};

TEST_F(PaletteFill, SetUpBuildsTheLogicalPaletteAndTheDefaults) {
    for (int i = 0; i < 256; ++i) {
        const PALETTEENTRY e = slot(i);
        const bool explicit_ref = i < 10 || i >= 240;
        const bool bgi_colour = i >= 16 && i < 32;
        EXPECT_EQ(slot_rgb(i), explicit_ref ? COLORREF(i)
                               : bgi_colour ? default_rgb[i - 16]
                                            : 0)
            << i;
        EXPECT_EQ(e.peFlags, explicit_ref ? PC_EXPLICIT : i < 32 ? PC_NOCOLLAPSE : 0) << i;
    }
    static_assert(sizeof(palettetype) == 17 && offsetof(palettetype, colors) == 1);
    palettetype p;
    getpalette(&p);
    EXPECT_EQ(p.size, 16);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(p.colors[i], i);
    EXPECT_EQ(0, std::memcmp(&p, getdefaultpalette(), sizeof p));
    EXPECT_EQ(getpalettesize(), 16);
    // A caller scribbling on the default record does not change it for the next.
    getdefaultpalette()->colors[3] = 9;
    EXPECT_EQ(getdefaultpalette()->colors[3], 3);

    fillsettingstype f;
    getfillsettings(&f);
    EXPECT_EQ(f.pattern, SOLID_FILL);
    EXPECT_EQ(f.color, WHITE);
    char rows[8];
    getfillpattern(rows);
    for (char r : rows) EXPECT_EQ(static_cast<unsigned char>(r), 0xFF);
}

TEST_F(PaletteFill, SetColorGivesBothDcsTheDrawingColourButKeepsTheCachedTextColour) {
    setcolor(19);
    EXPECT_EQ(getcolor(), CYAN);
    // The fill colour (15) still equals the cached text colour, so a solid
    // fill keeps the DCs' text colour: it paints in the drawing colour.
    start_trace();
    bgi::select_fill_color();
    EXPECT_TRUE(traced_calls("SetTextColor").empty());
    expect_fill({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, default_rgb[CYAN], 0);
}

TEST_F(PaletteFill, ColourOperationsUpdateTheirSlotsAndTheBackgroundColour) {
    const struct {
        const char *what;
        void (*act)();
        int slot;        // palette slot written
        COLORREF rgb;    // its RGB afterwards
        int bkcolor;     // getbkcolor afterwards (BLUE before)
        int colour_byte; // getpalette's colour byte of that slot afterwards
    } cases[] = {
        {"setbkcolor", [] { setbkcolor(BLUE); }, 16, default_rgb[BLUE], BLUE, 0},
        {"setbkcolor masks", [] { setbkcolor(16 + RED); }, 16, default_rgb[RED], RED, 0},
        {"setpalette 0", [] { setpalette(0, RED); }, 16, default_rgb[RED], 0, RED},
        {"setpalette 2", [] { setpalette(2, 16 + YELLOW); }, 18, default_rgb[YELLOW], BLUE, YELLOW},
        {"setrgbpalette 0", [] { setrgbpalette(0, 9, 17, 255); }, 16, RGB(8, 16, 252), 0, 0},
        {"setrgbpalette 3", [] { setrgbpalette(3, 255, 130, 1); }, 19, RGB(252, 128, 0), BLUE, 3},
        {"setrgbpalette low bytes", [] { setrgbpalette(5, 0x1FF, -1, 256); }, 21, RGB(252, 252, 0),
         BLUE, 5},
    };
    for (const auto &c : cases) {
        bgi::restore_default_colors();
        setbkcolor(BLUE);
        start_trace();
        c.act();
        EXPECT_EQ(slot_rgb(c.slot), c.rgb) << c.what;
        EXPECT_EQ(slot(c.slot).peFlags, PC_NOCOLLAPSE) << c.what;
        EXPECT_EQ(getbkcolor(), c.bkcolor) << c.what;
        palettetype p;
        getpalette(&p);
        EXPECT_EQ(p.colors[c.slot - 16], c.colour_byte) << c.what;
        const auto realized = traced_calls("RealizePalette");
        ASSERT_EQ(realized.size(), 1u) << c.what;
        EXPECT_EQ(realized[0].dc, handle_value(dc[0])) << c.what;
    }
}

TEST_F(PaletteFill, SetAllPaletteMasksColourBytesAndStopsAtSixteen) {
    setbkcolor(BLUE);
    palettetype p{};
    setallpalette(&p); // size 0: no entry changes, the background colour is 0 again
    EXPECT_EQ(getbkcolor(), 0);
    EXPECT_EQ(slot_rgb(16), default_rgb[BLUE]);

    p.size = 2;
    p.colors[0] = -1;   // WHITE
    p.colors[1] = 0x13; // CYAN
    p.colors[2] = RED;  // beyond the size
    setallpalette(&p);
    palettetype got;
    getpalette(&got);
    EXPECT_EQ(got.size, 16);
    for (int i : {0, 1, 2}) {
        const int expected[] = {WHITE, CYAN, GREEN};
        EXPECT_EQ(got.colors[i], expected[i]);
        EXPECT_EQ(slot_rgb(16 + i), default_rgb[expected[i]]);
    }

    // A size byte beyond 16 describes the 16 colours, and no slot past them.
    for (int i = 0; i < 16; ++i) p.colors[i] = static_cast<signed char>(15 - i);
    p.size = 200;
    setallpalette(&p);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(slot_rgb(16 + i), default_rgb[15 - i]) << i;
    for (int i = 32; i < 64; ++i) EXPECT_EQ(slot_rgb(i), 0u) << i;
    EXPECT_EQ(slot_rgb(15), 0u);
}

TEST_F(PaletteFill, OutOfRangeAndNullArgumentsChangeNothing) {
    palettetype before, after;
    getpalette(&before);
    for (int index : {-1, 16, 17, 1000, -2147483647 - 1}) {
        setpalette(index, RED);
        setrgbpalette(index, 1, 2, 3);
    }
    for (int pattern : {-1, 13, 255, 100000}) setfillstyle(pattern, RED);
    setallpalette(nullptr);
    getpalette(nullptr);
    setfillpattern(nullptr, RED);
    getfillpattern(nullptr);
    EXPECT_TRUE(traced_calls().empty());
    getpalette(&after);
    EXPECT_EQ(0, std::memcmp(&before, &after, sizeof before));
    fillsettingstype f;
    getfillsettings(&f);
    EXPECT_EQ(f.pattern, SOLID_FILL);
    EXPECT_EQ(f.color, WHITE);
}

TEST_F(PaletteFill, WithoutWindowOrPaletteTheOperationsOnlyKeepState) {
    detach_and_release_palette();
    const char rows[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    setcolor(RED);
    setbkcolor(GREEN);
    setrgbpalette(3, 1, 2, 3);
    setfillstyle(HATCH_FILL, YELLOW);
    bgi::select_fill_color();
    setfillpattern(rows, BLUE);
    EXPECT_EQ(getcolor(), RED);
    EXPECT_EQ(getbkcolor(), GREEN);
}

TEST_F(PaletteFill, PixelsChangeColourWithTheirPaletteSlot) {
    SetPixel(dc[1], 3, 4, PALETTEINDEX(16 + RED));
    EXPECT_EQ(GetPixel(dc[1], 3, 4), default_rgb[RED]);
    setpalette(RED, BLUE);
    EXPECT_EQ(GetPixel(dc[1], 3, 4), default_rgb[BLUE]);
    setrgbpalette(RED, 8, 16, 32);
    EXPECT_EQ(GetPixel(dc[1], 3, 4), RGB(8, 16, 32));
    bgi::restore_default_colors();
    EXPECT_EQ(GetPixel(dc[1], 3, 4), default_rgb[RED]);
    palettetype p;
    getpalette(&p);
    EXPECT_EQ(p.colors[RED], RED);
}

TEST_F(PaletteFill, ResetPaletteBuildsANewObjectWithTheDefaults) {
    setpalette(1, RED);
    setrgbpalette(2, 1, 2, 3);
    detach_and_release_palette(); // what the destroy handler and the next initgraph do
    bgi::reset_palette();
    bgi::attach_device_contexts(dc[0], dc[1]);
    ASSERT_NE(bgi::palette_handle(), nullptr);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(slot_rgb(16 + i), default_rgb[i]) << i;
    palettetype p;
    getpalette(&p);
    EXPECT_EQ(p.colors[1], 1);
}

// The fill-colour pixels of each pattern, rows top first.
struct PatternCase {
    int pattern;
    std::array<unsigned char, 8> rows;
};
class FillPatterns : public PaletteFill, public ::testing::WithParamInterface<PatternCase> {};

TEST_P(FillPatterns, PaintTheFillColourOnTheBackgroundColour) {
    const PatternCase c = GetParam();
    setbkcolor(BLUE); // the gaps show BGI colour 0
    setfillstyle(c.pattern, 16 + RED);
    fillsettingstype f;
    getfillsettings(&f);
    EXPECT_EQ(f.pattern, c.pattern);
    EXPECT_EQ(f.color, RED);
    bgi::select_fill_color();
    expect_fill(c.rows, default_rgb[RED], default_rgb[BLUE]);
}

constexpr unsigned char F = 0xFF;
INSTANTIATE_TEST_SUITE_P(
    Table, FillPatterns,
    ::testing::Values(PatternCase{SOLID_FILL, {F, F, F, F, F, F, F, F}},
                      PatternCase{LINE_FILL, {0, 0, 0, 0, 0, 0, 0, F}},
                      PatternCase{LTSLASH_FILL, {1, 2, 4, 8, 0x10, 0x20, 0x40, 0x80}},
                      PatternCase{SLASH_FILL, {0x81, 3, 6, 0xC, 0x18, 0x30, 0x60, 0xC0}},
                      PatternCase{BKSLASH_FILL, {0xC0, 0x60, 0x30, 0x18, 0xC, 6, 3, 0x81}},
                      PatternCase{LTBKSLASH_FILL, {0x80, 0x40, 0x20, 0x10, 8, 4, 2, 1}},
                      PatternCase{HATCH_FILL, {1, 1, 1, 1, 1, 1, 1, F}},
                      PatternCase{XHATCH_FILL, {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}},
                      PatternCase{INTERLEAVE_FILL,
                                  {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA}},
                      PatternCase{WIDE_DOT_FILL, {0, 0, 0, 0, 0, 0, 0, 1}},
                      PatternCase{CLOSE_DOT_FILL, {0x44, 0, 0x11, 0, 0x44, 0, 0x11, 0}},
                      PatternCase{USER_FILL, {F, F, F, F, F, F, F, F}}));

TEST_F(PaletteFill, EmptyFillPaintsNothing) {
    setfillstyle(SOLID_FILL, GREEN);
    bgi::select_fill_color();
    const std::array<unsigned char, 8> none{};
    expect_fill(none, 0, default_rgb[GREEN]);
    setfillstyle(EMPTY_FILL, RED);
    bgi::select_fill_color();
    expect_fill(none, 0, default_rgb[GREEN]);
}

TEST_F(PaletteFill, SelectFillColorSendsTheTextColourOnlyWhenItChanges) {
    setfillstyle(SOLID_FILL, BLUE);
    bgi::select_fill_color();
    EXPECT_EQ(traced_calls("SetTextColor").size(), 2u);
    expect_fill({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, default_rgb[BLUE], 0);
    start_trace();
    bgi::select_fill_color();
    setfillstyle(HATCH_FILL, BLUE);
    bgi::select_fill_color();
    EXPECT_TRUE(traced_calls("SetTextColor").empty());
}

TEST_F(PaletteFill, SetFillPatternMakesTheUserBrushAndPaintsIt) {
    const char rows[8] = {'\xAA', 0x55, '\xAA', 0x55, '\xAA', 0x55, '\xAA', 0x55};
    const std::array<unsigned char, 8> expected = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    setfillpattern(rows, 16 + GREEN);
    char got[8];
    getfillpattern(got);
    EXPECT_EQ(0, std::memcmp(got, rows, 8));
    fillsettingstype f;
    getfillsettings(&f);
    EXPECT_EQ(f.pattern, USER_FILL);
    EXPECT_EQ(f.color, GREEN);
    bgi::select_fill_color();
    expect_fill(expected, default_rgb[GREEN], default_rgb[BLACK]);
    // Another pattern and back: the user brush is still the user's pattern.
    setfillstyle(SOLID_FILL, GREEN);
    setfillstyle(USER_FILL, GREEN);
    expect_fill(expected, default_rgb[GREEN], default_rgb[BLACK]);
}

TEST_F(PaletteFill, SetFillPatternReplacesTheUserBrushAfterSelectingTheNewOne) {
    setfillstyle(USER_FILL, WHITE);
    const std::int64_t initial_brush = args_of("SelectObject").at(0);
    const char a[8] = {1, 2, 3, 4, 5, 6, 7, 8}, b[8] = {8, 7, 6, 5, 4, 3, 2, 1};

    start_trace();
    setfillpattern(a, WHITE);
    const std::int64_t bitmap_a = args_of("CreatePatternBrush").at(0);
    const std::int64_t brush_a = args_of("SelectObject").at(0);
    EXPECT_EQ(args_of("DeleteObject").at(0), initial_brush);

    start_trace();
    setfillpattern(b, WHITE);
    expect_both_dcs("SelectObject");
    EXPECT_NE(args_of("SelectObject").at(0), brush_a);
    EXPECT_EQ(args_of("DeleteObject"), (Args{brush_a, bitmap_a}));
    std::vector<std::string> order; // both DCs hold the new brush before the old one goes
    for (const Call &c : traced_calls())
        if (c.name == "SelectObject" || c.name == "DeleteObject") order.push_back(c.name);
    EXPECT_EQ(order, (std::vector<std::string>{"SelectObject", "SelectObject", "DeleteObject",
                                               "DeleteObject"}));
}

} // namespace
