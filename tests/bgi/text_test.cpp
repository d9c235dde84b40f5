// Text by its pixels and by the current position it leaves: where the ink
// and the cell of a string land for each justification and direction, how
// outtext moves on, and the measurements. Also run by the Windows build under
// Wine, whose fonts differ: the checks are of places, not of glyphs.
#include "drawing_fixture.h"

#include <climits>
#include <initializer_list>

namespace {

// The box of pixels of colour c on the page, within a search area.
struct Ink {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN; // inclusive
    bool empty() const { return left > right; }
};
Ink ink_of(int c, int x0, int y0, int x1, int y1) {
    Ink ink;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (getpixel(x, y) == c) {
                ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

class Text : public Drawing {
protected:
    void SetUp() override {
        Drawing::SetUp();
        clear_to_blue();
        settextstyle(DEFAULT_FONT, HORIZ_DIR, 4);
    }
    // A page in blue, so that the cell the text paints in the background
    // colour (black) shows; text in yellow. (A fill in the colour the fills
    // last gave the DCs paints in the drawing colour: blue is drawn in blue.)
    static void clear_to_blue() {
        setcolor(BLUE);
        block(0, 0, 639, 479, BLUE);
        setcolor(YELLOW);
    }
    static constexpr int x = 320, y = 240;
};

TEST_F(Text, EachJustificationPutsTheTextOnItsSideOfThePoint) {
    struct Case {
        int horiz, vert;
        bool left_of, right_of, above, below; // where the cell may reach
    } cases[] = {
        {LEFT_TEXT, TOP_TEXT, false, true, false, true},
        {RIGHT_TEXT, TOP_TEXT, true, false, false, true},
        {LEFT_TEXT, BOTTOM_TEXT, false, true, true, false},
        {CENTER_TEXT, TOP_TEXT, true, true, false, true},
        {LEFT_TEXT, CENTER_TEXT, false, true, true, true}, // the baseline: descenders below
    };
    for (const Case &k : cases) {
        clear_to_blue();
        settextjustify(k.horiz, k.vert);
        outtextxy(x, y, "Hg");
        const Ink cell = ink_of(BLACK, 0, 0, 639, 479), ink = ink_of(YELLOW, 0, 0, 639, 479);
        ASSERT_FALSE(ink.empty()) << k.horiz << "," << k.vert;
        ASSERT_FALSE(cell.empty()) << "the cell is painted in the background colour";
        EXPECT_EQ(cell.left < x - 1, k.left_of) << k.horiz << "," << k.vert;
        EXPECT_EQ(cell.right > x + 1, k.right_of) << k.horiz << "," << k.vert;
        EXPECT_EQ(cell.top < y - 1, k.above) << k.horiz << "," << k.vert;
        EXPECT_EQ(cell.bottom > y + 1, k.below) << k.horiz << "," << k.vert;
        EXPECT_GE(ink.left, cell.left);
        EXPECT_LE(ink.bottom, cell.bottom);
    }
}

TEST_F(Text, MeasuresMatchTheCellAndGrowWithTheString) {
    const int one = textwidth("W"), two = textwidth("WW");
    EXPECT_GT(one, 0);
    EXPECT_EQ(two, 2 * one) << "a string measures the sum of its characters";
    EXPECT_GE(textheight("W"), 24) << "size 4 asks for 32-pixel characters";
    settextjustify(LEFT_TEXT, TOP_TEXT);
    outtextxy(100, 100, "WW");
    const Ink cell = ink_of(BLACK, 0, 0, 639, 479);
    EXPECT_EQ(cell.left, 100);
    EXPECT_EQ(cell.top, 100);
    EXPECT_EQ(cell.right - cell.left + 1, two);
    EXPECT_EQ(cell.bottom - cell.top + 1, textheight("WW"));
    settextstyle(TRIPLEX_FONT, HORIZ_DIR, 1);
    EXPECT_LT(textheight("W"), 32) << "size 1 of the other fonts is smaller";
}

TEST_F(Text, OuttextMovesThePositionOnAndOuttextxyLeavesIt) {
    moveto(50, 60);
    outtextxy(200, 200, "abc");
    EXPECT_EQ(position(), std::make_pair(50, 60));
    outtext("abc");
    EXPECT_EQ(position(), std::make_pair(50 + textwidth("abc"), 60));
    settextjustify(RIGHT_TEXT, TOP_TEXT);
    outtext("de");
    EXPECT_EQ(position(), std::make_pair(50 + textwidth("abc") - textwidth("de"), 60))
        << "right-justified text moves the position back over itself";
    settextjustify(CENTER_TEXT, TOP_TEXT);
    outtext("fgh");
    EXPECT_EQ(position(), std::make_pair(50 + textwidth("abc") - textwidth("de"), 60));
}

// By its ink: the reference paints no cell behind turned text.
TEST_F(Text, VerticalTextRunsUpTheScreen) {
    settextstyle(DEFAULT_FONT, VERT_DIR, 2);
    settextjustify(LEFT_TEXT, BOTTOM_TEXT);
    outtextxy(x, y, "HHHH");
    const Ink ink = ink_of(YELLOW, 0, 0, 639, 479);
    ASSERT_FALSE(ink.empty());
    EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left)) << "taller than wide";
    EXPECT_LE(ink.bottom, y + 1) << "left-justified vertical text starts at the point and rises";
    EXPECT_LE(ink.right, x + 1) << "with the tops of its letters to the left";
}

// The text takes the drawing colour, and the fills after it keep working as
// the game relies on: a fill in the default fill colour paints in the
// drawing colour set before it.
TEST_F(Text, TextTakesTheDrawingColourAndLeavesFillsAsTheyWere) {
    setfillstyle(SOLID_FILL, WHITE);
    setcolor(WHITE);
    outtextxy(10, 10, "x");
    EXPECT_FALSE(ink_of(WHITE, 0, 0, 100, 100).empty());
    setcolor(LIGHTRED);
    rectangle(200, 200, 213, 213);
    floodfill(201, 201, LIGHTRED);
    EXPECT_EQ(getpixel(206, 206), LIGHTRED);
}

TEST_F(Text, OutOfRangeSettingsAndMissingStringsAreHarmless) {
    for (int font : {-1, 11, INT_MIN, INT_MAX})
        for (int size : {-5, 0, 11, INT_MIN}) {
            settextstyle(font, HORIZ_DIR, size);
            settextjustify(font, size);
            outtextxy(300, 300, "ok");
            EXPECT_GE(textwidth("ok"), 0);
        }
    textsettingstype t{};
    settextstyle(42, 1, 3);
    gettextsettings(&t);
    EXPECT_EQ(t.font, 42) << "kept as given";
    setusercharsize(1, 0, 1, 0);
    outtextxy(10, 10, "zero divisors");
#ifndef _WIN32
    // Kept to what a font can be; the system's GDI takes seconds over it.
    setusercharsize(INT_MAX, 1, INT_MIN, -1);
    outtextxy(10, 10, "huge");
#endif
    outtext(nullptr);
    outtextxy(0, 0, nullptr);
    EXPECT_EQ(textwidth(nullptr), 0);
    EXPECT_EQ(textheight(nullptr), 0);
    gettextsettings(nullptr);
}

// Settings back at their defaults (graphdefaults, a new window) bring the
// default alignment back to the DCs, whatever alignment the text before them
// left there: left and top at the point, and outtext moving on again.
TEST_F(Text, DefaultsBringBackTheDefaultAlignment) {
    settextjustify(RIGHT_TEXT, BOTTOM_TEXT);
    outtextxy(x, y, "Hg");
    graphdefaults();
    clear_to_blue();
    outtextxy(x, y, "Hg");
    const Ink cell = ink_of(BLACK, 0, 0, 639, 479);
    ASSERT_FALSE(cell.empty());
    EXPECT_EQ(cell.left, x);
    EXPECT_EQ(cell.top, y);

    outtext("abc");
    closegraph();
    open();
    moveto(50, 60);
    outtext("abc");
    EXPECT_EQ(position(), std::make_pair(50 + textwidth("abc"), 60)) << "in the new window too";
}

// Two fonts of one width and different heights are two fonts: the second
// is not the first one found again.
TEST_F(Text, FontsOfOneWidthAndTwoHeightsAreTwoFonts) {
    setusercharsize(2, 1, 2, 1); // 16 x 16
    const int square = textheight("W");
    setusercharsize(2, 1, 4, 1); // 16 x 32
    const int tall = textheight("W");
    EXPECT_GE(tall, square * 3 / 2) << square;
    setusercharsize(2, 1, 2, 1);
    EXPECT_EQ(textheight("W"), square);
}

TEST(TextWithoutWindow, IsHarmlessAndMeasuresNothing) {
    closegraph();
    outtextxy(0, 0, "no window");
    outtext("none");
    EXPECT_EQ(textwidth("abc"), 0);
    EXPECT_EQ(textheight("abc"), 0);
}

} // namespace
