// The BGI graphics layer: the whole BGI state, drawn through the Win32
// USER/GDI subset of platform.h. Ordered by family: state, window, input,
// pages, palette, pens, fills, lines, arcs, text, images.
#include "bgi.h"
#include "bgi_internal.h"
#include "platform.h"

#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>

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

// A ring of characters. One slot always stays free, so a queue of capacity n
// holds n - 1 characters; when full, the oldest character makes way.
class char_queue {
public:
    explicit char_queue(int capacity)
        : buffer(new char[std::size_t(capacity)]), put_index(0), get_index(0), capacity(capacity) {}
    ~char_queue() { delete[] buffer; }
    char_queue(const char_queue &) = delete;
    char_queue &operator=(const char_queue &) = delete;

    void put(char ch) {
        buffer[put_index] = ch;
        if (++put_index == capacity) put_index = 0;
        if (put_index == get_index) get(); // overflow: the oldest goes
    }
    // Callers make sure the queue is not empty.
    char get() {
        const char ch = buffer[get_index];
        if (++get_index == capacity) get_index = 0;
        return ch;
    }
    bool is_empty() const { return get_index == put_index; }

private:
    char *buffer;
    int put_index;
    int get_index;
    int capacity;
};

// An element of a circular doubly linked list. The links are left unset: the
// list that takes the element in sets them.
class l2elem {
public:
    l2elem() = default;
    // A ring of one.
    void prune() { next = prev = this; }
    // Takes the element out of its ring; its own links stay as they were.
    void unlink() {
        prev->next = next;
        next->prev = prev;
    }
    void link_after(l2elem *e) {
        next = e->next;
        e->next->prev = this;
        prev = e;
        e->next = this;
    }

    l2elem *next;
    l2elem *prev;
};

// The head of a ring, itself its sentinel. The element after the head is the
// most recently used, the one before it the least recently used.
class l2list : public l2elem {
public:
    l2list() { prune(); }
};

// An entry of the pen and font caches: a GDI object and the four ints it was
// made from. A free entry's next link chains it to the next free one.
struct cache_entry : l2elem {
    HGDIOBJ handle;
    int key1, key2, key3, key4;
};

// What a cache is asked for. key4 takes part in the match only when asked to.
struct cache_key {
    int key1, key2, key3, key4;
    bool match_key4;

    bool matches(const cache_entry &e) const {
        return e.key1 == key1 && e.key2 == key2 && e.key3 == key3 &&
               (!match_key4 || e.key4 == key4);
    }
};

// The least-recently-used mechanism both caches share: 8 entries inside the
// object, so that selecting never allocates.
class object_cache : public l2list {
public:
    object_cache(const object_cache &) = delete;
    object_cache &operator=(const object_cache &) = delete;

protected:
    object_cache();
    // Makes the object for key the current one (current) in the window DC and
    // the page DC, made by create on a miss.
    template <class Handle, class Create>
    void select_object(Handle &current, const cache_key &key, Create create);

private:
    static constexpr int capacity = 8;
    cache_entry *free_list;
    cache_entry entries[capacity];
};

class pen_cache : public object_cache {
public:
    // The pen of the colour argument (a palette slot) and the line settings.
    void select(int color_arg);
};

class font_cache : public object_cache {
public:
    // The font of the four text attributes; made with the text functions.
    void select(int font, int direction, int width, int height);
};

// Process-wide objects, constructed before main in this order.
char_queue kbd_queue(256);
pen_cache pcache;
font_cache fcache;

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

// BGI colour c lives in slot c + 16 of the logical palette.
constexpr int palette_slot_offset = 16;
constexpr int bgi_color_count = MAXCOLORS + 1;

// The colour reference GDI gets for BGI colour c: its slot in the logical
// palette, so that palette changes recolour whatever was drawn in it.
COLORREF palette_color(int c) {
    return PALETTEINDEX(WORD(c + palette_slot_offset));
}

// Sums and differences of coordinates given by the caller wrap around in 32
// bits, as they do in the machine code BGI programs were written for; they
// never overflow.
int wrap_add(int a, int b) {
    return int(unsigned(a) + unsigned(b));
}
int wrap_sub(int a, int b) {
    return int(unsigned(a) - unsigned(b));
}

