/* Polls kbhit without ever waiting, and draws meanwhile: the page must
   still get the key typed to it. Ends with status 0 on 'q', 3 on another. */
#include <graphics.h>

int main(void) {
    int driver = DETECT, mode = 0;
    long n = 0;
    initgraph(&driver, &mode, "");
    while (!kbhit()) {
        putpixel((int)(n % 640), (int)(n / 640 % 480), (int)(n % 15) + 1);
        n++;
    }
    n = getch();
    closegraph();
    return n == 'q' ? 0 : 3;
}
