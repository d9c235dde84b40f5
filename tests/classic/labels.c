/* LABELS.C -- captions on coloured panels, in several fonts */
#include <graphics.h>
#include <conio.h>

void panel(int x, int y, int w, int h, int c, char *text)
{
    setfillstyle(SOLID_FILL, c);
    bar(x, y, x + w, y + h);
    setcolor(BLACK);
    rectangle(x, y, x + w, y + h);
    setcolor(WHITE);
    outtextxy(x + w / 2, y + h / 2, text);
}

void main()
{
    int gd = DETECT, gm, gothic;

    initgraph(&gd, &gm, "");
    setbkcolor(CYAN);
    cleardevice();
    settextjustify(CENTER_TEXT, CENTER_TEXT);
    panel(40, 40, 260, 100, BLUE, "Blue panel");
    panel(340, 40, 260, 100, RED, "Red panel");
    settextstyle(TRIPLEX_FONT, HORIZ_DIR, 3);
    panel(40, 180, 560, 100, GREEN, "Triplex on green");
    gothic = installuserfont("GOTH.CHR");
    settextstyle(gothic, HORIZ_DIR, 4);
    panel(40, 320, 560, 120, MAGENTA, "Gothic");
    settextstyle(DEFAULT_FONT, VERT_DIR, 1);
    setcolor(YELLOW);
    outtextxy(20, 240, "vertical");
    getch();
    closegraph();
}
