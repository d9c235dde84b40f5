/* A classic BGI program for the end-to-end run of the zoom: opens a maximised
   window, prints the size it sees ("size W H"), draws a known pattern, and
   prints the position of every left click in its own coordinates
   ("click X Y") until a key is pressed. The pattern: a yellow pixel at
   (100, 50), and a 4 x 4 board of light red and white pixels at (20, 20).
   scripts/e2e.sh runs it with BGI_ZOOM set and checks the screen and the
   clicks. */
#include <graphics.h>
#include <stdio.h>

int main(void) {
    int driver = VGA, mode = 3;
    int x, y, was_down = 0;

    initgraph(&driver, &mode, "");
    if (graphresult() != grOk) {
        fprintf(stderr, "initgraph failed: %s\n", grapherrormsg(graphresult()));
        return 2;
    }
    printf("size %d %d\n", getmaxx() + 1, getmaxy() + 1);
    fflush(stdout);
    putpixel(100, 50, YELLOW);
    for (y = 0; y < 4; ++y)
        for (x = 0; x < 4; ++x) putpixel(20 + x, 20 + y, (x + y) % 2 ? WHITE : LIGHTRED);
    while (!kbhit()) {
        if (balgomb && !was_down) {
            printf("click %d %d\n", egerx, egery);
            fflush(stdout);
        }
        was_down = balgomb;
        delay(10);
    }
    closegraph();
    return 0;
}
