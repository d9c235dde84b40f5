// The display backend: real windows on the screen, their input, and showing
// our 8-bit surfaces through the system palette. Knows nothing of messages;
// the window manager turns its events into them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace win32::display {

struct Event {
    enum Type {
        key_down,
        key_up,
        text_input,  // characters typed, UTF-8
        mouse_move,  // x, y in client pixels
        button_down, // button 1 left, 2 middle, 3 right; x, y
        button_up,
        resized, // x, y: the new client size
        minimized,
        restored,
        focus_gained,
        focus_lost,
        exposed,
        close, // the user asked to close the window
    };
    Type type;
    std::uint32_t window = 0; // the backend's window id
    int x = 0, y = 0;
    unsigned virtual_key = 0; // key events: the Win32 virtual-key code
    // Key events: the keyboard's scan code (set 1), plus 0x100 for the keys
    // of the extended set.
    unsigned scan_code = 0;
    bool repeat = false;
    unsigned modifiers = 0; // MK_SHIFT / MK_CONTROL for keys
    std::string text;
};

struct Area {
    int x = 0, y = 0, width = 0, height = 0;
};

// A picture to show in a window: 8-bit pixels, top row first, each the index
// of one of 256 colours, and the part that may have changed since the
// window's last frame (outside it every pixel is as it was).
struct Frame {
    const std::uint8_t *pixels = nullptr;
    int width = 0, height = 0;
    std::ptrdiff_t stride = 0;
    const std::uint32_t *colors = nullptr; // 256 entries, 0x00RRGGBB
    Area changed;
    // The window lost its picture: every pixel is to be shown anew.
    bool whole = false;
    // When not empty: the changes lie within these areas alone, all inside
    // `changed` and none overlapping another, in rows from the top and left
    // to right within a row (a page flip: where either page was drawn on).
    // A backend may look at `changed` alone and ignore them.
    std::span<const Area> parts;
};

// Opens the display on first use. False when there is none. The zoom is
// read then from BGI_ZOOM (see zoom_of).
bool open();
bool is_open();

// Every pixel of a window is shown as a zoom x zoom block. Everything this
// interface gives and takes is in the program's pixels: the display's size
// divided by the zoom, client sizes, mouse positions; only injected events
// (which stand for the user's) and read_window are in the screen's pixels.
// A setting gives a zoom of 1..8; anything else (or none) gives 1.
int zoom_of(const char *setting);
// The zoom of windows created from now on (tests).
void set_zoom(int zoom);

// How windows are shown: converted into SDL's window surface (the default,
// and the fallback), or through a streaming texture of an SDL renderer
// (BGI_PRESENT=texture). Applies to windows created from now on.
enum class Path { surface, texture };
void set_path(Path path);

// The size of the invisible display that headless runs use (SDL's dummy
// driver); a real display has its own.
void set_headless_size(int width, int height);

// The whole display, and the part of it that windows may fill.
Area display_area();
Area usable_area();

// A new hidden window with the given client area; 0 on failure.
std::uint32_t create_window(const std::string &title, int x, int y, int width, int height);
void destroy_window(std::uint32_t window);
void show_window(std::uint32_t window, bool maximized, int width, int height);
void minimize_window(std::uint32_t window);

// Shows a frame in the window, converting only the pixels that differ from
// the frame it showed last (every pixel when it showed none yet, or other
// colours); beyond the frame's edges the window is black.
void present(std::uint32_t window, const Frame &frame);

// What the presentations have done since the program started (tests and
// benchmarks): frames given, pixels converted, rectangles sent to the screen,
// and pixels looked at to find the ones that differ.
struct PresentCounts {
    long long frames = 0;
    long long converted = 0;
    long long areas = 0;
    long long compared = 0;
};
PresentCounts present_counts();

// The events that have arrived, without waiting.
std::vector<Event> poll();
// Waits until an event arrives or `microseconds` have passed, as closely as
// the system's clock allows and waking as few times as it can (each wake-up
// of a waiting program costs it CPU time).
void wait(long long microseconds);

// The scan code of the key that gives the virtual key on the keyboard in use,
// as key events carry it; 0 when there is none (or no display yet).
unsigned scan_code_of_virtual_key(unsigned virtual_key);

// Shows or hides the pointer over the display's windows.
void show_pointer(bool shown);

// The refresh interval of the display, in microseconds.
long long frame_interval_us();

// What the window shows now, as 0x00RRGGBB values row by row (tests).
std::vector<std::uint32_t> read_window(std::uint32_t window, int &width, int &height);

// Queues an event of the backend's own kind, so that it travels the same path
// as one from the user (tests).
void inject(const Event &event);

} // namespace win32::display
