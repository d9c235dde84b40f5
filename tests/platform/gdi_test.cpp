// Our GDI on memory DCs, pixel by pixel: objects and handles, bitmaps,
// palettes, brushes, regions, fills, blits and single pixels.
#include "canvas.h"
#include "platform.h"
#include "platform_testing.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

using namespace win32;

namespace {

TEST(Handles, StaleAndForeignHandlesAreRefused) {
    Canvas c(4, 4);
    HBRUSH brush = CreateSolidBrush(PALETTEINDEX(5));
    ASSERT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_EQ(SelectObject(c.dc, brush), nullptr);
    const RECT r{0, 0, 4, 4};
    EXPECT_EQ(FillRect(c.dc, &r, brush), 0);
    EXPECT_EQ(c.count(0), 16);

    // Made-up values, and handles of the wrong kind, do nothing.
    EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(std::uintptr_t(0x1234)), c.bitmap), nullptr);
    EXPECT_EQ(GetPixel(reinterpret_cast<HDC>(c.bitmap), 0, 0), CLR_INVALID);
    EXPECT_FALSE(DeleteObject(c.dc));
    EXPECT_EQ(FillRect(c.dc, &r, reinterpret_cast<HBRUSH>(c.palette)), 0);
    // The null handle a failed creation leaves behind names nothing.
    EXPECT_EQ(SelectObject(c.dc, nullptr), nullptr);
    EXPECT_FALSE(DeleteObject(nullptr));
}

