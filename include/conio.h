/*
 * Console input and output as DOS-era compilers had them, for programs that
 * draw with the BGI. getch, getche and kbhit read the graphics window's
 * keyboard while a window is open, and the terminal (standard input)
 * otherwise. The console calls write to the terminal, as printf does: the
 * cursor and the colours are set with ANSI escape sequences, and wherex and
 * wherey follow what these calls wrote (not printf).
 *
 * With MinGW, which has a conio.h of its own, that one is included too.
 */
#ifndef BGI_CONIO_H
#define BGI_CONIO_H

#if defined(_WIN32) && defined(__GNUC__)
#pragma GCC system_header
#include_next <conio.h>
#endif

#include "bgi_colors.h"

/* Added to a text colour: the text blinks. */
#define BLINK 128

#ifdef __cplusplus
extern "C" {
#endif
#if defined(__GNUC__) && !defined(_WIN32)
#pragma GCC visibility push(default)
#define BGI_PRINTF_FORMAT __attribute__((format(printf, 1, 2)))
#else
#define BGI_PRINTF_FORMAT
#endif

/* Keyboard: the next key without echo, the next key echoed, a key waiting. */
int getch(void);
int getche(void);
int kbhit(void);

/* The cursor, 1-based: column x, line y. */
void clrscr(void);
void clreol(void);
void gotoxy(int x, int y);
int wherex(void);
int wherey(void);

/* The colours of what the console calls write next. */
void textcolor(int newcolor);
void textbackground(int newcolor);
void textattr(int newattr);

/* Text at the cursor, in the text colours. */
int cprintf(const char *format, ...) BGI_PRINTF_FORMAT;
int cputs(const char *str);
int putch(int ch);

#undef BGI_PRINTF_FORMAT
#if defined(__GNUC__) && !defined(_WIN32)
#pragma GCC visibility pop
#endif
#ifdef __cplusplus
}
#endif

#endif /* BGI_CONIO_H */
