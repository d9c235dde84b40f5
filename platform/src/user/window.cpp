// Window classes and windows: creation, showing, destruction and the default
// window procedure.
#include "window.h"

#include "display/backend.h"
#include "gdi/device_context.h"
#include "message_queue.h"
#include "snapshot.h"
#include "timers.h"
#include "trace.h"

#include <algorithm>
#include <map>
#include <new>

namespace win32::user {

namespace {

struct WindowClass {
    WNDCLASSA description;
    std::string name;
};

std::map<std::string, WindowClass> &classes() {
    static std::map<std::string, WindowClass> table;
    return table;
}

std::map<std::uintptr_t, std::unique_ptr<Window>> &windows() {
    static std::map<std::uintptr_t, std::unique_ptr<Window>> table;
    return table;
}

// Window handles are never reused, so a stale one names nothing.
std::uintptr_t next_handle = 0x10010;

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

bool has_frame(DWORD style) {
    return (style & WS_CAPTION) == WS_CAPTION || (style & WS_THICKFRAME);
}

void broadcast_palette_changed(HWND cause) {
    for (Window *w : all_windows()) send(*w, WM_PALETTECHANGED, WPARAM(cause), 0);
}

void allocate_surface(Window &window, int width, int height) {
    window.surface = gdi::new_window_surface(width, height, nullptr);
}

} // namespace

Window *find_window(HWND handle) {
    auto it = windows().find(reinterpret_cast<std::uintptr_t>(handle));
    return it == windows().end() ? nullptr : it->second.get();
}

Window *window_of(HWND handle) {
    Window *w = find_window(handle);
    if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

Window *find_native_window(std::uint32_t native) {
    for (auto &[h, w] : windows())
        if (w->native == native) return w.get();
    return nullptr;
}

std::vector<Window *> all_windows() {
    std::vector<Window *> out;
    for (auto &[h, w] : windows()) out.push_back(w.get());
    return out;
}

void hand_display_size_to_gdi() {
    const display::Area area = display::display_area();
    gdi::set_display_size(area.width, area.height);
}

LRESULT send(Window &window, UINT message, WPARAM wparam, LPARAM lparam) {
    return window.procedure ? window.procedure(window.handle, message, wparam, lparam) : 0;
}

void resize_client(Window &window, int width, int height, WPARAM kind) {
    if (kind != SIZE_MINIMIZED &&
        (width != window.client_width || height != window.client_height)) {
        // The new surface keeps the pixels of the old one where both reach.
        auto surface = gdi::new_window_surface(width, height, window.surface.get());
        // DCs already handed out keep drawing on the window: they follow it.
        gdi::retarget_window_dcs(window.handle, surface);
        window.surface = surface;
        window.client_width = width;
        window.client_height = height;
    }
    HWND handle = window.handle;
    if (kind == SIZE_MINIMIZED)
        send(window, WM_SIZE, kind, 0);
    else
        send(window, WM_SIZE, kind, make_lparam(width, height));
    if (Window *w = find_window(handle); w && kind != SIZE_MINIMIZED) w->invalid = w->erase = true;
}

} // namespace win32::user

namespace win32 {

using namespace user;

WORD RegisterClassA(const WNDCLASSA *window_class) {
    trace::record("RegisterClassA", nullptr, {});
    if (!window_class || !window_class->lpszClassName || !window_class->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::string key = lower(window_class->lpszClassName);
    if (classes().count(key)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    WindowClass &c = classes()[key];
    c.description = *window_class;
    c.name = window_class->lpszClassName;
    c.description.lpszClassName = c.name.c_str();
    c.description.lpszMenuName = nullptr;
    return WORD(0xC000 + classes().size());
}

HWND CreateWindowExA(DWORD, LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU, HINSTANCE, LPVOID) {
    trace::record("CreateWindowExA", nullptr, {std::int64_t(style), x, y, width, height});
    // Windows are top-level here; a parent must still be a window.
    if (parent && !window_of(parent)) return nullptr;
    auto c = class_name ? classes().find(lower(class_name)) : classes().end();
    if (c == classes().end()) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    snapshot::configure();
    if (!display::open()) {
        SetLastError(ERROR_NO_DISPLAY);
        return nullptr;
    }
    gdi::system_palette_changed = broadcast_palette_changed;
    hand_display_size_to_gdi();
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT)
        width = 640 + 2 * frame_width, height = 480 + caption_height + frame_width;
    const bool framed = has_frame(style);
    const int cw = std::max(0, framed ? width - 2 * frame_width : width);
    const int ch = std::max(0, framed ? height - caption_height - frame_width : height);

    auto window = std::unique_ptr<Window>(new (std::nothrow) Window);
    if (!window) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    window->procedure = c->second.description.lpfnWndProc;
    window->background = c->second.description.hbrBackground;
    window->title = window_name ? window_name : "";
    window->style = style & ~WS_VISIBLE;
    window->x = x, window->y = y;
    window->client_width = cw, window->client_height = ch;
    window->invalid = window->erase = true;
    allocate_surface(*window, cw, ch);
    window->native = display::create_window(window->title, x + (framed ? frame_width : 0),
                                            y + (framed ? caption_height : 0), cw, ch);
    if (!window->native) {
        SetLastError(ERROR_NO_DISPLAY);
        return nullptr;
    }
    const auto value = next_handle;
    next_handle += 4;
    window->handle = reinterpret_cast<HWND>(value);
    Window &w = *window;
    windows()[value] = std::move(window);
    snapshot::window_created();

    HWND handle = w.handle;
    if (send(w, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    if (Window *win = find_window(handle)) send(*win, WM_SIZE, SIZE_RESTORED, make_lparam(cw, ch));
    if (Window *win = find_window(handle); win && (style & WS_VISIBLE)) ShowWindow(handle, SW_SHOW);
    return find_window(handle) ? handle : nullptr;
}

BOOL ShowWindow(HWND handle, int command) {
    trace::record("ShowWindow", nullptr, {trace::value(handle), command});
    Window *w = window_of(handle);
    if (!w) return FALSE;
    const BOOL was_visible = w->visible ? TRUE : FALSE;
    if (command == SW_HIDE) {
        if (w->visible) send(*w, WM_SHOWWINDOW, FALSE, 0);
        w->visible = false;
        return was_visible;
    }
    if (!w->visible) {
        w->visible = true;
        send(*w, WM_SHOWWINDOW, TRUE, 0);
        if (!(w = find_window(handle))) return was_visible;
        send(*w, WM_ACTIVATE, 1, 0);
        if (!(w = find_window(handle))) return was_visible;
        send(*w, WM_SETFOCUS, 0, 0);
        if (!(w = find_window(handle))) return was_visible;
    }
    w->invalid = w->erase = true;
    switch (command) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
        w->minimized = true;
        display::show_window(w->native, false, w->client_width, w->client_height);
        display::minimize_window(w->native);
        resize_client(*w, 0, 0, SIZE_MINIMIZED);
        break;
    case SW_SHOWMAXIMIZED: {
        // The client area fills the part of the display that windows may use.
        const display::Area usable = display::usable_area();
        w->maximized = true, w->minimized = false;
        display::show_window(w->native, true, usable.width, usable.height);
        resize_client(*w, usable.width, usable.height, SIZE_MAXIMIZED);
        break;
    }
    default:
        w->maximized = false, w->minimized = false;
        display::show_window(w->native, false, w->client_width, w->client_height);
        resize_client(*w, w->client_width, w->client_height, SIZE_RESTORED);
        break;
    }
    return was_visible;
}

BOOL DestroyWindow(HWND handle) {
    trace::record("DestroyWindow", nullptr, {trace::value(handle)});
    Window *w = window_of(handle);
    if (!w) return FALSE;
    snapshot::window_destroying(*w);
    send(*w, WM_DESTROY, 0, 0);
    if (!(w = find_window(handle))) return TRUE;
    kill_window_timers(handle);
    drop_window_messages(handle);
    display::destroy_window(w->native);
    windows().erase(reinterpret_cast<std::uintptr_t>(handle));
    return TRUE;
}

LRESULT DefWindowProcA(HWND handle, UINT message, WPARAM wparam, LPARAM) {
    Window *w = window_of(handle);
    if (!w) return 0;
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(handle);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(handle, &ps);
        EndPaint(handle, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        if (!w->background) return 0;
        RECT all{0, 0, w->client_width, w->client_height};
        FillRect(reinterpret_cast<HDC>(wparam), &all, w->background);
        return 1;
    }
    default:
        return 0;
    }
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR name) {
    // The standard cursors exist; the display shows its own arrow for them.
    const auto id = reinterpret_cast<std::uintptr_t>(name);
    return id >= 32512 && id <= 32651 ? reinterpret_cast<HCURSOR>(id) : nullptr;
}

BOOL GetClientRect(HWND handle, LPRECT rect) {
    Window *w = window_of(handle);
    if (!w || !rect) return FALSE;
    *rect = {0, 0, w->client_width, w->client_height};
    return TRUE;
}

} // namespace win32
