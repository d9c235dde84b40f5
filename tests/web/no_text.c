/* A program without text: the size of a page that carries no fonts. */
#include <graphics.h>

int main(void) {
    int driver = DETECT, mode = 0;
    initgraph(&driver, &mode, "");
    setfillstyle(SOLID_FILL, BLUE);
    bar(20, 20, 200, 120);
    setcolor(YELLOW);
    circle(320, 240, 100);
    getch();
    closegraph();
    return 0;
}
