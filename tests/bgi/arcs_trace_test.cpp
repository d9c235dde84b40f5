// What only our platform's call trace shows of arcs, circles and ellipses:
// the boxes and end points handed to Arc, Pie and Ellipse, the DCs they
// reach, the pen and fill colour chosen first, and no mix mode around them.
#include "drawing_fixture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

using ArcTrace = Traced;

// The arguments each call hands to GDI: the box, then the start and end.
TEST_F(ArcTrace, BoxesAndEndPoints) {
    struct Case {
        const char *name;
        void (*draw)();
        const char *call;
        std::vector<std::int64_t> args;
    };
    const Case cases[] = {
        {"arc", [] { arc(100, 100, 0, 90, 50); }, "Arc", {50, 50, 150, 150, 150, 100, 100, 50}},
        {"arc 30..120",
         [] { arc(100, 100, 30, 120, 50); },
         "Arc",
         {50, 50, 150, 150, 143, 76, 76, 57}},
        {"whole arc",
         [] { arc(100, 100, 0, 360, 50); },
         "Arc",
         {50, 50, 150, 150, 150, 100, 150, 100}},
        // A whole turn or more: the start point twice, though the end angle's
        // point lies a pixel beside it.
        {"arc 60..420",
         [] { arc(100, 100, 60, 420, 50); },
         "Arc",
         {50, 50, 150, 150, 125, 57, 125, 57}},
        {"sector 10..730",
         [] { sector(200, 100, 10, 730, 100, 50); },
         "Pie",
         {100, 50, 300, 150, 294, 84, 294, 84}},
        {"circle", [] { circle(100, 100, 50); }, "Arc", {50, 50, 150, 150, 150, 100, 150, 100}},
        {"circle, aspect 1:2",
         [] {
             setaspectratio(10000, 20000);
             circle(100, 100, 50);
         },
         "Arc",
         {50, 75, 150, 125, 150, 100, 150, 100}},
        {"pieslice",
         [] { pieslice(60, 70, 90, 180, 30); },
         "Pie",
         {30, 40, 90, 100, 60, 40, 30, 70}},
        {"ellipse",
         [] { ellipse(200, 100, 0, 45, 100, 50); },
         "Arc",
         {100, 50, 300, 150, 300, 100, 244, 56}},
        {"sector",
         [] { sector(200, 100, 150, 330, 100, 100); },
         "Pie",
         {100, 0, 300, 200, 114, 51, 286, 150}},
        {"sector, no height",
         [] { sector(5, 6, 10, 20, 50, 0); },
         "Pie",
         {-45, 6, 55, 6, 5, 6, 5, 6}},
        {"fillellipse", [] { fillellipse(40, 30, 20, 10); }, "Ellipse", {20, 20, 60, 40}},
        // Coordinates wrap in 32 bits, as in the code BGI programs were made for.
        {"huge radius",
         [] { circle(0, 0, INT_MAX); },
         "Arc",
         {-INT_MAX, -INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0, INT_MAX, 0}},
        {"wrapping box",
         [] { fillellipse(INT_MAX, 0, 1, 1); },
         "Ellipse",
         {INT_MAX - 1, -1, INT_MIN, 1}},
    };
    for (const Case &k : cases) {
        setaspectratio(10000, 10000);
        start_trace();
        k.draw();
        const std::vector<Call> calls = traced_calls(k.call);
        ASSERT_EQ(calls.size(), 2u) << k.name; // page DC, then window DC
        EXPECT_EQ(calls[0].dc, dc_value(1)) << k.name;
        EXPECT_EQ(calls[1].dc, dc_value(0)) << k.name;
        EXPECT_EQ(calls[0].args, k.args) << k.name;
        EXPECT_EQ(calls[1].args, k.args) << k.name;
    }
}

// The pen in the drawing colour's palette slot comes first, then for the
// filled ones the fill colour; no mix mode is set, whatever the write mode.
TEST_F(ArcTrace, PenThenFillColourAndNoMixMode) {
    setwritemode(XOR_PUT);
    setfillstyle(SOLID_FILL, GREEN);
    struct Case {
        const char *name;
        void (*draw)();
        const char *call;
        bool fills;
    };
    const Case cases[] = {
        {"arc", [] { arc(50, 50, 0, 90, 10); }, "Arc", false},
        {"circle", [] { circle(50, 50, 10); }, "Arc", false},
        {"ellipse", [] { ellipse(50, 50, 0, 90, 10, 5); }, "Arc", false},
        {"pieslice", [] { pieslice(50, 50, 0, 90, 10); }, "Pie", true},
        {"sector", [] { sector(50, 50, 0, 90, 10, 5); }, "Pie", true},
        {"fillellipse", [] { fillellipse(50, 50, 10, 5); }, "Ellipse", true},
    };
    int colour = 1;
    for (const Case &k : cases) {
        setcolor(++colour); // a pen of its own each time
        setfillstyle(SOLID_FILL, colour + 1);
        start_trace();
        k.draw();
        std::vector<std::string> order;
        for (const Call &c : traced_calls()) {
            if (c.name == "CreatePen") {
                EXPECT_EQ(c.args.at(2), std::int64_t(PALETTEINDEX(WORD(colour + 16)))) << k.name;
                order.push_back("pen");
            } else if (c.name == "SetTextColor") {
                if (order.empty() || order.back() != "fill") order.push_back("fill");
            } else if (c.name == k.call) {
                if (order.empty() || order.back() != k.call) order.push_back(k.call);
            }
        }
        const std::vector<std::string> expected =
            k.fills ? std::vector<std::string>{"pen", "fill", k.call}
                    : std::vector<std::string>{"pen", k.call};
        EXPECT_EQ(order, expected) << k.name;
        EXPECT_TRUE(traced_calls("SetROP2").empty()) << k.name;
    }
}

} // namespace
