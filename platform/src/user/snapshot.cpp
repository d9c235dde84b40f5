#include "snapshot.h"

#include "clock.h"
#include "codepage.h"
#include "display/backend.h"
#include "gdi/palette.h"
#include "interruption.h"
#include "message_queue.h"
#include "trace.h"
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

// A key of BGI_KEYS: its virtual key and the character it types, if any.
struct ScriptedKey {
    UINT virtual_key = 0;
    std::string chars;
};

// An event of BGI_MOUSE: the pointer moves to (x, y), or a button goes down
// or up where the pointer is.
struct MouseEvent {
    UINT message = WM_MOUSEMOVE;
    int x = 0, y = 0;
};

bool configured = false;
std::string file_pattern; // BGI_SNAPSHOT
std::vector<ScriptedKey> keys;
std::size_t next_key = 0;
std::vector<MouseEvent> mouse_events;
std::size_t mouse_events_done = 0;
int pointer_x = 0, pointer_y = 0;
WPARAM buttons_down = 0;
// The calls made on device contexts when the program last looked for input
// and found none.
unsigned long long dc_calls_at_last_look = 0;
long long after_us = -1; // BGI_SNAPSHOT_AFTER, from the first window on
long long deadline_us = -1;
int pictures = 0;
bool finished = false; // the last picture is taken: nothing more to save
bool exit_handler_registered = false;

// The key that types a character, as the keyboard would make it.
UINT virtual_key_of_char(unsigned char c) {
    if (c == '\r') return VK_RETURN;
    if (c == '\b') return VK_BACK;
    if (c == '\t') return VK_TAB;
    if (c == 0x1B) return VK_ESCAPE;
    if (c == ' ') return VK_SPACE;
    if (c < 0x80 && std::isalnum(c)) return UINT(std::toupper(c));
    return 0;
}

// The keys without a character that \{name} types.
struct NamedKey {
    const char *name;
    UINT virtual_key;
};
constexpr NamedKey named_keys[] = {
    {"up", VK_UP},   {"down", VK_DOWN},  {"left", VK_LEFT}, {"right", VK_RIGHT}, {"home", VK_HOME},
    {"end", VK_END}, {"pgup", VK_PRIOR}, {"pgdn", VK_NEXT}, {"ins", VK_INSERT},  {"del", VK_DELETE},
};

UINT named_key(std::string name) {
    for (char &c : name) c = char(std::tolower(static_cast<unsigned char>(c)));
    for (const NamedKey &k : named_keys)
        if (name == k.name) return k.virtual_key;
    // f1 .. f12
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'f' &&
        std::isdigit(static_cast<unsigned char>(name[1]))) {
        const int n = std::atoi(name.c_str() + 1);
        if (n >= 1 && n <= 12 && std::to_string(n) == name.substr(1)) return VK_F1 + UINT(n - 1);
    }
    return 0;
}

[[noreturn]] void refuse(const char *variable, const std::string &what) {
    std::fprintf(stderr, "%s: cannot read %s\n", variable, what.c_str());
    std::exit(2);
}

// The text of BGI_KEYS as key presses: UTF-8 with the escapes \r and \n
// (both Enter, 13), \t, \b, \e (Escape), \\, \xHH (a byte of the code page)
// and \{name} for a key without a character (\{up}, \{f1}, ...).
std::vector<ScriptedKey> parse_keys(const char *text) {
    std::vector<ScriptedKey> out;
    std::string pending;
    const auto type = [&](const std::string &chars) {
        for (char c : chars)
            out.push_back({virtual_key_of_char(static_cast<unsigned char>(c)), std::string(1, c)});
    };
    const auto flush = [&] {
        type(utf8_to_cp1252(pending));
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
            type("\r");
            break;
        case 't':
            type("\t");
            break;
        case 'b':
            type("\b");
            break;
        case 'e':
            type("\x1B");
            break;
        case 'x':
            if (std::isxdigit(static_cast<unsigned char>(p[1])) &&
                std::isxdigit(static_cast<unsigned char>(p[2]))) {
                type(std::string(1, char(std::strtol(std::string(p + 1, 2).c_str(), nullptr, 16))));
                p += 2;
                break;
            }
            type("x");
            break;
        case '{': {
            const char *close = std::strchr(p, '}');
            const std::string name = close ? std::string(p + 1, close) : std::string(p + 1);
            const UINT key = close ? named_key(name) : 0;
            if (!key) refuse("BGI_KEYS", "the key \\{" + name + (close ? "}" : ""));
            out.push_back({key, {}});
            p = close;
            break;
        }
        default:
            type(std::string(1, *p));
        }
    }
    flush();
    return out;
}

