/*
 * The header classic BGI programs include: the API of bgi.h, and what
 * programs written for DOS-era compilers took from this header or from the
 * compiler's own runtime: the EGA colour codes, the linkable drivers and
 * fonts of registerbgidriver and registerbgifont, the memory hooks,
 * random(n), randomize() and flushall(), and the far, near and huge
 * qualifiers of 16-bit pointers, which mean nothing here.
 *
 * conio.h, dos.h and bios.h, installed beside it, give the console, the
 * mouse interrupt, sound and the BIOS keyboard.
 */
#ifndef GRAPHICS_H
#define GRAPHICS_H

/* Included first, so that their declarations are made before random and
   flushall take their DOS forms below. */
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include "bgi.h"

#include "bgi_far.h"

/* The 64 colours of an EGA or VGA palette are 6-bit codes, two bits of each
   of red, green and blue: these are the default sixteen. setpalette and
   setallpalette take such codes when classic behaviour is asked for
   (BGI_CLASSIC=1). */
enum EGA_colors {
    EGA_BLACK = 0,
    EGA_BLUE = 1,
    EGA_GREEN = 2,
    EGA_CYAN = 3,
    EGA_RED = 4,
    EGA_MAGENTA = 5,
    EGA_LIGHTGRAY = 7,
    EGA_BROWN = 20,
    EGA_DARKGRAY = 56,
    EGA_LIGHTBLUE = 57,
    EGA_LIGHTGREEN = 58,
    EGA_LIGHTCYAN = 59,
    EGA_LIGHTRED = 60,
    EGA_LIGHTMAGENTA = 61,
    EGA_YELLOW = 62,
    EGA_WHITE = 63
};

#ifdef __cplusplus
extern "C" {
#endif
#if defined(__GNUC__) && !defined(_WIN32)
#pragma GCC visibility push(default)
#endif

/* Drivers and fonts that DOS programs linked into themselves, for
   registerbgidriver(EGAVGA_driver) and registerbgifont(triplex_font). */
void CGA_driver(void);
void EGAVGA_driver(void);
void IBM8514_driver(void);
void Herc_driver(void);
void ATT_driver(void);
void PC3270_driver(void);
void triplex_font(void);
void small_font(void);
void sansserif_font(void);
void gothic_font(void);

/* The memory the graphics system asks for. A program may define both
   itself, as DOS programs did; the library's own take from malloc. */
void *_graphgetmem(unsigned size);
void _graphfreemem(void *ptr, unsigned size);

#if defined(__GNUC__) && !defined(_WIN32)
#pragma GCC visibility pop
#endif
#ifdef __cplusplus
}
#endif

/* random(n): a number from 0 to n - 1; randomize(): seeds rand from the
   clock. random() without an argument stays the C library's own. */
#ifdef __cplusplus
static inline int random(int num) {
    return num > 0 ? rand() % num : 0;
}
#else
static inline int bgi_random_below(int num) {
    return num > 0 ? rand() % num : 0;
}
#define BGI_RANDOM_FORM(first, one, name, ...) name
#if !defined(__STRICT_ANSI__)
#define random(...) BGI_RANDOM_FORM(~, ##__VA_ARGS__, bgi_random_below, random, ~)(__VA_ARGS__)
#elif defined(__USE_MISC)
/* Strict C with the C library's random() declared all the same. */
#define random(...) BGI_RANDOM_FORM(~ __VA_OPT__(, ) __VA_ARGS__, bgi_random_below, random, ~)(__VA_ARGS__)
#else
#define random(num) bgi_random_below(num)
#endif
#endif

static inline void randomize(void) {
    srand((unsigned)time(NULL));
}

/* Flushes every output stream; answers the streams that are open (the
   three standard ones here). MinGW declares its own, which is the C
   runtime's _flushall. */
#ifdef _WIN32
#define flushall() _flushall()
#else
static inline int flushall(void) {
    fflush(NULL);
    return 3;
}
#endif

#endif /* GRAPHICS_H */
