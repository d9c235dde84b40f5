// Snake: the frame loop. Each frame draws the snake and the pickup on the hidden page, moves the
// snake every fifth frame, places a missing pickup, reads at most one key, shows the page and
// waits 25 ms. Enter ends the program.
#include "bgi.h"
#include "snakeEngine.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

int main() {
    int gd = VGA, gm = 3; // 640 x 480, shown maximised
    int page = 0;
    int timer = 0;
    int haspickup = 0;
    int game = 1;
    int direction = 1; // up
    node *snake = nullptr;
    // Off the field until the first pickup is placed, after the first frame is drawn.
    segment pickup = {-15, -15};
    const int speed = 4; // the snake moves on every fifth frame
    int inchar;

    initgraph(&gd, &gm, "");
    if (graphresult() != grOk) {
        // The system's message ends its line itself.
        std::string reason = grapherrormsg(graphresult());
        while (!reason.empty() && std::isspace(static_cast<unsigned char>(reason.back())))
            reason.pop_back();
        std::fprintf(stderr, "snake: the game window could not be opened: %s\n", reason.c_str());
        return EXIT_FAILURE;
    }
    for (int i = 0; i < 3; ++i) snake = insert(snake, 600, 390);
    std::srand(unsigned(std::time(nullptr)));

    for (;;) {
        setactivepage(page);
        cleardevice();
        drawSnake(snake);
        drawSegment(pickup.x, pickup.y, CYAN);
        if (game) {
            const bool moves = timer >= speed;
            ++timer;
            if (moves) {
                moveSnake(snake, direction);
                collisionDetection(snake, pickup, &haspickup, &game);
                timer = 0;
            }
        }
        settextstyle(DEFAULT_FONT, HORIZ_DIR, 4);
        if (!game) outtextxy(getmaxx() / 2 - 160, getmaxy() / 2 - 30, "Game Over!");
        if (!haspickup) {
            pickup = getPickup(snake);
            haspickup = 1;
        }
        if (kbhit()) {
            inchar = getch();
            inchar = turnDetection(inchar, direction);
            if (inchar == -1) std::exit(0);
            if (inchar >= 0) direction = inchar;
        }
        setvisualpage(page);
        page = !page;
        delay(25);
    }
}
