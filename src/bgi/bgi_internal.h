// What the families of the BGI layer share: the window and its device
// contexts, the pages and the viewport, the drawing attributes, the
// process-wide objects, and the helpers every drawing operation goes through.
// State that one family owns stays private to that family's file. Not part
// of the public API: C++ linkage only, in namespace bgi, so that nothing here
// can collide with a program's own names. The layer's tests include it too.
#pragma once

#include "bgi.h"
#include "platform.h"

#include <cstddef>

namespace bgi {

#ifdef _WIN32
using ::DWORD;
using ::HBITMAP;
using ::HDC;
using ::HPALETTE;
using ::HWND;
#else
using namespace win32;
#endif

// ---- Shared state -----------------------------------------------------------

constexpr int max_pages = 16;

struct line_settings_t {
    int style;
    unsigned pattern;
    int thickness;
};

struct fill_settings_t {
    int pattern;
    int color;
};

// (left, top) is the origin of every coordinate the program gives, on both
// DCs; with clip set, drawing is clipped to the rectangle. Kept as given.
struct view_settings_t {
    int left, top, right, bottom;
    int clip;
};

// The graphics window, its device contexts and what the caches selected into
// them.
struct device_state {
    HWND hWnd; // null while no window is open
    // Window DC, page DC, put-image DC, get-image DC. A null window DC means
    // the current window has not been painted yet.
    HDC hdc[4];
    // The drawing size: the mode's, then the client area's.
    int window_width, window_height;
    // The display's size, which every page has; read at the first paint.
    int screen_width, screen_height;
    // The pen and the font that pcache and fcache last selected into both DCs.
    HPEN hPen;
    HFONT hFont;
    // System error code of the last failed initgraph; 0 after a successful one.
    int gdi_error_code;
};

// The pages, one of which is drawn on and one shown, and the viewport, which
// is the same for every page.
struct page_state {
    HBITMAP hBitmap[max_pages]; // null until the page is first used
    int active_page;            // its bitmap is in the page DC between calls
    int visual_page;
    view_settings_t view_settings;
    HRGN hRgn; // the viewport's clip region, or null
};

// What the drawing operations draw with.
struct drawing_state {
    int color;   // drawing colour 0..15
    int bkcolor; // as getbkcolor reports it
    // The colour a fill or text output last gave both DCs as text colour.
    // setcolor gives the DCs its colour without updating this, so a fill in
    // this colour keeps painting in the drawing colour.
    int text_color;
    line_settings_t line_settings;
    fill_settings_t fill_settings;
    int write_mode; // as setwritemode stored it, unchecked
    // As setaspectratio stored them: a circle's height is its width times
    // aspect_ratio_x / aspect_ratio_y.
    int aspect_ratio_x, aspect_ratio_y;
};

extern device_state device;
extern page_state pages;
extern drawing_state drawing;

// ---- Process-wide objects ---------------------------------------------------

// A key as a PC's BIOS keeps it: the key's scan code in the high byte, its
// character in the low byte (0 for a cursor or function key).
using key_code = unsigned short;

// A ring of typed keys. One slot always stays free, so a queue of capacity n
// holds n - 1 keys; when full, the oldest key makes way. The slots are part
// of the queue: the layer allocates nothing from the C++ runtime, so the
// Windows library links with a C compiler alone.
template <int capacity> class char_queue {
public:
    void put(key_code key) {
        buffer[put_index] = key;
        if (++put_index == capacity) put_index = 0;
        if (put_index == get_index) get(); // overflow: the oldest goes
    }
    // Callers make sure the queue is not empty.
    key_code get() {
        const key_code key = buffer[get_index];
        if (++get_index == capacity) get_index = 0;
        return key;
    }
    key_code peek() const { return buffer[get_index]; }
    bool is_empty() const { return get_index == put_index; }

private:
    key_code buffer[capacity] = {};
    int put_index = 0;
    int get_index = 0;
};

class pen_cache;  // object_cache.h
class font_cache; // object_cache.h

// Built before main, in this order, all three in state.cpp.
// Typed keys, waiting for getch.
extern char_queue<256> kbd_queue;
// The pens and the fonts made for the drawing state, least recently used out.
extern pen_cache pcache;
extern font_cache fcache;

// ---- Colours and coordinates ------------------------------------------------

// BGI colour c lives in slot c + 16 of the logical palette.
constexpr int palette_slot_offset = 16;
constexpr int bgi_color_count = MAXCOLORS + 1;

// The colour reference GDI gets for BGI colour c: its slot in the logical
// palette, so that palette changes recolour whatever was drawn in it.
inline COLORREF palette_color(int c) {
    return PALETTEINDEX(WORD(c + palette_slot_offset));
}

// Sums and differences of coordinates given by the caller wrap around in 32
// bits, as they do in the machine code BGI programs were written for; they
// never overflow.
inline int wrap_add(int a, int b) {
    return int(unsigned(a) + unsigned(b));
}
inline int wrap_sub(int a, int b) {
    return int(unsigned(a) - unsigned(b));
}

// ---- The dual-target rule ---------------------------------------------------

// The page DC is drawn on unless the shown page is drawn on and repaints are
// left to the program; the window DC whenever the shown page is drawn on. So
// with repaints handled (the default) the shown page's bitmap always holds
// the whole picture.
inline bool page_is_target() {
    return bgiemu_handle_redraw != 0 || pages.visual_page != pages.active_page;
}
inline bool window_is_target() {
    return pages.visual_page == pages.active_page;
}

// Every drawing operation reaches its DCs through here: the same call on the
// page DC, then on the window DC, each when the rule names it.
template <class F> void on_targets(F draw) {
    const bool page = page_is_target(), window = window_is_target();
    if (page) draw(device.hdc[1]);
    if (window) draw(device.hdc[0]);
}

// DC state (pen, brush, mix mode, colours) goes on both DCs whatever the
// pages, so that both draw alike; the window DC first.
template <class F> void on_both_dcs(F set) {
    set(device.hdc[0]);
    set(device.hdc[1]);
}

// ---- Operations the families lend each other --------------------------------

// State: sizes the drawing area from a driver and mode; driver 0 and unknown
// drivers become the VGA driver in its default mode.
void detect_mode(int *driver, int *mode);
// State: resets the drawing state (colours, line, fill, text, pages,
// viewport, aspect ratio) without touching any device context.
void set_defaults();

// Window: the graphics window, or null when none is open.
HWND window_handle();
// Window: the DCs, 0 the window DC, 1 the page DC, 2 and 3 the image DCs;
// null before the first paint and after the window is destroyed.
HDC device_context(int index);
// Window: the user closed the window, which the program has not reopened.
bool window_closed_by_user();

// Input: fetches and dispatches at most one message, waiting for one when
// asked; false for the quit message, or when nothing waits.
bool handle_input(bool wait);
// Input: dispatches every message that waits, waiting for none.
void dispatch_waiting_messages();
// Input: the window procedure's handling of keyboard, timer and mouse
// messages; false for any other message.
bool input_message(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Input: ends the program when the user closed its window, as its next wait
// or poll must.
void end_if_closed_by_user();

// Classic behaviour, which DOS-era programs ask for with BGI_CLASSIC=1: read
// anew by every initgraph.
void read_classic_setting();
bool classic_behaviour();
// Classic: the BIOS scan code of a cursor or function key, 0 for other keys.
int extended_key_code(UINT virtual_key);
// Classic: the colour of a 6-bit EGA colour code (its two bits of red, green
// and blue), and the code of each default colour.
PALETTEENTRY ega_color(int code);
int ega_default_code(int c);

// Console: the terminal's keyboard, which getch and kbhit read while no
// window is open. A read at the end of the input ends the program, as no key
// can come any more.
int terminal_getch();
// Console: the terminal's next key, read but left for the next read, or -1
// when none waits.
int terminal_peek();

// Pages: the whole page in viewport coordinates, as clearing fills it.
RECT whole_page_rect();
// Pages: the bitmap of page 0..15, or null while the page has not been made.
HBITMAP page_bitmap(int page);

// Palette: once per process, allocates the 256-slot logical palette
// description and fills its fixed part (slots 0..15 and 240..255 name the
// system's entries). Later calls do nothing.
void create_palette_description();
// Palette: at every initgraph the 16 BGI colours return to their defaults in
// the current palette and in the description, and a new palette object is
// built from the description. Does not select it anywhere.
void reset_palette();
// Palette: graphdefaults' step; BGI colours back to their defaults in the
// current palette and in the palette object, realised on the window DC.
void restore_default_colors();
// Palette: after another application changed the system palette, a new
// palette object for all four DCs.
void recreate_palette();
// Palette: deletes the palette object (the window's destroy handler, once no
// DC holds it any more).
void release_palette();
// Palette: the palette object in use, or null before initgraph and after the
// window was destroyed.
HPALETTE palette_handle();
// Palette: the lowest BGI colour whose current RGB the colour is, or -1.
int bgi_color_of(COLORREF rgb);
// Palette, test hook until the window exists: makes the two DCs the window
// DC and the page DC, selects the palette into both and realises it on the
// window DC.
void attach_device_contexts(HDC window_dc, HDC page_dc);

// Pens: the dash array of a 16-bit line pattern, bit 0 first: dash, gap,
// dash, gap ... summing to 16, starting with a dash (0 long when bit 0 is
// clear). Writes at most 18 entries and returns their number.
int convert_userbits(DWORD *dashes, unsigned pattern);
// Pens: the write mode's part of the outlines that honour it. The first sets
// the mix mode on both DCs and selects the pen; the drawing follows; the
// second puts both DCs back into copy mode. Returns the mode in force.
int begin_write_mode();
void end_write_mode(int mode);

// Text: the text style and justification back to their defaults, the
// alignment of the DCs to be sent again (set_defaults' part).
void reset_text_settings();

// Fills: once per process, after the palette description, the background
// brush and the 13 fill brushes. Later calls do nothing.
void create_fill_brushes();
// Fills: gives both DCs the fill colour as text colour, the colour pattern
// brushes paint in, unless the cached text colour already is the fill colour.
void select_fill_color();
// Fills: the brush of the current fill pattern.
HBRUSH current_fill_brush();
// Fills: the brush that clears, in BGI colour 0.
HBRUSH background_brush();

// Images: deletes putimage's bitmap (the window's destroy handler, once the
// put-image DC is gone). Its size is kept for the next window's first put.
void release_put_image_bitmap();

} // namespace bgi
