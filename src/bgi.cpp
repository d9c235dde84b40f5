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

extern "C" int getcolor(void) {
    return color;
}
extern "C" int getbkcolor(void) {
    return bkcolor;
}

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

extern "C" void getfillsettings(struct fillsettingstype *fillinfo) {
    if (!fillinfo) return;
    fillinfo->pattern = fill_settings.pattern;
    fillinfo->color = fill_settings.color;
}

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
