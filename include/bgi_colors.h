/*
 * The sixteen colour names, shared by bgi.h and conio.h: the graphics
 * colours and the console's text colours have the same numbers.
 */
#ifndef BGI_COLORS_H
#define BGI_COLORS_H

enum colors {
    BLACK,
    BLUE,
    GREEN,
    CYAN,
    RED,
    MAGENTA,
    BROWN,
    LIGHTGRAY,
    DARKGRAY,
    LIGHTBLUE,
    LIGHTGREEN,
    LIGHTCYAN,
    LIGHTRED,
    LIGHTMAGENTA,
    YELLOW,
    WHITE
};

#endif /* BGI_COLORS_H */
