/* Palette animation: the picture is drawn once, and then only the palette
   changes. Every pixel holds a colour number, not a colour, so changing
   what a number shows (setpalette, setrgbpalette) recolours everything
   drawn in it at once, without drawing a single pixel. */
#include <graphics.h>
#include <stdio.h>

#define RINGS 14 /* colours 1 to 14 cycle; 15 (white) stays for the text */

/* A colour of the rainbow for h = 0..383, as red, green and blue 0..252:
   six stretches of 64 steps, in each of which one component rises or falls. */
static void rainbow(int h, int *r, int *g, int *b) {
    int step = (h % 64) * 4, part = h / 64;
    *r = part == 0 || part == 5 ? 252 : part == 1 ? 252 - step : part == 4 ? step : 0;
    *g = part == 1 || part == 2 ? 252 : part == 0 ? step : part == 3 ? 252 - step : 0;
    *b = part == 3 || part == 4 ? 252 : part == 2 ? step : part == 5 ? 252 - step : 0;
}

int main(void) {
    int driver = DETECT, mode = 0;
    int i, frame, r, g, b, cx, cy;

    initgraph(&driver, &mode, "");
    if (graphresult() != grOk) {
        printf("Graphics error: %s\n", grapherrormsg(graphresult()));
        return 1;
    }
    cx = getmaxx() / 2;
    cy = getmaxy() / 2 + 10;

    /* Rings from the outside in, in colours 1 to 14. */
    for (i = 0; i < RINGS; i++) {
        setcolor(i + 1);
        setfillstyle(SOLID_FILL, i + 1);
        fillellipse(cx, cy, 220 - i * 15, 200 - i * 14);
    }
    setcolor(WHITE);
    settextjustify(CENTER_TEXT, TOP_TEXT);
    outtextxy(cx, 5, "Palette animation: nothing is redrawn, the colours move");

    /* Colour cycling with setpalette: colour number i shows standard colour
       (i + frame) of the 14, so the colours flow outwards. */
    for (frame = 0; frame < 28 && !kbhit(); frame++) {
        for (i = 1; i <= RINGS; i++) setpalette(i, 1 + (i + frame) % RINGS);
        delay(40);
    }

    /* Any colour with setrgbpalette: a rainbow that flows inwards. */
    for (frame = 0; frame < 96 && !kbhit(); frame++) {
        for (i = 1; i <= RINGS; i++) {
            rainbow((i * 24 + frame * 8) % 384, &r, &g, &b);
            setrgbpalette(i, r, g, b);
        }
        delay(20);
    }

    outtextxy(cx, getmaxy() - 20, "Press a key");
    getch();
    closegraph();
    return 0;
}
