/* EGAPAL.C -- sixteen bars, then a palette of our own */
#include <graphics.h>
#include <conio.h>

struct palettetype pal;

void main()
{
    int gd = VGA, gm = VGAHI, i;
    char s[3];

    initgraph(&gd, &gm, "");
    for (i = 0; i < 16; i++) {
        setfillstyle(SOLID_FILL, i);
        bar(i * 40, 0, i * 40 + 39, 239);
        s[0] = '0' + i / 10; s[1] = '0' + i % 10; s[2] = 0;
        setcolor(i == WHITE ? BLACK : WHITE);
        outtextxy(i * 40 + 12, 120, s);
    }
    for (i = 0; i < 16; i++) {
        setfillstyle(SOLID_FILL, i);
        bar(i * 40, 240, i * 40 + 39, 479);
    }
    /* browns and greys for the right half */
    getpalette(&pal);
    pal.colors[8] = EGA_BROWN;
    pal.colors[9] = EGA_DARKGRAY;
    pal.colors[10] = EGA_LIGHTGRAY;
    pal.colors[11] = -1;
    setallpalette(&pal);
    setpalette(12, EGA_YELLOW);
    setpalette(13, 38);     /* a colour of the 64 that BGI has no name for */
    setrgbpalette(pal.colors[14], 0, 160, 255);
    getch();
    closegraph();
}