// The graphics window, and the paint record of its first paint, which keeps
// the window DC until the window is destroyed.
HWND hWnd = nullptr;
PAINTSTRUCT ps = {};
// Window DC, page DC, put-image DC, get-image DC. A null window DC means the
// current window has not been painted yet.
HDC hdc[4] = {};
// The display's size, which every page has; read at the first paint.
int screen_width = 0;
int screen_height = 0;
// The pages, made on first use; the viewport's clip region, or null.
HBITMAP hBitmap[max_pages] = {};
HRGN hRgn = nullptr;
HBITMAP hPutimageBitmap = nullptr;

// The whole page in viewport coordinates, as clearing fills it. FillRect
// leaves out the right column and bottom row of its rectangle, so the
// rectangle reaches one past the page: every pixel of the page is cleared.
RECT whole_page_rect() {
    return {wrap_sub(0, view_settings.left), wrap_sub(0, view_settings.top),
            wrap_sub(screen_width, view_settings.left), wrap_sub(screen_height, view_settings.top)};
}

// The pen and the font that pcache and fcache last selected into both DCs.
HPEN hPen = nullptr;
HFONT hFont = nullptr;

// Set by the timer message that ends a delay.
int timeout_expired = 0;
// closegraph is destroying the window (as opposed to the user closing it).
bool closing_window = false;
// The user closed the window; the program ends at its next wait.
bool closed_by_user = false;

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

// The brush of the current fill pattern; the empty brush should the pattern
// ever name none.
HBRUSH current_fill_brush() {
    const int pattern = fill_settings.pattern;
    return (pattern >= EMPTY_FILL && pattern <= USER_FILL) ? hBrush[pattern] : hBrush[EMPTY_FILL];
}
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
// Window
// ============================================================================

