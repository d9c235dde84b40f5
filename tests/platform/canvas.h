// A memory DC on an 8-bit bitmap whose palette entry n is the grey (n, n, n),
// realised: GetPixel's red byte is then the pixel's index, which makes
// expectations about indices easy to write and to read.
#pragma once

#include "platform.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

struct Canvas {
    Canvas(int w, int h) : width(w), height(h) {
        using namespace win32;
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, w, h);
        SelectObject(dc, bitmap);
        std::vector<unsigned char> storage(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
        auto *log = reinterpret_cast<LOGPALETTE *>(storage.data());
        log->palVersion = 0x300;
        log->palNumEntries = 256;
        for (int i = 0; i < 256; ++i) log->palPalEntry[i] = {BYTE(i), BYTE(i), BYTE(i), 0};
        palette = CreatePalette(log);
        SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
        SetBkColor(dc, PALETTEINDEX(2));
    }
    ~Canvas() {
        win32::DeleteDC(dc);
        win32::DeleteObject(bitmap);
        win32::DeleteObject(palette);
        for (win32::HGDIOBJ o : owned) win32::DeleteObject(o);
    }
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    // Selects a new pen or solid brush of palette index `index`.
    void pen(int style, int width, int index) {
        win32::HPEN p = win32::CreatePen(style, width, win32::PALETTEINDEX(win32::WORD(index)));
        owned.push_back(p);
        win32::SelectObject(dc, p);
    }
    void brush(int index) {
        win32::HBRUSH b = win32::CreateSolidBrush(win32::PALETTEINDEX(win32::WORD(index)));
        owned.push_back(b);
        win32::SelectObject(dc, b);
    }
    // Fills the whole bitmap with index `index`, whatever the clip and origin.
    void clear(int index) {
        using namespace win32;
        HBRUSH brush = CreateSolidBrush(PALETTEINDEX(WORD(index)));
        const RECT all{0, 0, width, height};
        SelectClipRgn(dc, nullptr);
        POINT old;
        SetViewportOrgEx(dc, 0, 0, &old);
        FillRect(dc, &all, brush);
        SetViewportOrgEx(dc, old.x, old.y, nullptr);
        DeleteObject(brush);
    }
    // The index at device (x, y), or -1 where GetPixel answers nothing.
    int at(int x, int y) const {
        using namespace win32;
        POINT origin;
        SetViewportOrgEx(dc, 0, 0, &origin);
        const COLORREF c = GetPixel(dc, x, y);
        SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
        return c == CLR_INVALID ? -1 : int(GetRValue(c));
    }
    // Rows of indices, one character per pixel: '.' for 0, '-' where GetPixel
    // answers nothing, else the index's last hex digit.
    std::string rows(int x0, int y0, int w, int h) const {
        std::string out;
        for (int y = y0; y < y0 + h; ++y) {
            for (int x = x0; x < x0 + w; ++x) {
                const int v = at(x, y);
                out += v == 0 ? '.' : v < 0 ? '-' : "0123456789abcdef"[v & 15];
            }
            out += '\n';
        }
        return out;
    }
    std::string rows() const { return rows(0, 0, width, height); }
    int count(int index) const {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) n += at(x, y) == index;
        return n;
    }

    int width, height;
    win32::HDC dc;
    win32::HBITMAP bitmap;
    win32::HPALETTE palette;
    std::vector<win32::HGDIOBJ> owned;
};

// Where the pixels of one index are on a canvas: the box around them (right
// and bottom excluded; inside out when there are none) and their number.
struct InkBox {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    int pixels = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

inline InkBox box_of(const Canvas &c, int index) {
    InkBox b;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            if (c.at(x, y) == index) {
                b.left = std::min(b.left, x), b.right = std::max(b.right, x + 1);
                b.top = std::min(b.top, y), b.bottom = std::max(b.bottom, y + 1);
                ++b.pixels;
            }
    return b;
}
