/* Shapes and fill patterns: every fill pattern of setfillstyle (and one of
   our own with setfillpattern), the line styles of setlinestyle, and the
   outlined and filled shapes of the library. Press a key to end. */
#include <graphics.h>
#include <stdio.h>

/* An 8 x 8 pattern of our own: one byte a row, bit 7 the leftmost pixel. */
static unsigned char heart[8] = {0x00, 0x66, 0xFF, 0xFF, 0x7E, 0x3C, 0x18, 0x00};

/* A five-pointed star around (x, y) as a list of x, y pairs: ten corners,
   and the first again at the end, which closes the outline of drawpoly
   (fillpoly closes a polygon itself). */
static void make_star(int *points, int x, int y) {
    static const int corners[20] = {0, -45, 11,  -15, 43,  -14, 17,  6,   26,  36,
                                    0, 18,  -26, 36,  -17, 6,   -43, -14, -11, -15};
    int i;
    for (i = 0; i < 22; i += 2) {
        points[i] = x + corners[i % 20];
        points[i + 1] = y + corners[i % 20 + 1];
    }
}

int main(void) {
    int driver = DETECT, mode = 0;
    int i, x, y, star[22];
    char label[8];

    initgraph(&driver, &mode, "");
    if (graphresult() != grOk) {
        printf("Graphics error: %s\n", grapherrormsg(graphresult()));
        return 1;
    }

    /* The patterns 0 (EMPTY_FILL) to 11 (CLOSE_DOT_FILL), and the user
       pattern (12), each in a colour of its own. */
    outtextxy(10, 10, "Fill patterns 0 to 12");
    for (i = EMPTY_FILL; i <= USER_FILL; i++) {
        x = 10 + i * 48;
        if (i == USER_FILL)
            setfillpattern((const char *)heart, LIGHTRED);
        else
            setfillstyle(i, 1 + i % 15);
        bar(x, 30, x + 40, 90);       /* filled, without an outline */
        rectangle(x, 30, x + 40, 90); /* the outline, in the drawing colour */
        sprintf(label, "%d", i);
        outtextxy(x + 14, 96, label);
    }

    /* Line styles: solid, dotted, centre, dashed and a bit pattern of our
       own, one pixel and three pixels thick. */
    outtextxy(10, 125, "Line styles");
    for (i = SOLID_LINE; i <= USERBIT_LINE; i++) {
        setlinestyle(i, 0xF0F0, NORM_WIDTH);
        line(10, 145 + i * 12, 300, 145 + i * 12);
        setlinestyle(i, 0xF0F0, THICK_WIDTH);
        line(330, 145 + i * 12, 620, 145 + i * 12);
    }
    setlinestyle(SOLID_LINE, 0, NORM_WIDTH);

    /* Outlines, in the drawing colour. */
    setcolor(YELLOW);
    circle(55, 270, 45);
    ellipse(160, 270, 0, 360, 50, 30);
    arc(265, 295, 0, 180, 45);
    rectangle(330, 230, 410, 310);
    make_star(star, 475, 275);
    drawpoly(11, star);

    /* floodfill paints outward from a point up to a border colour. */
    setcolor(LIGHTBLUE);
    rectangle(540, 230, 625, 310);
    line(540, 230, 625, 310);
    setfillstyle(WIDE_DOT_FILL, LIGHTBLUE);
    floodfill(600, 250, LIGHTBLUE);

    /* Filled shapes: the outline in the drawing colour, the inside in the
       fill pattern and fill colour. */
    setcolor(WHITE);
    setfillstyle(SOLID_FILL, GREEN);
    fillellipse(55, 400, 45, 35);
    setfillstyle(HATCH_FILL, CYAN);
    pieslice(160, 400, 30, 300, 45);
    setfillstyle(SLASH_FILL, MAGENTA);
    sector(265, 400, 0, 270, 50, 35);
    setfillstyle(SOLID_FILL, BLUE);
    bar3d(330, 375, 395, 445, 15, 1);
    setfillstyle(XHATCH_FILL, LIGHTGREEN);
    make_star(star, 475, 405);
    fillpoly(10, star);

    /* Single pixels, one colour each. */
    for (y = 0; y < 8; y++)
        for (x = 0; x < 8; x++) putpixel(545 + x * 10, 365 + y * 10, (x + y) % 15 + 1);

    getch();
    closegraph();
    return 0;
}
