/* Moving sprites with getimage and putimage. A ball is drawn once and
   copied into memory with getimage; putimage then puts copies of it
   anywhere. Put with XOR_PUT, a copy goes away when put a second time at
   the same place, and the background under it comes back: that is how
   the balls move over the pattern without redrawing it. Press a key to end. */
#include <graphics.h>
#include <stdio.h>
#include <stdlib.h>

#define BALLS 5
#define SIZE 31 /* the sprite is SIZE x SIZE pixels */

int main(void) {
    int driver = DETECT, mode = 0;
    int x[BALLS], y[BALLS], dx[BALLS], dy[BALLS];
    int i, frame, maxx, maxy;
    void *ball;

    initgraph(&driver, &mode, "");
    if (graphresult() != grOk) {
        printf("Graphics error: %s\n", grapherrormsg(graphresult()));
        return 1;
    }
    maxx = getmaxx();
    maxy = getmaxy();

    /* The sprite: a ball in the top-left corner, copied into a block of
       memory as large as imagesize says, and then cleared away. */
    setcolor(YELLOW);
    setfillstyle(SOLID_FILL, YELLOW);
    fillellipse(SIZE / 2, SIZE / 2, SIZE / 2, SIZE / 2);
    setfillstyle(SOLID_FILL, RED);
    fillellipse(SIZE / 2 - 4, SIZE / 2 - 4, 4, 4);
    ball = malloc(imagesize(0, 0, SIZE - 1, SIZE - 1));
    if (!ball) {
        closegraph();
        printf("Not enough memory for the sprite\n");
        return 1;
    }
    getimage(0, 0, SIZE - 1, SIZE - 1, ball);
    cleardevice();

    /* A background for the balls to move over. */
    setfillstyle(CLOSE_DOT_FILL, GREEN);
    bar(0, 0, maxx, maxy);
    setcolor(WHITE);
    outtextxy(10, 10, "Sprites: putimage with XOR_PUT, twice at the same place, erases");

    /* Five balls, each starting somewhere else with a speed of its own. */
    for (i = 0; i < BALLS; i++) {
        x[i] = 40 + i * 110;
        y[i] = 60 + i * 70;
        dx[i] = 3 + i;
        dy[i] = 5 - i;
        putimage(x[i], y[i], ball, XOR_PUT);
    }

    for (frame = 0; frame < 120 && !kbhit(); frame++) {
        delay(15);
        for (i = 0; i < BALLS; i++) {
            putimage(x[i], y[i], ball, XOR_PUT); /* away from the old place */
            x[i] += dx[i];
            y[i] += dy[i];
            if (x[i] < 0 || x[i] > maxx - SIZE) dx[i] = -dx[i];
            if (y[i] < 30 || y[i] > maxy - SIZE) dy[i] = -dy[i];
            putimage(x[i], y[i], ball, XOR_PUT); /* onto the new one */
        }
    }

    /* COPY_PUT stamps the sprite as it is, covering what is under it. */
    for (i = 0; i < 4; i++) putimage(10 + i * (SIZE + 4), maxy - SIZE - 10, ball, COPY_PUT);

    getch();
    free(ball);
    closegraph();
    return 0;
}