// Every call that takes a GDI handle refuses one of its kind that was
// deleted (its slot already reused), a made-up value and a live object of
// another kind: the call fails, ERROR_INVALID_HANDLE is the last error, and
// nothing is drawn.
TEST(Handles, RefusedHandlesLeaveInvalidHandleAsTheLastError) {
    Canvas c(4, 4);
    HDC dead_dc = CreateCompatibleDC(c.dc);
    HBITMAP dead_bitmap = CreateCompatibleBitmap(c.dc, 2, 2);
    HBRUSH dead_brush = CreateSolidBrush(PALETTEINDEX(5));
    const LOGPALETTE one_entry{0x300, 1, {{0, 0, 0, 0}}};
    HPALETTE dead_palette = CreatePalette(&one_entry);
    HRGN dead_region = CreateRectRgn(0, 0, 1, 1);
    for (HGDIOBJ o :
         {HGDIOBJ(dead_bitmap), HGDIOBJ(dead_brush), HGDIOBJ(dead_palette), HGDIOBJ(dead_region)})
        ASSERT_TRUE(DeleteObject(o));
    ASSERT_TRUE(DeleteDC(dead_dc));
    HBRUSH brush = CreateSolidBrush(PALETTEINDEX(6));
    c.owned.push_back(brush);
    const HGDIOBJ forged = reinterpret_cast<HGDIOBJ>(std::uintptr_t(0x7777));

    using Handles = std::vector<HGDIOBJ>;
    const Handles dcs{dead_dc, forged, c.bitmap}, bitmaps{dead_bitmap, forged, brush},
        brushes{dead_brush, forged, c.palette}, palettes{dead_palette, forged, brush},
        regions{dead_region, forged, brush};
    auto dc = [](HGDIOBJ h) { return static_cast<HDC>(h); };
    const RECT r{0, 0, 4, 4};
    const POINT points[3] = {{0, 0}, {3, 0}, {0, 3}};
    struct {
        BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), 2, 2, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
        WORD indices[256] = {};
    } info;
    const auto *bmi = reinterpret_cast<const BITMAPINFO *>(&info);
    const unsigned char bits[16] = {};
    PALETTEENTRY entry{};
    POINT point{};
    SIZE size{};
    void *section_bits = nullptr;

    struct Case {
        const char *call;
        const Handles &refused;
        std::function<bool(HGDIOBJ)> failed;
    };
    const Case cases[] = {
        {"CreateCompatibleDC", dcs, [&](HGDIOBJ h) { return !CreateCompatibleDC(dc(h)); }},
        {"DeleteDC", dcs, [&](HGDIOBJ h) { return !DeleteDC(dc(h)); }},
        {"CreateCompatibleBitmap", dcs,
         [&](HGDIOBJ h) { return !CreateCompatibleBitmap(dc(h), 2, 2); }},
        {"CreateDIBSection", dcs,
         [&](HGDIOBJ h) {
             return !CreateDIBSection(dc(h), bmi, DIB_PAL_COLORS, &section_bits, nullptr, 0);
         }},
        {"SetDIBits on the DC", dcs,
         [&](HGDIOBJ h) { return !SetDIBits(dc(h), c.bitmap, 0, 2, bits, bmi, DIB_PAL_COLORS); }},
        {"BitBlt to the DC", dcs,
         [&](HGDIOBJ h) { return !BitBlt(dc(h), 0, 0, 2, 2, c.dc, 0, 0, SRCCOPY); }},
        {"BitBlt from the DC", dcs,
         [&](HGDIOBJ h) { return !BitBlt(c.dc, 0, 0, 2, 2, dc(h), 0, 0, SRCCOPY); }},
        {"SelectObject into the DC", dcs, [&](HGDIOBJ h) { return !SelectObject(dc(h), brush); }},
        {"GetDeviceCaps", dcs, [&](HGDIOBJ h) { return !GetDeviceCaps(dc(h), HORZRES); }},
        {"SelectPalette into the DC", dcs,
         [&](HGDIOBJ h) { return !SelectPalette(dc(h), c.palette, FALSE); }},
        {"RealizePalette", dcs, [&](HGDIOBJ h) { return RealizePalette(dc(h)) == GDI_ERROR; }},
        {"UpdateColors", dcs, [&](HGDIOBJ h) { return !UpdateColors(dc(h)); }},
        {"GetSystemPaletteEntries", dcs,
         [&](HGDIOBJ h) { return !GetSystemPaletteEntries(dc(h), 0, 1, &entry); }},
        {"SelectClipRgn into the DC", dcs,
         [&](HGDIOBJ h) { return SelectClipRgn(dc(h), nullptr) == ERROR; }},
        {"SetViewportOrgEx", dcs,
         [&](HGDIOBJ h) { return !SetViewportOrgEx(dc(h), 1, 1, &point); }},
        {"MoveToEx", dcs, [&](HGDIOBJ h) { return !MoveToEx(dc(h), 1, 1, &point); }},
        {"GetCurrentPositionEx", dcs,
         [&](HGDIOBJ h) { return !GetCurrentPositionEx(dc(h), &point); }},
        {"SetTextColor", dcs, [&](HGDIOBJ h) { return SetTextColor(dc(h), 0) == CLR_INVALID; }},
        {"SetBkColor", dcs, [&](HGDIOBJ h) { return SetBkColor(dc(h), 0) == CLR_INVALID; }},
        {"SetBkMode", dcs, [&](HGDIOBJ h) { return !SetBkMode(dc(h), OPAQUE); }},
        {"SetTextAlign", dcs, [&](HGDIOBJ h) { return SetTextAlign(dc(h), TA_LEFT) == GDI_ERROR; }},
        {"SetROP2", dcs, [&](HGDIOBJ h) { return !SetROP2(dc(h), R2_XORPEN); }},
        {"SetPolyFillMode", dcs, [&](HGDIOBJ h) { return !SetPolyFillMode(dc(h), WINDING); }},
        {"LineTo", dcs, [&](HGDIOBJ h) { return !LineTo(dc(h), 3, 3); }},
        {"Polyline", dcs, [&](HGDIOBJ h) { return !Polyline(dc(h), points, 3); }},
        {"Polygon", dcs, [&](HGDIOBJ h) { return !Polygon(dc(h), points, 3); }},
        {"Arc", dcs, [&](HGDIOBJ h) { return !Arc(dc(h), 0, 0, 4, 4, 0, 0, 4, 4); }},
        {"Pie", dcs, [&](HGDIOBJ h) { return !Pie(dc(h), 0, 0, 4, 4, 0, 0, 4, 4); }},
        {"Ellipse", dcs, [&](HGDIOBJ h) { return !Ellipse(dc(h), 0, 0, 4, 4); }},
        {"FloodFill", dcs, [&](HGDIOBJ h) { return !FloodFill(dc(h), 1, 1, PALETTEINDEX(9)); }},
        {"SetPixel", dcs, [&](HGDIOBJ h) { return SetPixel(dc(h), 1, 1, 0) == CLR_INVALID; }},
        {"GetPixel", dcs, [&](HGDIOBJ h) { return GetPixel(dc(h), 1, 1) == CLR_INVALID; }},
        {"TextOutA", dcs, [&](HGDIOBJ h) { return !TextOutA(dc(h), 0, 0, "x", 1); }},
        {"GetTextExtentPoint32A", dcs,
         [&](HGDIOBJ h) { return !GetTextExtentPoint32A(dc(h), "x", 1, &size); }},
        {"FillRect on the DC", dcs, [&](HGDIOBJ h) { return !FillRect(dc(h), &r, brush); }},
        {"ReleaseDC", dcs, [&](HGDIOBJ h) { return !ReleaseDC(nullptr, dc(h)); }},
        {"CreatePatternBrush", bitmaps,
         [&](HGDIOBJ h) { return !CreatePatternBrush(static_cast<HBITMAP>(h)); }},
        {"SetDIBits of the bitmap", bitmaps,
         [&](HGDIOBJ h) {
             return !SetDIBits(c.dc, static_cast<HBITMAP>(h), 0, 2, bits, bmi, DIB_PAL_COLORS);
         }},
        {"FillRect with the brush", brushes,
         [&](HGDIOBJ h) { return !FillRect(c.dc, &r, static_cast<HBRUSH>(h)); }},
        {"SetPaletteEntries", palettes,
         [&](HGDIOBJ h) { return !SetPaletteEntries(static_cast<HPALETTE>(h), 0, 1, &entry); }},
        {"GetPaletteEntries", palettes,
         [&](HGDIOBJ h) { return !GetPaletteEntries(static_cast<HPALETTE>(h), 0, 1, &entry); }},
        {"SelectPalette of the palette", palettes,
         [&](HGDIOBJ h) { return !SelectPalette(c.dc, static_cast<HPALETTE>(h), FALSE); }},
        {"SelectClipRgn of the region", regions,
         [&](HGDIOBJ h) { return SelectClipRgn(c.dc, static_cast<HRGN>(h)) == ERROR; }},
        // Palettes have SelectPalette, DCs are not selected, and DCs go with DeleteDC.
        {"SelectObject of the object", Handles{dead_brush, forged, c.dc, c.palette},
         [&](HGDIOBJ h) { return !SelectObject(c.dc, h); }},
        {"DeleteObject", Handles{dead_brush, forged, c.dc},
         [&](HGDIOBJ h) { return !DeleteObject(h); }},
    };
    for (const Case &call : cases) {
        for (std::size_t i = 0; i < call.refused.size(); ++i) {
            const char *which[] = {"deleted", "made-up", "of another kind", "of another kind"};
            SetLastError(0);
            EXPECT_TRUE(call.failed(call.refused[i])) << call.call << ", handle " << which[i];
            EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE))
                << call.call << ", handle " << which[i];
        }
    }
    EXPECT_EQ(c.count(0), 16) << "nothing was drawn";
}

