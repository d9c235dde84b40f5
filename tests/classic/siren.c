/* SIREN.C -- a police siren: rising and falling tones, a flashing lamp */
#include <graphics.h>
#include <dos.h>
#include <conio.h>
#include <stdlib.h>

void lamp(int c)
{
    setcolor(WHITE);
    setfillstyle(SOLID_FILL, c);
    fillellipse(320, 200, 60, 60);
}

void main()
{
    int gd = DETECT, gm, f, n, times;

    initgraph(&gd, &gm, "");
    setfillstyle(SOLID_FILL, DARKGRAY);
    bar(240, 260, 400, 300);
    settextjustify(CENTER_TEXT, TOP_TEXT);
    outtextxy(320, 320, "WEE-OOO");

    randomize();
    times = 2 + random(2);       /* two or three wails */
    for (n = 0; n < times; n++) {
        lamp(n % 2 ? BLUE : LIGHTRED);
        for (f = 600; f < 1200; f += 100) { sound(f); delay(10); }
        for (f = 1200; f > 600; f -= 100) { sound(f); delay(10); }
    }
    nosound();
    lamp(YELLOW);
    sleep(1);
    outtextxy(320, 400, "Press a key");
    getch();
    closegraph();
}
