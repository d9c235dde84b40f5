#include "snakeEngine.h"

#include "bgi.h"

#include <cstdlib>

namespace {

constexpr int kGrid = 15;

// Rounds a non-negative pixel value to the nearest grid line (a remainder of 7 or more rounds up).
int snapToGrid(int value) {
    int r = value % kGrid;
    return r <= 6 ? (value / kGrid) * kGrid : (value / kGrid + 1) * kGrid;
}

} // namespace

node *insert(node *head, int x, int y) {
    node *n = static_cast<node *>(std::malloc(sizeof(node)));
    if (n == nullptr) return head;
    n->sgt = {x, y};
    n->next = nullptr;
    if (head == nullptr) return n;
    node *tail = head;
    while (tail->next != nullptr) tail = tail->next;
    tail->next = n;
    return head;
}

int turnDetection(int key, int dir) {
    switch (key) {
    case 13:
        return -1;
    case 'a':
        return dir == 2 ? 2 : 0;
    case 'd':
        return dir == 0 ? 0 : 2;
    case 'w':
        return dir == 3 ? 3 : 1;
    case 's':
        return dir == 1 ? 1 : 3;
    default:
        return -2;
    }
}

void moveSnake(node *head, int dir) {
    // turnDetection's -1/-2 are not directions; indexing dirMatrix with them would read outside it.
    if (head == nullptr || dir < 0 || dir > 3) return;
    segment prev = head->sgt;
    if (dir % 2 == 0)
        head->sgt.x += dirMatrix[dir];
    else
        head->sgt.y += dirMatrix[dir];
    for (node *n = head->next; n != nullptr; n = n->next) {
        segment old = n->sgt;
        n->sgt = prev;
        prev = old;
    }
}

void collisionDetection(node *head, segment pickup, int *haspickup, int *game) {
    if (head == nullptr) return;

    // Growth comes first, on the unwrapped position, since the pickup was placed where the head
    // could reach it. The new node doubles the tail and separates from it on the next move.
    if (head->sgt.x == pickup.x && head->sgt.y == pickup.y) {
        node *tail = head;
        while (tail->next != nullptr) tail = tail->next;
        insert(head, tail->sgt.x, tail->sgt.y);
        *haspickup = 0;
    }

    // Leaving past the right or bottom edge re-enters at 0; leaving past the left or top edge
    // re-enters on the last grid line inside the window. x and y are negative here, so the
    // remainder is taken by a non-zero divisor.
    segment &h = head->sgt;
    if (h.x > getmaxx()) h.x = 0;
    if (h.y > getmaxy()) h.y = 0;
    if (h.x < 0) h.x = getmaxx() - (getmaxx() % h.x);
    if (h.y < 0) h.y = getmaxy() - (getmaxy() % h.y);

    // The tail is not an obstacle: it moves on with the next step.
    for (node *n = head->next; n != nullptr && n->next != nullptr; n = n->next) {
        if (n->sgt.x == h.x && n->sgt.y == h.y) {
            *game = 0;
            return;
        }
    }
}

segment getPickup(node *head) {
    const int maxx = getmaxx();
    const int maxy = getmaxy();

    // With no window (or one narrower than a grid square) there is no square to offer: the random
    // draw would divide by zero, and a snake of two or more nodes would reject every candidate
    // forever. The origin is returned instead.
    if (maxx < kGrid || maxy < kGrid) return {0, 0};

    // A draw rounded up past the last whole square is off the field, whatever the snake's length
    // (a lone head included); on the field, only the squares of the body but the tail's are taken.
    auto accepted = [&](segment c) {
        if (c.x > maxx - kGrid || c.y > maxy - kGrid) return false;
        for (node *n = head; n != nullptr && n->next != nullptr; n = n->next)
            if (n->sgt.x == c.x && n->sgt.y == c.y) return false;
        return true;
    };
    // Random squares until one is free; the draws are limited, so that a snake that covers (nearly)
    // the whole field cannot keep the game waiting for ever.
    for (int attempt = 0; attempt < 4096; ++attempt) {
        segment c = {snapToGrid(std::rand() % maxx), snapToGrid(std::rand() % maxy)};
        if (accepted(c)) return c;
    }
    for (int y = 0; y <= maxy - kGrid; y += kGrid)
        for (int x = 0; x <= maxx - kGrid; x += kGrid)
            if (accepted({x, y})) return {x, y};
    // No square is free: the tail's, which the next move leaves.
    node *tail = head;
    while (tail->next != nullptr) tail = tail->next;
    return tail->sgt;
}

void drawSnake(node *head) {
    for (node *n = head; n != nullptr; n = n->next) drawSegment(n->sgt.x, n->sgt.y, YELLOW);
}

// A 14 x 14 square on the 15-pixel grid: its outline, then its inside filled up to the outline.
// The fill paints in the colour just set: the fill colour (white by default) is the one the
// fills last gave the device contexts, so they keep the drawing colour.
void drawSegment(int x, int y, int color) {
    constexpr int size = 13;
    setcolor(color);
    rectangle(x, y, x + size, y + size);
    floodfill(x + 1, y + 1, color);
    setcolor(WHITE);
}
