// Fontconfig and FreeType start with the first text, not with the window, so
// that opening one stays quick. A program of its own: no other test may have
// drawn text before.
#include "bgi.h"
#include "headless_display.h"

#include <gtest/gtest.h>

namespace {

TEST(FontEngine, StartsWithTheFirstTextNotWithTheWindow) {
    int driver = VGA, mode = VGAHI;
    initgraph(&driver, &mode, "");
    ASSERT_EQ(graphresult(), grOk);
    setactivepage(1);
    bar(10, 10, 50, 50);
    circle(100, 100, 20);
    setvisualpage(1);
    delay(1);
    EXPECT_FALSE(win32::testing::font_engine_started()) << "drawing without text";
    outtextxy(10, 10, "A");
    EXPECT_TRUE(win32::testing::font_engine_started());
    closegraph();
}

} // namespace
