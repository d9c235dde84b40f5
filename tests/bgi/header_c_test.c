/* A classic C program: it includes graphics.h, uses the records and
   constants, and links against the library. */
#include <graphics.h>
#include <stdio.h>
#include <string.h>

static int failures = 0;

static void check(int ok, const char *what) {
    if (!ok) {
        printf("failed: %s\n", what);
        ++failures;
    }
}

int main(void) {
    int driver = DETECT, mode = 0;
    struct palettetype palette;
    struct linesettingstype line;
    struct fillsettingstype fill;
    struct textsettingstype text;
    struct viewporttype view;
    struct arccoordstype arc_coords;
    struct activepoint points[2] = {{1.0, 2.0}, {3.0, 4.0}};
    enum colors c = YELLOW;

    detectgraph(&driver, &mode);
    check(driver == VGA && mode == VGAHI, "detectgraph reports VGA in its default mode");
    check(graphresult() == grOk, "no error before initgraph");
    check(getmaxcolor() == MAXCOLORS, "sixteen colours");
    check(strcmp(getdrivername(), "EGAVGA") == 0, "driver name");
    check(sizeof palette == 17 && sizeof palette.colors == MAXCOLORS + 1, "palette record");
    check(sizeof line == 12 && sizeof fill == 8 && sizeof text == 20, "settings records");
    check(sizeof view == 20 && sizeof arc_coords == 24, "viewport and arc records");
    check(sizeof points[0] == 16 && sizeof(struct activepoint3) == 24, "active point records");
    check(c == 14 && WHITE == 15 && USER_FILL == 12 && NOT_PUT == 4 && BOLD_FONT == 10,
          "constant values");
    check(SOLID_LINE == 0 && USERBIT_LINE == 4 && THICK_WIDTH == 3 && TOP_TEXT == 2,
          "line and text constants");
    check(grInvalidVersion == -18 && grNoInitGraph == -1, "error codes");
    return failures == 0 ? 0 : 1;
}
