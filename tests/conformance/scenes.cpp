// Conformance scenes: small pictures drawn through the platform interface only.
//
// The same source runs against our GDI and, built for Windows, against a
// reference GDI. Every scene dumps its pixels (GetPixel values) to one file;
// compare_dumps sets the two files side by side. The dump format is described
// at the top of compare_dumps.cpp.
//
// Colours are always palette indices. Every drawing DC has a logical palette
// whose entry n is the grey (n, n, n): the entries are distinct, and bitwise
// raster operations on indices agree with bitwise operations on those RGB
// values, so a 24-bit reference screen and our 8-bit palette device must give
// identical answers.
//
// Usage: conformance_scenes OUTPUT_FILE

#include "scene_kit.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace conformance {

namespace {

// ---- FillRect -----------------------------------------------------------------------

void fillrect_edges(DumpFile &out) {
    Canvas canvas(64, 48, kClear);
    HDC dc = canvas.dc();
    fill(dc, 54, -6, 70, 6, 0x21);    // over the top right corner
    fill(dc, -4, 40, 8, 52, 0x32);    // over the bottom left corner
    fill(dc, 56, 40, 64, 48, 0x43);   // up to the bottom right corner exactly
    fill(dc, 60, 30, 1000, 38, 0x54); // far beyond the right edge
    fill(dc, -7, 12, 3, 18, 0x65);    // over the left edge
    fill(dc, 20, -3, 30, 1, 0x76);    // over the top edge, one row inside
    fill(dc, -20, -20, -1, -1, 0x87); // wholly outside, negative
    fill(dc, 64, 10, 80, 20, 0x98);   // wholly outside, starting at the width
    fill(dc, 20, 48, 30, 60, 0xA9);   // wholly outside, starting at the height
    fill(dc, -10, 20, 0, 30, 0xBA);   // ending at column 0: nothing inside
    fill(dc, 30, 20, 40, 30, 0xCB);   // plain, inside
    out.pixels("fillrect_edges", dc, canvas.width(), canvas.height());
}

void fillrect_inverted_empty(DumpFile &out) {
    Canvas canvas(64, 48, kClear);
    HDC dc = canvas.dc();
    fill(dc, 10, 10, 0, 0, 0x21);   // both axes inverted
    fill(dc, 30, 30, 40, 22, 0x32); // bottom above top
    fill(dc, 60, 2, 48, 8, 0x43);   // right left of left
    fill(dc, 20, 36, 20, 46, 0x54); // zero width
    fill(dc, 30, 40, 44, 40, 0x65); // zero height
    fill(dc, 50, 40, 50, 40, 0x76); // a point
    fill(dc, 70, 20, 60, 26, 0x87); // inverted, partly outside
    fill(dc, 8, -2, 2, -8, 0x98);   // inverted, wholly outside
    out.pixels("fillrect_inverted_empty", dc, canvas.width(), canvas.height());
}

void fillrect_huge(DumpFile &out) {
    Canvas canvas(64, 48, kClear);
    HDC dc = canvas.dc();
    fill(dc, -100000, 10, 100000, 14, 0x21);
    fill(dc, 30, -100000, 33, 100000, 0x32);
    fill(dc, -100000, -100000, 5, 5, 0x43);
    fill(dc, 50, 40, 100000, 100000, 0x54);
    out.pixels("fillrect_huge", dc, canvas.width(), canvas.height());
}

void fillrect_clip_inside(DumpFile &out) {
    Canvas canvas(64, 48, kClear);
    HDC dc = canvas.dc();
    clip_to(dc, 5, 5, 20, 15);
    fill(dc, 0, 0, 30, 30, 0x21);   // covers the clip
    fill(dc, 18, 12, 40, 40, 0x32); // overlaps its bottom right corner
    fill(dc, 40, 5, 50, 15, 0x43);  // wholly outside the clip
    // A new clip replaces the old one rather than intersecting it.
    clip_to(dc, 30, 20, 60, 44);
    fill(dc, 0, 0, 64, 48, 0x54);
    out.pixels("fillrect_clip_inside", dc, canvas.width(), canvas.height());
}

void fillrect_clip_partly_outside(DumpFile &out) {
    Canvas canvas(64, 48, kClear);
    HDC dc = canvas.dc();
    clip_to(dc, 50, 30, 80, 60);
    fill(dc, 40, 20, 64, 48, 0x21);
    fill(dc, 60, 44, 90, 90, 0x32);
    clip_to(dc, -10, -10, 8, 6);
    fill(dc, -5, -5, 20, 20, 0x43);
    out.pixels("fillrect_clip_partly_outside", dc, canvas.width(), canvas.height());
}

void fillrect_clip_empty(DumpFile &out) {
    Canvas canvas(64, 48, kClear);
    HDC dc = canvas.dc();
    clip_to(dc, 10, 30, 10, 40); // empty: nothing may be drawn
    fill(dc, 0, 0, 64, 48, 0x21);
    clip_to(dc, 70, 10, 90, 20); // wholly outside the bitmap
    fill(dc, 0, 0, 100, 100, 0x32);
    SelectClipRgn(dc, nullptr); // removing the clip draws everywhere again
    fill(dc, 4, 4, 12, 12, 0x43);
    out.pixels("fillrect_clip_empty", dc, canvas.width(), canvas.height());
}

void fillrect_clip_viewport(DumpFile &out) {
    Canvas canvas(64, 48, kClear);
    HDC dc = canvas.dc();
    // The clip is given in device coordinates, whatever the viewport origin.
    SetViewportOrgEx(dc, 10, 10, nullptr);
    clip_to(dc, 30, 0, 45, 20);
    fill(dc, 15, -10, 40, 5, 0x21); // device (25, 0)-(50, 15)
    // Moving the origin afterwards leaves the clip where it is.
    SetViewportOrgEx(dc, -7, 3, nullptr);
    fill(dc, 40, 10, 60, 30, 0x32); // device (33, 13)-(53, 33)
    SelectClipRgn(dc, nullptr);
    fill(dc, 7, -3, 12, 2, 0x43);   // device (0, 0)-(5, 5)
    fill(dc, 60, 40, 80, 60, 0x54); // device (53, 43)-(73, 63)
    out.pixels("fillrect_clip_viewport", dc, canvas.width(), canvas.height());
}

// ---- Pattern brushes ----------------------------------------------------------------

// Eight 16-bit words per pattern, top row first; the low byte holds a row's
// pixels with bit 7 leftmost, the high byte is the row's padding.
constexpr WORD kPatterns[11][8] = {
    {0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00},
    {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFF00},
    {0xFFFE, 0xFFFD, 0xFFFB, 0xFFF7, 0xFFEF, 0xFFDF, 0xFFBF, 0xFF7F},
    {0xFF7E, 0xFFFC, 0xFFF9, 0xFFF3, 0xFFE7, 0xFFCF, 0xFF9F, 0xFF3F},
    {0xFF3F, 0xFF9F, 0xFFCF, 0xFFE7, 0xFFF3, 0xFFF9, 0xFFFC, 0xFF7E},
    {0xFF7F, 0xFFBF, 0xFFDF, 0xFFEF, 0xFFF7, 0xFFFB, 0xFFFD, 0xFFFE},
    {0xFFFE, 0xFFFE, 0xFFFE, 0xFFFE, 0xFFFE, 0xFFFE, 0xFFFE, 0xFF00},
    {0xFF7E, 0xFFBD, 0xFFDB, 0xFFE7, 0xFFE7, 0xFFDB, 0xFFBD, 0xFF7E},
    {0xFFAA, 0xFF55, 0xFFAA, 0xFF55, 0xFFAA, 0xFF55, 0xFFAA, 0xFF55},
    {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFE},
    {0xFFBB, 0xFFFF, 0xFFEE, 0xFFFF, 0xFFBB, 0xFFFF, 0xFFEE, 0xFFFF},
};

void pattern_brush(DumpFile &out, int number) {
    BYTE bits[16];
    for (int row = 0; row < 8; ++row) {
        bits[2 * row] = BYTE(kPatterns[number - 1][row] & 0xFF);
        bits[2 * row + 1] = BYTE(kPatterns[number - 1][row] >> 8);
    }
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, bits);
    HBRUSH pattern_brush = CreatePatternBrush(pattern);

