/* A classic BGI program for the end-to-end run: opens a maximised window,
   turns it blue, and echoes every key it reads, one number per line, until
   Enter. scripts/e2e.sh types the keys and checks the screen and the echo. */
#include <graphics.h>
#include <stdio.h>

int main(void) {
    int driver = VGA, mode = 3;
    int c;

    initgraph(&driver, &mode, "");
    if (graphresult() != grOk) {
        fprintf(stderr, "initgraph failed: %s\n", grapherrormsg(graphresult()));
        return 2;
    }
    /* Colour 0 is the background everywhere; its new colour shows at once. */
    setbkcolor(BLUE);
    do {
        c = getch();
        printf("%d\n", c);
        fflush(stdout);
    } while (c != 13);
    closegraph();
    return 0;
}
