// Fonts and text on memory DCs: which face each name resolves to, sizes,
// widths, bold, alignment, the current position, the background cell,
// clipping, turned text, code page 1252 and hostile arguments.
#include "canvas.h"
#include "platform.h"
#include "platform_testing.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <string>
#include <vector>

using namespace win32;

namespace {

constexpr int ink = 9;        // text colour index
constexpr int background = 2; // the canvas's background colour index

HFONT make_font(int height, const char *face = "Arial", int width = 0, int escapement = 0,
                int weight = FW_NORMAL, DWORD pitch_and_family = VARIABLE_PITCH | FF_SWISS) {
    return CreateFontA(height, width, escapement, escapement, weight, 0, 0, 0, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitch_and_family,
                       face);
}

// A canvas cleared to 0 with a font selected, text in `ink`.
struct TextCanvas : Canvas {
    TextCanvas(int w, int h, HFONT f) : Canvas(w, h), font(f) {
        SelectObject(dc, font);
        SetTextColor(dc, PALETTEINDEX(ink));
        clear(0);
    }
    ~TextCanvas() {
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(font);
    }
    SIZE extent(const std::string &text) const {
        SIZE s{-1, -1};
        GetTextExtentPoint32A(dc, text.data(), int(text.size()), &s);
        return s;
    }
    void out(int x, int y, const std::string &text) const {
        TextOutA(dc, x, y, text.data(), int(text.size()));
    }
    HFONT font;
};

TEST(FontMapper, EachFaceNameResolvesToItsNamedFace) {
    struct Case {
        const char *face;
        int weight;
        DWORD pitch_and_family;
        const char *resolved;
    } cases[] = {
        {"Console", FW_BOLD, FIXED_PITCH, "DejaVu Sans Mono Bold"},
        {"Times New Roman", FW_NORMAL, VARIABLE_PITCH | FF_ROMAN, "Liberation Serif Regular"},
        {"Times New Roman", FW_NORMAL, VARIABLE_PITCH, "Liberation Serif Regular"},
        {"Small Fonts", FW_NORMAL, VARIABLE_PITCH | FF_MODERN, "DejaVu Sans Book"},
        {"MS Sans Serif", FW_NORMAL, VARIABLE_PITCH, "DejaVu Sans Book"},
        {"Arial", FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "Liberation Sans Regular"},
        {"Script", FW_NORMAL, VARIABLE_PITCH | FF_SCRIPT, "Z003 Medium Italic"},
        {"Courier New", FW_NORMAL, VARIABLE_PITCH, "Liberation Mono Regular"},
        {"Courier New Bold", FW_BOLD, VARIABLE_PITCH, "Liberation Mono Bold"},
        {"Arial", FW_BOLD, VARIABLE_PITCH, "Liberation Sans Bold"},
        {"Script", FW_BOLD, VARIABLE_PITCH, "Z003 Medium Italic (synthetic bold)"},
        // Names nobody installed fall back by pitch and family.
        {"No Such Face", FW_NORMAL, VARIABLE_PITCH | FF_ROMAN, "Liberation Serif Regular"},
        {"No Such Face", FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "Liberation Sans Regular"},
        {"No Such Face", FW_NORMAL, VARIABLE_PITCH | FF_MODERN, "Liberation Mono Regular"},
        {"No Such Face", FW_NORMAL, FIXED_PITCH, "Liberation Mono Regular"},
        {"No Such Face", FW_NORMAL, VARIABLE_PITCH | FF_SCRIPT, "Z003 Medium Italic"},
        {"", FW_NORMAL, DEFAULT_PITCH, "Liberation Sans Regular"},
    };
    for (const Case &k : cases) {
        HFONT font = make_font(-20, k.face, 0, 0, k.weight, k.pitch_and_family);
        ASSERT_NE(font, nullptr) << k.face;
        EXPECT_EQ(win32::testing::font_face(font), k.resolved)
            << k.face << " weight " << k.weight << " pitch and family " << k.pitch_and_family;
        DeleteObject(font);
    }
    EXPECT_EQ(win32::testing::font_face(nullptr), "");
    EXPECT_EQ(CreateFontA(-20, 0, 0, 0, 400, 0, 0, 0, 1, 0, 0, 0, 0, nullptr) != nullptr, true);
}

// Liberation Sans has Arial's metrics: 2048 units an em, a cell of 1854
// above and 434 below the baseline, capitals 1409 high.
TEST(Text, HeightsAreTheEmWhenNegativeAndTheCellWhenPositive) {
    struct Case {
        int height;
        int cell;   // ascent + descent
        int h_high; // the ink of "H"
    } cases[] = {
        {-20, 22, 14}, {-32, 36, 22}, {-64, 72, 44}, {20, 20, 12}, {40, 40, 25}, {0, 16, 10},
    };
    for (const Case &k : cases) {
        TextCanvas c(120, 100, make_font(k.height));
        EXPECT_EQ(c.extent("H").cy, k.cell) << k.height;
        EXPECT_EQ(c.extent("").cy, k.cell) << k.height;
        EXPECT_EQ(c.extent("").cx, 0);
        SetBkMode(c.dc, TRANSPARENT);
        c.out(10, 10, "H");
        EXPECT_NEAR(box_of(c, ink).height(), k.h_high, 1) << k.height;
    }
}

TEST(Text, AWidthSetsTheAverageCharacterWidth) {
    // Liberation Mono's every character is as wide as its average.
    for (int width : {4, 9, 16, 33}) {
        TextCanvas c(10, 10, make_font(-24, "Courier New", width));
        EXPECT_NEAR(c.extent("MMMMMMMMMM").cx, 10 * width, 5) << width;
        EXPECT_EQ(c.extent("M").cy, 27) << "the height stays";
    }
    TextCanvas natural(10, 10, make_font(-24, "Courier New"));
    EXPECT_EQ(natural.extent("MMMMMMMMMM").cx, 140);
    TextCanvas negative(10, 10, make_font(-24, "Courier New", -16));
    EXPECT_EQ(negative.extent("MMMMMMMMMM").cx, 160);
}

// Extents measured on the reference GDI with the same font files: a face
// is hinted at the em asked for, and a width stretches it by width / its
// own average width at that em; halves of the cell round as the face's
// 16.16 scale makes them.
TEST(Text, ExtentsAreTheReferences) {
    struct Case {
        const char *face;
        int weight;
        DWORD pitch_and_family;
        int height, width;
        SIZE extent; // of "Game Over!"
    } cases[] = {
        {"Arial", FW_NORMAL, VARIABLE_PITCH | FF_SWISS, -19, 0, {105, 21}},
        {"Arial", FW_NORMAL, VARIABLE_PITCH | FF_SWISS, -19, 13, {126, 21}},
        {"Arial", FW_NORMAL, VARIABLE_PITCH | FF_SWISS, -32, 22, {207, 36}},
        {"Times New Roman", FW_NORMAL, VARIABLE_PITCH | FF_ROMAN, -18, 13, {121, 20}},
        {"Small Fonts", FW_NORMAL, VARIABLE_PITCH | FF_MODERN, -5, 3, {31, 6}},
        {"Small Fonts", FW_NORMAL, VARIABLE_PITCH | FF_MODERN, -9, 6, {73, 10}},
        {"MS Sans Serif", FW_NORMAL, VARIABLE_PITCH, -21, 12, {145, 24}},
        {"MS Sans Serif", FW_NORMAL, VARIABLE_PITCH, -19, 11, {135, 22}},
        {"Script", FW_NORMAL, VARIABLE_PITCH | FF_SCRIPT, -19, 11, {78, 24}},
        {"Script", FW_NORMAL, VARIABLE_PITCH | FF_SCRIPT, -15, 0, {62, 18}},
        {"Courier New", FW_NORMAL, VARIABLE_PITCH, -19, 11, {110, 22}},
        {"Courier New Bold", FW_BOLD, VARIABLE_PITCH, -19, 11, {110, 22}},
        {"Console", FW_BOLD, FIXED_PITCH, -32, 32, {320, 38}},
    };
    for (const Case &k : cases) {
        TextCanvas c(10, 10, make_font(k.height, k.face, k.width, 0, k.weight, k.pitch_and_family));
        const SIZE s = c.extent("Game Over!");
        EXPECT_EQ(s.cx, k.extent.cx) << k.face << " " << k.height << " " << k.width;
        EXPECT_EQ(s.cy, k.extent.cy) << k.face << " " << k.height << " " << k.width;
    }
}

// Text measures by the unhinted advances but upright text is drawn with the
// hinted ones, as on the reference: at this size "a" measures 13 pixels and
// the next glyph is drawn 12 after it. Turned text steps as it measures.
TEST(Text, UprightGlyphsStepByTheirHintedAdvances) {
    for (int escapement : {0, 900}) {
        auto drawn = [&](const std::vector<std::pair<int, const char *>> &pieces) {
            TextCanvas c(60, 60, make_font(-19, "Arial", 13, escapement));
            SetBkMode(c.dc, TRANSPARENT);
            for (const auto &[offset, text] : pieces)
                c.out(escapement ? 20 : 5 + offset, escapement ? 55 - offset : 20, text);
            return c.rows();
        };
        TextCanvas probe(10, 10, make_font(-19, "Arial", 13, escapement));
        EXPECT_EQ(probe.extent("a").cx, 13);
        EXPECT_EQ(probe.extent("am").cx, 32);
        const int step = escapement ? 13 : 12;
        EXPECT_EQ(drawn({{0, "am"}}), drawn({{0, "a"}, {step, "m"}})) << escapement;
    }
}

// A glyph is drawn within the box of its hinted metrics, the rows kept to
// the cell: the tilde of a capital A reaches 31 pixels above the baseline
// once hinted, but the ascent is 30.
TEST(Text, GlyphsAreCutToTheCell) {
    TextCanvas c(60, 60, make_font(-32, "Console", 32, 0, FW_BOLD, FIXED_PITCH));
    SetBkMode(c.dc, TRANSPARENT);
    SetTextAlign(c.dc, TA_BASELINE);
    c.out(10, 45, "\xC3");
    EXPECT_EQ(box_of(c, ink).top, 45 - 30);
}

TEST(Text, BoldInksMoreThanRegular) {
    for (const char *face : {"Arial", "Script", "Times New Roman"}) {
        int pixels[2], widths[2];
        for (int bold = 0; bold < 2; ++bold) {
            TextCanvas c(200, 60, make_font(-32, face, 0, 0, bold ? FW_BOLD : FW_NORMAL));
            SetBkMode(c.dc, TRANSPARENT);
            c.out(5, 5, "Wave");
            pixels[bold] = box_of(c, ink).pixels;
            widths[bold] = c.extent("Wave").cx;
        }
        EXPECT_GT(pixels[1], pixels[0] * 11 / 10) << face;
        EXPECT_GE(widths[1], widths[0]) << face;
    }
}

// Each alignment puts the cell (advance x cell height) in its place around
// the reference point; the baseline is where "H" stands.
TEST(Text, AlignmentPlacesTheCellAroundTheReferencePoint) {
    const UINT horizontals[] = {TA_LEFT, TA_CENTER, TA_RIGHT};
    const UINT verticals[] = {TA_TOP, TA_BASELINE, TA_BOTTOM};
    for (UINT h : horizontals)
        for (UINT v : verticals) {
            TextCanvas c(160, 120, make_font(-20));
            const SIZE size = c.extent("HHH");
            SetTextAlign(c.dc, h | v);
            c.out(80, 60, "HHH");
            const InkBox cell = box_of(c, background), letters = box_of(c, ink);
            const int left = h == TA_LEFT ? 80 : h == TA_CENTER ? 80 - size.cx / 2 : 80 - size.cx;
            EXPECT_EQ(cell.left, left) << h << " " << v;
            EXPECT_EQ(cell.left + size.cx, cell.right) << h << " " << v;
            EXPECT_EQ(cell.pixels + letters.pixels, size.cx * size.cy) << h << " " << v;
            if (v == TA_TOP) {
                EXPECT_EQ(cell.top, 60);
            }
            if (v == TA_BOTTOM) {
                EXPECT_EQ(cell.bottom, 60);
            }
            if (v == TA_BASELINE) {
                EXPECT_EQ(letters.bottom, 60);
                EXPECT_EQ(cell.top, 60 - 18) << "the ascent is above the baseline";
            }
        }
}

TEST(Text, UpdateCpTakesTheCurrentPositionAndMovesIt) {
    struct Case {
        UINT align;
        int escapement;
        POINT moved; // from (100, 100), for a text 3 "H" wide
        int cell_left, cell_top;
    };
    TextCanvas probe(10, 10, make_font(-20));
    const int w = probe.extent("HHH").cx;
    const Case cases[] = {
        {TA_LEFT, 0, {100 + w, 100}, 100, 100},
        {TA_RIGHT, 0, {100 - w, 100}, 100 - w, 100},
        {TA_CENTER, 0, {100, 100}, 100 - w / 2, 100},
        {TA_LEFT, 900, {100, 100 - w}, 100, 100 - w},
        {TA_RIGHT, 900, {100, 100 + w}, 100, 100},
        {TA_LEFT, 1800, {100 - w, 100}, 100 - w, 100 - 22},
        {TA_LEFT, 2700, {100, 100 + w}, 100 - 22, 100},
    };
    for (const Case &k : cases) {
        TextCanvas c(200, 200, make_font(-20, "Arial", 0, k.escapement));
        SetTextAlign(c.dc, k.align | TA_UPDATECP);
        MoveToEx(c.dc, 100, 100, nullptr);
        c.out(7, 7, "HHH"); // the coordinates are not used
        POINT now{};
        GetCurrentPositionEx(c.dc, &now);
        EXPECT_EQ(now.x, k.moved.x) << k.align << " " << k.escapement;
        EXPECT_EQ(now.y, k.moved.y) << k.align << " " << k.escapement;
        const InkBox cell = box_of(c, background);
        EXPECT_EQ(cell.left, k.cell_left) << k.align << " " << k.escapement;
        EXPECT_EQ(cell.top, k.cell_top) << k.align << " " << k.escapement;
    }
    // Without the flag the position stays.
    TextCanvas c(200, 60, make_font(-20));
    MoveToEx(c.dc, 3, 4, nullptr);
    c.out(10, 10, "HHH");
    POINT now{};
    GetCurrentPositionEx(c.dc, &now);
    EXPECT_EQ(now.x, 3);
    EXPECT_EQ(now.y, 4);
}

TEST(Text, TransparentModeLeavesTheCellAndMixModesAreIgnored) {
    TextCanvas opaque(120, 40, make_font(-20));
    opaque.out(2, 2, "Hi there");
    const InkBox letters = box_of(opaque, ink);
    EXPECT_GT(letters.pixels, 50);
    EXPECT_GT(box_of(opaque, background).pixels, letters.pixels);

    for (int mode : {R2_COPYPEN, R2_XORPEN, R2_NOP, R2_BLACK, R2_NOT}) {
        TextCanvas c(120, 40, make_font(-20));
        SetROP2(c.dc, mode);
        SetBkMode(c.dc, TRANSPARENT);
        c.clear(5);
        c.out(2, 2, "Hi there");
        const InkBox drawn = box_of(c, ink);
        EXPECT_EQ(drawn.pixels, letters.pixels) << "mix mode " << mode;
        EXPECT_EQ(drawn.pixels + box_of(c, 5).pixels, 120 * 40) << "mix mode " << mode;
    }
}

TEST(Text, ClippingAndTheViewportOriginHoldForTextAndCell) {
    TextCanvas reference(100, 50, make_font(-24));
    reference.out(10, 10, "Clip me");
    const std::string picture = reference.rows();

    TextCanvas moved(100, 50, make_font(-24));
    SetViewportOrgEx(moved.dc, 7, -3, nullptr);
    moved.out(3, 13, "Clip me");
    EXPECT_EQ(moved.rows(), picture);

    TextCanvas clipped(100, 50, make_font(-24));
    HRGN region = CreateRectRgn(20, 15, 60, 30);
    SelectClipRgn(clipped.dc, region);
    DeleteObject(region);
    clipped.out(10, 10, "Clip me");
    SelectClipRgn(clipped.dc, nullptr);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) {
            const bool inside = x >= 20 && x < 60 && y >= 15 && y < 30;
            ASSERT_EQ(clipped.at(x, y), inside ? reference.at(x, y) : 0) << x << "," << y;
        }

