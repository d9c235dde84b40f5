// What only our platform's call trace shows of the drawing families: which
// DC each drawing reaches (the dual-target rule), and what the pen cache
// creates, selects and deletes.
#include "drawing_fixture.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

// The DCs that the calls of one name were made on, in order: 0 window, 1 page.
std::vector<int> targets_of(const char *name) {
    std::vector<int> out;
    for (const Call &c : traced_calls(name)) out.push_back(c.dc == dc_value(0) ? 0 : 1);
    return out;
}

// The calls of the given names, in order, as "name dc", the DC being W for
// the window DC and P for the page DC.
std::vector<std::string> sequence(std::initializer_list<std::string> names) {
    std::vector<std::string> out;
    for (const Call &c : traced_calls()) {
        bool wanted = false;
        for (const std::string &n : names) wanted |= n == c.name;
        if (!wanted) continue;
        out.push_back(c.name + (c.dc == dc_value(0) ? " W" : c.dc == dc_value(1) ? " P" : ""));
    }
    return out;
}

std::size_t pens_made() {
    return traced_calls("CreatePen").size() + traced_calls("ExtCreatePen").size();
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
        // One copy onto the window, from the page DC.
        const std::vector<Call> blits = traced_calls("BitBlt");
        ASSERT_EQ(blits.size(), 1u) << frame;
        EXPECT_EQ(blits[0].dc, dc_value(0)) << frame;
        EXPECT_EQ(std::uintptr_t(blits[0].args.at(4)), dc_value(1)) << frame;
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

// Each primitive makes its one call on the page DC, then on the window DC; a
// point list it cannot use reaches the platform not at all.
TEST_F(Traced, PrimitivesDrawOnThePageDcThenOnTheWindowDc) {
    struct Case {
        void (*draw)();
        const char *call;
    };
    const Case cases[] = {
        {[] { bar(10, 10, 0, 0); }, "FillRect"},
        {[] { bar3d(0, 0, 20, 20, 5, 1); }, "FillRect"},
        {[] { bar3d(0, 0, 20, 20, 5, 1); }, "Polyline"},
        {[] { rectangle(0, 0, 13, 13); }, "Polyline"},
        {[] { line(1, 2, 3, 4); }, "Polyline"},
        {[] { lineto(3, 4); }, "LineTo"},
        {[] {
             const int triangle[] = {0, 0, 9, 0, 0, 9};
             fillpoly(3, triangle);
         },
         "Polygon"},
        {[] { floodfill(5, 6, 3); }, "FloodFill"},
        {[] { putpixel(1, 2, 18); }, "SetPixel"},
    };
    for (const Case &c : cases) {
        start_trace();
        c.draw();
        EXPECT_EQ(targets_of(c.call), (std::vector<int>{1, 0})) << c.call;
    }
    start_trace();
    const int points[] = {0, 0, 9, 9};
    drawpoly(4, nullptr);
    fillpoly(-2, points);
    EXPECT_TRUE(traced_calls().empty());
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
        EXPECT_EQ(pens_made(), style == USERBIT_LINE ? 2u : 1u) << style;
    }
    // So do the colour, the style and the thickness.
    fresh_pens();
    start_trace();
    setcolor(RED);
    for (int thickness : {1, 3, 1}) {
        for (int style : {SOLID_LINE, DOTTED_LINE}) {
            setlinestyle(style, 0, thickness);
            line(0, 0, 1, 0);
        }
    }
    EXPECT_EQ(pens_made(), 4u);
}

// XOR and inverted copy draw with pens of palette slot c, cache entries of
// their own; OR and AND use the copy mode's pen of slot 16 + c.
TEST_F(Traced, WriteModesOfTheirOwnPenAreCacheEntriesOfTheirOwn) {
    fresh_pens();
    setcolor(YELLOW);
    start_trace();
    const int modes[] = {COPY_PUT, OR_PUT, AND_PUT, 5, XOR_PUT, NOT_PUT, COPY_PUT};
    for (int mode : modes) {
        setwritemode(mode);
        line(0, 0, 9, 9);
    }
    EXPECT_EQ(pens_made(), 2u);
    EXPECT_EQ(traced_calls("SelectObject").size(), 6u) << "to the slot pen and back";
}

TEST_F(Traced, TheNinthKeyEvictsTheLeastRecentlyUsedPenAfterSelectingTheNew) {
    for (bool touch_oldest : {false, true}) {
        fresh_pens();
        std::vector<std::int64_t> pens;
        for (int c = 0; c < 8; ++c) {
            setcolor(c);
            start_trace();
            line(0, 0, 1, 0);
            pens.push_back(traced_calls("SelectObject").at(0).args.at(0));
        }
        if (touch_oldest) {
            setcolor(0);
            line(0, 0, 1, 0);
        }
        setcolor(8);
        start_trace();
        line(0, 0, 1, 0);
        EXPECT_EQ(sequence({"CreatePen", "SelectObject", "DeleteObject"}),
                  (std::vector<std::string>{"CreatePen", "SelectObject W", "SelectObject P",
                                            "DeleteObject"}))
            << touch_oldest;
        const std::vector<Call> deleted = traced_calls("DeleteObject");
        ASSERT_EQ(deleted.size(), 1u);
        EXPECT_EQ(deleted[0].args.at(0), pens[touch_oldest ? 1 : 0]) << touch_oldest;
    }
}

TEST_F(Traced, ANewWindowGetsThePenSelectedAgain) {
    reopen_after_a_line(LIGHTRED);
    start_trace();
    line(0, 0, 1, 0);
    EXPECT_EQ(traced_calls("CreatePen").size(), 0u);
    EXPECT_EQ(targets_of("SelectObject"), (std::vector<int>{0, 1}));
}

} // namespace