TEST(Handles, SelectObjectAnswersThePreviousObject) {
    Canvas c(4, 4);
    HBRUSH a = CreateSolidBrush(PALETTEINDEX(1)), b = CreateSolidBrush(PALETTEINDEX(2));
    const HGDIOBJ original = SelectObject(c.dc, a);
    EXPECT_EQ(original, GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(c.dc, b), a);
    EXPECT_EQ(SelectObject(c.dc, original), b);
    // Deleting a stock object is harmless, and it keeps working.
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));
    const RECT r{0, 0, 2, 2};
    EXPECT_EQ(FillRect(c.dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 1);
    EXPECT_EQ(c.at(0, 0), 255);
    DeleteObject(a);
    DeleteObject(b);
}

TEST(Bitmaps, ABitmapLivesInOneMemoryDcAtATime) {
    Canvas c(4, 4);
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, c.bitmap), nullptr);
    HBITMAP small = CreateCompatibleBitmap(c.dc, 2, 2);
    EXPECT_NE(SelectObject(c.dc, small), nullptr);
    EXPECT_NE(SelectObject(other, c.bitmap), nullptr) << "free again once replaced";
    DeleteDC(other);
    SelectObject(c.dc, c.bitmap);
    DeleteObject(small);
}

TEST(Bitmaps, CompatibleBitmapsFollowTheDc) {
    HDC memory = CreateCompatibleDC(nullptr);
    // A fresh memory DC holds a monochrome bitmap, so it makes monochrome ones.
    HBITMAP mono = CreateCompatibleBitmap(memory, 8, 2);
    SelectObject(memory, mono);
    EXPECT_EQ(SetPixel(memory, 0, 0, RGB(250, 240, 230)), RGB(255, 255, 255));
    EXPECT_EQ(SetPixel(memory, 1, 0, RGB(20, 0, 60)), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(255, 255, 255));

    EXPECT_NE(CreateCompatibleBitmap(memory, 0, 5), nullptr) << "the 1 x 1 stock bitmap";
    EXPECT_EQ(CreateCompatibleBitmap(memory, -1, 5), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(GetDC(nullptr), 1 << 20, 1 << 20), nullptr);
    EXPECT_EQ(GetDeviceCaps(memory, BITSPIXEL), 8);
    EXPECT_EQ(GetDeviceCaps(memory, SIZEPALETTE), 256);
    EXPECT_TRUE(GetDeviceCaps(memory, RASTERCAPS) & RC_PALETTE);
    DeleteDC(memory);
    DeleteObject(mono);
}

