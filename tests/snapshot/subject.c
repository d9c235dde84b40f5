/* A BGI program for the snapshot tests; its first argument says how it
   behaves. Every mode draws a red bar at (10, 10)-(49, 29) first.
     keys     echoes each key it reads, one number a line, and draws a bar
              for it (key n: x from 60 + 20 n, in colour key % 15 + 1)
              until Enter; then closegraph, or with a second argument
              "return", returns from main with the window open
     palette  a bar in colour 2 at (100, 100), then colour 2 made
              RGB (200, 100, 40); returns
     exit     exit(3) from the drawing, without closegraph
     delay    delays for ever
     poll     polls kbhit until a key comes; then returns
     draw     draws pixels for ever, never looking for input
     compute  computes for ever, calling nothing
     mouse    prints the mouse's position and buttons whenever they change,
              until the right button is down; then waits for a key
     maximised  a maximised window, then a wait for a key
     pages    a green bar at (100, 100)-(139, 139) on page 1, which is then
              shown, and a blue one at (200, 200)-(239, 239) on page 0,
              hidden; a wait for a key, page 0 shown, a wait for a key */
#include <graphics.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char **argv) {
    int driver = VGA, mode = VGAHI, c = 0, n = 0;
    const char *what = argc > 1 ? argv[1] : "keys";

    if (strcmp(what, "maximised") == 0) mode = 3;
    initgraph(&driver, &mode, "");
    if (graphresult() != grOk) return 2;
    setfillstyle(SOLID_FILL, RED);
    bar(10, 10, 49, 29);

    if (strcmp(what, "keys") == 0 || strcmp(what, "maximised") == 0) {
        while ((c = getch()) != 13) {
            printf("%d\n", c);
            fflush(stdout);
            setfillstyle(SOLID_FILL, c % 15 + 1);
            bar(60 + 20 * n, 10, 60 + 20 * n + 9, 29);
            n++;
        }
        printf("13\n");
        if (argc > 2 && strcmp(argv[2], "return") == 0) return 0;
        closegraph();
        /* Nothing of this reaches a picture: the window is gone. */
        return 0;
    }
    if (strcmp(what, "palette") == 0) {
        setfillstyle(SOLID_FILL, GREEN);
        bar(100, 100, 139, 139);
        setrgbpalette(GREEN, 200, 100, 40);
        return 0;
    }
    if (strcmp(what, "pages") == 0) {
        setactivepage(1);
        setfillstyle(SOLID_FILL, GREEN);
        bar(100, 100, 139, 139);
        setvisualpage(1);
        setactivepage(0);
        setfillstyle(SOLID_FILL, BLUE);
        bar(200, 200, 239, 239);
        getch();
        setvisualpage(0);
        getch();
        return 0;
    }
    if (strcmp(what, "exit") == 0) exit(3);
    if (strcmp(what, "delay") == 0)
        for (;;) delay(10);
    if (strcmp(what, "poll") == 0)
        while (!kbhit()) {
        }
    if (strcmp(what, "draw") == 0)
        for (;;) putpixel(n++ % 640, 200, c = (c + 1) % 16);
    if (strcmp(what, "compute") == 0) {
        volatile unsigned spin = 0;
        for (;;) spin++;
    }
    if (strcmp(what, "mouse") == 0) {
        int x = -1, y = -1, left = -1;
        while (!jobbgomb) {
            kbhit();
            if (egerx == x && egery == y && balgomb == left) continue;
            x = egerx, y = egery, left = balgomb;
            printf("%d %d %d\n", x, y, left);
        }
        printf("right\n");
        getch();
        return 0;
    }
    return 4;
}
