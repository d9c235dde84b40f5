// Keyboard, timing and pointer: the key queue that the window's character
// messages fill, delay on a timer of the window, kbhit and getch, and the
// mouse state that getactivepoint tests against.
#include "bgi.h"
#include "bgi_internal.h"

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

// A program whose window the user has closed must not keep running unseen:
// its next wait ends it, as closing the window asked.
void end_if_closed_by_user() {
    if (window_closed_by_user()) std::exit(0);
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
        kbd_queue.put(char(wParam & 0xFF));
        return true;
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

int kbhit(void) {
    while (handle_input(false)) {
    }
    if (kbd_queue.is_empty()) end_if_closed_by_user();
    return kbd_queue.is_empty() ? 0 : 1;
}

int getch(void) {
    while (kbd_queue.is_empty()) {
        end_if_closed_by_user();
        // Without a window no character can come.
        if (!device.hWnd) return 0;
        handle_input(true);
    }
    return static_cast<unsigned char>(kbd_queue.get());
}

int getactivepoint(const struct activepoint *points, int count, int radius) {
    return active_point(points, count, radius);
}

int getactivepoint3(const struct activepoint3 *points, int count, int radius) {
    return active_point(points, count, radius);
}

} // extern "C"