TEST(Palettes, RealisingRecoloursWhatIsAlreadyDrawn) {
    Canvas c(2, 1);
    SetPixel(c.dc, 0, 0, PALETTEINDEX(40));
    EXPECT_EQ(GetPixel(c.dc, 0, 0), RGB(40, 40, 40));
    const PALETTEENTRY red{200, 10, 20, PC_NOCOLLAPSE};
    const PALETTEENTRY reds[10] = {red, red, red, red, red, red, red, red, red, red};
    EXPECT_EQ(SetPaletteEntries(c.palette, 40, 1, &red), 1u);
    EXPECT_EQ(GetPixel(c.dc, 0, 0), RGB(40, 40, 40)) << "not before realisation";
    RealizePalette(c.dc);
    EXPECT_EQ(GetPixel(c.dc, 0, 0), RGB(200, 10, 20));
    EXPECT_EQ(win32::testing::system_palette()[40].peRed, 200);

    // Entries past the end are not written; the count says what was.
    EXPECT_EQ(SetPaletteEntries(c.palette, 250, 10, reds), 6u);
    EXPECT_EQ(SetPaletteEntries(c.palette, 256, 1, &red), 0u);
}

TEST(Palettes, ColourReferencesResolveLikeAPaletteDevice) {
    Canvas c(1, 1);
    std::vector<unsigned char> storage(sizeof(LOGPALETTE) + 3 * sizeof(PALETTEENTRY));
    auto *log = reinterpret_cast<LOGPALETTE *>(storage.data());
    log->palVersion = 0x300;
    log->palNumEntries = 4;
    log->palPalEntry[0] = {7, 0, 0, PC_EXPLICIT}; // system entry 7
    log->palPalEntry[1] = {9, 9, 9, 0};
    log->palPalEntry[2] = {3, 0, 0, PC_EXPLICIT};
    log->palPalEntry[3] = {1, 2, 3, 0};
    HPALETTE small = CreatePalette(log);
    SelectPalette(c.dc, small, FALSE);
    struct Case {
        COLORREF color;
        int index;
    };
    for (Case k : {Case{PALETTEINDEX(0), 7}, Case{PALETTEINDEX(1), 1}, Case{PALETTEINDEX(2), 3},
                   Case{PALETTEINDEX(3), 3}, Case{PALETTEINDEX(900), 7}}) {
        SetPixel(c.dc, 0, 0, k.color);
        EXPECT_EQ(c.at(0, 0), k.index) << std::hex << k.color;
    }
    // Plain RGB takes the nearest system entry: the grey ramp realised before.
    SetPixel(c.dc, 0, 0, RGB(101, 99, 100));
    EXPECT_EQ(c.at(0, 0), 100);
    // The default palette's upper ten entries are the upper static colours.
    SelectPalette(c.dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
    SetPixel(c.dc, 0, 0, PALETTEINDEX(19));
    EXPECT_EQ(c.at(0, 0), 255);
    DeleteObject(small);
}

TEST(FillRect, ExcludesRightAndBottomAndStaysInsideTheBitmap) {
    Canvas c(8, 6);
    HBRUSH brush = CreateSolidBrush(PALETTEINDEX(1));
    struct Case {
        RECT rect;
        const char *expected;
    };
    const Case cases[] = {
        {{1, 1, 4, 3}, "........\n.111....\n.111....\n........\n........\n........\n"},
        {{4, 3, 1, 1}, "........\n........\n..111...\n..111...\n........\n........\n"},
        {{-5, -5, 2, 1}, "11......\n........\n........\n........\n........\n........\n"},
        {{6, 4, 100, 100}, "........\n........\n........\n........\n......11\n......11\n"},
        {{3, 3, 3, 9}, "........\n........\n........\n........\n........\n........\n"},
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX},
         "11111111\n11111111\n11111111\n11111111\n11111111\n11111111\n"},
    };
    for (const Case &k : cases) {
        c.clear(0);
        FillRect(c.dc, &k.rect, brush);
        EXPECT_EQ(c.rows(0, 0, 8, 6), k.expected)
            << k.rect.left << "," << k.rect.top << "," << k.rect.right << "," << k.rect.bottom;
    }
    DeleteObject(brush);
}

