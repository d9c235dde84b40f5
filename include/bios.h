/*
 * The BIOS keyboard of DOS-era compilers, served by the graphics window.
 */
#ifndef BGI_BIOS_H
#define BGI_BIOS_H

#ifdef __cplusplus
extern "C" {
#endif
#if defined(__GNUC__) && !defined(_WIN32)
#pragma GCC visibility push(default)
#endif

/* bioskey(0): waits for the next key and answers it as the BIOS did, the
   scan code in the high byte and the character in the low byte (0 for
   cursor and function keys). bioskey(1): the key waiting, left in place, or
   0 when none is. bioskey(2): the shift keys held, as the BIOS's flags
   (1 right Shift, 2 left Shift, 4 Ctrl, 8 Alt). */
int bioskey(int cmd);

#if defined(__GNUC__) && !defined(_WIN32)
#pragma GCC visibility pop
#endif
#ifdef __cplusplus
}
#endif

#endif /* BGI_BIOS_H */
