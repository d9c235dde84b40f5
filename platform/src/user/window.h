// Windows of the window manager: the window records, sending messages to
// their window procedures, and following the size of their client areas.
#pragma once

#include "gdi/bitmap.h"
#include "platform.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace win32::user {

// The frame around the client area of an overlapped window.
inline constexpr int frame_width = 4;
inline constexpr int caption_height = 23;

struct Window {
    HWND handle = nullptr;
    WNDPROC procedure = nullptr;
    HBRUSH background = nullptr;
    std::string title;
    DWORD style = 0;
    int x = 0, y = 0;                        // outer position
    int client_width = 0, client_height = 0; // client area
    bool visible = false;
    bool maximized = false;
    bool minimized = false;
    bool invalid = false;     // the client area awaits a paint
    bool erase = false;       // and its background has not been erased
    std::uint32_t native = 0; // the backend's window, 0 when none
    // The client area's pixels, which the window's DCs draw on.
    std::shared_ptr<gdi::Bitmap> surface;
    long long last_present_us = -1;
    bool present_whole = true; // the display must be given every pixel again
    std::uint64_t presented_palette = 0;
    gdi::PresentedFrame presented; // what the display was given last
};

Window *find_window(HWND handle);
// The same for a handle a program gave: none leaves ERROR_INVALID_WINDOW_HANDLE
// as the last error.
Window *window_of(HWND handle);
Window *find_native_window(std::uint32_t native);
std::vector<Window *> all_windows();

// Calls the window procedure now, as Win32 does with sent messages.
LRESULT send(Window &window, UINT message, WPARAM wparam, LPARAM lparam);

// Tells GDI the display's size, which HORZRES and VERTRES answer.
void hand_display_size_to_gdi();

// Gives the client area a new size, keeps what its pixels can keep, sends
// WM_SIZE and asks for a paint.
void resize_client(Window &window, int width, int height, WPARAM kind);

inline LPARAM make_lparam(int low, int high) {
    return LPARAM(std::uint32_t(std::uint16_t(low)) | (std::uint32_t(std::uint16_t(high)) << 16));
}

} // namespace win32::user
