// The graphics state: the globals the families share, the layer's
// process-wide objects, the driver/mode table and the defaults, and the
// queries and setters that only read or store state.
#include "bgi.h"
#include "bgi_internal.h"
#include "object_cache.h"

#include <cstdio>

#ifndef _WIN32
using namespace win32;
#endif
using namespace bgi;

// Configuration, which a program may set before initgraph.
extern "C" {
int bgiemu_handle_redraw = 1;
int bgiemu_default_mode = 2;
}

namespace bgi {

// Plain data, constant-initialised: usable whatever runs first.
constinit device_state device = {};
constinit page_state pages = {};
constinit drawing_state drawing = {};

// Built before main, in this order. C++ orders dynamic initialisation only
// within one translation unit, so the three are defined together here; none
// of them reads anything of another file while being built.
char_queue kbd_queue(256);
pen_cache pcache;
font_cache fcache;

} // namespace bgi

namespace {

struct text_settings_t {
    int font;
    int direction;
    int charsize;
    int horiz;
    int vert;
};

text_settings_t text_settings = {};
// 0: the text alignment must be sent again before the next text output.
int text_align_mode = 0;
int aspect_ratio_x = 0;
int aspect_ratio_y = 0;

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
    device.window_width = w;
    device.window_height = h;
}

void set_defaults() {
    drawing.text_color = WHITE;
    drawing.color = WHITE;
    drawing.bkcolor = BLACK;
    drawing.line_settings.thickness = NORM_WIDTH;
    drawing.line_settings.style = SOLID_LINE;
    drawing.line_settings.pattern = 0xFFFFFFFFu;
    drawing.fill_settings.pattern = SOLID_FILL;
    drawing.fill_settings.color = WHITE;
    drawing.write_mode = COPY_PUT;
    text_settings.direction = HORIZ_DIR;
    text_settings.font = DEFAULT_FONT;
    text_settings.charsize = 1;
    text_settings.horiz = LEFT_TEXT;
    text_settings.vert = TOP_TEXT;
    text_align_mode = 0;
    pages.visual_page = 0;
    pages.active_page = 0;
    pages.view_settings.left = 0;
    pages.view_settings.top = 0;
    pages.view_settings.right = device.window_width - 1;
    pages.view_settings.bottom = device.window_height - 1;
    aspect_ratio_y = 10000;
    aspect_ratio_x = 10000;
}

} // namespace bgi

extern "C" {

int graphresult(void) {
    return device.gdi_error_code;
}

char *grapherrormsg(int errorcode) {
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, DWORD(errorcode), 0, error_message_buffer,
                   sizeof error_message_buffer, nullptr);
    return error_message_buffer;
}

int getmaxx(void) {
    return device.window_width - 1;
}
int getmaxy(void) {
    return device.window_height - 1;
}
int getmaxcolor(void) {
    return MAXCOLORS;
}
int getmaxmode(void) {
    return 3;
}

char *getmodename(int mode_number) {
    std::snprintf(mode_name_buffer, sizeof mode_name_buffer, "%d x %d %s", device.window_width,
                  device.window_height, mode_number > 1 ? "VGA" : "EGA");
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
    drawing.write_mode = mode;
}

void setaspectratio(int xasp, int yasp) {
    aspect_ratio_x = xasp;
    aspect_ratio_y = yasp;
}

void getaspectratio(int *xasp, int *yasp) {
    if (xasp) *xasp = aspect_ratio_x;
    if (yasp) *yasp = aspect_ratio_y;
}

void gettextsettings(struct textsettingstype *texttypeinfo) {
    if (!texttypeinfo) return;
    texttypeinfo->font = text_settings.font;
    texttypeinfo->direction = text_settings.direction;
    texttypeinfo->charsize = text_settings.charsize;
    texttypeinfo->horiz = text_settings.horiz;
    texttypeinfo->vert = text_settings.vert;
}

} // extern "C"
