// Snake: one frame of the game loop, without the wait between frames, so that the frame logic can
// run on its own (the soak test drives it for many thousands of frames).
#ifndef GAME_LOOP_H
#define GAME_LOOP_H

#include "snakeEngine.h"

// What the loop keeps from one frame to the next.
struct gameState {
    int page = 0;
    int timer = 0;
    int haspickup = 0;
    int game = 1;
    int direction = 1; // up
    node *snake = nullptr;
    // Off the field until the first pickup is placed, after the first frame is drawn.
    segment pickup = {-15, -15};
    static constexpr int speed = 4; // the snake moves on every fifth frame
    int inchar = 0;
};

// Draws the snake and the pickup on the hidden page, moves the snake every fifth frame, places a
// missing pickup, reads at most one key and shows the page. Returns false as soon as the key read
// is Enter: the program is to end, and the page is not shown.
bool frame(gameState &s);

#endif
