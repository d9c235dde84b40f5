/* MENU.C -- a text-mode menu before the graphics start */
#include <stdio.h>
#include <conio.h>
#include <graphics.h>

void main()
{
    int gd = DETECT, gm, choice, i;

    clrscr();
    textcolor(YELLOW);
    textbackground(BLUE);
    gotoxy(30, 5);
    cprintf(" SHAPES DEMO ");
    textcolor(LIGHTGRAY);
    textbackground(BLACK);
    gotoxy(30, 7);  cprintf("1. Circles");
    gotoxy(30, 8);  cprintf("2. Squares");
    gotoxy(30, 9);  cprintf("3. Quit");
    gotoxy(30, 11); cprintf("Your choice: ");
    choice = getche();
    cputs("\r\n");
    if (choice == '3')
        return;

    initgraph(&gd, &gm, "");
    for (i = 0; i < 10; i++) {
        setcolor(i + 1);
        if (choice == '1')
            circle(320, 240, 20 + i * 20);
        else
            rectangle(320 - 20 - i * 20, 240 - 20 - i * 20, 320 + 20 + i * 20, 240 + 20 + i * 20);
    }
    outtextxy(10, 10, choice == '1' ? "Circles" : "Squares");
    getch();
    closegraph();
}
