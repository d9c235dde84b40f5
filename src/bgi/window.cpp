// The graphics window: its class, its window procedure and paints, and
// opening and closing it with initgraph and closegraph.
#include "bgi.h"
#include "bgi_internal.h"

#include <cstdint>

#ifndef _WIN32
using namespace win32;
#endif
using namespace bgi;

namespace {

constexpr DWORD window_style = WS_OVERLAPPEDWINDOW;
// The frame and caption around the client area of such a window.
constexpr int frame_extra_width = 8;
constexpr int frame_extra_height = 27;

// The paint record of the window's first paint, which keeps the window DC
// until the window is destroyed.
PAINTSTRUCT ps = {};

// closegraph is destroying the window (as opposed to the user closing it).
bool closing_window = false;
// The user closed the window; the program ends at its next wait.
bool closed_by_user = false;

void first_paint(HWND window) {
    HDC *const hdc = device.hdc;
    hdc[0] = BeginPaint(window, &ps);
    SelectPalette(hdc[0], palette_handle(), FALSE);
    RealizePalette(hdc[0]);
    for (int i = 1; i < 4; ++i) {
        hdc[i] = CreateCompatibleDC(hdc[0]);
        SelectPalette(hdc[i], palette_handle(), FALSE);
    }
    device.screen_width = GetDeviceCaps(hdc[0], HORZRES);
    device.screen_height = GetDeviceCaps(hdc[0], VERTRES);
    HBITMAP &page = pages.hBitmap[pages.active_page];
    page = CreateCompatibleBitmap(hdc[0], device.screen_width, device.screen_height);
    SelectObject(hdc[1], page);
    for (int i = 0; i < 2; ++i) {
        SetTextColor(hdc[i], palette_color(drawing.text_color));
        SetBkColor(hdc[i], palette_color(BLACK));
        // DOS drew text and the dashes of a line style alone, over whatever
        // was there.
        if (classic_behaviour()) SetBkMode(hdc[i], TRANSPARENT);
        SelectObject(hdc[i], current_fill_brush());
    }
    const RECT rect = whole_page_rect();
    FillRect(hdc[1], &rect, background_brush());
    // The new DCs hold none of our pens or fonts: the next selection must
    // select, even when the cache finds the object it selected last.
    device.hPen = nullptr;
    device.hFont = nullptr;
}

// Every paint copies the whole client area from the visual page.
void paint(HWND window) {
    HDC *const hdc = device.hdc;
    if (!hdc[0]) first_paint(window);
    if (pages.hRgn) SelectClipRgn(hdc[0], nullptr);
    const bool other_page = pages.visual_page != pages.active_page;
    if (other_page) SelectObject(hdc[1], pages.hBitmap[pages.visual_page]);
    const int x = wrap_sub(0, pages.view_settings.left), y = wrap_sub(0, pages.view_settings.top);
    BitBlt(hdc[0], x, y, device.window_width, device.window_height, hdc[1], x, y, SRCCOPY);
    if (pages.hRgn) SelectClipRgn(hdc[0], pages.hRgn);
    if (other_page) SelectObject(hdc[1], pages.hBitmap[pages.active_page]);
    ValidateRect(window, nullptr);
}

void destroy(HWND window) {
    EndPaint(window, &ps);
    device.hdc[0] = nullptr;
    for (int i = 1; i < 4; ++i) {
        DeleteDC(device.hdc[i]);
        device.hdc[i] = nullptr;
    }
    release_put_image_bitmap();
    for (HBITMAP &page : pages.hBitmap) {
        if (page) DeleteObject(page);
        page = nullptr;
    }
    release_palette();
    device.hWnd = nullptr;
    if (!closing_window) closed_by_user = true;
    PostQuitMessage(0);
}

// Keyboard, timer and mouse messages belong to the input family.
LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static bool palette_changed = false;
    switch (message) {
    case WM_DESTROY:
        destroy(window);
        return 0;
    case WM_SIZE:
        device.window_width = LOWORD(std::uint32_t(lParam));
        device.window_height = HIWORD(std::uint32_t(lParam));
        return 0;
    case WM_SETFOCUS:
        if (palette_changed && device.hdc[0]) {
            recreate_palette();
            palette_changed = false;
        }
        return 0;
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_PALETTECHANGED:
        RealizePalette(device.hdc[0]);
        UpdateColors(device.hdc[0]);
        palette_changed = true;
        return 0;
    default:
        if (input_message(window, message, wParam, lParam)) return 0;
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

namespace bgi {

HWND window_handle() {
    return device.hWnd;
}

HDC device_context(int index) {
    return (index >= 0 && index < 4) ? device.hdc[index] : nullptr;
}

bool window_closed_by_user() {
    return closed_by_user && !device.hWnd;
}

} // namespace bgi

extern "C" {

void initgraph(int *graphdriver, int *graphmode, const char *) {
    device.gdi_error_code = 0;
    // One window at a time: a second initgraph replaces the first.
    if (device.hWnd) closegraph();
    static WNDCLASSA wcApp;
    if (!wcApp.lpszClassName) {
        wcApp.style = CS_SAVEBITS;
        wcApp.lpfnWndProc = WndProc;
        wcApp.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
        wcApp.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wcApp.lpszClassName = "BGIlibrary";
        // Registration is tried again by a later call if it fails.
        if (!RegisterClassA(&wcApp)) {
            device.gdi_error_code = int(GetLastError());
            wcApp.lpszClassName = nullptr;
            return;
        }
        create_palette_description();
        create_fill_brushes();
    }
    release_palette(); // left over when an earlier window could not be made
    read_classic_setting();
    reset_palette();

    int driver = graphdriver ? *graphdriver : DETECT;
    int mode = graphmode ? *graphmode : 0;
    detect_mode(&driver, &mode);
    if (graphdriver) *graphdriver = driver;
    if (graphmode) *graphmode = mode;
    set_defaults();

    closed_by_user = false;
    device.hWnd = CreateWindowExA(
        0, "BGIlibrary", "Windows BGI", window_style, 0, 0, device.window_width + frame_extra_width,
        device.window_height + frame_extra_height, nullptr, nullptr, nullptr, nullptr);
    if (!device.hWnd) {
        device.gdi_error_code = int(GetLastError());
        return;
    }
    ShowWindow(device.hWnd, mode == 3 ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    UpdateWindow(device.hWnd);
}

void closegraph(void) {
    if (!device.hWnd) return;
    closing_window = true;
    DestroyWindow(device.hWnd);
    // Until the quit message of the destroy handler: what came before it is
    // dispatched as usual, so typed characters still reach the queue.
    while (handle_input(true)) {
    }
    closing_window = false;
    device.hWnd = nullptr;
}

} // extern "C"
