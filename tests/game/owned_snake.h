// A snake that a test owns: built from its segments, head first, and freed
// at the end of the test, which the game itself never does.
#pragma once

#include "snakeEngine.h"

#include <cstdlib>
#include <utility>
#include <vector>

using Points = std::vector<std::pair<int, int>>;

struct Snake {
    explicit Snake(const Points &body) {
        for (auto [x, y] : body) head = insert(head, x, y);
    }
    ~Snake() {
        for (node *next; head != nullptr; head = next) next = head->next, std::free(head);
    }
    Snake(const Snake &) = delete;
    Snake &operator=(const Snake &) = delete;

    // One game step as the main loop makes it: move, then resolve its consequences.
    void step(int dir, segment pickup = {-1, -1}) {
        moveSnake(head, dir);
        collisionDetection(head, pickup, &haspickup, &game);
    }
    node *head = nullptr;
    int haspickup = 1, game = 1;
};