    // Text over every edge of the surface changes nothing beyond it.
    TextCanvas edges(40, 20, make_font(-30));
    for (POINT p : {POINT{-20, -15}, POINT{25, 8}, POINT{-5, 10}, POINT{30, -20}})
        edges.out(p.x, p.y, "Wide Wg");
    EXPECT_GT(edges.count(ink), 0);
}

// Turned text is the upright text turned, pixel for pixel, the cell too,
// where the turned outline rasterises as the upright one does and the
// hinted advances equal the measured ones (as for "Rg," at this size).
TEST(Text, EscapementTurnsTextByQuarterTurns) {
    const std::string text = "Rg,";
    TextCanvas upright(80, 80, make_font(-20));
    upright.out(20, 20, text);
    const SIZE size = upright.extent(text);
    struct Case {
        int escapement;
        int quarter_turns;
    } cases[] = {{900, 1}, {1800, 2}, {2700, 3}, {-900, 3}, {3600 + 900, 1},
                 {449, 0}, {450, 1},  {1349, 1}, {3599, 0}, {INT_MIN, 3}};
    for (const Case &k : cases) {
        TextCanvas turned(80, 80, make_font(-20, "Arial", 0, k.escapement));
        turned.out(40, 40, text);
        EXPECT_EQ(turned.extent(text).cx, size.cx) << "extents are upright";
        EXPECT_EQ(turned.extent(text).cy, size.cy);
        const InkBox cell = box_of(turned, background);
        const bool sideways = k.quarter_turns % 2;
        EXPECT_EQ(cell.width(), sideways ? size.cy : size.cx) << k.escapement;
        EXPECT_EQ(cell.height(), sideways ? size.cx : size.cy) << k.escapement;
        // Upright (20 + i, 20 + j) lands at (40, 40) plus i and j turned.
        for (int j = 0; j < size.cy; ++j)
            for (int i = 0; i < size.cx; ++i) {
                int x = i, y = j;
                for (int q = 0; q < k.quarter_turns; ++q) {
                    const int t = x;
                    x = y, y = -t - 1; // a quarter turn counter-clockwise, pixel for pixel
                }
                ASSERT_EQ(turned.at(40 + x, 40 + y), upright.at(20 + i, 20 + j))
                    << k.escapement << " at " << i << "," << j;
            }
    }
}

