// Drawing calls with random and extreme arguments: pens of every kind, clip
// regions, origins, mix modes, and text in fonts of extreme sizes and turns. Nothing may crash,
// hang or touch memory outside a surface (the sanitizer build runs this too).
#include "platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <random>

using namespace win32;

namespace {

TEST(HostileInput, DrawingWithExtremeArgumentsStaysInsideTheSurface) {
    std::mt19937 random(20261207);
    const int extremes[] = {INT_MIN, INT_MIN + 1, -1000000, -5,      -1,          0,      1,
                            3,       63,          64,       1000000, INT_MAX - 1, INT_MAX};
    auto pick = [&] {
        return random() % 3 == 0 ? extremes[random() % 13] : int(random() % 200) - 50;
    };
    auto small = [&](unsigned n) { return DWORD(random() % n); };
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen), source = CreateCompatibleDC(screen);
    HBITMAP target_bits = CreateCompatibleBitmap(screen, 64, 48);
    HBITMAP source_bits = CreateCompatibleBitmap(screen, 40, 30);
    SelectObject(dc, target_bits);
    SelectObject(source, source_bits);
    HFONT fonts[6];
    for (HFONT &font : fonts)
        font = CreateFontA(pick(), pick(), pick(), 0, pick(), 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                           small(256), random() % 2 ? "Arial" : "Script");
    const char text[] = "Text \x80\x81\xE9\x01";
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 3000; ++i) {
        const int widths[] = {0, 1, 2, 3, 5, 8, 1000000, INT_MAX, INT_MIN, -7};
        const int width = widths[random() % 10];
        HPEN pen;
        if (random() % 3 == 0) {
            const LOGBRUSH brush{BS_SOLID, PALETTEINDEX(5), 0};
            const DWORD dashes[4] = {small(5), small(5), small(5), small(5)};
            pen = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | (random() % 2 ? PS_ENDCAP_FLAT : 0),
                               DWORD(width), &brush, 1 + small(4), dashes);
        } else {
            pen = CreatePen(int(random() % 6), width, PALETTEINDEX(WORD(random() % 256)));
        }
        const HGDIOBJ old = SelectObject(dc, pen ? HGDIOBJ(pen) : GetStockObject(BLACK_PEN));
        SetViewportOrgEx(dc, pick(), pick(), nullptr);
        SetROP2(dc, 1 + int(random() % 16));
        if (random() % 4 == 0) {
            HRGN region = CreateRectRgn(pick(), pick(), pick(), pick());
            SelectClipRgn(dc, region);
            DeleteObject(region);
        } else if (random() % 3 == 0) {
            SelectClipRgn(dc, nullptr);
        }
        POINT points[5];
        for (POINT &p : points) p = {pick(), pick()};
        switch (random() % 11) {
        case 0:
            MoveToEx(dc, pick(), pick(), nullptr);
            LineTo(dc, pick(), pick());
            break;
        case 1:
            Polyline(dc, points, 1 + int(random() % 5));
            break;
        case 2:
            SetPolyFillMode(dc, 1 + int(random() % 2));
            Polygon(dc, points, int(random() % 6));
            break;
        case 3:
            FloodFill(dc, pick() % 80, pick() % 80, PALETTEINDEX(WORD(random() % 256)));
            break;
        case 4:
            BitBlt(dc, pick(), pick(), pick(), pick(), source, pick(), pick(),
                   DWORD(random() % 256) << 16);
            break;
        case 5: {
            const RECT rect{pick(), pick(), pick(), pick()};
            FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
            break;
        }
        case 6:
            SetPixel(dc, pick(), pick(), PALETTEINDEX(WORD(random() % 300)));
            GetPixel(dc, pick(), pick());
            break;
        case 7: {
            const HGDIOBJ old_font = SelectObject(dc, fonts[random() % 6]);
            SetTextAlign(dc, small(32));
            SetBkMode(dc, 1 + int(random() % 2));
            MoveToEx(dc, pick(), pick(), nullptr);
            TextOutA(dc, pick(), pick(), text, int(random() % sizeof text));
            SIZE size;
            GetTextExtentPoint32A(dc, text, int(random() % sizeof text), &size);
            SelectObject(dc, old_font);
            break;
        }
        case 8:
            BitBlt(dc, pick(), pick(), pick(), pick(), dc, pick(), pick(), SRCCOPY);
            break;
        case 9:
            Ellipse(dc, pick(), pick(), pick(), pick());
            break;
        default:
            (random() % 2 ? Arc : Pie)(dc, pick(), pick(), pick(), pick(), pick(), pick(), pick(),
                                       pick());
        }
        SelectObject(dc, old);
        if (pen) DeleteObject(pen);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 60.0) << "no call may take time for what it cannot show";
    for (HFONT font : fonts) DeleteObject(font);
    DeleteDC(dc);
    DeleteDC(source);
    DeleteObject(target_bits);
    DeleteObject(source_bits);
}

} // namespace