    Canvas canvas(32, 24, kClear);
    HDC dc = canvas.dc();
    // The colours are taken when drawing, not when the brush is made.
    SetTextColor(dc, pal(0x33));
    SetBkColor(dc, pal(0xCC));
    SetViewportOrgEx(dc, 3, 5, nullptr);
    RECT first{-2, -4, 12, 14}; // device (1, 1)-(15, 19)
    FillRect(dc, &first, pattern_brush);
    SetTextColor(dc, pal(0x5A));
    SetBkColor(dc, pal(0xA5));
    SetViewportOrgEx(dc, -7, 2, nullptr);
    RECT second{24, 1, 37, 21}; // device (17, 3)-(30, 23)
    FillRect(dc, &second, pattern_brush);
    char name[32];
    std::snprintf(name, sizeof name, "pattern_brush_%02d", number);
    out.pixels(name, dc, canvas.width(), canvas.height());

    DeleteObject(pattern_brush);
    DeleteObject(pattern);
}

// ---- BitBlt -------------------------------------------------------------------------

// One raster operation over the awkward cases: the source partly outside its
// bitmap, the destination partly outside its bitmap, all under a clip region.
void blit_rop(DumpFile &out, const char *name, DWORD rop) {
    Canvas source(64, 48, kClear);
    paint_picture(source, 1);
    Canvas canvas(64, 48, kClear);
    paint_picture(canvas, 2);
    HDC dc = canvas.dc();
    clip_to(dc, 4, 4, 58, 42);
    BitBlt(dc, 2, 2, 24, 16, source.dc(), -6, -4, rop);   // source over its top left
    BitBlt(dc, 30, 3, 20, 14, source.dc(), 50, 40, rop);  // source over its bottom right
    BitBlt(dc, 44, 30, 30, 24, source.dc(), 8, 8, rop);   // destination beyond the corner
    BitBlt(dc, -7, 24, 20, 20, source.dc(), 30, 10, rop); // destination over the left edge
    BitBlt(dc, 20, 20, 12, 10, source.dc(), 1, 1, rop);   // wholly inside
    out.pixels(name, dc, canvas.width(), canvas.height());
}