TEST(Text, UnderlineAndStrikeOutRunAlongTheWholeAdvance) {
    for (int line = 0; line < 2; ++line) {
        HFONT font = CreateFontA(-40, 0, 0, 0, FW_NORMAL, 0, line == 0, line == 1, DEFAULT_CHARSET,
                                 0, 0, 0, 0, "Arial");
        TextCanvas c(100, 80, font);
        SetBkMode(c.dc, TRANSPARENT);
        SetTextAlign(c.dc, TA_BASELINE);
        c.out(10, 50, "i i");
        const int width = c.extent("i i").cx;
        std::vector<int> full_rows;
        for (int y = 0; y < c.height; ++y) {
            bool full = c.at(9, y) == 0 && c.at(10 + width, y) == 0;
            for (int x = 10; x < 10 + width; ++x) full = full && c.at(x, y) == ink;
            if (full) full_rows.push_back(y);
        }
        ASSERT_FALSE(full_rows.empty()) << line;
        if (line == 0) {
            EXPECT_GE(full_rows.front(), 50) << "the underline is below the baseline";
        } else {
            EXPECT_LT(full_rows.back(), 50 - 5) << "the strike-out line is above it";
            EXPECT_GT(full_rows.front(), 50 - 20);
        }
    }
}

TEST(Text, BytesAreCodePage1252) {
    TextCanvas c(60, 40, make_font(-24));
    SetBkMode(c.dc, TRANSPARENT);
    auto drawn = [&](const std::string &s) {
        c.clear(0);
        c.out(5, 5, s);
        return c.rows();
    };
    const std::string e = drawn("e"), e_acute = drawn("\xE9"), euro = drawn("\x80");
    EXPECT_NE(e_acute, e);
    EXPECT_GT(box_of(c, ink).pixels, 10) << "the euro sign";
    EXPECT_NE(euro, drawn("E"));
    EXPECT_NE(drawn("\x8A"), drawn("S")) << "S with caron";
    // Unassigned bytes and control characters take a glyph of the font; they
    // have an advance like any other character.
    for (char byte : {'\x81', '\x8D', '\x01', '\x1F', '\0'})
        EXPECT_GT(c.extent(std::string(1, byte)).cx, 0) << int(byte);
}

