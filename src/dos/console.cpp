// The console of DOS-era programs on today's terminal: conio's output calls
// write to standard output, as printf does, with the cursor and the colours
// set by ANSI escape sequences when standard output is a terminal (into a
// file or a pipe goes the text alone); its keyboard calls read the terminal
// while no graphics window is open. DOS read keys straight from the keyboard, past the
// C library's buffering, and so does this: one byte at a time, unechoed.
#include "bgi.h"
#include "bgi_internal.h"
#include "conio.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {

// The text screen of DOS: 80 columns, 25 lines; the cursor is 1-based.
constexpr int screen_columns = 80, screen_lines = 25;
int cursor_x = 1, cursor_y = 1;
// Foreground 0..15 with BLINK, background 0..7: light gray on black at first,
// which is the terminal's own colours.
constexpr int default_attribute = LIGHTGRAY;
int attribute = default_attribute;

// A key read ahead by kbhit, or -1; and whether the input has ended.
int key_read_ahead = -1;
bool input_ended = false;

void start_console() {
#ifdef _WIN32
    // The Windows console reads escape sequences once asked to.
    static bool started = false;
    if (started) return;
    started = true;
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode)) SetConsoleMode(out, mode | 0x0004); // virtual terminal
#endif
}

// An escape sequence, to a terminal only.
void escape(const char *sequence) {
#ifdef _WIN32
    const bool to_terminal = _isatty(_fileno(stdout));
#else
    const bool to_terminal = isatty(STDOUT_FILENO);
#endif
    if (to_terminal) std::fputs(sequence, stdout);
}

// ANSI numbers its colours red 1, green 2, blue 4; DOS blue 1, green 2, red 4.
int ansi_color(int c) {
    return ((c & 1) << 2) | (c & 2) | ((c & 4) >> 2);
}

// Selects the attribute's colours, or only its background.
void select_colors(bool foreground) {
    const int fg = attribute & 15, bg = (attribute >> 4) & 7;
    char sequence[48];
    if (foreground)
        std::snprintf(sequence, sizeof sequence, "\x1B[0;%d;%d%sm",
                      (fg & 8 ? 90 : 30) + ansi_color(fg), 40 + ansi_color(bg),
                      attribute & BLINK ? ";5" : "");
    else
        std::snprintf(sequence, sizeof sequence, "\x1B[0;%dm", 40 + ansi_color(bg));
    escape(sequence);
}

void advance(char c) {
    switch (c) {
    case '\n':
        cursor_x = 1, ++cursor_y;
        break;
    case '\r':
        cursor_x = 1;
        break;
    case '\b':
        if (cursor_x > 1) --cursor_x;
        break;
    case '\t':
        cursor_x = (cursor_x - 1) / 8 * 8 + 9;
        break;
    case '\a':
        break;
    default:
        ++cursor_x;
    }
    if (cursor_x > screen_columns) cursor_x = 1, ++cursor_y;
    if (cursor_y > screen_lines) cursor_y = screen_lines; // the screen scrolls
}

// Text in the text colours; the terminal's own colours afterwards, so that
// printf writes as it always did.
void write_text(const char *text, std::size_t length) {
    start_console();
    const bool colored = attribute != default_attribute;
    if (colored) select_colors(true);
    std::fwrite(text, 1, length, stdout);
    if (colored) escape("\x1B[0m");
    std::fflush(stdout);
    for (std::size_t i = 0; i < length; ++i) advance(text[i]);
}

// A control sequence that paints in the background colour.
void write_in_background(const char *sequence) {
    start_console();
    select_colors(false);
    escape(sequence);
    escape("\x1B[0m");
    std::fflush(stdout);
}

#ifndef _WIN32
// The terminal without line editing and echo, for as long as it lives.
class raw_terminal {
public:
    raw_terminal() {
        is_terminal = tcgetattr(STDIN_FILENO, &saved) == 0;
        if (!is_terminal) return;
        termios raw = saved;
        raw.c_lflag &= tcflag_t(~(ICANON | ECHO));
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    }
    ~raw_terminal() {
        if (is_terminal) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    }
    raw_terminal(const raw_terminal &) = delete;
    raw_terminal &operator=(const raw_terminal &) = delete;

private:
    termios saved{};
    bool is_terminal = false;
};

// One byte, or -1 at the end of the input.
int read_byte() {
    unsigned char c = 0;
    ssize_t n;
    do n = read(STDIN_FILENO, &c, 1);
    while (n < 0 && errno == EINTR);
    return n == 1 ? c : -1;
}
#endif

// The next key, waiting for it when asked; -1 when none is there.
int next_key(bool wait) {
    if (key_read_ahead >= 0 || input_ended) return key_read_ahead;
    std::fflush(stdout);
#ifdef _WIN32
    if (wait || _kbhit()) key_read_ahead = _getch();
#else
    const raw_terminal raw;
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (wait || poll(&input, 1, 0) > 0) {
        key_read_ahead = read_byte();
        input_ended = key_read_ahead < 0;
    }
#endif
    return key_read_ahead;
}

} // namespace

namespace bgi {

int terminal_getch() {
    const int key = next_key(true);
    // No key can come any more: the program's wait would never end.
    if (key < 0) std::exit(0);
    key_read_ahead = -1;
    return key;
}

int terminal_peek() {
    return next_key(false);
}

} // namespace bgi

extern "C" {

// Cursor and function keys answer 0 first, and echo nothing.
int getche(void) {
    const int c = getch();
    if (c != 0) putch(c);
    return c;
}

void clrscr(void) {
    write_in_background("\x1B[2J\x1B[H");
    cursor_x = cursor_y = 1;
}

void clreol(void) {
    write_in_background("\x1B[K");
}

// A place off the screen is ignored, as DOS did.
void gotoxy(int x, int y) {
    if (x < 1 || x > screen_columns || y < 1 || y > screen_lines) return;
    start_console();
    char sequence[32];
    std::snprintf(sequence, sizeof sequence, "\x1B[%d;%dH", y, x);
    escape(sequence);
    std::fflush(stdout);
    cursor_x = x, cursor_y = y;
}

int wherex(void) {
    return cursor_x;
}

int wherey(void) {
    return cursor_y;
}

void textcolor(int newcolor) {
    attribute = (attribute & 0x70) | (newcolor & (15 | BLINK));
}

void textbackground(int newcolor) {
    attribute = (attribute & (15 | BLINK)) | ((newcolor & 7) << 4);
}

void textattr(int newattr) {
    attribute = newattr & 0xFF;
}

int cprintf(const char *format, ...) {
    if (!format) return -1;
    char local[512];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(local, sizeof local, format, args);
    va_end(args);
    if (length < 0) return -1;
    if (std::size_t(length) < sizeof local) {
        write_text(local, std::size_t(length));
        return length;
    }
    char *text = static_cast<char *>(std::malloc(std::size_t(length) + 1));
    if (!text) return -1;
    va_start(args, format);
    std::vsnprintf(text, std::size_t(length) + 1, format, args);
    va_end(args);
    write_text(text, std::size_t(length));
    std::free(text);
    return length;
}

// Answers the last character written, 0 for an empty string.
int cputs(const char *str) {
    if (!str) return EOF;
    const std::size_t length = std::strlen(str);
    write_text(str, length);
    return length ? static_cast<unsigned char>(str[length - 1]) : 0;
}

int putch(int ch) {
    const char c = char(ch);
    write_text(&c, 1);
    return static_cast<unsigned char>(c);
}

} // extern "C"
