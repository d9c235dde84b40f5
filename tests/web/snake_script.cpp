// The Snake game's own frames (game/gameLoop.cpp), steered by keys it waits
// for, with its pickups taken from a list instead of rand(), so that the
// same keys give the same pictures on the desktop and in a web page (their C
// libraries' rand() differ). A frame places a new pickup after it has drawn,
// so the one it placed is replaced before it is ever drawn. Each key read with getch() turns the
// snake as the game turns it, then the game runs the frames of a number of moves; the last getch,
// with no key left, is where the picture is compared.
//
// Keys "wdsa": up to a pickup, which it eats (4 moves); right (4 moves); then
// down and at once left, two turns within one move, so the snake reverses
// onto itself: "Game Over!".
#include "bgi.h"
#include "gameLoop.h"

#include <cstdlib>
#include <iterator>

int main() {
    int gd = VGA, gm = 3;
    initgraph(&gd, &gm, "");
    gameState s;
    for (int i = 0; i < 3; ++i) s.snake = insert(s.snake, 600, 390);
    const segment pickups[] = {{600, 345}, {300, 150}, {45, 600}};
    std::size_t next_pickup = 0;
    s.pickup = pickups[next_pickup++];
    s.haspickup = 1;
    const int moves_after_key[] = {4, 4, 0, 2};
    std::size_t keys = 0;

    for (;;) {
        const int key = getch();
        const int turn = turnDetection(key, s.direction);
        if (turn == -1) break;
        if (turn >= 0) s.direction = turn;
        const int moves = keys < std::size(moves_after_key) ? moves_after_key[keys] : 0;
        ++keys;
        for (int f = 0; f < moves * (gameState::speed + 1); ++f) {
            const segment placed = s.pickup;
            if (!frame(s)) std::exit(0);
            if ((s.pickup.x != placed.x || s.pickup.y != placed.y) &&
                next_pickup < std::size(pickups))
                s.pickup = pickups[next_pickup++];
            delay(25);
        }
    }
    closegraph();
    return 0;
}
