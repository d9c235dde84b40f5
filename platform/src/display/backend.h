// The display backend: real windows on the screen, their input, and showing
// our 8-bit surfaces through the system palette. Knows nothing of messages;
// the window manager turns its events into them.
#pragma once

#include <cstdint>
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
    unsigned scan_code = 0;
    bool repeat = false;
    unsigned modifiers = 0; // MK_SHIFT / MK_CONTROL for keys
    std::string text;
};

struct Area {
    int x = 0, y = 0, width = 0, height = 0;
};

// A picture to show in a window: 8-bit pixels, top row first, each the index
// of one of 256 colours, and the part that changed since the window's last
// frame (everything, when the colours changed).
struct Frame {
    const std::uint8_t *pixels = nullptr;
    int width = 0, height = 0;
    std::ptrdiff_t stride = 0;
    const std::uint32_t *colors = nullptr; // 256 entries, 0x00RRGGBB
    Area changed;
};

// Opens the display on first use. False when there is none.
bool open();
bool is_open();

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

// Shows the changed part of a frame in the window (and the whole window
// when it has not shown this window's pixels yet); beyond the frame's edges
// the window is black.
void present(std::uint32_t window, const Frame &frame);

// The events that have arrived, without waiting.
std::vector<Event> poll();
// Waits until an event arrives or `milliseconds` have passed.
void wait(int milliseconds);

// The refresh interval of the display, in microseconds.
long long frame_interval_us();

// What the window shows now, as 0x00RRGGBB values row by row (tests).
std::vector<std::uint32_t> read_window(std::uint32_t window, int &width, int &height);

// Queues an event of the backend's own kind, so that it travels the same path
// as one from the user (tests).
void inject(const Event &event);

} // namespace win32::display
