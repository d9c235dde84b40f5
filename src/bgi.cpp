// The BGI graphics layer: the whole BGI state, drawn through the Win32
// USER/GDI subset of platform.h. Ordered by family: state, window, input,
// pages, palette, pens, fills, lines, arcs, text, images.
#include "bgi.h"
#include "bgi_internal.h"
#include "platform.h"

#include <cstdio>
#include <cstring>

#ifndef _WIN32
using namespace win32;
#endif

// ============================================================================
// State
// ============================================================================

// Configuration and mouse state are the only globals a program may see.
extern "C" {
int bgiemu_handle_redraw = 1;
int bgiemu_default_mode = 2;
int egerx = 0;
int egery = 0;
char balgomb = 0;
char jobbgomb = 0;
}

namespace {

struct line_settings_t {
    int style;
    unsigned pattern;
    int thickness;
};

struct fill_settings_t {
    int pattern;
    int color;
};

struct text_settings_t {
    int font;
    int direction;
    int charsize;
    int horiz;
    int vert;
};

struct view_settings_t {
    int left, top, right, bottom;
    int clip;
};

constexpr int max_pages = 16;

// Logical drawing size: the mode's size, then the client area's.
int window_width = 0;
int window_height = 0;

int active_page = 0;
int visual_page = 0;

int color = 0;
int bkcolor = 0;
int text_color = 0;
line_settings_t line_settings = {};
fill_settings_t fill_settings = {};
int write_mode = 0;
text_settings_t text_settings = {};
int text_align_mode = 0;
view_settings_t view_settings = {};
int aspect_ratio_x = 0;
int aspect_ratio_y = 0;

// System error code of the last failed initgraph; 0 after a successful one.
int gdi_error_code = 0;

// Window DC, page DC, put-image DC, get-image DC. A null window DC means the
// current window has not been painted yet.
HDC hdc[4] = {};

// The 256-slot logical palette: its description (made once, never freed) and
// the palette object built from it. BGI colour c lives in slot c + 16.
LOGPALETTE *pPalette = nullptr;
HPALETTE hPalette = nullptr;
// What slots 16..31 of hPalette show now, and the BGI colour last assigned to
// each slot by setpalette or setallpalette.
PALETTEENTRY BGIpalette[MAXCOLORS + 1] = {};
palettetype current_palette = {};

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

char error_message_buffer[256];
char mode_name_buffer[32];
char driver_name[] = "EGAVGA";

} // namespace

namespace bgi {

void detect_mode(int *driver, int *mode) {
    // Unknown drivers, negative ones included, are auto-detected like driver 0.
    unsigned d = unsigned(*driver);
    if (d > unsigned(PC3270)) d = DETECT;
    if (d == DETECT) {
        *driver = VGA;
        *mode = bgiemu_default_mode;
        d = VGA;
    }
    const int m = *mode;
    int w = 640, h = 480;
    switch (d) {
    case CGA:
        w = (m == CGAHI) ? 640 : 320, h = 200;
        break;
    case MCGA:
        if (m == MCGAMED)
            w = 640, h = 200;
        else if (m == MCGAHI)
            w = 640, h = 480;
        else
            w = 320, h = 200;
        break;
    case EGA:
    case EGA64:
        w = 640, h = (m == 0) ? 200 : 350;
        break;
    case EGAMONO:
        w = 640, h = 350;
        break;
    case IBM8514:
        if (m == 0)
            w = 640, h = 480;
        else
            w = 1024, h = 768;
        break;
    case HERCMONO:
        w = 720, h = 348;
        break;
    case ATT400:
        if (m == ATT400MED)
            w = 640, h = 200;
        else if (m == ATT400HI)
            w = 640, h = 400;
        else
            w = 320, h = 200;
        break;
    case VGA:
        w = 640;
        h = (m == VGALO) ? 200 : (m == VGAMED) ? 350 : 480;
        break;
    case PC3270:
        w = 720, h = 350;
        break;
    }
    window_width = w;
    window_height = h;
}

void set_defaults() {
    text_color = WHITE;
    color = WHITE;
    bkcolor = BLACK;
    line_settings.thickness = NORM_WIDTH;
    line_settings.style = SOLID_LINE;
    line_settings.pattern = 0xFFFFFFFFu;
    fill_settings.pattern = SOLID_FILL;
    fill_settings.color = WHITE;
    write_mode = COPY_PUT;
    text_settings.direction = HORIZ_DIR;
    text_settings.font = DEFAULT_FONT;
    text_settings.charsize = 1;
    text_settings.horiz = LEFT_TEXT;
    text_settings.vert = TOP_TEXT;
    text_align_mode = 0;
    visual_page = 0;
    active_page = 0;
    view_settings.left = 0;
    view_settings.top = 0;
    view_settings.right = window_width - 1;
    view_settings.bottom = window_height - 1;
    aspect_ratio_y = 10000;
    aspect_ratio_x = 10000;
}

} // namespace bgi

