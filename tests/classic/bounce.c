/* BOUNCE.C -- a ball bounces in a box until a key is pressed */
#include <graphics.h>
#include <conio.h>
#include <dos.h>
#include <stdio.h>
#include <stdlib.h>

#define R 12

void main()
{
    int gd = DETECT, gm, err;
    int x = 100, y = 80, dx = 5, dy = 3, frame;

    initgraph(&gd, &gm, "C:\\TC\\BGI");
    err = graphresult();
    if (err != grOk) {
        printf("Graphics error: %s\n", grapherrormsg(err));
        getch();
        exit(1);
    }

    setcolor(WHITE);
    rectangle(20, 20, 619, 459);
    setfillstyle(SOLID_FILL, RED);

    /* 150 frames or a key, whichever comes first */
    for (frame = 0; frame < 150 && !kbhit(); frame++) {
        setcolor(BLACK);
        setfillstyle(SOLID_FILL, BLACK);
        fillellipse(x, y, R, R);
        x += dx; y += dy;
        if (x < 20 + R + 1 || x > 619 - R - 1) dx = -dx;
        if (y < 20 + R + 1 || y > 459 - R - 1) dy = -dy;
        setcolor(YELLOW);
        setfillstyle(SOLID_FILL, RED);
        fillellipse(x, y, R, R);
        delay(5);
    }

    setcolor(LIGHTGREEN);
    outtextxy(240, 230, "Press any key...");
    getch();
    closegraph();
}
