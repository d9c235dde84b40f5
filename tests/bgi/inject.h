// Input for the BGI window as a user makes it: through our display's event
// queue natively, as real Win32 messages posted to the window in the Windows
// build. Buttons: 1 left, 2 middle, 3 right.
#pragma once

#include "bgi_internal.h"
#include "platform.h"

#ifndef _WIN32
#include "platform_testing.h"

#include <string>
#endif

namespace {

#ifdef _WIN32

// The BGI window of this process, found as any other program would find it.
// Other processes (tests run side by side) may have one of the same name.
inline HWND bgi_test_window() {
    for (HWND w = FindWindowExA(nullptr, nullptr, "BGIlibrary", "Windows BGI"); w;
         w = FindWindowExA(nullptr, w, "BGIlibrary", "Windows BGI")) {
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        if (process == GetCurrentProcessId()) return w;
    }
    return nullptr;
}

// A character alone: a posted WM_KEYDOWN would make TranslateMessage add a
// second WM_CHAR of its own.
inline void inject_char(unsigned char c) {
    PostMessageA(bgi_test_window(), WM_CHAR, c, 1);
}

// A key pressed and released; TranslateMessage makes the character of keys
// that have one, as for a real key.
inline void inject_key_down(unsigned vk) {
    const HWND w = bgi_test_window();
    const LPARAM scan = LPARAM(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(w, WM_KEYDOWN, vk, scan | 1);
    PostMessageA(w, WM_KEYUP, vk, scan | 1 | (LPARAM(3) << 30));
}

// The MK_ flags of the buttons held, which every mouse message carries.
inline WPARAM &held_buttons() {
    static WPARAM held = 0;
    return held;
}

inline void inject_mouse_move(int x, int y) {
    PostMessageA(bgi_test_window(), WM_MOUSEMOVE, held_buttons(), MAKELPARAM(x, y));
}

inline void inject_mouse_button(int button, bool down, int x, int y) {
    static constexpr UINT messages[3][2] = {{WM_LBUTTONUP, WM_LBUTTONDOWN},
                                            {WM_MBUTTONUP, WM_MBUTTONDOWN},
                                            {WM_RBUTTONUP, WM_RBUTTONDOWN}};
    static constexpr WPARAM flags[3] = {MK_LBUTTON, MK_MBUTTON, MK_RBUTTON};
    if (button < 1 || button > 3) return;
    WPARAM &held = held_buttons();
    held = down ? (held | flags[button - 1]) : (held & ~flags[button - 1]);
    PostMessageA(bgi_test_window(), messages[button - 1][down], held, MAKELPARAM(x, y));
}

// What the close box does.
inline void inject_close() {
    PostMessageA(bgi_test_window(), WM_CLOSE, 0, 0);
}

#else

inline bgi::HWND bgi_test_window() {
    return bgi::window_handle();
}

// Code page 1252 to UTF-8, as the display delivers typed text.
inline std::string utf8_of(unsigned char c) {
    if (c < 0x80) return std::string(1, char(c));
    static const unsigned short upper[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    const unsigned cp = c >= 0xA0 ? c : upper[c - 0x80];
    std::string out;
    if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
    } else {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
    }
    out += char(0x80 | (cp & 0x3F));
    return out;
}

inline void inject_char(unsigned char c) {
    // Control characters come from their keys; others as typed text.
    switch (c) {
    case 13:
        win32::testing::inject_key(bgi_test_window(), win32::VK_RETURN);
        break;
    case 8:
        win32::testing::inject_key(bgi_test_window(), win32::VK_BACK);
        break;
    case 27:
        win32::testing::inject_key(bgi_test_window(), win32::VK_ESCAPE);
        break;
    default:
        win32::testing::inject_text(bgi_test_window(), utf8_of(c));
    }
}
inline void inject_key_down(unsigned vk) {
    win32::testing::inject_key(bgi_test_window(), vk);
}
inline void inject_mouse_move(int x, int y) {
    win32::testing::inject_mouse_move(bgi_test_window(), x, y);
}
inline void inject_mouse_button(int button, bool down, int x, int y) {
    win32::testing::inject_mouse_button(bgi_test_window(), button, down, x, y);
}
inline void inject_close() {
    win32::testing::inject_close(bgi_test_window());
}

#endif

} // namespace
