// What only our platform's call trace shows of the text family: the font the
// font mapper is asked for, what the font cache creates and selects, and that
// alignment and text colour reach the DCs only when they change.
#include "drawing_fixture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

using TracedText = Traced;

// The SetTextAlign flags sent, one entry per call (each goes to both DCs).
std::vector<std::int64_t> alignments_sent() {
    std::vector<std::int64_t> out;
    for (const Call &c : traced_calls("SetTextAlign")) out.push_back(c.args.at(0));
    return out;
}

// The requests of the fonts made since the trace started: height, width,
// escapement, orientation, weight, charset, pitch and family.
std::vector<std::vector<std::int64_t>> fonts_made() {
    std::vector<std::vector<std::int64_t>> out;
    for (const Call &c : traced_calls("CreateFontA")) {
        const std::vector<std::int64_t> &a = c.args;
        out.push_back({a.at(0), a.at(1), a.at(2), a.at(3), a.at(4), a.at(8), a.at(12)});
    }
    return out;
}

// Fills the font cache with fonts no test asks for, so the next are misses.
void fresh_fonts() {
    static int unique = 100;
    for (int i = 0; i < 8; ++i) {
        setusercharsize(++unique, 1, 1, 1);
        textwidth("x");
    }
}

TEST_F(TracedText, TheFontTablesDecideWhatIsAsked) {
    struct Case {
        int font, direction, charsize;
        std::vector<std::int64_t> request; // as fonts_made lists it
    } cases[] = {
        {DEFAULT_FONT, HORIZ_DIR, 4, {-32, 32, 0, 0, FW_BOLD, DEFAULT_CHARSET, FIXED_PITCH}},
        {SANS_SERIF_FONT, HORIZ_DIR, 15, {-128, 76, 0, 0, FW_NORMAL, 1, VARIABLE_PITCH}},
        {TRIPLEX_FONT, VERT_DIR, 2, {-20, 14, 900, 900, FW_NORMAL, 1, VARIABLE_PITCH | FF_ROMAN}},
        {TRIPLEX_FONT, 2, 2, {-20, 14, 1800, 0, FW_NORMAL, 1, VARIABLE_PITCH | FF_ROMAN}},
        {SMALL_FONT, HORIZ_DIR, 1, {-5, 3, 0, 0, FW_NORMAL, 1, VARIABLE_PITCH | FF_MODERN}},
        {GOTHIC_FONT, HORIZ_DIR, 10, {-128, 88, 0, 0, FW_NORMAL, 1, VARIABLE_PITCH | FF_SWISS}},
        {BOLD_FONT, HORIZ_DIR, 7, {-64, 38, 0, 0, FW_BOLD, 1, VARIABLE_PITCH}},
        // Outside the tables: drawn as font 0, size 1.
        {-3, HORIZ_DIR, -2, {-8, 8, 0, 0, FW_BOLD, 1, FIXED_PITCH}},
    };
    for (const Case &k : cases) {
        fresh_fonts();
        settextstyle(k.font, k.direction, k.charsize);
        start_trace();
        outtextxy(0, 0, "A");
        ASSERT_EQ(fonts_made().size(), 1u) << k.font << "," << k.charsize;
        EXPECT_EQ(fonts_made()[0], k.request) << k.font << "," << k.charsize;
    }
}

TEST_F(TracedText, UserCharacterSizesScaleTheNormalCell) {
    struct Case {
        int font, mx, dx, my, dy;
        std::int64_t width, height;
    } cases[] = {
        {TRIPLEX_FONT, 2, 1, 3, 1, 44, 93},
        {DEFAULT_FONT, 2, 1, 3, 1, 16, 24},
        {TRIPLEX_FONT, 1, 3, 1, 3, 7, 10},
        {TRIPLEX_FONT, 1, 0, 2, 0, 22, 31}, // zero divisors
    };
    for (const Case &k : cases) {
        fresh_fonts();
        settextstyle(k.font, HORIZ_DIR, 1);
        setusercharsize(k.mx, k.dx, k.my, k.dy);
        start_trace();
        outtextxy(0, 0, "A");
        ASSERT_EQ(fonts_made().size(), 1u);
        EXPECT_EQ(fonts_made()[0][0], -k.height) << k.font << " " << k.mx << "/" << k.dx;
        EXPECT_EQ(fonts_made()[0][1], k.width) << k.font << " " << k.mx << "/" << k.dx;
    }
}

TEST_F(TracedText, RepeatedTextInOneStyleMakesOneFontAndSelectsItOnce) {
    fresh_fonts();
    settextstyle(GOTHIC_FONT, HORIZ_DIR, 3);
    start_trace();
    outtextxy(0, 0, "one");
    outtextxy(0, 20, "two");
    textwidth("three");
    EXPECT_EQ(traced_calls("CreateFontA").size(), 1u);
    EXPECT_EQ(traced_calls("SelectObject").size(), 2u) << "into the window DC and the page DC";
}

TEST_F(TracedText, AlignmentIsSentOnlyWhenItChanges) {
    struct Step {
        void (*call)();
        std::vector<std::int64_t> sent; // flags, once per DC
    } steps[] = {
        {[] { outtextxy(0, 0, "a"); }, {TA_LEFT | TA_TOP, TA_LEFT | TA_TOP}},
        {[] { outtextxy(0, 0, "b"); }, {}},
        {[] { outtext("c"); }, {TA_UPDATECP, TA_UPDATECP}},
        {[] { outtext("d"); }, {}},
        {[] { textwidth("e"); }, {}},
        {[] { settextjustify(LEFT_TEXT, TOP_TEXT); }, {}},
        {[] { outtext("f"); }, {TA_UPDATECP, TA_UPDATECP}},
        {[] {
             settextstyle(DEFAULT_FONT, VERT_DIR, 1);
             settextjustify(CENTER_TEXT, CENTER_TEXT);
             outtext("g");
         },
         {31, 31}},
        {[] { outtextxy(0, 0, "h"); }, {30, 30}},
        {[] {
             settextstyle(DEFAULT_FONT, HORIZ_DIR, 1);
             settextjustify(RIGHT_TEXT, BOTTOM_TEXT);
             outtextxy(0, 0, "i");
         },
         {TA_RIGHT | TA_BOTTOM, TA_RIGHT | TA_BOTTOM}},
        {[] {
             settextstyle(DEFAULT_FONT, VERT_DIR, 1);
             outtextxy(0, 0, "j");
         },
         {TA_TOP | TA_LEFT, TA_TOP | TA_LEFT}},
    };
    int i = 0;
    for (const Step &s : steps) {
        start_trace();
        s.call();
        EXPECT_EQ(alignments_sent(), s.sent) << "step " << i++;
    }
}

TEST_F(TracedText, TextColourIsSentOnlyWhenTheDrawingColourDiffers) {
    setcolor(WHITE); // the default text colour
    start_trace();
    outtextxy(0, 0, "same");
    EXPECT_TRUE(traced_calls("SetTextColor").empty());
    setcolor(GREEN);
    start_trace();
    outtextxy(0, 0, "new");
    outtextxy(0, 0, "again");
    ASSERT_EQ(traced_calls("SetTextColor").size(), 2u) << "window DC and page DC, once";
    EXPECT_EQ(traced_calls("SetTextColor")[0].args.at(0), std::int64_t(PALETTEINDEX(16 + GREEN)));
    start_trace();
    textwidth("measuring sends no colour");
    EXPECT_TRUE(traced_calls("SetTextColor").empty());
}

} // namespace
