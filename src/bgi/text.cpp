// Text and fonts: the eleven BGI fonts as platform fonts picked from fixed
// tables, cached by the font cache; the justification as text-alignment
// flags sent only when they change; drawing and measuring strings.
#include "bgi.h"
#include "bgi_internal.h"
#include "object_cache.h"

#include <algorithm>
#include <cstring>

#ifndef _WIN32
using namespace win32;
#endif
using namespace bgi;

namespace {

constexpr int font_count = BOLD_FONT + 1;
constexpr int max_charsize = 10;

// What the font mapper is asked for, per BGI font.
struct font_request {
    const char *name;
    int weight;
    BYTE pitch_and_family;
    int normal_size; // the cell a user character size scales
};
constexpr font_request font_table[font_count] = {
    {"Console", FW_BOLD, FIXED_PITCH | FF_DONTCARE, 1},
    {"Times New Roman", FW_NORMAL, VARIABLE_PITCH | FF_ROMAN, 4},
    {"Small Fonts", FW_NORMAL, VARIABLE_PITCH | FF_MODERN, 4},
    {"MS Sans Serif", FW_NORMAL, VARIABLE_PITCH | FF_DONTCARE, 4},
    {"Arial", FW_NORMAL, VARIABLE_PITCH | FF_SWISS, 4},
    {"Script", FW_NORMAL, VARIABLE_PITCH | FF_SCRIPT, 4},
    {"Times New Roman", FW_NORMAL, VARIABLE_PITCH | FF_DONTCARE, 4},
    {"Script", FW_NORMAL, VARIABLE_PITCH | FF_SCRIPT, 4},
    {"Courier New", FW_NORMAL, VARIABLE_PITCH | FF_DONTCARE, 4},
    {"Times New Roman", FW_NORMAL, VARIABLE_PITCH | FF_DONTCARE, 4},
    {"Courier New Bold", FW_BOLD, VARIABLE_PITCH | FF_DONTCARE, 4},
};

// The character cell of each font at sizes 1..10 (index 0 is never read):
// the average character width and the character height in pixels. Several
// fonts share a row of cells.
struct cell {
    int width, height;
};
using cell_row = cell[max_charsize + 1];
constexpr cell_row square_cells = {{0, 0},   {8, 8},   {16, 16}, {24, 24}, {32, 32}, {40, 40},
                                   {48, 48}, {56, 56}, {64, 64}, {72, 72}, {80, 80}};
constexpr cell_row small_cells = {{0, 0},   {3, 5},   {4, 6},   {4, 6},   {6, 9},  {8, 12},
                                  {10, 15}, {12, 18}, {15, 22}, {18, 27}, {24, 36}};
constexpr cell_row low_cells = {{0, 0},   {13, 18}, {14, 20}, {16, 23}, {22, 31}, {29, 41},
                                {36, 51}, {44, 62}, {55, 77}, {66, 93}, {88, 124}};
constexpr cell_row narrow_cells = {{0, 0},   {11, 19}, {12, 21}, {14, 24}, {19, 32}, {25, 42},
                                   {31, 53}, {38, 64}, {47, 80}, {57, 96}, {76, 128}};
constexpr cell_row wide_cells = {{0, 0},   {13, 19}, {14, 21}, {16, 24}, {22, 32}, {29, 42},
                                 {36, 53}, {44, 64}, {55, 80}, {66, 96}, {88, 128}};
constexpr const cell_row *font_metrics[font_count] = {
    &square_cells, &low_cells, &small_cells,  &narrow_cells, &wide_cells,  &narrow_cells,
    &narrow_cells, &low_cells, &narrow_cells, &narrow_cells, &narrow_cells};

// Text-alignment flags of each justification. Vertical centring is the
// baseline, not the middle of the cell.
constexpr UINT text_halign_cnv[3] = {TA_LEFT, TA_CENTER, TA_RIGHT};
constexpr UINT text_valign_cnv[3] = {TA_BOTTOM, TA_BASELINE, TA_TOP};

struct text_settings_t {
    int font;
    int direction; // 0 horizontal, anything else vertical
    int charsize;  // 1..10, or 0 for the user character size
    int horiz;     // 0 left, 1 centre, 2 right
    int vert;      // 0 bottom, 1 centre, 2 top
};
text_settings_t text_settings = {};

// Which alignment the DCs hold: 0 none that can be trusted, 1 the one of
// outtext (with the current position updated), 2 the one of outtextxy.
enum align_state { align_unknown = 0, align_outtext = 1, align_outtextxy = 2 };
int text_align_mode = align_unknown;

// The user character size: factors of the font's normal cell. Kept from
// one window to the next; only setusercharsize sets them.
int font_mul_x = 0, font_div_x = 0, font_mul_y = 0, font_div_y = 0;

// Settings the tables have no row for (a program may store anything) are
// drawn as the defaults: font 0, size 1, left and top justification.
int table_font() {
    const int f = text_settings.font;
    return (f >= 0 && f < font_count) ? f : DEFAULT_FONT;
}
int table_charsize() {
    const int s = text_settings.charsize;
    return (s >= 0 && s <= max_charsize) ? s : 1;
}
UINT halign(int justification) {
    return text_halign_cnv[(justification >= 0 && justification <= 2) ? justification : LEFT_TEXT];
}
UINT valign(int justification) {
    return text_valign_cnv[(justification >= 0 && justification <= 2) ? justification : TOP_TEXT];
}

// The flags of the current justification. Vertical text runs up the screen,
// so its baseline is vertical and the two tables exchange roles.
UINT alignment() {
    const text_settings_t &t = text_settings;
    if (t.direction == HORIZ_DIR) return halign(t.horiz) | valign(t.vert);
    return valign(t.horiz) | halign(t.vert);
}

// A cell dimension scaled by a user factor. A zero divisor (before any
// setusercharsize, or given by the caller) leaves the dimension as it is;
// the product is taken wide, and the result kept to what a font can be.
int scaled(int dimension, int mul, int div) {
    constexpr long long largest = 32767;
    if (div == 0) return dimension;
    const long long v = (long long)dimension * mul / div;
    return int(std::clamp(v, -largest, largest));
}

void select_font() {
    const int font = table_font();
    const int size = table_charsize();
    cell c;
    if (size != USER_CHAR_SIZE) {
        c = (*font_metrics[font])[size];
    } else {
        const cell normal = (*font_metrics[font])[font_table[font].normal_size];
        c = {scaled(normal.width, font_mul_x, font_div_x),
             scaled(normal.height, font_mul_y, font_div_y)};
    }
    fcache.select(font, text_settings.direction, c.width, c.height);
}

// outtext and outtextxy each want their own alignment on the DCs; it is sent
// only when the other one, or new settings, came in between.
void set_alignment(align_state wanted) {
    if (text_align_mode == wanted) return;
    text_align_mode = wanted;
    const UINT flags = alignment() | (wanted == align_outtext ? TA_UPDATECP : 0);
    on_both_dcs([flags](HDC dc) { SetTextAlign(dc, flags); });
}

void text_output(int x, int y, const char *text) {
    select_font();
    if (drawing.text_color != drawing.color) {
        drawing.text_color = drawing.color;
        const COLORREF c = palette_color(drawing.text_color);
        on_both_dcs([c](HDC dc) { SetTextColor(dc, c); });
    }
    const int length = int(std::strlen(text));
    on_targets([&](HDC dc) { TextOutA(dc, x, y, text, length); });
}

// The extent of the text in the current font, measured on the window DC;
// 0 by 0 when it cannot be measured (no window yet).
SIZE text_extent(const char *text) {
    SIZE size{0, 0};
    if (!text) return size;
    select_font();
    if (!GetTextExtentPoint32A(device.hdc[0], text, int(std::strlen(text)), &size)) size = {0, 0};
    return size;
}

} // namespace

