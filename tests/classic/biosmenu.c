/* BIOSMENU.C -- a menu driven with bioskey: arrows move, ENTER picks */
#include <graphics.h>
#include <bios.h>
#include <stdio.h>

#define KEY_UP    0x4800
#define KEY_DOWN  0x5000
#define KEY_ENTER 0x1C0D
#define KEY_ESC   0x011B

char *items[] = { "New game", "Load game", "Options", "Quit" };

void draw_menu(int sel)
{
    int i;
    for (i = 0; i < 4; i++) {
        setfillstyle(SOLID_FILL, i == sel ? RED : BLUE);
        bar(220, 150 + i * 40, 420, 180 + i * 40);
        setcolor(i == sel ? YELLOW : WHITE);
        outtextxy(240, 160 + i * 40, items[i]);
    }
}

int main(void)
{
    int gd = DETECT, gm, sel = 0, key;
    char msg[40];

    initgraph(&gd, &gm, "");
    draw_menu(sel);
    do {
        while (!bioskey(1))
            ;
        key = bioskey(0);
        if (key == KEY_UP && sel > 0) sel--;
        if (key == KEY_DOWN && sel < 3) sel++;
        draw_menu(sel);
    } while (key != KEY_ENTER && key != KEY_ESC);

    sprintf(msg, "You picked: %s", key == KEY_ESC ? "nothing" : items[sel]);
    setcolor(LIGHTGREEN);
    outtextxy(220, 340, msg);
    bioskey(0);
    closegraph();
    return 0;
}