extern "C" {

int graphresult(void) {
    return gdi_error_code;
}

char *grapherrormsg(int errorcode) {
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, DWORD(errorcode), 0, error_message_buffer,
                   sizeof error_message_buffer, nullptr);
    return error_message_buffer;
}

int getmaxx(void) {
    return window_width - 1;
}
int getmaxy(void) {
    return window_height - 1;
}
int getmaxcolor(void) {
    return MAXCOLORS;
}
int getmaxmode(void) {
    return 3;
}

char *getmodename(int mode_number) {
    std::snprintf(mode_name_buffer, sizeof mode_name_buffer, "%d x %d %s", window_width,
                  window_height, mode_number > 1 ? "VGA" : "EGA");
    return mode_name_buffer;
}

char *getdrivername(void) {
    return driver_name;
}

void detectgraph(int *graphdriver, int *graphmode) {
    if (graphdriver) *graphdriver = VGA;
    if (graphmode) *graphmode = bgiemu_default_mode;
}

int getgraphmode(void) {
    return bgiemu_default_mode;
}
void setgraphmode(int) {}
void restorecrtmode(void) {}

void setwritemode(int mode) {
    write_mode = mode;
}

void setaspectratio(int xasp, int yasp) {
    aspect_ratio_x = xasp;
    aspect_ratio_y = yasp;
}

void getaspectratio(int *xasp, int *yasp) {
    if (xasp) *xasp = aspect_ratio_x;
    if (yasp) *yasp = aspect_ratio_y;
}

} // extern "C"

// ============================================================================
// Pages, viewport and current position
// ============================================================================

extern "C" void getviewsettings(struct viewporttype *viewport) {
    if (!viewport) return;
    viewport->left = view_settings.left;
    viewport->top = view_settings.top;
    viewport->right = view_settings.right;
    viewport->bottom = view_settings.bottom;
    viewport->clip = view_settings.clip;
}

// ============================================================================
// Palette and colours
// ============================================================================

namespace {

constexpr int palette_slot_offset = 16;
constexpr int bgi_color_count = MAXCOLORS + 1;

// The default RGB of each BGI colour. PC_NOCOLLAPSE keeps every slot on a
// system entry of its own, so changing one BGI colour never recolours another.
constexpr PALETTEENTRY BGIcolor[bgi_color_count] = {
    {0, 0, 0, PC_NOCOLLAPSE},       {0, 0, 255, PC_NOCOLLAPSE},     {0, 255, 0, PC_NOCOLLAPSE},
    {0, 255, 255, PC_NOCOLLAPSE},   {255, 0, 0, PC_NOCOLLAPSE},     {255, 0, 255, PC_NOCOLLAPSE},
    {165, 42, 42, PC_NOCOLLAPSE},   {211, 211, 211, PC_NOCOLLAPSE}, {47, 79, 79, PC_NOCOLLAPSE},
    {173, 216, 230, PC_NOCOLLAPSE}, {32, 178, 170, PC_NOCOLLAPSE},  {224, 255, 255, PC_NOCOLLAPSE},
    {240, 128, 128, PC_NOCOLLAPSE}, {219, 112, 147, PC_NOCOLLAPSE}, {255, 255, 0, PC_NOCOLLAPSE},
    {255, 255, 255, PC_NOCOLLAPSE}};

// The header with its one declared entry, then room for 256 more: one entry
// to spare over what the 256 slots need.
constexpr int logical_palette_size = 256;
constexpr SIZE_T logical_palette_bytes =
    sizeof(LOGPALETTE) + logical_palette_size * sizeof(PALETTEENTRY);

// The colour reference GDI gets for BGI colour c: its slot in the logical
// palette, so that palette changes recolour whatever was drawn in it.
COLORREF palette_color(int c) {
    return PALETTEINDEX(WORD(c + palette_slot_offset));
}

bool is_palette_index(int index) {
    return index >= 0 && index < bgi_color_count;
}

// Pushes BGIpalette[first..first+count) into the palette object and shows it.
void update_palette_slots(int first, int count) {
    SetPaletteEntries(hPalette, UINT(first + palette_slot_offset), UINT(count), &BGIpalette[first]);
    RealizePalette(hdc[0]);
}

} // namespace

