/* A rubber band with the mouse: press the left button, drag, release.
   While you drag, the rectangle is drawn in XOR mode: drawing the same
   rectangle a second time takes it away again and leaves the picture
   under it as it was, so the band can follow the mouse over anything.
   A released rectangle is drawn for good. Press a key to end.

   The mouse is read from four globals that the library keeps up to date
   whenever it handles window messages (in delay, kbhit and getch):
   egerx and egery, the position, and balgomb and jobbgomb, the left and
   the right button (non-zero while held down). */
#include <graphics.h>
#include <stdio.h>

/* The band: one rectangle drawn in XOR mode. */
static void band(int x0, int y0, int x1, int y1) {
    setwritemode(XOR_PUT);
    rectangle(x0, y0, x1, y1);
    setwritemode(COPY_PUT);
}

int main(void) {
    int driver = DETECT, mode = 0;
    int dragging = 0, x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int colour = LIGHTRED;

    initgraph(&driver, &mode, "");
    if (graphresult() != grOk) {
        printf("Graphics error: %s\n", grapherrormsg(graphresult()));
        return 1;
    }

    /* Something under the band, to show that XOR leaves it intact. */
    setfillstyle(HATCH_FILL, BLUE);
    bar(0, 40, getmaxx(), getmaxy());
    setcolor(WHITE);
    outtextxy(10, 10, "Drag with the left button to draw rectangles; a key ends.");
    outtextxy(10, 24, "The band is drawn in XOR mode: a second drawing erases it.");
    /* XOR combines colour numbers: the yellow band (14) shows yellow over
       black (0) and white (14 XOR 1 = 15) over the blue (1) hatching. */
    setcolor(YELLOW);

    while (!kbhit()) {
        delay(10); /* wait a little; mouse messages arrive meanwhile */
        if (!dragging && balgomb) {
            /* The button went down: the band starts as a point. */
            x0 = x1 = egerx;
            y0 = y1 = egery;
            band(x0, y0, x1, y1);
            dragging = 1;
        } else if (dragging && balgomb && (egerx != x1 || egery != y1)) {
            /* The mouse moved: erase the old band, draw the new one. */
            band(x0, y0, x1, y1);
            x1 = egerx;
            y1 = egery;
            band(x0, y0, x1, y1);
        } else if (dragging && !balgomb) {
            /* Released: erase the band and draw the rectangle for good. */
            band(x0, y0, x1, y1);
            setcolor(colour);
            rectangle(x0, y0, x1, y1);
            colour = colour == WHITE ? LIGHTBLUE : colour + 1;
            setcolor(YELLOW);
            dragging = 0;
        }
    }

    getch();
    closegraph();
    return 0;
}
