/* The companion headers as DOS-era programs use them, compiled as C both in
   GCC's own dialect and in strict C99, where an undeclared function is an
   error: every name is declared and defined, random() keeps the C
   library's meaning beside random(n), and the registers alias as a 16-bit
   machine's did. Runs without a window. */
#include <graphics.h>
#include <conio.h>
#include <dos.h>
#include <bios.h>
#include <stdio.h>
#include <stdlib.h>

static int failures = 0;

static void check(int ok, const char *what) {
    if (!ok) {
        printf("failed: %s\n", what);
        ++failures;
    }
}

typedef void (*any_function)(void);

int main(void) {
    /* Every function of the headers, defined by the library. */
    const any_function functions[] = {
        (any_function)getch,          (any_function)getche,       (any_function)kbhit,
        (any_function)clrscr,         (any_function)clreol,       (any_function)gotoxy,
        (any_function)wherex,         (any_function)wherey,       (any_function)textcolor,
        (any_function)textbackground, (any_function)textattr,     (any_function)cprintf,
        (any_function)cputs,          (any_function)putch,        (any_function)delay,
        (any_function)sound,          (any_function)nosound,      (any_function)int86,
        (any_function)int86x,         (any_function)bioskey,      (any_function)getmoderange,
        (any_function)installuserdriver, (any_function)installuserfont,
        (any_function)registerbgidriver, (any_function)registerbgifont,
        (any_function)setgraphbufsize, (any_function)_graphgetmem, (any_function)_graphfreemem,
        CGA_driver, EGAVGA_driver, IBM8514_driver, Herc_driver, ATT_driver, PC3270_driver,
        triplex_font, small_font, sansserif_font, gothic_font};
    union REGS r;
    struct SREGS s;
    char far *near_text = "far";
    int huge *number = NULL;
    int i, in_range = 1;
    unsigned n;

    for (n = 0; n < sizeof functions / sizeof functions[0]; n++)
        check(functions[n] != NULL, "a function of the headers");

    r.x.ax = 0x1234;
    r.x.dx = 0xABCD;
    check(r.h.ah == 0x12 && r.h.al == 0x34 && r.h.dh == 0xAB && r.h.dl == 0xCD,
          "byte registers alias the word registers");
    check(sizeof r.x == 16 && sizeof s == 8, "16-bit registers");

    randomize();
    for (i = 0; i < 1000; i++) {
        const int d = random(6);
        in_range &= d >= 0 && d < 6;
    }
    check(in_range, "random(6) gives 0..5");
    check(random(0) == 0, "random(0) gives 0");
#if !defined(__STRICT_ANSI__) && !defined(_WIN32)
    {
        long from_library = random(); /* the C library's own */
        check(from_library >= 0, "random() is the C library's");
    }
#endif
    check(EGA_BROWN == 20 && EGA_DARKGRAY == 56 && EGA_WHITE == 63 && BLINK == 128,
          "colour codes");
    check(flushall() >= 3, "flushall");
    check(sleep(0) == 0, "sleep");
    check(near_text[0] == 'f' && number == NULL, "far, near and huge mean nothing");
    return failures == 0 ? 0 : 1;
}
