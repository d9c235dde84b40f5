// Every public call that takes a record, a string or a point list, given a
// null pointer before a window exists, while one is open and after it is
// gone: nothing is read or written through the pointer, nothing is drawn,
// and the calls with a result give their "nothing" answer. Also runs in the
// Windows build under Wine.
#include "bgi.h"
#include "bgi_internal.h"
#include "headless_display.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {

struct NullCall {
    const char *name;
    // Makes the call; returns its result, or 0 for calls without one.
    int (*call)();
    int expected;
};

// clang-format off
const NullCall null_calls[] = {
    {"detectgraph", [] { detectgraph(nullptr, nullptr); return 0; }, 0},
    {"detectgraph, mode only", [] { int d = -1; detectgraph(&d, nullptr); return d; }, VGA},
    {"getaspectratio", [] { getaspectratio(nullptr, nullptr); return 0; }, 0},
    {"getaspectratio, y only", [] { int y = -7; getaspectratio(nullptr, &y); return int(y != -7); }, 1},
    {"getactivepoint", [] { return getactivepoint(nullptr, 5, 10); }, -1},
    {"getactivepoint3", [] { return getactivepoint3(nullptr, 5, 10); }, -1},
    {"getviewsettings", [] { getviewsettings(nullptr); return 0; }, 0},
    {"setallpalette", [] { setallpalette(nullptr); return 0; }, 0},
    {"getpalette", [] { getpalette(nullptr); return 0; }, 0},
    {"getlinesettings", [] { getlinesettings(nullptr); return 0; }, 0},
    {"getfillsettings", [] { getfillsettings(nullptr); return 0; }, 0},
    {"setfillpattern", [] { setfillpattern(nullptr, RED); return 0; }, 0},
    {"getfillpattern", [] { getfillpattern(nullptr); return 0; }, 0},
    {"drawpoly", [] { drawpoly(4, nullptr); return 0; }, 0},
    {"fillpoly", [] { fillpoly(4, nullptr); return 0; }, 0},
    {"getarccoords", [] { getarccoords(nullptr); return 0; }, 0},
    {"gettextsettings", [] { gettextsettings(nullptr); return 0; }, 0},
    {"outtext", [] { outtext(nullptr); return 0; }, 0},
    {"outtextxy", [] { outtextxy(10, 10, nullptr); return 0; }, 0},
    {"textwidth", [] { return textwidth(nullptr); }, 0},
    {"textheight", [] { return textheight(nullptr); }, 0},
    {"getimage", [] { getimage(0, 0, 9, 9, nullptr); return 0; }, 0},
    {"putimage", [] { putimage(0, 0, nullptr, COPY_PUT); return 0; }, 0},
    {"putimage, xor", [] { putimage(0, 0, nullptr, XOR_PUT); return 0; }, 0},
};
// clang-format on

// What the null calls could have changed had they written anything: the
// palette, the fill settings and pattern, the line settings.
std::vector<unsigned char> state() {
    palettetype p{};
    getpalette(&p);
    fillsettingstype f{};
    getfillsettings(&f);
    char pattern[8] = {};
    getfillpattern(pattern);
    linesettingstype l{};
    getlinesettings(&l);
    std::vector<unsigned char> out(sizeof p + sizeof f + sizeof pattern + sizeof l);
    unsigned char *at = out.data();
    for (auto [data, size] : {std::pair<const void *, std::size_t>(&p, sizeof p),
                              {&f, sizeof f},
                              {pattern, sizeof pattern},
                              {&l, sizeof l}}) {
        std::memcpy(at, data, size);
        at += size;
    }
    return out;
}

void expect_every_null_call_harmless(const char *when) {
    const std::vector<unsigned char> before = state();
    for (const NullCall &c : null_calls) EXPECT_EQ(c.call(), c.expected) << c.name << ", " << when;
    EXPECT_EQ(state(), before) << when;
}

// The whole page as a block: all zero bytes is all black.
bool page_is_black() {
    std::vector<unsigned char> block(imagesize(0, 0, getmaxx(), getmaxy()));
    getimage(0, 0, getmaxx(), getmaxy(), block.data());
    for (std::size_t i = 8; i < block.size(); ++i)
        if (block[i] != 0) return false;
    return true;
}

TEST(NullPointers, AreHarmlessBeforeDuringAndAfterAWindow) {
    expect_every_null_call_harmless("before initgraph");

    // No driver, no mode, no path: the driver is detected, the default mode
    // taken, and a window opens.
    initgraph(nullptr, nullptr, nullptr);
    ASSERT_EQ(graphresult(), grOk);
    ASSERT_NE(bgi::window_handle(), nullptr);
    EXPECT_EQ(getmaxx(), 639);
    expect_every_null_call_harmless("with a window");
    EXPECT_TRUE(page_is_black()) << "nothing was drawn";
    EXPECT_EQ(getx(), 0) << "outtext without a string does not move on";
    closegraph();

    expect_every_null_call_harmless("after closegraph");
}

} // namespace
