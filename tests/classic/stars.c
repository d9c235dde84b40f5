/* STARS.C -- a night sky: random stars, a moon, a house with a lit window */
#include <graphics.h>
#include <stdlib.h>
#include <conio.h>

void main()
{
    int gd = DETECT, gm, i;
    int roof[] = { 200, 300, 300, 220, 400, 300, 200, 300 };

    initgraph(&gd, &gm, "");
    srand(1990);                    /* the same sky every time */
    for (i = 0; i < 400; i++)
        putpixel(random(640), random(300), random(2) ? WHITE : YELLOW);
    setcolor(YELLOW);
    setfillstyle(SOLID_FILL, YELLOW);
    fillellipse(540, 80, 40, 40);
    setfillstyle(SOLID_FILL, BLACK);
    fillellipse(520, 70, 36, 36);   /* a crescent */

    setcolor(BROWN);
    setfillstyle(SOLID_FILL, BROWN);
    bar(0, 400, 639, 479);
    setcolor(LIGHTGRAY);
    setfillstyle(CLOSE_DOT_FILL, LIGHTGRAY);
    bar(210, 300, 390, 400);
    setcolor(RED);
    setfillstyle(SOLID_FILL, RED);
    fillpoly(4, roof);
    setfillstyle(SOLID_FILL, YELLOW);
    bar(240, 330, 280, 370);
    getch();
    closegraph();
}
