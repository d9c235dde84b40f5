// Snake: the frame loop. Each frame draws the snake and the pickup on the hidden page, moves the
// snake every fifth frame, places a missing pickup, reads at most one key, shows the page and
// waits 25 ms. Enter ends the program.
#include "bgi.h"
#include "gameLoop.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

int main() {
    int gd = VGA, gm = 3; // 640 x 480, shown maximised
    gameState s;

    initgraph(&gd, &gm, "");
    if (graphresult() != grOk) {
        // The system's message ends its line itself.
        std::string reason = grapherrormsg(graphresult());
        while (!reason.empty() && std::isspace(static_cast<unsigned char>(reason.back())))
            reason.pop_back();
        std::fprintf(stderr, "snake: the game window could not be opened: %s\n", reason.c_str());
        return EXIT_FAILURE;
    }
    for (int i = 0; i < 3; ++i) s.snake = insert(s.snake, 600, 390);
    std::srand(unsigned(std::time(nullptr)));

    for (;;) {
        if (!frame(s)) std::exit(0); // Enter
        delay(25);
    }
}