void blit_viewport(DumpFile &out) {
    Canvas source(64, 48, kClear);
    paint_picture(source, 3);
    Canvas canvas(64, 48, kClear);
    paint_picture(canvas, 4);
    HDC dc = canvas.dc();
    // Both positions are logical, each in its own DC; the clip is in device
    // coordinates of the destination.
    SetViewportOrgEx(source.dc(), 4, 2, nullptr);
    SetViewportOrgEx(dc, -3, 5, nullptr);
    clip_to(dc, 10, 8, 50, 40);
    BitBlt(dc, 5, 5, 30, 20, source.dc(), 3, 4, SRCCOPY);       // device (2, 10) from (7, 6)
    BitBlt(dc, 40, 20, 20, 20, source.dc(), -4, -2, SRCINVERT); // device (37, 25) from (0, 0)
    out.pixels("blit_viewport", dc, canvas.width(), canvas.height());
}

void blit_overlap_up_left(DumpFile &out) {
    Canvas canvas(64, 48, kClear);
    paint_picture(canvas, 5);
    HDC dc = canvas.dc();
    BitBlt(dc, 5, 3, 40, 30, dc, 10, 8, SRCCOPY);
    BitBlt(dc, 0, 40, 63, 8, dc, 1, 40, SRCCOPY); // one column left, same rows
    out.pixels("blit_overlap_up_left", dc, canvas.width(), canvas.height());
}

