/* ARROWS.C -- move a box with the cursor keys, ESC to quit */
#include <graphics.h>
#include <conio.h>

#define UP    72
#define DOWN  80
#define LEFT  75
#define RIGHT 77
#define ESC   27

void draw_box(int x, int y, int c)
{
    setfillstyle(SOLID_FILL, c);
    bar(x, y, x + 39, y + 39);
}

void main()
{
    int gd = DETECT, gm, x = 300, y = 220, key;

    initgraph(&gd, &gm, "");
    setcolor(WHITE);
    outtextxy(10, 10, "Arrow keys move the box, ESC quits");
    draw_box(x, y, GREEN);
    while ((key = getch()) != ESC) {
        if (key != 0)
            continue;            /* not an extended key */
        key = getch();           /* the scan code */
        draw_box(x, y, BLACK);
        switch (key) {
        case UP:    y -= 40; break;
        case DOWN:  y += 40; break;
        case LEFT:  x -= 40; break;
        case RIGHT: x += 40; break;
        }
        draw_box(x, y, GREEN);
        setcolor(DARKGRAY);
        rectangle(x - 2, y - 2, x + 41, y + 41);
    }
    closegraph();
}