namespace bgi {

void create_palette_description() {
    if (pPalette) return;
    pPalette = static_cast<LOGPALETTE *>(LocalAlloc(LMEM_FIXED, logical_palette_bytes));
    if (!pPalette) return;
    pPalette->palVersion = 0x300;
    pPalette->palNumEntries = logical_palette_size;
    PALETTEENTRY *entries = pPalette->palPalEntry;
    std::memset(entries, 0, logical_palette_size * sizeof(PALETTEENTRY));
    // The first and last 16 slots stand for the system's own entries, which
    // keeps the static colours of the display where they are.
    for (int i = 0; i < 16; ++i) {
        entries[i] = {BYTE(i), 0, 0, PC_EXPLICIT};
        entries[240 + i] = {BYTE(240 + i), 0, 0, PC_EXPLICIT};
    }
}

void reset_palette() {
    std::memcpy(BGIpalette, BGIcolor, sizeof BGIpalette);
    current_palette.size = bgi_color_count;
    for (int i = 0; i < bgi_color_count; ++i)
        current_palette.colors[i] = static_cast<signed char>(i);
    // Without a description there is nothing to build a palette from.
    if (!pPalette) return;
    PALETTEENTRY *entries = pPalette->palPalEntry;
    for (int i = 10; i < 16; ++i) entries[i] = BGIcolor[BLACK];
    for (int i = 0; i < bgi_color_count; ++i) entries[palette_slot_offset + i] = BGIcolor[i];
    hPalette = CreatePalette(pPalette);
}

void restore_default_colors() {
    std::memcpy(BGIpalette, BGIcolor, sizeof BGIpalette);
    for (int i = 0; i < bgi_color_count; ++i)
        current_palette.colors[i] = static_cast<signed char>(i);
    update_palette_slots(0, bgi_color_count);
}

void release_palette() {
    if (hPalette) DeleteObject(hPalette);
    hPalette = nullptr;
}

HPALETTE palette_handle() {
    return hPalette;
}

void attach_device_contexts(HDC window_dc, HDC page_dc) {
    hdc[0] = window_dc;
    hdc[1] = page_dc;
    if (window_dc) {
        SelectPalette(window_dc, hPalette, FALSE);
        RealizePalette(window_dc);
    }
    if (page_dc) SelectPalette(page_dc, hPalette, FALSE);
}

} // namespace bgi

