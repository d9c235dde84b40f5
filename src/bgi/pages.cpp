// Pages, the viewport and the current position: the page flip, clearing, the
// position's hand-over between the window DC and the page DC, and
// graphdefaults. The dual-target rule itself is in bgi_internal.h.
#include "bgi.h"
#include "bgi_internal.h"

#include <initializer_list>

#ifndef _WIN32
using namespace win32;
#endif
using namespace bgi;

namespace {

bool is_page(int page) {
    return page >= 0 && page < max_pages;
}

void copy_position(HDC from, HDC to) {
    POINT p{0, 0};
    GetCurrentPositionEx(from, &p);
    MoveToEx(to, p.x, p.y, nullptr);
}

// The position getx and gety report: the window DC's while the shown page is
// drawn on, else the page DC's.
POINT current_position() {
    POINT p{0, 0};
    GetCurrentPositionEx(window_is_target() ? device.hdc[0] : device.hdc[1], &p);
    return p;
}

// Makes page `page`, selects it into the page DC and clears it. Without a
// window, or when the bitmap cannot be made, there is no page: the page DC
// keeps the page it holds, which must not be cleared in its stead.
bool allocate_new_graphic_page(int page) {
    HDC *const hdc = device.hdc;
    if (!hdc[0]) return false;
    const RECT rect = whole_page_rect();
    HBITMAP &bitmap = pages.hBitmap[page];
    bitmap = CreateCompatibleBitmap(hdc[0], device.screen_width, device.screen_height);
    if (!bitmap) return false;
    SelectObject(hdc[1], bitmap);
    SelectClipRgn(hdc[1], nullptr);
    FillRect(hdc[1], &rect, background_brush());
    SelectClipRgn(hdc[1], pages.hRgn);
    return true;
}

} // namespace

namespace bgi {

// FillRect leaves out the right column and bottom row of its rectangle, so
// the rectangle reaches one past the page: every pixel of the page is cleared.
RECT whole_page_rect() {
    const view_settings_t &v = pages.view_settings;
    return {wrap_sub(0, v.left), wrap_sub(0, v.top), wrap_sub(device.screen_width, v.left),
            wrap_sub(device.screen_height, v.top)};
}

HBITMAP page_bitmap(int page) {
    return is_page(page) ? pages.hBitmap[page] : nullptr;
}

} // namespace bgi