namespace {

constexpr DWORD window_style = WS_OVERLAPPEDWINDOW;
// The frame and caption around the client area of such a window.
constexpr int frame_extra_width = 8;
constexpr int frame_extra_height = 27;
constexpr UINT_PTR delay_timer_id = 1;

void first_paint(HWND window) {
    hdc[0] = BeginPaint(window, &ps);
    SelectPalette(hdc[0], hPalette, FALSE);
    RealizePalette(hdc[0]);
    for (int i = 1; i < 4; ++i) {
        hdc[i] = CreateCompatibleDC(hdc[0]);
        SelectPalette(hdc[i], hPalette, FALSE);
    }
    screen_width = GetDeviceCaps(hdc[0], HORZRES);
    screen_height = GetDeviceCaps(hdc[0], VERTRES);
    hBitmap[active_page] = CreateCompatibleBitmap(hdc[0], screen_width, screen_height);
    SelectObject(hdc[1], hBitmap[active_page]);
    for (int i = 0; i < 2; ++i) {
        SetTextColor(hdc[i], palette_color(text_color));
        SetBkColor(hdc[i], palette_color(BLACK));
        SelectObject(hdc[i], current_fill_brush());
    }
    const RECT page = whole_page_rect();
    FillRect(hdc[1], &page, hBackgroundBrush);
    // The new DCs hold none of our pens or fonts: the next selection must
    // select, even when the cache finds the object it selected last.
    hPen = nullptr;
    hFont = nullptr;
}

// Every paint copies the whole client area from the visual page.
void paint(HWND window) {
    if (!hdc[0]) first_paint(window);
    if (hRgn) SelectClipRgn(hdc[0], nullptr);
    const bool other_page = visual_page != active_page;
    if (other_page) SelectObject(hdc[1], hBitmap[visual_page]);
    const int x = wrap_sub(0, view_settings.left), y = wrap_sub(0, view_settings.top);
    BitBlt(hdc[0], x, y, window_width, window_height, hdc[1], x, y, SRCCOPY);
    if (hRgn) SelectClipRgn(hdc[0], hRgn);
    if (other_page) SelectObject(hdc[1], hBitmap[active_page]);
    ValidateRect(window, nullptr);
}

void destroy(HWND window) {
    EndPaint(window, &ps);
    hdc[0] = nullptr;
    for (int i = 1; i < 4; ++i) {
        DeleteDC(hdc[i]);
        hdc[i] = nullptr;
    }
    if (hPutimageBitmap) {
        DeleteObject(hPutimageBitmap);
        hPutimageBitmap = nullptr;
    }
    for (HBITMAP &page : hBitmap) {
        if (page) DeleteObject(page);
        page = nullptr;
    }
    bgi::release_palette();
    hWnd = nullptr;
    if (!closing_window) closed_by_user = true;
    PostQuitMessage(0);
}

// After another application changed the system palette, the palette is made
// anew and realised again. It is built with the colours the BGI palette shows
// now, so a change of focus never undoes setpalette and friends.
void recreate_palette() {
    HPALETTE fresh = CreatePalette(pPalette);
    SetPaletteEntries(fresh, palette_slot_offset, bgi_color_count, BGIpalette);
    SelectPalette(hdc[0], fresh, FALSE);
    RealizePalette(hdc[0]);
    for (int i = 1; i < 4; ++i) SelectPalette(hdc[i], fresh, FALSE);
    DeleteObject(hPalette);
    hPalette = fresh;
}

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static bool palette_changed = false;
    switch (message) {
    case WM_DESTROY:
        destroy(window);
        return 0;
    case WM_SIZE:
        window_width = LOWORD(std::uint32_t(lParam));
        window_height = HIWORD(std::uint32_t(lParam));
        return 0;
    case WM_SETFOCUS:
        if (palette_changed && pPalette && hdc[0]) {
            recreate_palette();
            palette_changed = false;
        }
        return 0;
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_CHAR:
        kbd_queue.put(char(wParam & 0xFF));
        return 0;
    case WM_TIMER:
        KillTimer(window, delay_timer_id);
        timeout_expired = 1;
        return 0;
    case WM_MOUSEMOVE: {
        const auto position = std::int32_t(lParam);
        egerx = position % 65536;
        egery = position / 65536;
        return 0;
    }
    case WM_LBUTTONDOWN:
        balgomb = 1;
        return 0;
    case WM_LBUTTONUP:
        balgomb = 0;
        return 0;
    case WM_RBUTTONDOWN:
        jobbgomb = 1;
        return 0;
    case WM_RBUTTONUP:
        jobbgomb = 0;
        return 0;
    case WM_PALETTECHANGED:
        RealizePalette(hdc[0]);
        UpdateColors(hdc[0]);
        palette_changed = true;
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Fetches and dispatches at most one message; waiting for one when asked.
bool handle_input(bool wait) {
    MSG msg;
    if (wait) {
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0) return false;
    } else if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

// A program whose window the user has closed must not keep running unseen:
// its next wait ends it, as closing the window asked.
void end_if_closed_by_user() {
    if (closed_by_user && !hWnd) std::exit(0);
}

} // namespace

namespace bgi {

HWND window_handle() {
    return hWnd;
}

} // namespace bgi

extern "C" {

void initgraph(int *graphdriver, int *graphmode, const char *) {
    gdi_error_code = 0;
    // One window at a time: a second initgraph replaces the first.
    if (hWnd) closegraph();
    static WNDCLASSA wcApp;
    if (!wcApp.lpszClassName) {
        wcApp.style = CS_SAVEBITS;
        wcApp.lpfnWndProc = WndProc;
        wcApp.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
        wcApp.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wcApp.lpszClassName = "BGIlibrary";
        // Registration is tried again by a later call if it fails.
        if (!RegisterClassA(&wcApp)) {
            gdi_error_code = int(GetLastError());
            wcApp.lpszClassName = nullptr;
            return;
        }
        bgi::create_palette_description();
        bgi::create_fill_brushes();
    }
    bgi::release_palette(); // left over when an earlier window could not be made
    bgi::reset_palette();

    int driver = graphdriver ? *graphdriver : DETECT;
    int mode = graphmode ? *graphmode : 0;
    bgi::detect_mode(&driver, &mode);
    if (graphdriver) *graphdriver = driver;
    if (graphmode) *graphmode = mode;
    bgi::set_defaults();

    closed_by_user = false;
    hWnd = CreateWindowExA(0, "BGIlibrary", "Windows BGI", window_style, 0, 0,
                           window_width + frame_extra_width, window_height + frame_extra_height,
                           nullptr, nullptr, nullptr, nullptr);
    if (!hWnd) {
        gdi_error_code = int(GetLastError());
        return;
    }
    ShowWindow(hWnd, mode == 3 ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    UpdateWindow(hWnd);
}

void closegraph(void) {
    if (!hWnd) return;
    closing_window = true;
    DestroyWindow(hWnd);
    // Until the quit message of the destroy handler: what came before it is
    // dispatched as usual, so typed characters still reach the queue.
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    closing_window = false;
    hWnd = nullptr;
}

} // extern "C"

// ============================================================================
// Input, timing and pointer
// ============================================================================

namespace {

template <class Point> int active_point(const Point *points, int count, int radius) {
    if (!points) return -1;
    for (int i = 0; i < count; ++i) {
        // The hit area is a square of the floored coordinates.
        const double fx = std::floor(points[i].x), fy = std::floor(points[i].y);
        if (!(std::fabs(fx - egerx) < radius)) continue;
        if (std::fabs(fy - egery) < radius) return i;
    }
    return -1;
}

} // namespace

extern "C" {

void delay(unsigned int milliseconds) {
    end_if_closed_by_user();
    if (!hWnd) {
        // No window to time with: sleep.
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        return;
    }
    timeout_expired = 0;
    SetTimer(hWnd, delay_timer_id, milliseconds, nullptr);
    while (!timeout_expired) {
        handle_input(true);
        end_if_closed_by_user();
        if (!hWnd) return;
    }
}

int kbhit(void) {
    while (handle_input(false)) {
    }
    if (kbd_queue.is_empty()) end_if_closed_by_user();
    return kbd_queue.is_empty() ? 0 : 1;
}

int getch(void) {
    while (kbd_queue.is_empty()) {
        end_if_closed_by_user();
        // Without a window no character can come.
        if (!hWnd) return 0;
        handle_input(true);
    }
    return static_cast<unsigned char>(kbd_queue.get());
}

int getactivepoint(const struct activepoint *points, int count, int radius) {
    return active_point(points, count, radius);
}

int getactivepoint3(const struct activepoint3 *points, int count, int radius) {
    return active_point(points, count, radius);
}

} // extern "C"

// ============================================================================
// Pages, viewport and current position
// ============================================================================

namespace {

// The dual-target rule. The page DC is drawn on unless the shown page is
// drawn on and repaints are left to the program; the window DC whenever the
// shown page is drawn on. So with repaints handled (the default) the shown
// page's bitmap always holds the whole picture.
bool page_is_target() {
    return bgiemu_handle_redraw != 0 || visual_page != active_page;
}
bool window_is_target() {
    return visual_page == active_page;
}

// Every drawing operation reaches its DCs through here: the same call on the
// page DC, then on the window DC, each when the rule names it.
template <class F> void on_targets(F draw) {
    const bool page = page_is_target(), window = window_is_target();
    if (page) draw(hdc[1]);
    if (window) draw(hdc[0]);
}

// DC state (pen, mix mode, colours, clip, origin) goes on both DCs whatever
// the pages, so that both draw alike; the window DC first.
template <class F> void on_both_dcs(F set) {
    set(hdc[0]);
    set(hdc[1]);
}

bool is_page(int page) {
    return page >= 0 && page < max_pages;
}

void copy_position(HDC from, HDC to) {
    POINT p{0, 0};
    GetCurrentPositionEx(from, &p);
    MoveToEx(to, p.x, p.y, nullptr);
}

// The position getx and gety report: the window DC's while the shown page is
// drawn on, else the page DC's.
POINT current_position() {
    POINT p{0, 0};
    GetCurrentPositionEx(window_is_target() ? hdc[0] : hdc[1], &p);
    return p;
}

// Makes page `page`, selects it into the page DC and clears it. Without a
// window, or when the bitmap cannot be made, there is no page: the page DC
// keeps the page it holds, which must not be cleared in its stead.
bool allocate_new_graphic_page(int page) {
    if (!hdc[0]) return false;
    const RECT rect = whole_page_rect();
    hBitmap[page] = CreateCompatibleBitmap(hdc[0], screen_width, screen_height);
    if (!hBitmap[page]) return false;
    SelectObject(hdc[1], hBitmap[page]);
    SelectClipRgn(hdc[1], nullptr);
    FillRect(hdc[1], &rect, hBackgroundBrush);
    SelectClipRgn(hdc[1], hRgn);
    return true;
}

} // namespace

namespace bgi {

HDC device_context(int index) {
    return (index >= 0 && index < 4) ? hdc[index] : nullptr;
}

HBITMAP page_bitmap(int page) {
    return is_page(page) ? hBitmap[page] : nullptr;
}

} // namespace bgi

extern "C" {

// Only pages 0..15 exist; a call naming another, or a page that cannot be
// made, is ignored.
void setactivepage(int page) {
    if (!is_page(page)) return;
    if (hBitmap[page])
        SelectObject(hdc[1], hBitmap[page]);
    else if (!allocate_new_graphic_page(page))
        return;
    // Drawing on the shown page moved only the window DC; the page DC takes
    // over its position.
    if (!bgiemu_handle_redraw && active_page == visual_page) copy_position(hdc[0], hdc[1]);
    active_page = page;
}

void setvisualpage(int page) {
    if (!is_page(page)) return;
    if (!hBitmap[page] && !allocate_new_graphic_page(page)) return;
    const int x = wrap_sub(0, view_settings.left), y = wrap_sub(0, view_settings.top);
    if (!bgiemu_handle_redraw && active_page == visual_page) {
        // The window holds drawing that the active page lacks: save it there.
        SelectObject(hdc[1], hBitmap[visual_page]);
        SelectClipRgn(hdc[1], nullptr);
        BitBlt(hdc[1], x, y, window_width, window_height, hdc[0], x, y, SRCCOPY);
        SelectClipRgn(hdc[1], hRgn);
        copy_position(hdc[0], hdc[1]);
    }
    // The page replaces the whole client area, whatever the viewport's clip.
    SelectClipRgn(hdc[0], nullptr);
    SelectClipRgn(hdc[1], nullptr);
    SelectObject(hdc[1], hBitmap[page]);
    BitBlt(hdc[0], x, y, window_width, window_height, hdc[1], x, y, SRCCOPY);
    SelectClipRgn(hdc[0], hRgn);
    SelectClipRgn(hdc[1], hRgn);
    if (page != active_page) SelectObject(hdc[1], hBitmap[active_page]);
    // Drawing on a hidden page moved only the page DC.
    if (active_page != visual_page) copy_position(hdc[1], hdc[0]);
    visual_page = page;
}

void cleardevice(void) {
    const RECT rect = whole_page_rect();
    on_targets([&](HDC dc) {
        if (hRgn) SelectClipRgn(dc, nullptr);
        FillRect(dc, &rect, hBackgroundBrush);
        if (hRgn) SelectClipRgn(dc, hRgn);
    });
    moveto(0, 0);
}

// The far corner is exclusive: the viewport's last column and row stay.
void clearviewport(void) {
    const RECT rect{0, 0, wrap_sub(view_settings.right, view_settings.left),
                    wrap_sub(view_settings.bottom, view_settings.top)};
    on_targets([&](HDC dc) { FillRect(dc, &rect, hBackgroundBrush); });
    moveto(0, 0);
}

void setviewport(int left, int top, int right, int bottom, int clip) {
    view_settings = {left, top, right, bottom, clip};
    // Each DC keeps its own copy of a selected region, so ours may go now.
    if (hRgn) DeleteObject(hRgn);
    hRgn = clip ? CreateRectRgn(left, top, right, bottom) : nullptr;
    for (HDC dc : {hdc[1], hdc[0]}) {
        SelectClipRgn(dc, hRgn);
        SetViewportOrgEx(dc, left, top, nullptr);
    }
    moveto(0, 0);
}

void getviewsettings(struct viewporttype *viewport) {
    if (!viewport) return;
    viewport->left = view_settings.left;
    viewport->top = view_settings.top;
    viewport->right = view_settings.right;
    viewport->bottom = view_settings.bottom;
    viewport->clip = view_settings.clip;
}

void moveto(int x, int y) {
    on_targets([&](HDC dc) { MoveToEx(dc, x, y, nullptr); });
}

// Relative moves start from the page DC, which sees every move unless
// repaints are left to the program.
void moverel(int dx, int dy) {
    POINT p{0, 0};
    GetCurrentPositionEx(hdc[1], &p);
    moveto(wrap_add(p.x, dx), wrap_add(p.y, dy));
}

int getx(void) {
    return current_position().x;
}

int gety(void) {
    return current_position().y;
}

// The clip flag and region survive: the region is only taken off the DCs,
// and the next operation that selects it brings it back.
void graphdefaults(void) {
    const int was_active = active_page, was_visual = visual_page;
    bgi::set_defaults();
    bgi::restore_default_colors();
    on_both_dcs([](HDC dc) { SetTextColor(dc, palette_color(text_color)); });
    const HBRUSH brush = current_fill_brush();
    on_both_dcs([&](HDC dc) {
        SetBkColor(dc, palette_color(BLACK));
        SelectClipRgn(dc, nullptr);
        SetViewportOrgEx(dc, 0, 0, nullptr);
        SelectObject(dc, brush);
    });
    // Page 0 is now drawn on and shown: the page DC must hold it, and a
    // window that showed another page must show it.
    if (was_active != active_page && hBitmap[active_page])
        SelectObject(hdc[1], hBitmap[active_page]);
    if (was_visual != visual_page && hBitmap[visual_page])
        BitBlt(hdc[0], 0, 0, window_width, window_height, hdc[1], 0, 0, SRCCOPY);
    moveto(0, 0);
}

} // extern "C"

// ============================================================================
// Palette and colours
// ============================================================================

namespace {

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

namespace {

// GDI pen style of each BGI line style. The user style's pen is made from its
// dash array; PS_DASHDOTDOT stands in when GDI refuses that pen.
constexpr int line_style_cnv[USERBIT_LINE + 1] = {PS_SOLID, PS_DOT, PS_DASHDOT, PS_DASH,
                                                  PS_DASHDOTDOT};

// GDI mix mode of each write mode.
constexpr int write_mode_cnv[NOT_PUT + 1] = {R2_COPYPEN, R2_XORPEN, R2_MERGEPEN, R2_MASKPEN,
                                             R2_NOTCOPYPEN};

// A style without a row in line_style_cnv draws solid.
int pen_style(int style) {
    return (style >= SOLID_LINE && style <= USERBIT_LINE) ? line_style_cnv[style] : int(PS_SOLID);
}

// The pen colour is the colour argument's palette slot (kept to 16 bits).
HPEN create_pen(int color_arg) {
    const COLORREF pen_color = PALETTEINDEX(WORD(color_arg));
    HPEN pen = nullptr;
    if (line_settings.style == USERBIT_LINE) {
        const LOGBRUSH brush{BS_SOLID, pen_color, 0};
        DWORD dashes[32];
        const int count = bgi::convert_userbits(dashes, line_settings.pattern);
        pen = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, DWORD(line_settings.thickness), &brush,
                           DWORD(count), dashes);
    }
    if (!pen) pen = CreatePen(pen_style(line_settings.style), line_settings.thickness, pen_color);
    return pen;
}

object_cache::object_cache() : free_list(entries) {
    for (int i = 0; i + 1 < capacity; ++i) entries[i].next = &entries[i + 1];
    entries[capacity - 1].next = nullptr;
}

template <class Handle, class Create>
void object_cache::select_object(Handle &current, const cache_key &key, Create create) {
    for (l2elem *e = next; e != this; e = e->next) {
        auto *entry = static_cast<cache_entry *>(e);
        if (!key.matches(*entry)) continue;
        entry->unlink();
        entry->link_after(this);
        if (entry->handle != current) {
            current = static_cast<Handle>(entry->handle);
            on_both_dcs([&](HDC dc) { SelectObject(dc, current); });
        }
        return;
    }
    const Handle made = create();
    current = made;
    on_both_dcs([&](HDC dc) { SelectObject(dc, made); });
    cache_entry *entry = free_list;
    if (entry) {
        free_list = static_cast<cache_entry *>(entry->next);
    } else {
        // The least recently used object goes. It is not selected anywhere:
        // the new one has just taken its place in both DCs.
        entry = static_cast<cache_entry *>(prev);
        entry->unlink();
        DeleteObject(entry->handle);
    }
    entry->handle = made;
    entry->key1 = key.key1;
    entry->key2 = key.key2;
    entry->key3 = key.key3;
    entry->key4 = key.key4;
    entry->link_after(this);
}

// The pattern tells pens apart only in the user style; the other styles ignore it.
void pen_cache::select(int color_arg) {
    const cache_key key{color_arg, line_settings.thickness, line_settings.style,
                        int(line_settings.pattern), line_settings.style == USERBIT_LINE};
    select_object(hPen, key, [color_arg] { return create_pen(color_arg); });
}

} // namespace

namespace bgi {

int convert_userbits(DWORD *dashes, unsigned pattern) {
    pattern &= 0xFFFF;
    int i = 0;
    DWORD used = 0;
    for (;;) {
        DWORD dash = 0;
        for (; pattern & 1; pattern >>= 1) ++dash;
        dashes[i++] = dash;
        used += dash;
        if (!pattern) {
            dashes[i++] = 16 - used; // the gap that completes the 16 bits
            return i;
        }
        DWORD gap = 0;
        for (; !(pattern & 1); pattern >>= 1) ++gap;
        dashes[i++] = gap;
        used += gap;
    }
}

} // namespace bgi

extern "C" {

// Stored as given; the next pen selection uses them.
void setlinestyle(int linestyle, unsigned upattern, int thickness) {
    line_settings.style = linestyle;
    line_settings.pattern = upattern;
    line_settings.thickness = thickness;
}

void getlinesettings(struct linesettingstype *lineinfo) {
    if (!lineinfo) return;
    lineinfo->linestyle = line_settings.style;
    lineinfo->upattern = line_settings.pattern;
    lineinfo->thickness = line_settings.thickness;
}

} // extern "C"

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
// Lines, polygons, bars and pixels
// ============================================================================

namespace {

// tan 30 degrees: how far the back face of a 3-D bar rises per unit of depth.
constexpr double bar3d_slope = 0.5773502691896258;

// The write mode with a row in write_mode_cnv; any other draws as a copy.
int effective_write_mode() {
    return (write_mode >= COPY_PUT && write_mode <= NOT_PUT) ? write_mode : int(COPY_PUT);
}

void set_mix_mode(int mode) {
    on_both_dcs([mode](HDC dc) { SetROP2(dc, mode); });
}

// The outlines that honour the write mode (lineto, drawpoly and bar3d's
// edges). The mix mode holds for this one call only. XOR and inverted copy
// take the pen from palette slots 0..15 rather than the BGI colours' 16..31,
// so that combining indices leaves the result among the BGI colours: XOR of
// slot c over slot 16 + b is slot 16 + (b ^ c).
template <class F> void draw_outline(F draw) {
    const int mode = effective_write_mode();
    if (mode != COPY_PUT) set_mix_mode(write_mode_cnv[mode]);
    pcache.select(mode == XOR_PUT || mode == NOT_PUT ? color : color + palette_slot_offset);
    on_targets(draw);
    if (mode != COPY_PUT) set_mix_mode(R2_COPYPEN);
}

// A point list of the public API is pairs of ints, x first: POINT's layout,
// so it goes to GDI as it is.
static_assert(sizeof(POINT) == 2 * sizeof(int) && offsetof(POINT, y) == sizeof(int));
const POINT *as_points(const int *xy) {
    return reinterpret_cast<const POINT *>(xy);
}

} // namespace

extern "C" {

void lineto(int x, int y) {
    draw_outline([&](HDC dc) { LineTo(dc, x, y); });
}

// From the page DC's position, as moverel.
void linerel(int dx, int dy) {
    POINT p{0, 0};
    GetCurrentPositionEx(hdc[1], &p);
    lineto(wrap_add(p.x, dx), wrap_add(p.y, dy));
}

// Open: the caller repeats the first point to close the figure.
void drawpoly(int numpoints, const int *polypoints) {
    if (!polypoints || numpoints < 0) return;
    const POINT *points = as_points(polypoints);
    draw_outline([&](HDC dc) { Polyline(dc, points, numpoints); });
}

// A polyline, so the write mode applies and the current position stays.
void line(int x1, int y1, int x2, int y2) {
    const int points[] = {x1, y1, x2, y2};
    drawpoly(2, points);
}

void rectangle(int left, int top, int right, int bottom) {
    const int points[] = {left, top, right, top, right, bottom, left, bottom, left, top};
    drawpoly(5, points);
}

// Copy mode always; the edge in the drawing colour, the inside in the
// current fill brush.
void fillpoly(int numpoints, const int *polypoints) {
    if (!polypoints || numpoints < 0) return;
    const POINT *points = as_points(polypoints);
    pcache.select(color + palette_slot_offset);
    bgi::select_fill_color();
    on_targets([&](HDC dc) { Polygon(dc, points, numpoints); });
}

// The right column and bottom row are left out, as FillRect does.
void bar(int left, int top, int right, int bottom) {
    if (left > right) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    const RECT rect{left, top, right, bottom};
    bgi::select_fill_color();
    const HBRUSH brush = current_fill_brush();
    on_targets([&](HDC dc) { FillRect(dc, &rect, brush); });
}

void bar3d(int left, int top, int right, int bottom, int depth, int topflag) {
    if (left > right) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    // The inner face is the bar inset by the line thickness on every side.
    // An inset that passes itself leaves no face; handed to bar as it is, it
    // would be turned round and painted outside the outline.
    const long long t = line_settings.thickness;
    if ((long long)left + t <= (long long)right - t + 1 &&
        (long long)top + t <= (long long)bottom - t + 1)
        bar(int(left + t), int(top + t), int(right - t + 1), int(bottom - t + 1));
    const int dy = int(depth * bar3d_slope);
    const int back_right = wrap_add(right, depth), back_left = wrap_add(left, depth);
    const int back_top = wrap_sub(top, dy), back_bottom = wrap_sub(bottom, dy);
    // Front face, right side face, then (with a top) back along the top edge.
    const POINT points[] = {{right, bottom},        {right, top},    {left, top},
                            {left, bottom},         {right, bottom}, {back_right, back_bottom},
                            {back_right, back_top}, {right, top},    {back_right, back_top},
                            {back_left, back_top},  {left, top}};
    const int count = topflag ? 11 : 8;
    draw_outline([&](HDC dc) { Polyline(dc, points, count); });
}

// The border colour is not masked: colours beyond 15 name other slots.
void floodfill(int x, int y, int border) {
    bgi::select_fill_color();
    const COLORREF border_color = PALETTEINDEX(WORD(unsigned(border) + palette_slot_offset));
    on_targets([&](HDC dc) { FloodFill(dc, x, y, border_color); });
}

void putpixel(int x, int y, int c) {
    const COLORREF pixel_color = palette_color(c & 15);
    on_targets([&](HDC dc) { SetPixel(dc, x, y, pixel_color); });
}

// The BGI colour whose current RGB the pixel shows (the lowest such), or -1
// for a pixel outside the page or the clip, or of no BGI colour.
int getpixel(int x, int y) {
    const COLORREF c = GetPixel(page_is_target() ? hdc[1] : hdc[0], x, y);
    if (c == CLR_INVALID) return -1;
    const BYTE red = BYTE(c & 0xFF), green = BYTE((c >> 8) & 0xFF), blue = BYTE((c >> 16) & 0xFF);
    for (int i = 0; i < bgi_color_count; ++i) {
        const PALETTEENTRY &e = BGIpalette[i];
        if (e.peRed == red && e.peGreen == green && e.peBlue == blue) return i;
    }
    return -1;
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