void blit_overlap_down_right(DumpFile &out) {
    Canvas canvas(64, 48, kClear);
    paint_picture(canvas, 6);
    HDC dc = canvas.dc();
    BitBlt(dc, 22, 18, 30, 20, dc, 18, 14, SRCCOPY);
    BitBlt(dc, 1, 40, 63, 8, dc, 0, 40, SRCCOPY); // one column right, same rows
    BitBlt(dc, 0, 1, 16, 16, dc, 0, 0, SRCCOPY);  // one row down, same columns
    out.pixels("blit_overlap_down_right", dc, canvas.width(), canvas.height());
}

void blit_mono_to_colour(DumpFile &out) {
    constexpr int kWidth = 21, kHeight = 13;
    MonoCanvas mono(kWidth, kHeight, mono_bits(kWidth, kHeight, [](int x, int y) {
                        return ((x * 7 + y * 3) % 5 < 2) != (x == y);
                    }));
    // The source DC's own colours play no part; make them differ from the
    // destination's so that using them shows.
    SetTextColor(mono.dc(), RGB(255, 255, 255));
    SetBkColor(mono.dc(), RGB(0, 0, 0));

    Canvas canvas(64, 48, kClear);
    paint_picture(canvas, 7);
    HDC dc = canvas.dc();
    SetTextColor(dc, pal(0x21)); // for 0 bits
    SetBkColor(dc, pal(0xDE));   // for 1 bits
    HDC src = mono.dc();
    BitBlt(dc, 2, 3, kWidth, kHeight, src, 0, 0, SRCCOPY);
    BitBlt(dc, 30, 3, kWidth, kHeight, src, 0, 0, SRCINVERT);
    BitBlt(dc, 2, 20, kWidth, kHeight, src, 0, 0, SRCAND);
    BitBlt(dc, 30, 20, kWidth, kHeight, src, 0, 0, SRCPAINT);
    BitBlt(dc, 2, 36, kWidth, kHeight, src, 0, 0, NOTSRCCOPY); // over the bottom edge
    BitBlt(dc, 52, 36, kWidth, kHeight, src, 5, 3, SRCCOPY);   // source partly outside
    SetTextColor(dc, pal(0x99));
    SetBkColor(dc, pal(0x66));
    BitBlt(dc, 30, 36, 16, 10, src, 2, 1, SRCCOPY);
    out.pixels("blit_mono_to_colour", dc, canvas.width(), canvas.height());
}

// An 8-bit source of few colours, 0x41 being one bit away from 0x40.
void paint_blocks(Canvas &source) {
    HDC dc = source.dc();
    fill(dc, 0, 0, 48, 32, 0x40);
    fill(dc, 4, 2, 20, 12, 0x41);
    fill(dc, 24, 4, 44, 28, 0xC0);
    fill(dc, 8, 16, 30, 30, 0x80);
    fill(dc, 10, 5, 11, 6, 0x40); // single pixels of the key colour
    fill(dc, 30, 10, 31, 11, 0x40);
    fill(dc, 12, 20, 14, 21, 0x40);
}

void blit_colour_to_mono_into(MonoCanvas &mono, Canvas &source) {
    HDC src = source.dc();
    SetBkColor(src, pal(0x40)); // pixels of this colour become 1
    BitBlt(mono.dc(), 0, 0, 20, 15, src, 0, 0, SRCCOPY);
    BitBlt(mono.dc(), 20, 0, 20, 15, src, 20, 0, SRCINVERT);
    BitBlt(mono.dc(), 22, 16, 20, 16, src, 36, 24, SRCCOPY); // both partly outside
    SetBkColor(src, pal(0xC0));
    BitBlt(mono.dc(), 0, 16, 20, 14, src, 22, 10, SRCCOPY);
}

std::vector<BYTE> mono_start_bits() {
    return mono_bits(40, 30, [](int x, int y) { return (x / 3 + y / 2) % 2 == 0; });
}

void blit_colour_to_mono(DumpFile &out) {
    Canvas source(48, 32, kClear);
    paint_blocks(source);
    MonoCanvas mono(40, 30, mono_start_bits());
    blit_colour_to_mono_into(mono, source);
    out.pixels("blit_colour_to_mono", mono.dc(), mono.width(), mono.height());
}

