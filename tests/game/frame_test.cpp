// The game's frame rules through the real frame() on a window, with a fixed
// seed and no keys: when the snake moves, when "Game Over!" shows, and what
// Enter does. What a frame showed is read from its page, which stays the
// active page until the next frame. Also run by the Windows build under Wine.
#include "bgi.h"
#include "bgi_internal.h"
#include "gameLoop.h"

#include "../bgi/headless_display.h"
#include "../bgi/inject.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

namespace {

class GameFrames : public ::testing::Test {
protected:
    void SetUp() override {
        int driver = VGA, mode = VGAHI;
        initgraph(&driver, &mode, "");
        ASSERT_EQ(graphresult(), grOk);
        while (kbhit()) getch();
        std::srand(1);
    }
    void TearDown() override {
        closegraph();
        for (node *next; s.snake; s.snake = next) next = s.snake->next, std::free(s.snake);
    }
    // The snake of the game's start: three nodes on (600, 390).
    void start() { build({{600, 390}, {600, 390}, {600, 390}}); }
    void build(const std::vector<std::pair<int, int>> &body) {
        for (auto [x, y] : body) s.snake = insert(s.snake, x, y);
    }

    // Whether the frame just shown has a square of colour c in the cell at p.
    static bool square(segment p, int c) {
        return getpixel(p.x + 1, p.y + 1) == c && getpixel(p.x + 12, p.y + 12) == c;
    }
    // Whether it shows "Game Over!": white text where the game writes it.
    static bool game_over() {
        const int left = getmaxx() / 2 - 160, top = getmaxy() / 2 - 30;
        int white = 0;
        for (int y = top; y < top + 32; ++y)
            for (int x = left; x < left + 320; ++x) white += getpixel(x, y) == WHITE;
        return white > 500;
    }

    gameState s;
};

TEST_F(GameFrames, TheSnakeMovesOneSquareOnEveryFifthFrame) {
    start();
    for (int f = 1; f <= 16; ++f) {
        const segment before = s.snake->sgt;
        ASSERT_TRUE(frame(s)) << "frame " << f;
        const segment head = s.snake->sgt;
        EXPECT_EQ(head.x, 600) << "frame " << f;
        EXPECT_EQ(head.y, 390 - 15 * (f / 5)) << "frame " << f;
        // The frame drew the snake before moving it: its picture shows the
        // head where it was when the frame began.
        EXPECT_TRUE(square(before, YELLOW)) << "frame " << f;
        if (f % 5 == 0) {
            EXPECT_FALSE(square(head, YELLOW)) << "frame " << f << " shows the move next frame";
        }
    }
}

// A snake that runs into its own body on its first move up: (600, 375) is
// a body square and not the tail.
TEST_F(GameFrames, GameOverShowsFromTheFrameOfTheCollisionOn) {
    build({{600, 390}, {615, 390}, {615, 375}, {600, 375}, {585, 375}, {570, 375}});
    for (int f = 1; f <= 12; ++f) {
        ASSERT_TRUE(frame(s)) << "frame " << f;
        EXPECT_EQ(s.game, f < 5 ? 1 : 0) << "frame " << f;
        EXPECT_EQ(game_over(), f >= 5) << "frame " << f;
        EXPECT_EQ(s.snake->sgt.y, f < 5 ? 390 : 375) << "frame " << f << ": still once lost";
    }
}

TEST_F(GameFrames, EnterEndsTheFrameWithoutShowingItsPage) {
    start();
    for (int f = 1; f <= 3; ++f) ASSERT_TRUE(frame(s));
    const int shown = bgi::pages.visual_page, next = s.page;
    ASSERT_NE(shown, next);
    inject_char(13);
    EXPECT_FALSE(frame(s));
    EXPECT_EQ(bgi::pages.visual_page, shown) << "the page drawn in the last frame stays hidden";
    EXPECT_EQ(s.page, next);
}

} // namespace
