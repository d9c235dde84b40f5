// What DOS programs did to bring drivers and fonts into their graphics
// system: loading them from files (installuserdriver, installuserfont),
// linking them in (registerbgidriver, registerbgifont) and sizing the fill
// buffer. The window needs none of it; the answers are those of a driver or
// font that is there.
#include "bgi.h"
#include "bgi_internal.h"
#include "graphics.h"

#include <cctype>
#include <cstring>

namespace {

// The stroked fonts' files, by font number.
constexpr const char *font_files[] = {nullptr, "TRIP", "LITT", "SANS", "GOTH", "SCRI",
                                      "SIMP",  "TSCR", "LCOM", "EURO", "BOLD"};

// What a file name is called without its folders and without ".CHR" or
// ".BGI", for comparing case-insensitively. Empty when it does not fit.
constexpr std::size_t max_name = 64;
void base_name(const char *path, char (&out)[max_name]) {
    out[0] = '\0';
    const char *name = path;
    for (const char *p = path; *p; ++p)
        if (*p == '/' || *p == '\\' || *p == ':') name = p + 1;
    std::size_t n = std::strlen(name);
    if (n > 4 && name[n - 4] == '.') {
        char extension[4];
        for (int i = 0; i < 3; ++i)
            extension[i] = char(std::toupper(static_cast<unsigned char>(name[n - 3 + i])));
        extension[3] = '\0';
        if (std::strcmp(extension, "CHR") == 0 || std::strcmp(extension, "BGI") == 0) n -= 4;
    }
    if (n == 0 || n >= max_name) return;
    for (std::size_t i = 0; i < n; ++i)
        out[i] = char(std::toupper(static_cast<unsigned char>(name[i])));
    out[n] = '\0';
}

// Drivers installed by name; each keeps the number it was given first.
constexpr int max_user_drivers = 10;
constexpr int first_user_driver = PC3270 + 1;
char user_drivers[max_user_drivers][max_name] = {};
int user_driver_count = 0;

unsigned graph_buffer_size = 4096;

} // namespace

extern "C" {

// Linked drivers and fonts: only their addresses matter.
void CGA_driver(void) {}
void EGAVGA_driver(void) {}
void IBM8514_driver(void) {}
void Herc_driver(void) {}
void ATT_driver(void) {}
void PC3270_driver(void) {}
void triplex_font(void) {}
void small_font(void) {}
void sansserif_font(void) {}
void gothic_font(void) {}

// A user driver's number is one initgraph does not know, so it opens the
// detected driver: the window.
int installuserdriver(const char *name, int (*)(void)) {
    char key[max_name];
    if (!name) return grInvalidDriver;
    base_name(name, key);
    if (!key[0]) return grInvalidDriver;
    for (int i = 0; i < user_driver_count; ++i)
        if (std::strcmp(user_drivers[i], key) == 0) return first_user_driver + i;
    if (user_driver_count == max_user_drivers) return grError;
    std::memcpy(user_drivers[user_driver_count], key, max_name);
    return first_user_driver + user_driver_count++;
}

// The stroked fonts' files name their fonts; other files are not there.
int installuserfont(const char *name) {
    char key[max_name];
    if (!name) return grFontNotFound;
    base_name(name, key);
    for (int font = TRIPLEX_FONT; font <= BOLD_FONT; ++font)
        if (std::strcmp(font_files[font], key) == 0) return font;
    return grFontNotFound;
}

int registerbgidriver(void (*driver)(void)) {
    struct linked {
        void (*driver)(void);
        int number;
    };
    static constexpr linked drivers[] = {{CGA_driver, CGA},         {EGAVGA_driver, VGA},
                                         {IBM8514_driver, IBM8514}, {Herc_driver, HERCMONO},
                                         {ATT_driver, ATT400},      {PC3270_driver, PC3270}};
    for (const linked &d : drivers)
        if (d.driver == driver) return d.number;
    return grInvalidDriver;
}

int registerbgifont(void (*font)(void)) {
    struct linked {
        void (*font)(void);
        int number;
    };
    static constexpr linked fonts[] = {{triplex_font, TRIPLEX_FONT},
                                       {small_font, SMALL_FONT},
                                       {sansserif_font, SANS_SERIF_FONT},
                                       {gothic_font, GOTHIC_FONT}};
    for (const linked &f : fonts)
        if (f.font == font) return f.number;
    return grInvalidFontNum;
}

// Answers the size it had.
unsigned setgraphbufsize(unsigned bufsize) {
    const unsigned previous = graph_buffer_size;
    graph_buffer_size = bufsize;
    return previous;
}

} // extern "C"