// The text of BGI_MOUSE, words apart: "X,Y" moves the pointer to (X, Y) of
// the window's client area; down, up and click press, release or press and
// release the left button there, rdown, rup and rclick the right one.
std::vector<MouseEvent> parse_mouse(const char *text) {
    std::vector<MouseEvent> out;
    const std::string all = text;
    std::size_t at = 0;
    while ((at = all.find_first_not_of(" \t\n", at)) != std::string::npos) {
        const std::size_t end = std::min(all.find_first_of(" \t\n", at), all.size());
        const std::string word = all.substr(at, end - at);
        at = end;
        int x = 0, y = 0, used = 0;
        if (std::sscanf(word.c_str(), "%d,%d%n", &x, &y, &used) == 2 && used == int(word.size())) {
            out.push_back({WM_MOUSEMOVE, x, y});
        } else if (word == "down" || word == "up" || word == "click") {
            if (word != "up") out.push_back({WM_LBUTTONDOWN});
            if (word != "down") out.push_back({WM_LBUTTONUP});
        } else if (word == "rdown" || word == "rup" || word == "rclick") {
            if (word != "rup") out.push_back({WM_RBUTTONDOWN});
            if (word != "rdown") out.push_back({WM_RBUTTONUP});
        } else {
            refuse("BGI_MOUSE", "'" + word + "'");
        }
    }
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
    const gdi::SurfaceFrame s = gdi::shown_pixels(*window.surface);
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
    if (png_image_write_to_file(&image, name.c_str(), 0, s.pixels, png_int_32(s.stride), colors))
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

// A key press, as the keyboard would make it.
void type_key(HWND window, const ScriptedKey &key) {
    const LPARAM scan = LPARAM(display::scan_code_of_virtual_key(key.virtual_key));
    const LPARAM lparam = 1 | ((scan & 0xFF) << 16) | ((scan & 0x100) << 16);
    post_key_down(window, key.virtual_key, lparam, false);
    attach_chars(window, key.chars);
    end_key_press();
    post(window, WM_KEYUP, key.virtual_key, LPARAM(std::uint32_t(lparam) | 0xC0000000u));
}

// The next event of the mouse script, as the window would receive it.
void move_mouse(HWND window, const MouseEvent &e) {
    if (e.message == WM_MOUSEMOVE) pointer_x = e.x, pointer_y = e.y;
    const WPARAM button = e.message == WM_LBUTTONDOWN || e.message == WM_LBUTTONUP ? MK_LBUTTON
                          : e.message == WM_MOUSEMOVE                              ? 0
                                                                                   : MK_RBUTTON;
    if (e.message == WM_LBUTTONDOWN || e.message == WM_RBUTTONDOWN) buttons_down |= button;
    if (e.message == WM_LBUTTONUP || e.message == WM_RBUTTONUP) buttons_down &= ~button;
    post(window, e.message, buttons_down, make_lparam(pointer_x, pointer_y));
}

// Programs that look for input and find none get the next mouse event.
bool next_mouse_event() {
    const Window *w = newest_window();
    if (!w || mouse_events_done >= mouse_events.size()) return false;
    move_mouse(w->handle, mouse_events[mouse_events_done++]);
    return true;
}

// Types the next key of the script, first saving a numbered picture.
bool next_scripted_key() {
    const Window *w = newest_window();
    if (!w || next_key >= keys.size()) return false;
    if (file_pattern.find("%d") != std::string::npos) save(*w);
    type_key(w->handle, keys[next_key++]);
    return true;
}

void end_if_time_is_up() {
    if (deadline_us >= 0 && now_us() >= deadline_us) finish();
}

// A request to end the program (SIGTERM, ...): the picture as it is now.
void save_before_ending(int) {
    save_at_exit();
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
    if (const char *m = std::getenv("BGI_MOUSE")) mouse_events = parse_mouse(m);
    // A count of milliseconds; anything else is ignored, and a year is plenty.
    if (const char *after = std::getenv("BGI_SNAPSHOT_AFTER"); after && *after) {
        char *end = nullptr;
        const long long ms = std::strtoll(after, &end, 10);
        if (*end == '\0' && ms >= 0) after_us = std::min(ms, 365LL * 24 * 3600 * 1000) * 1000;
    }
    // The dummy drivers are SDL's invisible display and its silent sound
    // device; they are used only when asked for by name.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

void window_created() {
    if (!active || exit_handler_registered) return;
    // After the first window exists: the window table it reads outlives the
    // handler, which runs before the destructors of what was built earlier.
    exit_handler_registered = true;
    std::atexit(save_at_exit);
    interruption::catch_termination(save_before_ending);
    if (after_us >= 0) deadline_us = now_us() + after_us;
}

void window_destroying(const Window &window) {
    if (active && !finished && has_picture(window)) save(window);
}

void before_wait(bool forever) {
    end_if_time_is_up();
    if (!forever) {
        next_mouse_event();
        return;
    }
    // Headless, no input comes by itself: the script types the next key,
    // else moves the mouse on.
    if (next_scripted_key() || next_mouse_event()) return;
    finish();
}

// A program that looks for input again having drawn nothing since it last
// found none is waiting for a key, as getch does.
void nothing_waiting() {
    end_if_time_is_up();
    if (next_mouse_event()) return;
    const bool idle = trace::dc_calls == dc_calls_at_last_look;
    dc_calls_at_last_look = trace::dc_calls;
    if (idle) next_scripted_key();
}

} // namespace win32::user::snapshot