extern "C" {

void setcolor(int c) {
    color = c & 15;
    // text_color stays: fills whose colour equals it keep painting in the
    // drawing colour set here.
    SetTextColor(hdc[0], palette_color(color));
    SetTextColor(hdc[1], palette_color(color));
}

int getcolor(void) {
    return color;
}

void setbkcolor(int c) {
    c &= 15;
    BGIpalette[0] = BGIcolor[c];
    update_palette_slots(0, 1);
    bkcolor = c;
}

int getbkcolor(void) {
    return bkcolor;
}

// Indexes outside 0..15 name no slot of the BGI colours; such calls are
// ignored rather than written past the tables.
void setpalette(int colornum, int c) {
    if (!is_palette_index(colornum)) return;
    c &= 15;
    BGIpalette[colornum] = BGIcolor[c];
    current_palette.colors[colornum] = static_cast<signed char>(c);
    update_palette_slots(colornum, 1);
    if (colornum == 0) bkcolor = 0;
}

void setrgbpalette(int colornum, int red, int green, int blue) {
    if (!is_palette_index(colornum)) return;
    // Only the six bits per component that a VGA DAC holds are kept.
    PALETTEENTRY &entry = BGIpalette[colornum];
    entry.peRed = BYTE(red) & 0xFC;
    entry.peGreen = BYTE(green) & 0xFC;
    entry.peBlue = BYTE(blue) & 0xFC;
    update_palette_slots(colornum, 1);
    if (colornum == 0) bkcolor = 0;
}

void setallpalette(const struct palettetype *palette) {
    if (!palette) return;
    // A record holds 16 colours; a larger size byte can only describe those.
    const int n = palette->size < bgi_color_count ? palette->size : bgi_color_count;
    for (int i = 0; i < n; ++i) {
        const int c = palette->colors[i] & 15;
        current_palette.colors[i] = static_cast<signed char>(c);
        BGIpalette[i] = BGIcolor[c];
    }
    update_palette_slots(0, n);
    bkcolor = 0;
}

void getpalette(struct palettetype *palette) {
    if (palette) *palette = current_palette;
}

struct palettetype *getdefaultpalette(void) {
    // Callers get a writable record; it is refilled on every call so that a
    // caller writing into it never changes what the next caller sees.
    static palettetype default_palette;
    default_palette.size = bgi_color_count;
    for (int i = 0; i < bgi_color_count; ++i)
        default_palette.colors[i] = static_cast<signed char>(i);
    return &default_palette;
}

int getpalettesize(void) {
    return bgi_color_count;
}

} // extern "C"

// ============================================================================
// Pens and line style
// ============================================================================

extern "C" void getlinesettings(struct linesettingstype *lineinfo) {
    if (!lineinfo) return;
    lineinfo->linestyle = line_settings.style;
    lineinfo->upattern = line_settings.pattern;
    lineinfo->thickness = line_settings.thickness;
}

// ============================================================================
// Fill styles
// ============================================================================

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

HBRUSH create_pattern_brush(const WORD *rows) {
    return CreatePatternBrush(CreateBitmap(8, 8, 1, 1, rows));
}

bool is_fill_pattern(int pattern) {
    return pattern >= EMPTY_FILL && pattern <= USER_FILL;
}

void select_fill_brush(HBRUSH brush) {
    SelectObject(hdc[0], brush);
    SelectObject(hdc[1], brush);
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
    if (text_color == fill_settings.color) return;
    text_color = fill_settings.color;
    SetTextColor(hdc[0], palette_color(text_color));
    SetTextColor(hdc[1], palette_color(text_color));
}

} // namespace bgi

extern "C" {

// A pattern outside 0..12 has no brush: the call is ignored, so the stored
// pattern always indexes hBrush safely.
void setfillstyle(int pattern, int c) {
    if (!is_fill_pattern(pattern)) return;
    fill_settings.pattern = pattern;
    fill_settings.color = c & 15;
    select_fill_brush(hBrush[pattern]);
}

void getfillsettings(struct fillsettingstype *fillinfo) {
    if (!fillinfo) return;
    fillinfo->pattern = fill_settings.pattern;
    fillinfo->color = fill_settings.color;
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
    fill_settings.color = c & 15;
    fill_settings.pattern = USER_FILL;
}

void getfillpattern(char *pattern) {
    if (pattern) std::memcpy(pattern, userfillpattern, sizeof userfillpattern);
}

} // extern "C"

// ============================================================================
// Text
// ============================================================================

extern "C" void gettextsettings(struct textsettingstype *texttypeinfo) {
    if (!texttypeinfo) return;
    texttypeinfo->font = text_settings.font;
    texttypeinfo->direction = text_settings.direction;
    texttypeinfo->charsize = text_settings.charsize;
    texttypeinfo->horiz = text_settings.horiz;
    texttypeinfo->vert = text_settings.vert;
}