TEST(Text, HostileArgumentsFailOrAreBounded) {
    TextCanvas c(64, 48, make_font(-20));
    SIZE size{};
    EXPECT_FALSE(TextOutA(c.dc, 0, 0, nullptr, 5));
    EXPECT_TRUE(TextOutA(c.dc, 0, 0, nullptr, 0));
    EXPECT_FALSE(TextOutA(c.dc, 0, 0, "abc", -1));
    EXPECT_FALSE(TextOutA(c.dc, 0, 0, "abc", INT_MIN));
    EXPECT_FALSE(TextOutA(nullptr, 0, 0, "abc", 3));
    EXPECT_FALSE(GetTextExtentPoint32A(c.dc, "abc", 3, nullptr));
    EXPECT_FALSE(GetTextExtentPoint32A(c.dc, "abc", -3, &size));
    EXPECT_FALSE(GetTextExtentPoint32A(c.dc, nullptr, 3, &size));
    EXPECT_FALSE(GetTextExtentPoint32A(reinterpret_cast<HDC>(c.font), "abc", 3, &size));
    EXPECT_EQ(c.count(0), 64 * 48);

    const auto start = std::chrono::steady_clock::now();
    const int sizes[] = {INT_MIN, INT_MIN + 1, -1000000000, -1, 1, 1000000000, INT_MAX};
    for (int height : sizes)
        for (int width : {0, 1, 1000000000, INT_MIN}) {
            HFONT font = make_font(height, "Arial", width, height);
            ASSERT_NE(font, nullptr);
            HGDIOBJ old = SelectObject(c.dc, font);
            for (POINT p : {POINT{INT_MIN, INT_MIN}, POINT{INT_MAX, INT_MAX}, POINT{-500, 10},
                            POINT{10, 10}}) {
                SetTextAlign(c.dc, TA_RIGHT | TA_BOTTOM | TA_UPDATECP);
                MoveToEx(c.dc, p.x, p.y, nullptr);
                EXPECT_TRUE(TextOutA(c.dc, p.x, p.y, "W\xC9", 2));
                SetTextAlign(c.dc, TA_CENTER | TA_BASELINE);
                EXPECT_TRUE(TextOutA(c.dc, p.x, p.y, "W\xC9", 2));
            }
            EXPECT_TRUE(GetTextExtentPoint32A(c.dc, "W", 1, &size));
            EXPECT_LE(size.cy, 2 * 1024) << "sizes are clamped";
            EXPECT_LE(size.cx, 2 * 1024);
            SelectObject(c.dc, old);
            DeleteObject(font);
        }
    // A long text costs its characters, not its width in pixels.
    const std::string many(1000000, 'W');
    SetTextAlign(c.dc, TA_LEFT | TA_UPDATECP);
    MoveToEx(c.dc, 0, 0, nullptr);
    EXPECT_TRUE(TextOutA(c.dc, 0, 0, many.data(), int(many.size())));
    EXPECT_TRUE(GetTextExtentPoint32A(c.dc, many.data(), int(many.size()), &size));
    POINT now{};
    GetCurrentPositionEx(c.dc, &now);
    EXPECT_EQ(now.x, size.cx);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 60.0);
}

TEST(Text, ADeletedFontLivesOnWhereItIsSelected) {
    Canvas c(80, 40);
    SetTextColor(c.dc, PALETTEINDEX(ink));
    c.clear(0);
    HFONT font = make_font(-24, "Times New Roman");
    SelectObject(c.dc, font);
    TextOutA(c.dc, 2, 2, "Kept", 4);
    const std::string before = c.rows();
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_EQ(win32::testing::font_face(font), "") << "the handle is gone";
    c.clear(0);
    TextOutA(c.dc, 2, 2, "Kept", 4);
    EXPECT_EQ(c.rows(), before) << "the DC draws with the font it holds";
    // Selecting another font lets it go; the old handle no longer selects.
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(SelectObject(c.dc, font), nullptr);
}

TEST(Text, TheStockFontDrawsWithoutAFontSelected) {
    Canvas c(80, 30);
    SetTextColor(c.dc, PALETTEINDEX(ink));
    c.clear(0);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32A(c.dc, "Sys", 3, &size));
    EXPECT_EQ(size.cy, 16);
    TextOutA(c.dc, 0, 0, "Sys", 3);
    EXPECT_GT(c.count(ink), 20);
}

} // namespace
