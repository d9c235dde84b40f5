#include "snapshot.h"

#include "clock.h"
#include "codepage.h"
#include "gdi/palette.h"
#include "message_queue.h"
#include "window.h"

#include <png.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace win32::user::snapshot {

bool active = false;

namespace {

bool configured = false;
std::string file_pattern; // BGI_SNAPSHOT
std::string keys;         // BGI_KEYS, one code page 1252 character a key
std::size_t next_key = 0;
long long after_us = -1; // BGI_SNAPSHOT_AFTER, from the first window on
long long deadline_us = -1;
int pictures = 0;
bool finished = false; // the last picture is taken: nothing more to save
bool exit_handler_registered = false;

// The text of BGI_KEYS as typed characters: UTF-8 with the escapes \r and \n
// (both Enter, 13), \t, \b, \e (Escape), \\ and \xHH (a byte of the code page).
std::string parse_keys(const char *text) {
    std::string out, pending;
    const auto flush = [&] {
        out += utf8_to_cp1252(pending);
        pending.clear();
    };
    for (const char *p = text; *p; ++p) {
        if (*p != '\\' || !p[1]) {
            pending += *p;
            continue;
        }
        flush();
        switch (*++p) {
        case 'r':
        case 'n':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'b':
            out += '\b';
            break;
        case 'e':
            out += '\x1B';
            break;
        case 'x':
            if (std::isxdigit(static_cast<unsigned char>(p[1])) &&
                std::isxdigit(static_cast<unsigned char>(p[2]))) {
                out += char(std::strtol(std::string(p + 1, 2).c_str(), nullptr, 16));
                p += 2;
                break;
            }
            out += 'x';
            break;
        default:
            out += *p;
        }
    }
    flush();
    return out;
}

// The name of the next picture: "%d" becomes its number, from 1.
std::string next_file_name() {
    ++pictures;
    std::string name = file_pattern;
    if (const auto at = name.find("%d"); at != std::string::npos)
        name.replace(at, 2, std::to_string(pictures));
    return name;
}

bool has_picture(const Window &w) {
    return w.surface && w.surface->surface.width > 0 && w.surface->surface.height > 0;
}

// The newest window that has a picture.
const Window *newest_window() {
    const Window *newest = nullptr;
    for (const Window *w : all_windows())
        if (has_picture(*w)) newest = w; // handles grow, and the list follows them
    return newest;
}

// The window's client area as an 8-bit PNG whose palette is the system
// palette, which is what the display shows for each pixel value.
bool save(const Window &window) {
    const std::string name = next_file_name();
    const gdi::Surface &s = window.surface->surface;
    png_color colors[256];
    for (int i = 0; i < 256; ++i)
        colors[i] = {gdi::system_palette[i].peRed, gdi::system_palette[i].peGreen,
                     gdi::system_palette[i].peBlue};
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(s.width);
    image.height = png_uint_32(s.height);
    image.format = PNG_FORMAT_RGB_COLORMAP;
    image.colormap_entries = 256;
    if (png_image_write_to_file(&image, name.c_str(), 0, s.row(0), png_int_32(s.row_step()),
                                colors))
        return true;
    std::fprintf(stderr, "BGI_SNAPSHOT: cannot write %s: %s\n", name.c_str(), image.message);
    return false;
}

// The last picture, then the end of the program.
[[noreturn]] void finish() {
    finished = true;
    bool saved = true;
    if (const Window *w = newest_window()) saved = save(*w);
    std::exit(saved ? 0 : 1);
}

void save_at_exit() {
    if (finished) return;
    finished = true;
    if (const Window *w = newest_window()) save(*w);
}

// A key press of the character, as the keyboard would make it.
void type_key(HWND window, char c) {
    const auto u = static_cast<unsigned char>(c);
    UINT key = 0;
    if (u == '\r')
        key = VK_RETURN;
    else if (u == '\b')
        key = VK_BACK;
    else if (u == '\t')
        key = VK_TAB;
    else if (u == 0x1B)
        key = VK_ESCAPE;
    else if (u < 0x80 && std::isalnum(u))
        key = UINT(std::toupper(u));
    else if (u == ' ')
        key = VK_SPACE;
    post_key_down(window, key, 1, false);
    attach_chars(window, std::string(1, c));
    end_key_press();
    post(window, WM_KEYUP, key, LPARAM(0xC0000001u));
}

} // namespace

void configure() {
    if (configured) return;
    configured = true;
    const char *file = std::getenv("BGI_SNAPSHOT");
    if (!file || !*file) return;
    active = true;
    file_pattern = file;
    if (const char *k = std::getenv("BGI_KEYS")) keys = parse_keys(k);
    // A count of milliseconds; anything else is ignored, and a year is plenty.
    if (const char *after = std::getenv("BGI_SNAPSHOT_AFTER"); after && *after) {
        char *end = nullptr;
        const long long ms = std::strtoll(after, &end, 10);
        if (*end == '\0' && ms >= 0) after_us = std::min(ms, 365LL * 24 * 3600 * 1000) * 1000;
    }
    // The dummy driver is SDL's invisible display; it is used only when
    // asked for by name.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
}

void window_created() {
    if (!active || exit_handler_registered) return;
    // After the first window exists: the window table it reads outlives the
    // handler, which runs before the destructors of what was built earlier.
    exit_handler_registered = true;
    std::atexit(save_at_exit);
    if (after_us >= 0) deadline_us = now_us() + after_us;
}

void window_destroying(const Window &window) {
    if (active && !finished && has_picture(window)) save(window);
}

void before_wait(bool forever) {
    nothing_waiting();
    if (!forever) return;
    // Headless, no input comes by itself: the script types the next key.
    const Window *w = newest_window();
    if (w && next_key < keys.size()) {
        if (file_pattern.find("%d") != std::string::npos) save(*w);
        type_key(w->handle, keys[next_key++]);
        return;
    }
    finish();
}

void nothing_waiting() {
    if (deadline_us >= 0 && now_us() >= deadline_us) finish();
}

} // namespace win32::user::snapshot
