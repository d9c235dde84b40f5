/* Text: the eleven fonts, horizontal and vertical, justified around a
   point, and measured with textwidth and textheight. Press a key to end. */
#include <graphics.h>
#include <stdio.h>

static const int colours[] = {WHITE, YELLOW, LIGHTGREEN, LIGHTCYAN, LIGHTRED, LIGHTMAGENTA,
                              WHITE, YELLOW, LIGHTGREEN, LIGHTCYAN, LIGHTRED};
/* Character sizes: the default font is 8 pixels high at size 1, the small
   font 5, the others about 20. */
static const int sizes[] = {2, 1, 5, 1, 1, 1, 1, 1, 1, 1, 1};
static const char *names[] = {"DEFAULT_FONT", "TRIPLEX_FONT",  "SMALL_FONT",   "SANS_SERIF_FONT",
                              "GOTHIC_FONT",  "SCRIPT_FONT",   "SIMPLEX_FONT", "TRIPLEX_SCR_FONT",
                              "COMPLEX_FONT", "EUROPEAN_FONT", "BOLD_FONT"};

int main(void) {
    int driver = DETECT, mode = 0;
    int font, y = 10, x, width, height;
    char text[64];

    initgraph(&driver, &mode, "");
    if (graphresult() != grOk) {
        printf("Graphics error: %s\n", grapherrormsg(graphresult()));
        return 1;
    }

    /* One line in each font. */
    for (font = DEFAULT_FONT; font <= BOLD_FONT; font++) {
        setcolor(colours[font]);
        settextstyle(font, HORIZ_DIR, sizes[font]);
        sprintf(text, "%d %s: Hello, BGI!", font, names[font]);
        outtextxy(10, y, text);
        y += textheight(text) + 8;
    }

    /* Vertical text reads upwards, with the head tilted to the left. */
    setcolor(WHITE);
    settextstyle(SANS_SERIF_FONT, VERT_DIR, 2);
    outtextxy(getmaxx() - 40, 40, "VERT_DIR runs upwards");
    settextstyle(TRIPLEX_FONT, VERT_DIR, 1);
    outtextxy(getmaxx() - 90, 40, "triplex, vertical");

    /* Justification: the point given is the left, centre or right end of
       the text, and its top, centre or bottom. The cross marks the point. */
    x = 250;
    y = getmaxy() - 40;
    setcolor(YELLOW);
    settextstyle(GOTHIC_FONT, HORIZ_DIR, 2);
    settextjustify(CENTER_TEXT, CENTER_TEXT);
    outtextxy(x, y, "centred on the cross");
    settextjustify(LEFT_TEXT, TOP_TEXT);
    setcolor(LIGHTRED);
    line(x - 5, y, x + 5, y);
    line(x, y - 5, x, y + 5);

    /* textwidth and textheight measure in the current font and size. */
    width = textwidth("centred on the cross");
    height = textheight("centred on the cross");
    settextstyle(DEFAULT_FONT, HORIZ_DIR, 1);
    sprintf(text, "That text is %d pixels wide and %d high.", width, height);
    setcolor(LIGHTGRAY);
    outtextxy(10, getmaxy() - 12, text);

    getch();
    closegraph();
    return 0;
}
