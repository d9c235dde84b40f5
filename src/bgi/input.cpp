// Keyboard, timing and pointer: the key queue that the window's character
// messages fill, delay on a timer of the window, kbhit, getch and the BIOS
// keyboard's bioskey, and the mouse state that getactivepoint tests against.
#include "bgi.h"
#include "bgi_internal.h"
#include "bios.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#ifndef _WIN32
using namespace win32;
#endif
using namespace bgi;

// The mouse state, which a program may read.
extern "C" {
int egerx = 0;
int egery = 0;
char balgomb = 0;
char jobbgomb = 0;
}

namespace {

constexpr UINT_PTR delay_timer_id = 1;

// Set by the timer message that ends a delay.
int timeout_expired = 0;

// The scan code of a cursor or function key whose first half, 0, getch has
// answered: the next getch answers it (classic behaviour only).
int pending_scan_code = 0;

// The key of a character message: the character, and the scan code that
// Win32 gives in bits 16..23 of lParam.
key_code key_of_char(WPARAM wParam, LPARAM lParam) {
    return key_code(((std::uint32_t(lParam) >> 16 & 0xFF) << 8) | (wParam & 0xFF));
}

// With classic behaviour cursor and function keys are queued as the BIOS
// has them, a scan code without a character. F10 comes as a system key on
// Windows; Alt with a key stays the system's.
bool queue_extended_key(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!classic_behaviour()) return false;
    const bool alt = (std::uint32_t(lParam) >> 29) & 1;
    constexpr WPARAM f10 = VK_F1 + 9;
    if (message == WM_SYSKEYDOWN && (wParam != f10 || alt)) return false;
    const int code = extended_key_code(UINT(wParam));
    if (!code) return false;
    kbd_queue.put(key_code(code << 8));
    return true;
}

bool key_waiting() {
    return pending_scan_code != 0 || !kbd_queue.is_empty();
}

int take_pending_scan_code() {
    const int code = pending_scan_code;
    pending_scan_code = 0;
    return code;
}

// Waits until a key is queued; false when no window is there to give one.
bool wait_for_window_key() {
    while (kbd_queue.is_empty()) {
        end_if_closed_by_user();
        if (!device.hWnd) return false;
        handle_input(true);
    }
    return true;
}

template <class Point> int active_point(const Point *points, int count, int radius) {
    if (!points) return -1;
    for (int i = 0; i < count; ++i) {
        // The hit area is a square of the floored coordinates.
        const double fx = std::floor(points[i].x), fy = std::floor(points[i].y);
        if (!(std::fabs(fx - egerx) < radius)) continue;
        if (std::fabs(fy - egery) < radius) return i;
    }
    return -1;
}

} // namespace

namespace bgi {

// A program whose window the user has closed must not keep running unseen:
// its next wait ends it, as closing the window asked.
void end_if_closed_by_user() {
    if (window_closed_by_user()) std::exit(0);
}

void dispatch_waiting_messages() {
    while (handle_input(false)) {
    }
}

bool handle_input(bool wait) {
    MSG msg;
    if (wait) {
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0) return false;
    } else if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

bool input_message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CHAR:
        kbd_queue.put(key_of_char(wParam, lParam));
        return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        return queue_extended_key(message, wParam, lParam);
    case WM_TIMER:
        KillTimer(window, delay_timer_id);
        timeout_expired = 1;
        return true;
    case WM_MOUSEMOVE: {
        const auto position = std::int32_t(lParam);
        egerx = position % 65536;
        egery = position / 65536;
        return true;
    }
    case WM_LBUTTONDOWN:
        balgomb = 1;
        return true;
    case WM_LBUTTONUP:
        balgomb = 0;
        return true;
    case WM_RBUTTONDOWN:
        jobbgomb = 1;
        return true;
    case WM_RBUTTONUP:
        jobbgomb = 0;
        return true;
    default:
        return false;
    }
}

} // namespace bgi

extern "C" {

void delay(unsigned int milliseconds) {
    end_if_closed_by_user();
    if (!device.hWnd) {
        // No window to time with: the system's own sleep, which on Windows
        // needs no C++ thread library.
        Sleep(milliseconds);
        return;
    }
    timeout_expired = 0;
    SetTimer(device.hWnd, delay_timer_id, milliseconds, nullptr);
    while (!timeout_expired) {
        handle_input(true);
        end_if_closed_by_user();
        if (!device.hWnd) return;
    }
}

// Without a window, the terminal's keyboard; keys typed into a window that
// has gone come first.
int kbhit(void) {
    dispatch_waiting_messages();
    if (key_waiting()) return 1;
    end_if_closed_by_user();
    if (!device.hWnd) return terminal_peek() >= 0 ? 1 : 0;
    return 0;
}

int getch(void) {
    if (pending_scan_code) return take_pending_scan_code();
    if (!wait_for_window_key()) return terminal_getch();
    const key_code key = kbd_queue.get();
    const int ch = key & 0xFF;
    // A key without a character comes in two halves: 0, then its scan code.
    if (ch == 0 && classic_behaviour()) pending_scan_code = key >> 8;
    return ch;
}

int bioskey(int cmd) {
    // The enhanced keyboard's services (0x10, 0x11, 0x12) are the same here.
    switch (cmd & ~0x10) {
    case 0:
        if (pending_scan_code) return take_pending_scan_code() << 8;
        if (!wait_for_window_key()) return terminal_getch();
        return kbd_queue.get();
    case 1:
        if (!kbhit()) return 0;
        if (pending_scan_code) return pending_scan_code << 8;
        // A key of the terminal's keyboard has no scan code to tell.
        return kbd_queue.is_empty() ? terminal_peek() : kbd_queue.peek();
    case 2: {
        dispatch_waiting_messages();
        const auto down = [](UINT key) { return GetKeyState(int(key)) < 0; };
        return (down(VK_SHIFT) ? 0x02 : 0) | (down(VK_CONTROL) ? 0x04 : 0) |
               (down(VK_MENU) ? 0x08 : 0);
    }
    default:
        return 0;
    }
}

int getactivepoint(const struct activepoint *points, int count, int radius) {
    return active_point(points, count, radius);
}

int getactivepoint3(const struct activepoint3 *points, int count, int radius) {
    return active_point(points, count, radius);
}

} // extern "C"
