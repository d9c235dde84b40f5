// The graphics state: the globals the families share, the layer's
// process-wide objects, the driver/mode table and the defaults, and the
// queries and setters that only read or store state.
#include "bgi.h"
#include "bgi_internal.h"
#include "object_cache.h"

#include <climits>
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
char_queue<256> kbd_queue;
pen_cache pcache;
font_cache fcache;

} // namespace bgi

namespace {

// The drawing size of each driver's modes, a driver a line: the first row
// that fits counts, and a row of any_mode fits every mode of its driver.
constexpr int any_mode = INT_MIN;
struct mode_size {
    int driver, mode;
    int width, height;
};
// clang-format off
constexpr mode_size mode_sizes[] = {
    {CGA, CGAHI, 640, 200}, {CGA, any_mode, 320, 200},
    {MCGA, MCGAMED, 640, 200}, {MCGA, MCGAHI, 640, 480}, {MCGA, any_mode, 320, 200},
    {EGA, 0, 640, 200}, {EGA, any_mode, 640, 350},
    {EGA64, 0, 640, 200}, {EGA64, any_mode, 640, 350},
    {EGAMONO, any_mode, 640, 350},
    {IBM8514, 0, 640, 480}, {IBM8514, any_mode, 1024, 768},
    {HERCMONO, any_mode, 720, 348},
    {ATT400, ATT400MED, 640, 200}, {ATT400, ATT400HI, 640, 400}, {ATT400, any_mode, 320, 200},
    {VGA, VGALO, 640, 200}, {VGA, VGAMED, 640, 350}, {VGA, any_mode, 640, 480},
    {PC3270, any_mode, 720, 350},
};
// clang-format on

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
    for (const mode_size &row : mode_sizes) {
        if (unsigned(row.driver) != d || (row.mode != any_mode && row.mode != *mode)) continue;
        device.window_width = row.width;
        device.window_height = row.height;
        return;
    }
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
    reset_text_settings();
    pages.visual_page = 0;
    pages.active_page = 0;
    pages.view_settings.left = 0;
    pages.view_settings.top = 0;
    pages.view_settings.right = device.window_width - 1;
    pages.view_settings.bottom = device.window_height - 1;
    drawing.aspect_ratio_y = 10000;
    drawing.aspect_ratio_x = 10000;
}

} // namespace bgi

extern "C" {

int graphresult(void) {
    return device.gdi_error_code;
}

// A code the system has no text for gives an empty message, never the text
// of an earlier call still in the buffer.
char *grapherrormsg(int errorcode) {
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, DWORD(errorcode), 0,
                        error_message_buffer, sizeof error_message_buffer, nullptr))
        error_message_buffer[0] = '\0';
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

// The first and last mode of each driver; VGA's last is the maximised
// mode 3, as getmaxmode says. -1 asks for the driver in use, which is VGA
// (getdrivername); an unknown driver has no modes: -1, -1.
void getmoderange(int graphdriver, int *lomode, int *himode) {
    struct mode_range {
        int driver, low, high;
    };
    static constexpr mode_range ranges[] = {{CGA, CGAC0, CGAHI},
                                            {MCGA, MCGAC0, MCGAHI},
                                            {EGA, EGALO, EGAHI},
                                            {EGA64, EGA64LO, EGA64HI},
                                            {EGAMONO, EGAMONOHI, EGAMONOHI},
                                            {IBM8514, IBM8514LO, IBM8514HI},
                                            {HERCMONO, HERCMONOHI, HERCMONOHI},
                                            {ATT400, ATT400C0, ATT400HI},
                                            {VGA, VGALO, 3},
                                            {PC3270, PC3270HI, PC3270HI}};
    const int driver = graphdriver == -1 ? int(VGA) : graphdriver;
    int low = -1, high = -1;
    for (const mode_range &r : ranges)
        if (r.driver == driver) low = r.low, high = r.high;
    if (lomode) *lomode = low;
    if (himode) *himode = high;
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
    drawing.aspect_ratio_x = xasp;
    drawing.aspect_ratio_y = yasp;
}

void getaspectratio(int *xasp, int *yasp) {
    if (xasp) *xasp = drawing.aspect_ratio_x;
    if (yasp) *yasp = drawing.aspect_ratio_y;
}

} // extern "C"