TEST(FillRect, ClipRegionIsInDeviceCoordinatesAndCopied) {
    Canvas c(8, 4);
    HBRUSH brush = CreateSolidBrush(PALETTEINDEX(2));
    HRGN region = CreateRectRgn(2, 1, 6, 3);
    EXPECT_EQ(SelectClipRgn(c.dc, region), SIMPLEREGION);
    DeleteObject(region); // the DC keeps its own copy
    SetViewportOrgEx(c.dc, 3, 0, nullptr);
    const RECT rect{-10, -10, 1, 10}; // device columns up to 3
    FillRect(c.dc, &rect, brush);
    EXPECT_EQ(c.rows(0, 0, 8, 4), "--------\n--22..--\n--22..--\n--------\n");
    EXPECT_EQ(GetPixel(c.dc, -3, 0), CLR_INVALID) << "outside the clip";
    EXPECT_EQ(GetPixel(c.dc, -1, 1), RGB(2, 2, 2));

    HRGN empty = CreateRectRgn(5, 5, 5, 9);
    EXPECT_EQ(SelectClipRgn(c.dc, empty), NULLREGION);
    const RECT all{-100, -100, 100, 100};
    FillRect(c.dc, &all, brush);
    SelectClipRgn(c.dc, nullptr);
    EXPECT_EQ(c.count(2), 4);
    DeleteObject(empty);
    DeleteObject(brush);
}

TEST(PatternBrushes, PaintTextAndBackgroundColoursAnchoredAtDeviceOrigin) {
    Canvas c(12, 4);
    // Rows 0x81, 0x42, ... of set bits; one 16-bit word per row.
    const WORD words[8] = {0xFF7E, 0xFFBD, 0xFFDB, 0xFFE7, 0xFFE7, 0xFFDB, 0xFFBD, 0xFF7E};
    HBITMAP bits = CreateBitmap(8, 8, 1, 1, words);
    HBRUSH brush = CreatePatternBrush(bits);
    DeleteObject(bits); // the brush keeps its own copy
    SetTextColor(c.dc, PALETTEINDEX(1));
    SetBkColor(c.dc, PALETTEINDEX(2));
    SetViewportOrgEx(c.dc, 3, 1, nullptr);
    const RECT rect{-3, -1, 9, 3};
    FillRect(c.dc, &rect, brush);
    EXPECT_EQ(c.rows(0, 0, 12, 4), "122222211222\n"
                                   "212222122122\n"
                                   "221221222212\n"
                                   "222112222221\n");
    DeleteObject(brush);
}