extern "C" {

// Only pages 0..15 exist; a call naming another, or a page that cannot be
// made, is ignored.
void setactivepage(int page) {
    if (!is_page(page)) return;
    HDC *const hdc = device.hdc;
    if (pages.hBitmap[page])
        SelectObject(hdc[1], pages.hBitmap[page]);
    else if (!allocate_new_graphic_page(page))
        return;
    // Drawing on the shown page moved only the window DC; the page DC takes
    // over its position.
    if (!bgiemu_handle_redraw && pages.active_page == pages.visual_page)
        copy_position(hdc[0], hdc[1]);
    pages.active_page = page;
}

void setvisualpage(int page) {
    if (!is_page(page)) return;
    if (!pages.hBitmap[page] && !allocate_new_graphic_page(page)) return;
    HDC *const hdc = device.hdc;
    const int active = pages.active_page, visual = pages.visual_page;
    const int x = wrap_sub(0, pages.view_settings.left), y = wrap_sub(0, pages.view_settings.top);
    const int w = device.window_width, h = device.window_height;
    if (!bgiemu_handle_redraw && active == visual) {
        // The window holds drawing that the active page lacks: save it there.
        SelectObject(hdc[1], pages.hBitmap[visual]);
        SelectClipRgn(hdc[1], nullptr);
        BitBlt(hdc[1], x, y, w, h, hdc[0], x, y, SRCCOPY);
        SelectClipRgn(hdc[1], pages.hRgn);
        copy_position(hdc[0], hdc[1]);
    }
    // The page replaces the whole client area, whatever the viewport's clip.
    SelectClipRgn(hdc[0], nullptr);
    SelectClipRgn(hdc[1], nullptr);
    SelectObject(hdc[1], pages.hBitmap[page]);
    BitBlt(hdc[0], x, y, w, h, hdc[1], x, y, SRCCOPY);
    SelectClipRgn(hdc[0], pages.hRgn);
    SelectClipRgn(hdc[1], pages.hRgn);
    if (page != active) SelectObject(hdc[1], pages.hBitmap[active]);
    // Drawing on a hidden page moved only the page DC.
    if (active != visual) copy_position(hdc[1], hdc[0]);
    pages.visual_page = page;
}

void cleardevice(void) {
    const RECT rect = whole_page_rect();
    const HRGN clip = pages.hRgn;
    on_targets([&](HDC dc) {
        if (clip) SelectClipRgn(dc, nullptr);
        FillRect(dc, &rect, background_brush());
        if (clip) SelectClipRgn(dc, clip);
    });
    moveto(0, 0);
}

// The far corner is exclusive: the viewport's last column and row stay.
void clearviewport(void) {
    const view_settings_t &v = pages.view_settings;
    const RECT rect{0, 0, wrap_sub(v.right, v.left), wrap_sub(v.bottom, v.top)};
    on_targets([&](HDC dc) { FillRect(dc, &rect, background_brush()); });
    moveto(0, 0);
}

void setviewport(int left, int top, int right, int bottom, int clip) {
    pages.view_settings = {left, top, right, bottom, clip};
    // Each DC keeps its own copy of a selected region, so ours may go now.
    if (pages.hRgn) DeleteObject(pages.hRgn);
    pages.hRgn = clip ? CreateRectRgn(left, top, right, bottom) : nullptr;
    for (HDC dc : {device.hdc[1], device.hdc[0]}) {
        SelectClipRgn(dc, pages.hRgn);
        SetViewportOrgEx(dc, left, top, nullptr);
    }
    moveto(0, 0);
}

void getviewsettings(struct viewporttype *viewport) {
    if (!viewport) return;
    const view_settings_t &v = pages.view_settings;
    *viewport = {
        .left = v.left, .top = v.top, .right = v.right, .bottom = v.bottom, .clip = v.clip};
}

void moveto(int x, int y) {
    on_targets([&](HDC dc) { MoveToEx(dc, x, y, nullptr); });
}

// Relative moves start from the page DC, which sees every move unless
// repaints are left to the program.
void moverel(int dx, int dy) {
    POINT p{0, 0};
    GetCurrentPositionEx(device.hdc[1], &p);
    moveto(wrap_add(p.x, dx), wrap_add(p.y, dy));
}

int getx(void) {
    return current_position().x;
}

int gety(void) {
    return current_position().y;
}

// The clip flag and region survive: the region is only taken off the DCs,
// and the next operation that selects it brings it back.
void graphdefaults(void) {
    const int was_active = pages.active_page, was_visual = pages.visual_page;
    set_defaults();
    restore_default_colors();
    on_both_dcs([](HDC dc) { SetTextColor(dc, palette_color(drawing.text_color)); });
    const HBRUSH brush = current_fill_brush();
    on_both_dcs([&](HDC dc) {
        SetBkColor(dc, palette_color(BLACK));
        SelectClipRgn(dc, nullptr);
        SetViewportOrgEx(dc, 0, 0, nullptr);
        SelectObject(dc, brush);
    });
    // Page 0 is now drawn on and shown: the page DC must hold it, and a
    // window that showed another page must show it.
    HDC *const hdc = device.hdc;
    if (was_active != pages.active_page && pages.hBitmap[pages.active_page])
        SelectObject(hdc[1], pages.hBitmap[pages.active_page]);
    if (was_visual != pages.visual_page && pages.hBitmap[pages.visual_page])
        BitBlt(hdc[0], 0, 0, device.window_width, device.window_height, hdc[1], 0, 0, SRCCOPY);
    moveto(0, 0);
}

} // extern "C"
