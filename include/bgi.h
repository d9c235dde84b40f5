/*
 * The BGI graphics API: functions, constants, records and the colour names
 * of the classic Borland Graphics Interface, drawn in a window.
 *
 * Self-contained C99 and C++; exposes nothing of the platform underneath.
 */
#ifndef BGI_H
#define BGI_H

#ifdef __cplusplus
extern "C" {
#endif

/* The shared library exports the names declared here and nothing else. */
#if defined(__GNUC__) && !defined(_WIN32)
#pragma GCC visibility push(default)
#endif

/* Graphics drivers, as initgraph and detectgraph name them. */
enum graphics_drivers {
    DETECT = 0,
    CGA = 1,
    MCGA = 2,
    EGA = 3,
    EGA64 = 4,
    EGAMONO = 5,
    IBM8514 = 6,
    HERCMONO = 7,
    ATT400 = 8,
    VGA = 9,
    PC3270 = 10
};

/* Graphics modes of each driver. */
enum graphics_modes {
    CGAC0 = 0,
    CGAC1 = 1,
    CGAC2 = 2,
    CGAC3 = 3,
    CGAHI = 4,
    MCGAC0 = 0,
    MCGAC1 = 1,
    MCGAC2 = 2,
    MCGAC3 = 3,
    MCGAMED = 4,
    MCGAHI = 5,
    EGALO = 0,
    EGAHI = 1,
    EGA64LO = 0,
    EGA64HI = 1,
    EGAMONOHI = 3,
    HERCMONOHI = 0,
    ATT400C0 = 0,
    ATT400C1 = 1,
    ATT400C2 = 2,
    ATT400C3 = 3,
    ATT400MED = 4,
    ATT400HI = 5,
    VGALO = 0,
    VGAMED = 1,
    VGAHI = 2,
    PC3270HI = 0,
    IBM8514LO = 0,
    IBM8514HI = 1
};

/* Results of graphresult. */
enum graphics_errors {
    grOk = 0,
    grNoInitGraph = -1,
    grNotDetected = -2,
    grFileNotFound = -3,
    grInvalidDriver = -4,
    grNoLoadMem = -5,
    grNoScanMem = -6,
    grNoFloodMem = -7,
    grFontNotFound = -8,
    grNoFontMem = -9,
    grInvalidMode = -10,
    grError = -11,
    grIOerror = -12,
    grInvalidFont = -13,
    grInvalidFontNum = -14,
    grInvalidVersion = -18
};

/* The 16 colours: BLACK, BLUE, ... WHITE. */
#include "bgi_colors.h"

#define MAXCOLORS 15

enum line_styles {
    SOLID_LINE = 0,
    DOTTED_LINE = 1,
    CENTER_LINE = 2,
    DASHED_LINE = 3,
    USERBIT_LINE = 4
};
enum line_widths { NORM_WIDTH = 1, THICK_WIDTH = 3 };

enum fill_patterns {
    EMPTY_FILL = 0,
    SOLID_FILL = 1,
    LINE_FILL = 2,
    LTSLASH_FILL = 3,
    SLASH_FILL = 4,
    BKSLASH_FILL = 5,
    LTBKSLASH_FILL = 6,
    HATCH_FILL = 7,
    XHATCH_FILL = 8,
    INTERLEAVE_FILL = 9,
    WIDE_DOT_FILL = 10,
    CLOSE_DOT_FILL = 11,
    USER_FILL = 12
};

/* Put modes of putimage; the first four are also the write modes of setwritemode. */
enum putimage_ops { COPY_PUT = 0, XOR_PUT = 1, OR_PUT = 2, AND_PUT = 3, NOT_PUT = 4 };

enum font_names {
    DEFAULT_FONT = 0,
    TRIPLEX_FONT = 1,
    SMALL_FONT = 2,
    SANS_SERIF_FONT = 3,
    GOTHIC_FONT = 4,
    SCRIPT_FONT = 5,
    SIMPLEX_FONT = 6,
    TRIPLEX_SCR_FONT = 7,
    COMPLEX_FONT = 8,
    EUROPEAN_FONT = 9,
    BOLD_FONT = 10
};

#define HORIZ_DIR 0
#define VERT_DIR 1
#define USER_CHAR_SIZE 0

enum text_just { LEFT_TEXT = 0, CENTER_TEXT = 1, RIGHT_TEXT = 2, BOTTOM_TEXT = 0, TOP_TEXT = 2 };

struct palettetype {
    unsigned char size;
    signed char colors[MAXCOLORS + 1];
};

struct linesettingstype {
    int linestyle;
    unsigned upattern;
    int thickness;
};

struct fillsettingstype {
    int pattern;
    int color;
};

struct textsettingstype {
    int font;
    int direction;
    int charsize;
    int horiz;
    int vert;
};

struct viewporttype {
    int left, top, right, bottom;
    int clip;
};

struct arccoordstype {
    int x, y;
    int xstart, ystart, xend, yend;
};

/* A point that getactivepoint tests against the mouse position. */
struct activepoint {
    double x, y;
};

/* The same with a third coordinate, which the hit test ignores. */
struct activepoint3 {
    double x, y, z;
};

/* Configuration, settable before initgraph. */
extern int bgiemu_handle_redraw; /* non-zero: drawing also goes to the page, so paints restore it */
extern int bgiemu_default_mode;  /* the mode reported for an auto-detected driver */

/* Mouse state: last position over the window, left and right button down. */
extern int egerx, egery;
extern char balgomb, jobbgomb;

/* Set-up, state and errors */
void initgraph(int *graphdriver, int *graphmode, const char *pathtodriver);
void closegraph(void);
void detectgraph(int *graphdriver, int *graphmode);
int graphresult(void);
char *grapherrormsg(int errorcode);
int getmaxx(void);
int getmaxy(void);
int getmaxcolor(void);
int getmaxmode(void);
char *getmodename(int mode_number);
char *getdrivername(void);
int getgraphmode(void);
void setgraphmode(int mode);
void restorecrtmode(void);
void graphdefaults(void);
void setaspectratio(int xasp, int yasp);
void getaspectratio(int *xasp, int *yasp);

/* Classic set-up: the modes of a driver, and the drivers and fonts that DOS
   programs load or link themselves (the window needs none of them). */
void getmoderange(int graphdriver, int *lomode, int *himode);
int installuserdriver(const char *name, int (*detect)(void));
int installuserfont(const char *name);
int registerbgidriver(void (*driver)(void));
int registerbgifont(void (*font)(void));
unsigned setgraphbufsize(unsigned bufsize);

/* Input and timing */
void delay(unsigned int milliseconds);
int kbhit(void);
int getch(void);
int getactivepoint(const struct activepoint *points, int count, int radius);
int getactivepoint3(const struct activepoint3 *points, int count, int radius);

/* Pages, viewport and current position */
void setactivepage(int page);
void setvisualpage(int page);
void cleardevice(void);
void clearviewport(void);
void setviewport(int left, int top, int right, int bottom, int clip);
void getviewsettings(struct viewporttype *viewport);
void moveto(int x, int y);
void moverel(int dx, int dy);
int getx(void);
int gety(void);

/* Palette and colours */
void setcolor(int color);
int getcolor(void);
void setbkcolor(int color);
int getbkcolor(void);
void setpalette(int colornum, int color);
void setrgbpalette(int colornum, int red, int green, int blue);
void setallpalette(const struct palettetype *palette);
void getpalette(struct palettetype *palette);
struct palettetype *getdefaultpalette(void);
int getpalettesize(void);

/* Line style and write mode */
void setlinestyle(int linestyle, unsigned upattern, int thickness);
void getlinesettings(struct linesettingstype *lineinfo);
void setwritemode(int mode);

/* Fill style */
void setfillstyle(int pattern, int color);
void getfillsettings(struct fillsettingstype *fillinfo);
void setfillpattern(const char *upattern, int color);
void getfillpattern(char *pattern);

/* Lines, polygons, bars and pixels; a point list is pairs of ints, x first */
void lineto(int x, int y);
void linerel(int dx, int dy);
void line(int x1, int y1, int x2, int y2);
void drawpoly(int numpoints, const int *polypoints);
void rectangle(int left, int top, int right, int bottom);
void fillpoly(int numpoints, const int *polypoints);
void bar(int left, int top, int right, int bottom);
void bar3d(int left, int top, int right, int bottom, int depth, int topflag);
void floodfill(int x, int y, int border);
void putpixel(int x, int y, int color);
int getpixel(int x, int y);

/* Arcs, circles and ellipses */
void arc(int x, int y, int stangle, int endangle, int radius);
void circle(int x, int y, int radius);
void pieslice(int x, int y, int stangle, int endangle, int radius);
void ellipse(int x, int y, int stangle, int endangle, int xradius, int yradius);
void fillellipse(int x, int y, int xradius, int yradius);
void sector(int x, int y, int stangle, int endangle, int xradius, int yradius);
void getarccoords(struct arccoordstype *arccoords);

/* Text */
void settextstyle(int font, int direction, int charsize);
void settextjustify(int horiz, int vert);
void setusercharsize(int multx, int divx, int multy, int divy);
void gettextsettings(struct textsettingstype *texttypeinfo);
void outtext(const char *textstring);
void outtextxy(int x, int y, const char *textstring);
int textwidth(const char *textstring);
int textheight(const char *textstring);

/* Images */
unsigned int imagesize(int left, int top, int right, int bottom);
void getimage(int left, int top, int right, int bottom, void *bitmap);
void putimage(int left, int top, const void *bitmap, int op);

#if defined(__GNUC__) && !defined(_WIN32)
#pragma GCC visibility pop
#endif

#ifdef __cplusplus
}
#endif

#endif /* BGI_H */