TEST(BitBlt, RasterOperationsCombineIndices) {
    struct Case {
        DWORD rop;
        int expected; // source 0x5C over destination 0x36
    };
    for (Case k : {Case{SRCCOPY, 0x5C}, Case{SRCINVERT, 0x5C ^ 0x36}, Case{SRCPAINT, 0x5C | 0x36},
                   Case{SRCAND, 0x5C & 0x36}, Case{NOTSRCCOPY, 0xFF & ~0x5C},
                   Case{SRCERASE, 0x5C & ~0x36 & 0xFF}, Case{DSTINVERT, 0xFF & ~0x36},
                   Case{BLACKNESS, 0}, Case{WHITENESS, 0xFF}}) {
        Canvas src(4, 4), dst(4, 4);
        src.clear(0x5C);
        dst.clear(0x36);
        EXPECT_TRUE(BitBlt(dst.dc, 1, 1, 2, 2, src.dc, 0, 0, k.rop));
        EXPECT_EQ(dst.at(1, 1), k.expected) << std::hex << k.rop;
        EXPECT_EQ(dst.at(2, 2), k.expected) << std::hex << k.rop;
        EXPECT_EQ(dst.at(0, 0), 0x36);
        EXPECT_EQ(dst.at(3, 3), 0x36);
    }
}

// The null brush has no pattern to combine: operations that take one leave
// the destination alone; the others still apply.
TEST(BitBlt, PatternOperationsWithTheNullBrushChangeNothing) {
    Canvas c(4, 4);
    c.clear(0x36);
    SelectObject(c.dc, GetStockObject(NULL_BRUSH));
    for (DWORD rop : {PATCOPY, PATINVERT, DWORD(0x00C000CA) /* MERGECOPY */})
        EXPECT_TRUE(BitBlt(c.dc, 0, 0, 4, 4, c.dc, 0, 0, rop)) << std::hex << rop;
    EXPECT_EQ(c.count(0x36), 16);
    BitBlt(c.dc, 0, 0, 2, 2, nullptr, 0, 0, DSTINVERT);
    EXPECT_EQ(c.count(0xFF & ~0x36), 4);
}

TEST(BitBlt, ClipsToSourceBitmapAndDestinationClipOnly) {
    Canvas src(4, 4), dst(8, 8);
    src.clear(9);
    HRGN region = CreateRectRgn(0, 0, 8, 8);
    HRGN tiny = CreateRectRgn(0, 0, 1, 1);
    SelectClipRgn(src.dc, tiny); // a source's clip does not limit
    SelectClipRgn(dst.dc, region);
    DeleteObject(tiny);
    BitBlt(dst.dc, -1, -1, 8, 8, src.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(dst.count(9), 9) << "source columns 1..3 land on 0..2";
    dst.clear(0);
    BitBlt(dst.dc, 5, 5, -4, -4, src.dc, 2, 2,
           SRCCOPY); // back to front: same as (1,1,4,4) from (-2,-2)
    EXPECT_EQ(dst.rows(0, 0, 6, 6), "......\n......\n......\n...99.\n...99.\n......\n");
    DeleteObject(region);
}

TEST(BitBlt, OverlappingCopiesWithinOneSurface) {
    for (int shift : {-2, 2}) {
        Canvas c(8, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) SetPixel(c.dc, x, y, PALETTEINDEX(WORD(y * 8 + x)));
        BitBlt(c.dc, 2 + shift, 2 + shift, 4, 4, c.dc, 2, 2, SRCCOPY);
        BitBlt(c.dc, 3, 3 - shift, 2, 2, c.dc, 3, 3, SRCINVERT); // the general path
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                const int want = (2 + y) * 8 + (2 + x);
                const int px = 2 + shift + x, py = 2 + shift + y;
                if (px >= 3 && px < 5 && py >= 3 - shift && py < 5 - shift) continue;
                ASSERT_EQ(c.at(px, py), want) << shift << " " << x << "," << y;
            }
    }
}