// The same 1-bit result read back through a blit into an 8-bit bitmap, so
// that it is checked apart from GetPixel on a 1-bit bitmap.
void blit_colour_to_mono_roundtrip(DumpFile &out) {
    Canvas source(48, 32, kClear);
    paint_blocks(source);
    MonoCanvas mono(40, 30, mono_start_bits());
    blit_colour_to_mono_into(mono, source);
    Canvas canvas(48, 36, kClear);
    HDC dc = canvas.dc();
    SetTextColor(dc, pal(0x10));
    SetBkColor(dc, pal(0xE0));
    BitBlt(dc, 3, 2, 40, 30, mono.dc(), 0, 0, SRCCOPY);
    out.pixels("blit_colour_to_mono_roundtrip", dc, canvas.width(), canvas.height());
}

// ---- SetPixel and GetPixel ------------------------------------------------------------

// What SetPixel returned and GetPixel answered, one row of values per scene.
// Results off the bitmap or outside the clip go to scenes of their own, so
// that a difference there never hides one in the plain cases.
struct PixelResults {
    std::vector<COLORREF> plain;
    std::vector<COLORREF> set_outside_bitmap;
    std::vector<COLORREF> set_outside_clip;
    std::vector<COLORREF> get_outside_clip;

    void write(DumpFile &out, const std::string &suffix) const {
        const std::pair<const char *, const std::vector<COLORREF> *> rows[] = {
            {"pixel_values", &plain},
            {"pixel_set_outside_bitmap", &set_outside_bitmap},
            {"pixel_set_outside_clip", &set_outside_clip},
            {"pixel_get_outside_clip", &get_outside_clip},
        };
        for (const auto &[name, values] : rows) {
            if (!values->empty()) out.values(name + suffix, int(values->size()), 1, *values);
        }
    }
};

// Single pixels at and beyond the edges of the bitmap and around a clip
// region, with a moved viewport origin.
void pixels(DumpFile &out) {
    Canvas canvas(64, 48, kClear);
    HDC dc = canvas.dc();
    PixelResults results;
    auto set = [&](std::vector<COLORREF> &into, int x, int y, COLORREF colour) {
        into.push_back(SetPixel(dc, x, y, colour));
    };
    auto get = [&](std::vector<COLORREF> &into, int x, int y) {
        into.push_back(GetPixel(dc, x, y));
    };

    set(results.plain, 0, 0, pal(0x40));
    set(results.plain, 63, 47, pal(0x41));
    set(results.plain, 63, 0, pal(0x42));
    set(results.plain, 0, 47, pal(0x43));
    set(results.plain, 20, 20, RGB(0x80, 0x80, 0x80)); // an exact grey picks its entry
    for (POINT p : {POINT{-1, 0}, POINT{0, -1}, POINT{64, 0}, POINT{0, 48}, POINT{64, 48},
                    POINT{-1, -1}, POINT{-100000, 5}, POINT{5, 100000}}) {
        set(results.set_outside_bitmap, p.x, p.y, pal(0x50));
    }
    get(results.plain, 0, 0);
    get(results.plain, 63, 47);
    get(results.plain, 20, 20);
    get(results.plain, 64, 47);
    get(results.plain, 63, 48);
    get(results.plain, -1, 0);
    get(results.plain, 0, -1);

    clip_to(dc, 10, 10, 30, 20);
    set(results.plain, 15, 15, pal(0x60));
    set(results.plain, 10, 10, pal(0x61));
    set(results.plain, 29, 19, pal(0x62));
    set(results.set_outside_clip, 30, 19, pal(0x63)); // just right of the clip
    set(results.set_outside_clip, 29, 20, pal(0x64)); // just below it
    set(results.set_outside_clip, 9, 10, pal(0x65));  // just left of it
    get(results.plain, 15, 15);
    get(results.get_outside_clip, 30, 19);
    get(results.get_outside_clip, 9, 10);

    SetViewportOrgEx(dc, 5, 3, nullptr);
    set(results.plain, 20, 10, pal(0x70));            // device (25, 13): inside the clip
    set(results.set_outside_clip, 26, 10, pal(0x71)); // device (31, 13): outside it
    set(results.set_outside_clip, -5, -3, pal(0x72)); // device (0, 0): outside it
    get(results.plain, 20, 10);
    get(results.get_outside_clip, 26, 10);
    get(results.get_outside_clip, -5, -3);
    get(results.plain, 100, 100); // outside the clip and the bitmap

    SelectClipRgn(dc, nullptr);
    get(results.plain, -5, -3);                        // device (0, 0)
    get(results.plain, 58, 44);                        // device (63, 47)
    get(results.plain, 59, 44);                        // beyond the right edge
    get(results.plain, -6, -3);                        // beyond the left edge
    set(results.plain, -5, 44, pal(0x73));             // device (0, 47)
    set(results.set_outside_bitmap, 59, 0, pal(0x74)); // beyond the right edge
    get(results.plain, -5, 44);

    out.pixels("pixels", dc, canvas.width(), canvas.height());
    results.write(out, "");
}

