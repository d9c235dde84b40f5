/* TYPING.C -- what you type appears in big letters; ENTER ends */
#include <graphics.h>
#include <conio.h>
#include <stdio.h>

void main()
{
    int gd = DETECT, gm, c, n = 0;
    char s[2] = " ";

    initgraph(&gd, &gm, "");
    setfillstyle(INTERLEAVE_FILL, DARKGRAY);
    bar(0, 0, 639, 479);
    setcolor(WHITE);
    rectangle(20, 180, 619, 300);
    settextstyle(SANS_SERIF_FONT, HORIZ_DIR, 5);
    moveto(40, 200);
    printf("Type something: ");
    flushall();
    while ((c = getche()) != '\r') {
        s[0] = (char)c;
        setcolor(1 + n % 15);
        outtext(s);
        n++;
    }
    cputs("\r\n");
    settextstyle(DEFAULT_FONT, HORIZ_DIR, 2);
    setcolor(LIGHTGREEN);
    outtextxy(40, 330, "Thank you!");
    getch();
    closegraph();
}
