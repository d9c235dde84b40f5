/* Double-buffered animation with pages. Each frame is drawn on the page
   that is not shown (setactivepage), and shown whole when it is finished
   (setvisualpage): the viewer never sees a half-drawn frame, however long
   the drawing takes. Press a key to end. */
#include <graphics.h>
#include <math.h>
#include <stdio.h>

#define FRAMES 90 /* frames shown */
#define TURN 120  /* frames of a whole turn of the hand */

/* One frame: a clock-like hand sweeping over a grid, and a frame count. */
static void draw_frame(int frame) {
    int cx = getmaxx() / 2, cy = getmaxy() / 2, x, y;
    double angle = frame * 2 * 3.14159265 / TURN;
    char text[64];

    cleardevice(); /* the active page only */
    setcolor(DARKGRAY);
    for (x = 0; x <= getmaxx(); x += 40) line(x, 0, x, getmaxy());
    for (y = 0; y <= getmaxy(); y += 40) line(0, y, getmaxx(), y);

    setcolor(WHITE);
    circle(cx, cy, 180);
    setfillstyle(SOLID_FILL, CYAN);
    if (frame > 0) pieslice(cx, cy, 90 - frame * 360 / TURN, 90, 170);
    setlinestyle(SOLID_LINE, 0, THICK_WIDTH);
    setcolor(YELLOW);
    line(cx, cy, cx + (int)(170 * sin(angle)), cy - (int)(170 * cos(angle)));
    setlinestyle(SOLID_LINE, 0, NORM_WIDTH);

    setcolor(WHITE);
    sprintf(text, "Frame %d of %d, drawn on page %d", frame + 1, FRAMES, frame % 2);
    outtextxy(10, 10, text);
}

int main(void) {
    int driver = DETECT, mode = 0;
    int frame, page = 0;

    initgraph(&driver, &mode, "");
    if (graphresult() != grOk) {
        printf("Graphics error: %s\n", grapherrormsg(graphresult()));
        return 1;
    }

    for (frame = 0; frame < FRAMES && !kbhit(); frame++) {
        setactivepage(page); /* draw where nobody looks */
        draw_frame(frame);
        setvisualpage(page); /* and show it when it is done */
        page = 1 - page;
        delay(20);
    }

    getch();
    closegraph();
    return 0;
}
