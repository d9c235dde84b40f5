#include "gameLoop.h"

#include "bgi.h"

bool frame(gameState &s) {
    setactivepage(s.page);
    cleardevice();
    drawSnake(s.snake);
    drawSegment(s.pickup.x, s.pickup.y, CYAN);
    if (s.game) {
        const bool moves = s.timer >= s.speed;
        ++s.timer;
        if (moves) {
            moveSnake(s.snake, s.direction);
            collisionDetection(s.snake, s.pickup, &s.haspickup, &s.game);
            s.timer = 0;
        }
    }
    settextstyle(DEFAULT_FONT, HORIZ_DIR, 4);
    if (!s.game) outtextxy(getmaxx() / 2 - 160, getmaxy() / 2 - 30, "Game Over!");
    if (!s.haspickup) {
        s.pickup = getPickup(s.snake);
        s.haspickup = 1;
    }
    if (kbhit()) {
        s.inchar = getch();
        s.inchar = turnDetection(s.inchar, s.direction);
        if (s.inchar == -1) return false;
        if (s.inchar >= 0) s.direction = s.inchar;
    }
    setvisualpage(s.page);
    s.page = !s.page;
    return true;
}