TEST(BitBlt, ConvertsBetweenMonochromeAndColour) {
    Canvas colour(8, 2);
    const WORD rows[2] = {0x00F0, 0x000F}; // row 0: 1111 0000, row 1: 0000 1111 (high byte pads)
    HBITMAP mono_bits = CreateBitmap(8, 2, 1, 1, rows);
    HDC mono = CreateCompatibleDC(nullptr);
    SelectObject(mono, mono_bits);
    SetTextColor(colour.dc, PALETTEINDEX(3));
    SetBkColor(colour.dc, PALETTEINDEX(4));
    BitBlt(colour.dc, 0, 0, 8, 2, mono, 0, 0, SRCCOPY);
    EXPECT_EQ(colour.rows(0, 0, 8, 2), "44443333\n33334444\n");

    // Back to monochrome: the source's background colour becomes white.
    HBITMAP mono2_bits = CreateBitmap(8, 2, 1, 1, nullptr);
    HDC mono2 = CreateCompatibleDC(nullptr);
    SelectObject(mono2, mono2_bits);
    SetBkColor(colour.dc, PALETTEINDEX(3));
    BitBlt(mono2, 0, 0, 8, 2, colour.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(mono2, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(mono2, 4, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(mono2, 0, 1), RGB(255, 255, 255));
    DeleteDC(mono);
    DeleteDC(mono2);
    DeleteObject(mono_bits);
    DeleteObject(mono2_bits);
}

// 4-bit sections whose colour table names logical palette entries 16..31.
struct Section {
    explicit Section(HDC dc, int w, int h) {
        info.header.biSize = sizeof(BITMAPINFOHEADER);
        info.header.biWidth = w;
        info.header.biHeight = h;
        info.header.biPlanes = 1;
        info.header.biBitCount = 4;
        for (WORD i = 0; i < 16; ++i) info.indices[i] = WORD(16 + i);
        bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO *>(&info), DIB_PAL_COLORS,
                                  reinterpret_cast<void **>(&bits), nullptr, 0);
    }
    struct {
        BITMAPINFOHEADER header{};
        WORD indices[16];
    } info;
    HBITMAP bitmap;
    unsigned char *bits = nullptr;
};

TEST(DibSections, TakeTheMatchingTableEntryAndKeepBottomUpRows) {
    Canvas c(8, 2);
    SetPixel(c.dc, 0, 0, PALETTEINDEX(21)); // table entry 5
    SetPixel(c.dc, 1, 0, PALETTEINDEX(30)); // table entry 14
    SetPixel(c.dc, 0, 1, PALETTEINDEX(18)); // table entry 2
    Section section(c.dc, 8, 2);
    ASSERT_NE(section.bits, nullptr);
    HDC dib_dc = CreateCompatibleDC(c.dc);
    SelectObject(dib_dc, section.bitmap);
    BitBlt(dib_dc, 0, 0, 8, 2, c.dc, 0, 0, SRCCOPY);
    GdiFlush();
    // Rows are 4 bytes, the bottom row first; the left pixel in the high nibble.
    EXPECT_EQ(section.bits[0], 0x20);
    EXPECT_EQ(section.bits[4], 0x5E);

    // And back through SetDIBits into the top-left of a larger bitmap.
    Canvas target(10, 10);
    const int lines = SetDIBits(target.dc, target.bitmap, 0, 2, section.bits,
                                reinterpret_cast<BITMAPINFO *>(&section.info), DIB_PAL_COLORS);
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(target.at(0, 0), 21);
    EXPECT_EQ(target.at(1, 0), 30);
    EXPECT_EQ(target.at(0, 1), 18);
    DeleteDC(dib_dc);
    DeleteObject(section.bitmap);
}

// A bitmap filled whole with one colour remembers it, and filling it whole
// with that colour again repaints only where it was drawn on since: every
// way of changing its pixels must count, or something drawn would survive
// the clear.
TEST(FillRect, FillingWholeAgainLeavesNothingOfWhatWasDrawn) {
    auto nonzero = [](const Canvas &c) {
        int n = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) n += c.at(x, y) != 0;
        return n;
    };
    Canvas c(300, 120);
    Canvas other(40, 40);
    other.clear(9);
    c.clear(0);
    const RECT box{250, 90, 260, 100};
    HBRUSH five = CreateSolidBrush(PALETTEINDEX(5));
    FillRect(c.dc, &box, five);
    DeleteObject(five);
    c.pen(PS_SOLID, 1, 7);
    MoveToEx(c.dc, 2, 110, nullptr);
    LineTo(c.dc, 290, 3);
    SetPixel(c.dc, 299, 119, PALETTEINDEX(3));
    Ellipse(c.dc, 100, 10, 140, 50);
    BitBlt(c.dc, 150, 60, 40, 40, other.dc, 0, 0, SRCCOPY);
    c.pen(PS_SOLID, 1, 4);
    const POINT square[] = {{20, 20}, {60, 20}, {60, 60}, {20, 60}, {20, 20}};
    Polyline(c.dc, square, 5);
    c.brush(6);
    FloodFill(c.dc, 30, 30, PALETTEINDEX(4));
    ASSERT_GT(nonzero(c), 3000);
    c.clear(0);
    EXPECT_EQ(nonzero(c), 0);

    // Pixels written before the bitmap was ever filled: its initial bits.
    std::vector<unsigned char> bits(300 * 120, 8);
    HBITMAP given = CreateBitmap(300, 120, 1, 8, bits.data());
    HGDIOBJ old = SelectObject(c.dc, given);
    c.clear(0);
    EXPECT_EQ(nonzero(c), 0);
    SelectObject(c.dc, old);
    DeleteObject(given);
}

