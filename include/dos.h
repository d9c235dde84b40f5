/*
 * The DOS services of DOS-era compilers that programs drawing with the BGI
 * use: delay and sleep, which keep the window answering while they wait; a
 * tone with sound and nosound; and int86 for the mouse driver's interrupt
 * 0x33 (services 0 reset, 1 show, 2 hide, 3 position and buttons, 4 set
 * the position, 7 and 8 the horizontal and vertical limits) and the BIOS
 * keyboard's interrupt 0x16 (services 0, 1 and 2, as bioskey), served by
 * the graphics window. Other interrupts do nothing and report failure in
 * the carry flag. Ports and video memory cannot be reached.
 *
 * With MinGW, which has a dos.h of its own, that one is included too.
 */
#ifndef BGI_DOS_H
#define BGI_DOS_H

#if defined(_WIN32) && defined(__GNUC__)
#pragma GCC system_header
#include_next <dos.h>
#endif
/* Declared before sleep takes its DOS form below. */
#if defined(__has_include)
#if __has_include(<unistd.h>)
#include <unistd.h>
#endif
#endif

#include "bgi_far.h"

/* The registers of an interrupt call, as 16-bit words or as their bytes. */
struct WORDREGS {
    unsigned short ax, bx, cx, dx, si, di, cflag, flags;
};
struct BYTEREGS {
    unsigned char al, ah, bl, bh, cl, ch, dl, dh;
};
union REGS {
    struct WORDREGS x;
    struct BYTEREGS h;
};
struct SREGS {
    unsigned short es, cs, ss, ds;
};

#ifdef __cplusplus
extern "C" {
#endif
#if defined(__GNUC__) && !defined(_WIN32)
#pragma GCC visibility push(default)
#endif

void delay(unsigned int milliseconds);
/* A tone of the frequency in hertz until nosound, when there is a sound
   device; nothing otherwise. */
void sound(unsigned frequency);
void nosound(void);
/* Answers the AX register the interrupt left in outregs. */
int int86(int intno, union REGS *inregs, union REGS *outregs);
int int86x(int intno, union REGS *inregs, union REGS *outregs, struct SREGS *segregs);

#if defined(__GNUC__) && !defined(_WIN32)
#pragma GCC visibility pop
#endif
#ifdef __cplusplus
}
#endif

/* sleep(seconds) waits as delay does, so the window stays painted. */
static inline unsigned bgi_sleep_seconds(unsigned seconds) {
    for (; seconds > 0; --seconds) delay(1000);
    return 0;
}
#define sleep(seconds) bgi_sleep_seconds(seconds)

#endif /* BGI_DOS_H */
