// Fill styles and brushes: the 13 fill brushes indexed by fill pattern, the
// user's own pattern, the background brush, and the text colour the pattern
// brushes paint in.
#include "bgi.h"
#include "bgi_internal.h"

#include <cstring>

#ifndef _WIN32
using namespace win32;
#endif
using namespace bgi;

namespace {

// The monochrome bitmaps of fill patterns 1..11, 8 rows of 8 pixels, one
// word-aligned row per word; the low byte holds the pixels, bit 7 leftmost.
// Bits are inverted: a pattern brush paints 0 bits in the DC's text colour,
// which is where the fill colour goes, and 1 bits in its background colour.
constexpr WORD fill_pattern_bits[USER_FILL - 1][8] = {
    {0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00}, // SOLID_FILL
    {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFF00}, // LINE_FILL
    {0xFFFE, 0xFFFD, 0xFFFB, 0xFFF7, 0xFFEF, 0xFFDF, 0xFFBF, 0xFF7F}, // LTSLASH_FILL
    {0xFF7E, 0xFFFC, 0xFFF9, 0xFFF3, 0xFFE7, 0xFFCF, 0xFF9F, 0xFF3F}, // SLASH_FILL
    {0xFF3F, 0xFF9F, 0xFFCF, 0xFFE7, 0xFFF3, 0xFFF9, 0xFFFC, 0xFF7E}, // BKSLASH_FILL
    {0xFF7F, 0xFFBF, 0xFFDF, 0xFFEF, 0xFFF7, 0xFFFB, 0xFFFD, 0xFFFE}, // LTBKSLASH_FILL
    {0xFFFE, 0xFFFE, 0xFFFE, 0xFFFE, 0xFFFE, 0xFFFE, 0xFFFE, 0xFF00}, // HATCH_FILL
    {0xFF7E, 0xFFBD, 0xFFDB, 0xFFE7, 0xFFE7, 0xFFDB, 0xFFBD, 0xFF7E}, // XHATCH_FILL
    {0xFFAA, 0xFF55, 0xFFAA, 0xFF55, 0xFFAA, 0xFF55, 0xFFAA, 0xFF55}, // INTERLEAVE_FILL
    {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFE}, // WIDE_DOT_FILL
    {0xFFBB, 0xFFFF, 0xFFEE, 0xFFFF, 0xFFBB, 0xFFFF, 0xFFEE, 0xFFFF}, // CLOSE_DOT_FILL
};

// Fill brushes indexed by fill pattern 0..12, and the brush that clears.
constexpr int fill_pattern_count = USER_FILL + 1;
HBRUSH hBrush[fill_pattern_count] = {};
HBRUSH hBackgroundBrush = nullptr;

// The user pattern as the caller gave it (bit set = fill colour), row by row.
char userfillpattern[8] = {'\xFF', '\xFF', '\xFF', '\xFF', '\xFF', '\xFF', '\xFF', '\xFF'};
// The bitmap behind the user brush when setfillpattern made it, and the
// inverted rows it was made from.
HBITMAP hFillBitmap = nullptr;
WORD bitmap_data[8] = {};

// The brush keeps a copy of the pattern, so the bitmap goes at once.
HBRUSH create_pattern_brush(const WORD *rows) {
    const HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, rows);
    const HBRUSH brush = CreatePatternBrush(bitmap);
    DeleteObject(bitmap);
    return brush;
}

bool is_fill_pattern(int pattern) {
    return pattern >= EMPTY_FILL && pattern <= USER_FILL;
}

void select_fill_brush(HBRUSH brush) {
    on_both_dcs([brush](HDC dc) { SelectObject(dc, brush); });
}

} // namespace

namespace bgi {

void create_fill_brushes() {
    if (hBackgroundBrush) return;
    // Names slot 16, so clearing follows setbkcolor.
    hBackgroundBrush = CreateSolidBrush(palette_color(BLACK));
    hBrush[EMPTY_FILL] = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    for (int k = SOLID_FILL; k < USER_FILL; ++k)
        hBrush[k] = create_pattern_brush(fill_pattern_bits[k - 1]);
    // The user brush starts solid, as a brush of its own that setfillpattern
    // may replace without touching pattern 1; one it already made is kept.
    if (!hBrush[USER_FILL])
        hBrush[USER_FILL] = create_pattern_brush(fill_pattern_bits[SOLID_FILL - 1]);
}

void select_fill_color() {
    const int fill_color = drawing.fill_settings.color;
    if (drawing.text_color == fill_color) return;
    drawing.text_color = fill_color;
    on_both_dcs([fill_color](HDC dc) { SetTextColor(dc, palette_color(fill_color)); });
}

// The empty brush should the pattern ever name none.
HBRUSH current_fill_brush() {
    const int pattern = drawing.fill_settings.pattern;
    return is_fill_pattern(pattern) ? hBrush[pattern] : hBrush[EMPTY_FILL];
}

HBRUSH background_brush() {
    return hBackgroundBrush;
}

} // namespace bgi

extern "C" {

// A pattern outside 0..12 has no brush: the call is ignored, so the stored
// pattern always indexes hBrush safely.
void setfillstyle(int pattern, int c) {
    if (!is_fill_pattern(pattern)) return;
    drawing.fill_settings = {pattern, c & 15};
    select_fill_brush(hBrush[pattern]);
}

void getfillsettings(struct fillsettingstype *fillinfo) {
    if (!fillinfo) return;
    *fillinfo = {.pattern = drawing.fill_settings.pattern, .color = drawing.fill_settings.color};
}

void setfillpattern(const char *upattern, int c) {
    if (!upattern) return;
    for (int i = 0; i < 8; ++i)
        bitmap_data[i] = WORD(~static_cast<unsigned char>(upattern[i]) & 0xFF);
    const HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, bitmap_data);
    const HBRUSH brush = CreatePatternBrush(bitmap);
    // Without a new brush the old one stays, and with it the old pattern.
    if (!brush) {
        DeleteObject(bitmap);
        return;
    }
    std::memcpy(userfillpattern, upattern, sizeof userfillpattern);
    // The new brush goes into the DCs before the old one is deleted: GDI
    // refuses to delete a brush that is still selected.
    select_fill_brush(brush);
    DeleteObject(hBrush[USER_FILL]);
    if (hFillBitmap) DeleteObject(hFillBitmap);
    hFillBitmap = bitmap;
    hBrush[USER_FILL] = brush;
    drawing.fill_settings = {USER_FILL, c & 15};
}

void getfillpattern(char *pattern) {
    if (pattern) std::memcpy(pattern, userfillpattern, sizeof userfillpattern);
}

} // extern "C"
