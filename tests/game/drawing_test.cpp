// The game's squares, drawn by the real library on a window: solid 14 x 14
// squares in their colour with a one-pixel gap on the 15-pixel grid, the
// drawing colour back to white after each, and still so once "Game Over!"
// has been written. Also run by the Windows build under Wine.
#include "bgi.h"
#include "owned_snake.h"
#include "snakeEngine.h"

#include "../bgi/headless_display.h"

#include <gtest/gtest.h>

namespace {

class Squares : public ::testing::Test {
protected:
    void SetUp() override {
        int driver = VGA, mode = VGAHI;
        initgraph(&driver, &mode, "");
        ASSERT_EQ(graphresult(), grOk);
    }
    void TearDown() override { closegraph(); }

    // The pixels of colour c in the 15 x 15 cell at (x, y).
    static int in_cell(int x, int y, int c) {
        int n = 0;
        for (int dy = 0; dy < 15; ++dy)
            for (int dx = 0; dx < 15; ++dx) n += getpixel(x + dx, y + dy) == c;
        return n;
    }
};

TEST_F(Squares, ASegmentIsASolidSquareWithAGapToTheNextCell) {
    drawSegment(60, 45, CYAN);
    EXPECT_EQ(in_cell(60, 45, CYAN), 14 * 14);
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(getpixel(60 + 14, 45 + i), BLACK) << "the gap column";
        EXPECT_EQ(getpixel(60 + i, 45 + 14), BLACK) << "the gap row";
    }
    EXPECT_EQ(getcolor(), WHITE);
}

TEST_F(Squares, TheSnakeIsYellowSquaresWhereverItsNodesAre) {
    Snake snake({{150, 150}, {165, 150}, {165, 165}});
    drawSnake(snake.head);
    for (auto [x, y] : {std::pair(150, 150), {165, 150}, {165, 165}})
        EXPECT_EQ(in_cell(x, y, YELLOW), 14 * 14) << x << "," << y;
    EXPECT_EQ(in_cell(150, 165, YELLOW), 0);
}

// What a frame after the game was lost draws: the text leaves the drawing
// colour white and the squares of the next frame are still solid yellow.
TEST_F(Squares, SquaresStaySolidAfterGameOver) {
    Snake snake({{300, 300}});
    for (int frame = 0; frame < 2; ++frame) {
        cleardevice();
        drawSnake(snake.head);
        drawSegment(330, 300, CYAN);
        settextstyle(DEFAULT_FONT, HORIZ_DIR, 4);
        outtextxy(getmaxx() / 2 - 160, getmaxy() / 2 - 30, "Game Over!");
    }
    EXPECT_EQ(in_cell(300, 300, YELLOW), 14 * 14);
    EXPECT_EQ(in_cell(330, 300, CYAN), 14 * 14);
}

TEST_F(Squares, APickupOffTheFieldDrawsNothing) {
    drawSegment(-15, -15, CYAN);
    EXPECT_EQ(in_cell(0, 0, CYAN), 0);
}

} // namespace