// GetPixel and SetPixel on a 1-bit bitmap answer black or white.
void pixels_mono(DumpFile &out) {
    MonoCanvas mono(20, 10, mono_bits(20, 10, [](int x, int y) { return (x + y) % 3 == 0; }));
    HDC dc = mono.dc();
    PixelResults results;
    results.plain.push_back(SetPixel(dc, 1, 1, RGB(255, 255, 255)));
    results.plain.push_back(SetPixel(dc, 0, 0, RGB(0, 0, 0)));
    results.plain.push_back(SetPixel(dc, 19, 9, RGB(0, 0, 0)));
    results.set_outside_bitmap.push_back(SetPixel(dc, 20, 9, RGB(255, 255, 255)));
    for (POINT p : {POINT{1, 1}, POINT{0, 0}, POINT{19, 9}, POINT{20, 9}, POINT{-1, 0}}) {
        results.plain.push_back(GetPixel(dc, p.x, p.y));
    }
    out.pixels("pixels_mono", dc, mono.width(), mono.height());
    results.write(out, "_mono");
}

} // namespace

} // namespace conformance

int main(int argc, char **argv) {
    using namespace conformance;
    if (argc != 2) {
        std::fprintf(stderr, "usage: conformance_scenes OUTPUT_FILE\n");
        return 2;
    }
    std::FILE *file = std::fopen(argv[1], "wb");
    if (!file) {
        std::fprintf(stderr, "conformance_scenes: cannot write %s\n", argv[1]);
        return 2;
    }
    if (!env.open()) {
        std::fprintf(stderr, "conformance_scenes: no screen DC or palette\n");
        std::fclose(file);
        return 1;
    }
    DumpFile out(file);

    fillrect_edges(out);
    fillrect_inverted_empty(out);
    fillrect_huge(out);
    fillrect_clip_inside(out);
    fillrect_clip_partly_outside(out);
    fillrect_clip_empty(out);
    fillrect_clip_viewport(out);
    for (int number = 1; number <= 11; ++number) pattern_brush(out, number);
    blit_rop(out, "blit_srccopy", SRCCOPY);
    blit_rop(out, "blit_srcinvert", SRCINVERT);
    blit_rop(out, "blit_srcpaint", SRCPAINT);
    blit_rop(out, "blit_srcand", SRCAND);
    blit_rop(out, "blit_notsrccopy", NOTSRCCOPY);
    blit_viewport(out);
    blit_overlap_up_left(out);
    blit_overlap_down_right(out);
    blit_mono_to_colour(out);
    blit_colour_to_mono(out);
    blit_colour_to_mono_roundtrip(out);
    pixels(out);
    pixels_mono(out);
    line_scenes(out);
    shape_scenes(out);
    arc_scenes(out);
    image_scenes(out);
    text_scenes(out);

    env.close();
    const bool written = out.ok();
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "conformance_scenes: writing %s failed\n", argv[1]);
        return 1;
    }
    return 0;
}
