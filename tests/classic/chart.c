/* CHART.C -- sales by quarter as 3-D bars over a dashed grid */
#include <graphics.h>
#include <conio.h>
#include <stdio.h>

int sales[4] = { 120, 250, 180, 310 };

void main()
{
    int gd = DETECT, gm, i, y;
    char label[10];

    initgraph(&gd, &gm, "");
    setfillstyle(SOLID_FILL, BLUE);
    bar(60, 40, 600, 400);

    setcolor(LIGHTGRAY);
    setlinestyle(DASHED_LINE, 0, NORM_WIDTH);
    for (y = 400; y >= 40; y -= 40)
        line(60, y, 600, y);
    setlinestyle(SOLID_LINE, 0, NORM_WIDTH);

    for (i = 0; i < 4; i++) {
        setcolor(WHITE);                       /* outline */
        setfillstyle(i + 2 > 3 ? HATCH_FILL : SOLID_FILL, YELLOW + (i & 1));
        bar3d(100 + i * 120, 400 - sales[i], 160 + i * 120, 400, 15, 1);
        sprintf(label, "Q%d", i + 1);
        outtextxy(120 + i * 120, 410, label);
    }
    /* the legend: a white box with a red frame */
    setfillstyle(SOLID_FILL, WHITE);
    setcolor(LIGHTRED);
    bar(500, 50, 590, 80);
    rectangle(500, 50, 590, 80);
    setcolor(BLACK);
    outtextxy(525, 62, "Sales");

    setcolor(LIGHTRED);
    setlinestyle(DOTTED_LINE, 0, THICK_WIDTH);
    rectangle(50, 30, 610, 430);
    getch();
    closegraph();
}
