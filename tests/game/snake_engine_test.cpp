#include "snakeEngine.h"

#include "fake_playfield.h"
#include "owned_snake.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

namespace {

Points points(const node *head) {
    Points out;
    for (; head != nullptr; head = head->next) out.emplace_back(head->sgt.x, head->sgt.y);
    return out;
}

TEST(SnakeEngine, StepMovesWrapsAndDetectsSelfCollision) {
    struct Case {
        const char *what;
        int maxx, maxy;
        Points start;
        int dir;
        Points expected;
        int game;
    } cases[] = {
        {"start, up",
         639,
         479,
         {{600, 390}, {600, 390}, {600, 390}},
         1,
         {{600, 375}, {600, 390}, {600, 390}},
         1},
        {"not a direction", 639, 479, {{30, 30}, {30, 45}}, -2, {{30, 30}, {30, 45}}, 1},
        {"wrap right", 639, 479, {{630, 240}, {615, 240}}, 2, {{0, 240}, {630, 240}}, 1},
        {"wrap left", 639, 479, {{0, 240}, {15, 240}}, 0, {{630, 240}, {0, 240}}, 1},
        {"wrap down", 639, 479, {{300, 465}, {300, 450}}, 3, {{300, 0}, {300, 465}}, 1},
        {"wrap up", 639, 479, {{300, 0}, {300, 15}}, 1, {{300, 465}, {300, 0}}, 1},
        {"wrap left, aligned window", 600, 450, {{0, 240}}, 0, {{600, 240}}, 1},
        // The last column and row are inside: the head wraps only past them.
        {"onto the last column",
         639,
         479,
         {{615, 240}, {600, 240}},
         2,
         {{630, 240}, {615, 240}},
         1},
        {"onto the last row", 639, 479, {{300, 450}, {300, 435}}, 3, {{300, 465}, {300, 450}}, 1},
        {"onto the edge, aligned window", 600, 450, {{585, 240}}, 2, {{600, 240}}, 1},
        {"past the edge, aligned window", 600, 450, {{600, 240}}, 2, {{0, 240}}, 1},
        {"onto the bottom edge, aligned window", 600, 450, {{300, 435}}, 3, {{300, 450}}, 1},
        {"past the bottom edge, aligned window", 600, 450, {{300, 450}}, 3, {{300, 0}}, 1},
        {"onto the tail",
         639,
         479,
         {{30, 30}, {45, 30}, {45, 45}, {30, 45}, {15, 45}},
         3,
         {{30, 45}, {30, 30}, {45, 30}, {45, 45}, {30, 45}},
         1},
        {"onto the body",
         639,
         479,
         {{30, 30}, {45, 30}, {45, 45}, {30, 45}, {15, 45}, {0, 45}},
         3,
         {{30, 45}, {30, 30}, {45, 30}, {45, 45}, {30, 45}, {15, 45}},
         0},
        {"onto the body after wrapping",
         639,
         479,
         {{630, 240}, {0, 240}, {0, 225}, {0, 210}},
         2,
         {{0, 240}, {630, 240}, {0, 240}, {0, 225}},
         0},
    };
    for (const Case &c : cases) {
        set_fake_playfield(c.maxx, c.maxy);
        Snake s(c.start);
        s.step(c.dir);
        EXPECT_EQ(points(s.head), c.expected) << c.what;
        EXPECT_EQ(s.game, c.game) << c.what;
    }
}

TEST(SnakeEngine, KeysSteerButNeverReverse) {
    const int cases[][3] = {{'a', 1, 0},  {'a', 2, 2}, {'d', 1, 2}, {'d', 0, 0},  {'w', 0, 1},
                            {'w', 3, 3},  {'s', 0, 3}, {'s', 1, 1}, {'A', 1, -2}, {'W', 0, -2},
                            {'x', 0, -2}, {13, 0, -1}, {13, 1, -1}, {13, 2, -1},  {13, 3, -1}};
    for (auto [key, dir, expected] : cases)
        EXPECT_EQ(turnDetection(key, dir), expected) << "key " << key << " dir " << dir;
    // A reversal takes two keys: right, then up, then left.
    EXPECT_EQ(turnDetection('a', turnDetection('w', 2)), 0);
}

TEST(SnakeEngine, EatingGrowsByOneNodeAtTheTail) {
    set_fake_playfield(639, 479);
    Snake s({{600, 390}, {600, 405}, {600, 420}});
    s.step(1, {600, 375});
    EXPECT_EQ(s.haspickup, 0);
    EXPECT_EQ(points(s.head), (Points{{600, 375}, {600, 390}, {600, 405}, {600, 405}}));
    s.step(2);
    EXPECT_EQ(points(s.head), (Points{{615, 375}, {600, 375}, {600, 390}, {600, 405}}));
    EXPECT_EQ(s.game, 1);
}

TEST(SnakeEngine, PickupLandsOnFreeGridSquareInsideWindow) {
    // In a 100x100 window 6x6 squares are usable; fill 30 of them so most draws are rejected.
    Points crowded;
    for (int i = 0; i < 31; ++i) crowded.emplace_back(i % 6 * 15, i / 6 * 15);
    const struct {
        int maxx, maxy;
        Points body;
    } cases[] = {{639, 479, {{600, 390}, {600, 405}, {600, 420}}},
                 {100, 100, crowded},
                 {639, 479, {{600, 390}}}, // a lone head: the field's bounds hold all the same
                 {100, 100, {}}};          // no snake at all

    for (const auto &c : cases) {
        set_fake_playfield(c.maxx, c.maxy);
        Snake s(c.body);
        std::set<std::pair<int, int>> underBody, seen;
        if (!c.body.empty()) underBody.insert(c.body.begin(), c.body.end() - 1);
        for (unsigned seed = 0; seed < 2000; ++seed) {
            std::srand(seed);
            segment p = getPickup(s.head);
            ASSERT_TRUE(p.x % 15 == 0 && p.x >= 0 && p.x <= c.maxx - 15) << p.x;
            ASSERT_TRUE(p.y % 15 == 0 && p.y >= 0 && p.y <= c.maxy - 15) << p.y;
            ASSERT_EQ(underBody.count({p.x, p.y}), 0u) << p.x << "," << p.y;
            seen.insert({p.x, p.y});
        }
        if (c.maxx == 100) { // every free square (the tail's included) comes up
            EXPECT_EQ(seen.size(), 36u - underBody.size());
        }
    }

    // Nor do a missing snake's moves and collisions do anything.
    moveSnake(nullptr, 1);
    int haspickup = 1, game = 1;
    collisionDetection(nullptr, {0, 0}, &haspickup, &game);
    EXPECT_EQ(haspickup + game, 2);

    // Without a usable window there is nothing to draw from; the origin comes back at once.
    const std::pair<int, int> noWindow[] = {{0, 479}, {639, 0}, {-1, -1}, {10, 479}, {639, 14}};
    Snake s(crowded);
    for (auto [maxx, maxy] : noWindow) {
        set_fake_playfield(maxx, maxy);
        segment p = getPickup(s.head);
        EXPECT_EQ(std::make_pair(p.x, p.y), std::make_pair(0, 0)) << maxx << "x" << maxy;
    }
}

// A snake on every square of a small field leaves no free square: the search ends (on the tail's
// square) instead of drawing for ever; with one square left, that one is found.
TEST(SnakeEngine, PickupSearchEndsWhenTheFieldIsFull) {
    set_fake_playfield(44, 44); // squares at 0 and 15 on each axis
    Points full = {{0, 0}, {15, 0}, {15, 15}, {0, 15}, {0, 0}, {30, 30}};
    Snake s(full);
    segment p = getPickup(s.head);
    EXPECT_EQ(std::make_pair(p.x, p.y), std::make_pair(30, 30)) << "the tail's square";
    Snake oneLeft({{0, 0}, {15, 0}, {15, 15}, {15, 15}});
    p = getPickup(oneLeft.head);
    EXPECT_EQ(std::make_pair(p.x, p.y), std::make_pair(0, 15));
}

} // namespace
