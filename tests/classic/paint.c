/* PAINT.C -- draw with the mouse: left button paints, right button quits */
#include <graphics.h>
#include <dos.h>
#include <conio.h>

union REGS in, out;

int mouse_reset(void)
{
    in.x.ax = 0;
    int86(0x33, &in, &out);
    return out.x.ax;
}

void mouse_show(void) { in.x.ax = 1; int86(0x33, &in, &out); }
void mouse_hide(void) { in.x.ax = 2; int86(0x33, &in, &out); }

void mouse_read(int *x, int *y, int *b)
{
    in.x.ax = 3;
    int86(0x33, &in, &out);
    *b = out.x.bx;
    *x = out.x.cx;
    *y = out.x.dx;
}

void mouse_limits(int x1, int y1, int x2, int y2)
{
    struct SREGS s;
    in.x.ax = 7; in.x.cx = x1; in.x.dx = x2;
    int86x(0x33, &in, &out, &s);
    in.x.ax = 8; in.x.cx = y1; in.x.dx = y2;
    int86x(0x33, &in, &out, &s);
}

void main()
{
    int gd = DETECT, gm, x, y, b, ox = -1, oy = -1;

    initgraph(&gd, &gm, "");
    if (!mouse_reset()) {
        closegraph();
        cputs("No mouse driver\r\n");
        return;
    }
    setfillstyle(SOLID_FILL, LIGHTGRAY);
    bar(0, 0, 639, 29);
    setcolor(BLACK);
    outtextxy(8, 10, "Left button: paint   Right button: quit");
    setcolor(WHITE);
    rectangle(49, 49, 591, 431);
    mouse_limits(50, 50, 590, 430);
    mouse_show();

    for (;;) {
        mouse_read(&x, &y, &b);
        if (b & 2)
            break;
        if (b & 1) {
            mouse_hide();
            setcolor(LIGHTCYAN);
            if (ox >= 0)
                line(ox, oy, x, y);
            setfillstyle(SOLID_FILL, MAGENTA);
            fillellipse(x, y, 4, 4);
            mouse_show();
            ox = x; oy = y;
        } else
            ox = -1;
    }
    mouse_hide();
    closegraph();
}
