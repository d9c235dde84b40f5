// Painting: update regions, BeginPaint and EndPaint, and the DCs of windows.
#include "gdi/device_context.h"
#include "trace.h"
#include "window.h"

namespace win32 {

using namespace user;

HDC BeginPaint(HWND handle, LPPAINTSTRUCT paint) {
    trace::record("BeginPaint", nullptr, {trace::value(handle)});
    Window *w = window_of(handle);
    if (!w || !paint) return nullptr;
    *paint = {};
    HDC dc = gdi::create_window_dc(handle, w->surface);
    if (!dc) return nullptr;
    paint->hdc = dc;
    paint->rcPaint = {0, 0, w->client_width, w->client_height};
    if (w->erase) {
        w->erase = false;
        paint->fErase = send(*w, WM_ERASEBKGND, WPARAM(dc), 0) ? FALSE : TRUE;
    }
    if ((w = find_window(handle))) w->invalid = false;
    return dc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT *paint) {
    trace::record("EndPaint", nullptr, {});
    if (paint) gdi::release_window_dc(paint->hdc);
    return TRUE;
}

BOOL ValidateRect(HWND handle, const RECT *) {
    trace::record("ValidateRect", nullptr, {trace::value(handle)});
    Window *w = window_of(handle);
    if (!w) return FALSE;
    // Paints always cover the whole client area, so any validation ends one.
    w->invalid = w->erase = false;
    return TRUE;
}

BOOL InvalidateRect(HWND handle, const RECT *, BOOL erase) {
    Window *w = window_of(handle);
    if (!w) return FALSE;
    w->invalid = true;
    if (erase) w->erase = true;
    return TRUE;
}

BOOL UpdateWindow(HWND handle) {
    trace::record("UpdateWindow", nullptr, {trace::value(handle)});
    Window *w = window_of(handle);
    if (!w) return FALSE;
    if (w->invalid && w->visible && !w->minimized) send(*w, WM_PAINT, 0, 0);
    return TRUE;
}

HDC GetDC(HWND handle) {
    trace::record("GetDC", nullptr, {trace::value(handle)});
    if (!handle) {
        hand_display_size_to_gdi();
        return gdi::screen_dc();
    }
    Window *w = window_of(handle);
    return w ? gdi::create_window_dc(handle, w->surface) : nullptr;
}

int ReleaseDC(HWND, HDC dc) {
    return gdi::release_window_dc(dc) ? 1 : 0;
}

} // namespace win32
