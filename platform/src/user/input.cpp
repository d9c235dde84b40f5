#include "input.h"

#include "codepage.h"
#include "display/backend.h"
#include "message_queue.h"
#include "window.h"

namespace win32::user {

namespace {

WPARAM button_state = 0; // MK_ flags of the mouse buttons held down

LPARAM key_lparam(const display::Event &e, bool up) {
    std::uint32_t l = 1u | ((e.scan_code & 0xFF) << 16) | (e.scan_code & 0x100 ? 1u << 24 : 0);
    if (e.repeat || up) l |= 1u << 30;
    if (up) l |= 1u << 31;
    return LPARAM(l);
}

void handle(const display::Event &e) {
    Window *w = find_native_window(e.window);
    if (!w) return;
    HWND h = w->handle;
    switch (e.type) {
    case display::Event::key_down:
        post_key_down(h, e.virtual_key, key_lparam(e, false), e.modifiers & MK_CONTROL);
        break;
    case display::Event::key_up:
        end_key_press();
        post(h, WM_KEYUP, e.virtual_key, key_lparam(e, true));
        break;
    case display::Event::text_input:
        attach_chars(h, utf8_to_cp1252(e.text));
        break;
    case display::Event::mouse_move:
        post(h, WM_MOUSEMOVE, button_state, make_lparam(e.x, e.y));
        break;
    case display::Event::button_down:
    case display::Event::button_up: {
        const bool down = e.type == display::Event::button_down;
        static constexpr UINT messages[3][2] = {{WM_LBUTTONUP, WM_LBUTTONDOWN},
                                                {WM_MBUTTONUP, WM_MBUTTONDOWN},
                                                {WM_RBUTTONUP, WM_RBUTTONDOWN}};
        static constexpr WPARAM flags[3] = {MK_LBUTTON, MK_MBUTTON, MK_RBUTTON};
        const int b = int(e.virtual_key) - 1;
        button_state = down ? (button_state | flags[b]) : (button_state & ~flags[b]);
        post(h, messages[b][down], button_state, make_lparam(e.x, e.y));
        break;
    }
    case display::Event::resized:
        if (!w->minimized)
            resize_client(*w, e.x, e.y, w->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED);
        break;
    case display::Event::minimized:
        w->minimized = true;
        resize_client(*w, 0, 0, SIZE_MINIMIZED);
        break;
    case display::Event::restored:
        if (w->minimized) {
            w->minimized = false;
            resize_client(*w, w->client_width, w->client_height,
                          w->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED);
        }
        break;
    case display::Event::focus_gained:
        send(*w, WM_SETFOCUS, 0, 0);
        break;
    case display::Event::focus_lost:
        send(*w, WM_KILLFOCUS, 0, 0);
        break;
    case display::Event::exposed:
        w->invalid = true;
        w->present_whole = true;
        break;
    case display::Event::close:
        post(h, WM_CLOSE, 0, 0);
        break;
    }
}

} // namespace

void pump_display_events() {
    for (const display::Event &e : display::poll()) handle(e);
}

} // namespace win32::user

namespace win32 {

// The pointer shows over our windows while the count is not negative.
int ShowCursor(BOOL show) {
    static int count = 0;
    count += show ? 1 : -1;
    display::show_pointer(count >= 0);
    return count;
}

} // namespace win32