// The owner of a DIB section writes its bits unseen, so a fill of the whole
// section always repaints all of it.
TEST(DibSections, AFillAfterTheOwnerWroteTheBitsRepaintsThemAll) {
    Canvas c(8, 8);
    struct {
        BITMAPINFOHEADER header{};
        RGBQUAD colors[256];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = 8;
    info.header.biHeight = -8;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.colors[1] = {0, 0, 255, 0};
    unsigned char *bits = nullptr;
    HBITMAP section = CreateDIBSection(c.dc, reinterpret_cast<BITMAPINFO *>(&info), DIB_RGB_COLORS,
                                       reinterpret_cast<void **>(&bits), nullptr, 0);
    ASSERT_NE(bits, nullptr);
    HDC dc = CreateCompatibleDC(c.dc);
    SelectObject(dc, section);
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    const RECT all{0, 0, 8, 8};
    FillRect(dc, &all, black);
    bits[3 * 8 + 5] = 1;
    FillRect(dc, &all, black);
    EXPECT_EQ(bits[3 * 8 + 5], 0);
    DeleteDC(dc);
    DeleteObject(section);
    DeleteObject(black);
}

TEST(Pixels, NothingIsReadOrWrittenOutsideTheBitmapOrClip) {
    Canvas c(4, 3);
    EXPECT_EQ(SetPixel(c.dc, 3, 2, PALETTEINDEX(7)), RGB(7, 7, 7));
    // Off the bitmap nothing is drawn, yet SetPixel names the colour it would be.
    for (POINT p :
         {POINT{4, 0}, POINT{0, 3}, POINT{-1, 0}, POINT{INT_MAX, INT_MAX}, POINT{INT_MIN, 0}}) {
        EXPECT_EQ(SetPixel(c.dc, p.x, p.y, PALETTEINDEX(8)), RGB(8, 8, 8));
        EXPECT_EQ(GetPixel(c.dc, p.x, p.y), CLR_INVALID);
    }
    SetViewportOrgEx(c.dc, INT_MAX, INT_MAX, nullptr);
    EXPECT_EQ(GetPixel(c.dc, INT_MAX, INT_MAX), CLR_INVALID);
    SetViewportOrgEx(c.dc, 0, 0, nullptr);
    EXPECT_EQ(c.count(7), 1);
    HRGN region = CreateRectRgn(0, 0, 2, 2);
    SelectClipRgn(c.dc, region);
    DeleteObject(region);
    EXPECT_EQ(GetPixel(c.dc, 3, 2), CLR_INVALID);
    SetPixel(c.dc, 2, 0, PALETTEINDEX(7));
    SelectClipRgn(c.dc, nullptr);
    EXPECT_EQ(c.count(7), 1) << "nothing drawn outside the clip";
}

TEST(Trace, RecordsCallsWithTheirDcAndArguments) {
    Canvas c(2, 2);
    win32::testing::start_trace();
    SetTextColor(c.dc, 0x01000013);
    SetROP2(c.dc, R2_XORPEN);
    win32::testing::stop_trace();
    SetBkColor(c.dc, 0); // not recorded
    const auto &calls = win32::testing::traced_calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].name, "SetTextColor");
    EXPECT_EQ(calls[0].dc, win32::testing::handle_value(c.dc));
    EXPECT_EQ(calls[0].args, std::vector<std::int64_t>{0x01000013});
    EXPECT_EQ(win32::testing::traced_calls("SetROP2").at(0).args.at(0), R2_XORPEN);
}

} // namespace
