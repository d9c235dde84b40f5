/* CLOCK.C -- a clock face showing ten past ten; compile with the math library */
#include <graphics.h>
#include <math.h>
#include <conio.h>
#include <stdio.h>
#include <stdlib.h>

#define PI 3.14159265

int cx, cy;

void hand(double turns, int length, int thickness, int color)
{
    double a = turns * 2 * PI - PI / 2;
    setcolor(color);
    setlinestyle(SOLID_LINE, 0, thickness);
    line(cx, cy, cx + (int)(length * cos(a)), cy + (int)(length * sin(a)));
}

int main(void)
{
    int gd, gm, lo, hi, i;
    char far *title = "Ten past ten";
    char num[3];

    if (registerbgidriver(EGAVGA_driver) < 0) {
        printf("cannot register the driver\n");
        exit(1);
    }
    registerbgifont(triplex_font);
    setgraphbufsize(8192);
    detectgraph(&gd, &gm);
    getmoderange(gd, &lo, &hi);
    gm = hi > VGAHI ? VGAHI : hi;
    initgraph(&gd, &gm, "");

    cx = getmaxx() / 2;
    cy = getmaxy() / 2;
    setcolor(WHITE);
    setfillstyle(SOLID_FILL, LIGHTGRAY);
    fillellipse(cx, cy, 180, 180);
    settextjustify(CENTER_TEXT, CENTER_TEXT);
    for (i = 1; i <= 12; i++) {
        double a = i * PI / 6 - PI / 2;
        sprintf(num, "%d", i);
        setcolor(BLUE);
        outtextxy(cx + (int)(150 * cos(a)), cy + (int)(150 * sin(a)), num);
    }
    hand(10.0 / 12 + 10.0 / 720, 90, THICK_WIDTH, BLACK);
    hand(10.0 / 60, 140, NORM_WIDTH, RED);
    setlinestyle(SOLID_LINE, 0, NORM_WIDTH);
    settextstyle(TRIPLEX_FONT, HORIZ_DIR, 2);
    setcolor(YELLOW);
    outtextxy(cx, 30, title);
    getch();
    closegraph();
    return 0;
}
