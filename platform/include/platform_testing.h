// Test hooks of our platform implementation: a trace of platform calls, the
// display size of headless runs, and read-back of what was drawn. Absent on
// Windows, where the platform is the system's own.
#pragma once

#ifndef _WIN32

#include "platform.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace win32::testing {

// One recorded platform call: its name, the device context it was made on
// (0 for calls without one) and its integer arguments in order. Handles are
// recorded as their integer values; rectangles and points as their
// coordinates; strings are left out.
struct Call {
    std::string name;
    std::uintptr_t dc = 0;
    std::vector<std::int64_t> args;
};

// Starts recording calls (dropping anything recorded before).
void start_trace();
// Stops recording; what was recorded stays available.
void stop_trace();
// What has been recorded since start_trace.
const std::vector<Call> &traced_calls();
// The recorded calls with the given name, in order.
std::vector<Call> traced_calls(const std::string &name);

inline std::uintptr_t handle_value(const void *handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

// The size that HORZRES and VERTRES answer when no real display is open.
void set_display_size(int width, int height);

// The 256 entries of the system palette, as the display shows them now.
std::vector<PALETTEENTRY> system_palette();

// Runs windows on an invisible display of the given size (SDL's dummy video
// driver), so tests take the same paths as a real screen. Call it before the
// first window is created.
void use_headless_display(int width, int height);

// Input injected through the display's own event queue, as if the user made it.
void inject_key(HWND window, UINT virtual_key, const std::string &text = {});
void inject_text(HWND window, const std::string &utf8);
// A key pressed and held, and released.
void press_key(HWND window, UINT virtual_key);
void release_key(HWND window, UINT virtual_key);
void inject_mouse_move(HWND window, int x, int y);
// button: 1 left, 2 middle, 3 right.
void inject_mouse_button(HWND window, int button, bool down, int x, int y);
void inject_resize(HWND window, int width, int height);
void inject_minimize(HWND window);
void inject_restore(HWND window);
void inject_focus(HWND window, bool gained);
void inject_close(HWND window);
// The display lost the window's picture (another window covered it).
void inject_expose(HWND window);

// The installed face a font was matched to, as "family style" (with
// " (synthetic bold)" when the face is emboldened), or "" for no font.
std::string font_face(HFONT font);

// What GDI's handle table holds now, by kind, apart from the stock objects
// and the screen's DC. Two counts taken apart show what nobody deleted.
struct GdiObjects {
    int dcs = 0, bitmaps = 0, palettes = 0, brushes = 0, pens = 0, fonts = 0, regions = 0;
    int total() const { return dcs + bitmaps + palettes + brushes + pens + fonts + regions; }
    bool operator==(const GdiObjects &) const = default;
};
GdiObjects live_gdi_objects();
void PrintTo(const GdiObjects &objects, std::ostream *out); // for test messages
// The windows that exist now, and the timers that run.
int live_windows();
int live_timers();

// The colour of a pixel of the window's client area (CLR_INVALID outside it).
COLORREF window_pixel(HWND window, int x, int y);
// The size of the window's client area, or (-1, -1) for no window.
SIZE client_size(HWND window);
// What the display shows of the window now, 0x00RRGGBB row by row, in the
// screen's pixels (zoomed).
std::vector<std::uint32_t> presented_pixels(HWND window, int &width, int &height);

// What presentations have done since the program started: frames given to
// the display, pixels converted for the screen, rectangles sent to it, and
// pixels compared with what it showed to find those that changed.
struct PresentationCounts {
    long long frames = 0;
    long long converted_pixels = 0;
    long long rectangles = 0;
    long long compared_pixels = 0;
};
PresentationCounts presentation_counts();
// Presents every window whose picture changed, now: what the message pump
// does once the display's frame interval has passed.
void present_now();

// Windows created from now on are zoomed as BGI_ZOOM set to `setting` zooms
// them (nullptr: as when it is unset); answers the zoom taken. Injected mouse
// positions and sizes are then the screen's, which the window divides.
int use_zoom(const char *setting);
// Windows created from now on are shown through a streaming texture of an
// SDL renderer (true) or through SDL's window surface (false, the default).
void use_texture_presentation(bool texture);

// Whether Fontconfig and FreeType have been started (by the first font).
bool font_engine_started();

} // namespace win32::testing

#endif
