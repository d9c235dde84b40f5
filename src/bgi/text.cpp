// Text and fonts: the eleven BGI fonts as platform fonts picked from fixed
// tables, cached by the font cache; the justification as text-alignment
// flags sent only when they change; drawing and measuring strings.
#include "bgi.h"
#include "bgi_internal.h"
#include "object_cache.h"
#include "text_tables.h"

#include <algorithm>
#include <cstring>

#ifndef _WIN32
using namespace win32;
#endif
using namespace bgi;

namespace {

static_assert(font_count == BOLD_FONT + 1);

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
    select_object(device.hFont, cache_key{font, direction, width, height, true},
                  [&] { return create_font(font, direction, width, height); });
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