namespace bgi {

void font_cache::select(int font, int direction, int width, int height) {
    const font_request &request = font_table[font];
    // Escapement and orientation in tenths of a degree; the product wraps
    // in 32 bits as the rest of the layer's arithmetic on caller values.
    const int escapement = int(unsigned(direction) * 900u);
    const int orientation = int(unsigned(direction & 1) * 900u);
    select_object(device.hFont, cache_key{font, direction, width, height, true}, [&] {
        // A negative height asks for the character height, not the cell's.
        return CreateFontA(-height, width, escapement, orientation, request.weight, 0, 0, 0,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, request.pitch_and_family, request.name);
    });
}

void reset_text_settings() {
    text_settings.direction = HORIZ_DIR;
    text_settings.font = DEFAULT_FONT;
    text_settings.charsize = 1;
    text_settings.horiz = LEFT_TEXT;
    text_settings.vert = TOP_TEXT;
    text_align_mode = align_unknown;
}

} // namespace bgi

extern "C" {

void settextstyle(int font, int direction, int charsize) {
    text_settings.font = font;
    text_settings.direction = direction;
    text_settings.charsize = std::min(charsize, max_charsize);
    text_align_mode = align_unknown;
}

void settextjustify(int horiz, int vert) {
    text_settings.horiz = horiz;
    text_settings.vert = vert;
    text_align_mode = align_unknown;
}

void setusercharsize(int multx, int divx, int multy, int divy) {
    font_mul_x = multx;
    font_div_x = divx;
    font_mul_y = multy;
    font_div_y = divy;
    text_settings.charsize = USER_CHAR_SIZE;
}

void gettextsettings(struct textsettingstype *texttypeinfo) {
    if (!texttypeinfo) return;
    const text_settings_t &t = text_settings;
    *texttypeinfo = {.font = t.font,
                     .direction = t.direction,
                     .charsize = t.charsize,
                     .horiz = t.horiz,
                     .vert = t.vert};
}

// At the current position, which each DC drawn on moves past the text.
void outtext(const char *textstring) {
    if (!textstring) return;
    set_alignment(align_outtext);
    text_output(0, 0, textstring);
}

void outtextxy(int x, int y, const char *textstring) {
    if (!textstring) return;
    set_alignment(align_outtextxy);
    text_output(x, y, textstring);
}

int textwidth(const char *textstring) {
    return text_extent(textstring).cx;
}

int textheight(const char *textstring) {
    return text_extent(textstring).cy;
}

} // extern "C"
