// The display backend in a web page: each window a <canvas> of its client
// area's size, the DOM's events turned into ours, and frames converted
// through the system palette into RGBA pixels of which only the changed
// rectangles go to the canvas. The page's side is browser_page.js.
#include "backend.h"

#include "shown_frame.h"

#include <algorithm>
#include <map>

extern "C" {
void bgi_page_open();
void bgi_page_sizes(int *out);
void bgi_page_create(std::uint32_t window, const char *title, int width, int height);
void bgi_page_destroy(std::uint32_t window);
void bgi_page_show(std::uint32_t window, int maximized, int width, int height);
void bgi_page_put(std::uint32_t window, const std::uint32_t *pixels, int stride, int rows, int x,
                  int y, int width, int height);
void bgi_page_fill(std::uint32_t window, int x, int y, int width, int height);
void bgi_page_presented(int changed);
int bgi_page_next_event(int *out, char *text, int size);
void bgi_page_wait(int milliseconds);
void bgi_page_pause(int milliseconds);
double bgi_page_busy_ms();
void bgi_page_read(std::uint32_t window, std::uint32_t *out);
void bgi_page_canvas_size(std::uint32_t window, int *out);
void bgi_page_pointer(int shown);
void bgi_page_inject(int type, std::uint32_t window, int x, int y, unsigned virtual_key,
                     const char *text);
}

namespace win32::display {

namespace {

// The longest the program keeps the page's thread while it polls for events.
constexpr double max_busy_ms = 10;

bool opened = false;
PresentCounts counts;
std::uint32_t next_window = 1;

// What the backend keeps of each window: what it shows, as 8-bit pixels to
// compare with and as the canvas's RGBA pixels.
struct Shown {
    ShownFrame frame;
    std::vector<std::uint32_t> rgba; // width x height, rows packed
    int width = 0, height = 0;
    // The colours as RGBA pixels (little-endian: 0xAABBGGRR), for the
    // colours they were made of.
    std::uint32_t lut[256] = {};
    std::uint32_t lut_colors[256] = {};
    bool lut_known = false;
};
std::map<std::uint32_t, Shown> shown;

void update_lut(Shown &s, const std::uint32_t *colors) {
    if (s.lut_known && std::equal(colors, colors + 256, s.lut_colors)) return;
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t c = colors[i];
        s.lut[i] = 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
    }
    std::copy(colors, colors + 256, s.lut_colors);
    s.lut_known = true;
}

Area sizes(int which) {
    int out[4] = {};
    bgi_page_sizes(out);
    return {0, 0, out[2 * which], out[2 * which + 1]};
}

} // namespace

int zoom_of(const char *) {
    return 1; // the page scales with CSS; the program's pixels are the canvas's
}

void set_zoom(int) {}
void set_path(Path) {}
void set_headless_size(int, int) {}

bool open() {
    if (!opened) bgi_page_open();
    opened = true;
    return true;
}

bool is_open() {
    return opened;
}

Area display_area() {
    return sizes(0);
}

Area usable_area() {
    return sizes(1);
}

std::uint32_t create_window(const std::string &title, int, int, int width, int height) {
    if (!open()) return 0;
    const std::uint32_t id = next_window++;
    shown[id] = Shown{};
    bgi_page_create(id, title.c_str(), std::max(width, 1), std::max(height, 1));
    return id;
}

void destroy_window(std::uint32_t window) {
    shown.erase(window);
    bgi_page_destroy(window);
}

void show_window(std::uint32_t window, bool maximized, int width, int height) {
    auto it = shown.find(window);
    if (it == shown.end()) return;
    int before[2] = {};
    bgi_page_canvas_size(window, before);
    bgi_page_show(window, maximized ? 1 : 0, std::max(width, 1), std::max(height, 1));
    // A canvas given a new size is cleared.
    if (before[0] != std::max(width, 1) || before[1] != std::max(height, 1))
        it->second.frame.forget();
}

void minimize_window(std::uint32_t) {} // a page has nowhere to minimise to

void present(std::uint32_t window, const Frame &frame) {
    auto it = shown.find(window);
    if (it == shown.end()) return;
    Shown &s = it->second;
    ++counts.frames;
    const std::vector<Run> &runs = s.frame.take(frame);
    counts.compared += s.frame.looked_at();
    if (runs.empty() && !s.frame.whole()) {
        bgi_page_presented(0);
        return;
    }
    if (s.width != frame.width || s.height != frame.height) {
        s.width = frame.width, s.height = frame.height;
        s.rgba.assign(std::size_t(s.width) * std::size_t(s.height), 0xFF000000u);
    }
    update_lut(s, frame.colors);
    long long converted = 0;
    for (const Run &r : runs) {
        const std::uint8_t *in = frame.pixels + std::ptrdiff_t(r.y) * frame.stride;
        std::uint32_t *out = s.rgba.data() + std::size_t(r.y) * std::size_t(s.width);
        for (int x = r.x0; x < r.x1; ++x) out[x] = s.lut[in[x]];
        converted += r.x1 - r.x0;
    }
    counts.converted += converted;
    if (s.frame.whole()) {
        int canvas[2] = {};
        bgi_page_canvas_size(window, canvas);
        // Beyond the frame's edges the window is black.
        bgi_page_fill(window, s.width, 0, canvas[0] - s.width, std::min(s.height, canvas[1]));
        bgi_page_fill(window, 0, s.height, canvas[0], canvas[1] - s.height);
        bgi_page_put(window, s.rgba.data(), s.width, s.height, 0, 0, s.width, s.height);
        ++counts.areas;
    } else {
        for (const Area &a : s.frame.areas())
            bgi_page_put(window, s.rgba.data(), s.width, s.height, a.x, a.y, a.width, a.height);
        counts.areas += static_cast<long long>(s.frame.areas().size());
    }
    bgi_page_presented(1);
}

PresentCounts present_counts() {
    return counts;
}

std::vector<Event> poll() {
    std::vector<Event> events;
    if (!opened) return events;
    // Events come only while the page has the thread: a program that polls
    // (kbhit in a loop) gives it back now and then, even without waiting.
    if (bgi_page_busy_ms() > max_busy_ms) bgi_page_pause(0);
    int fields[8];
    char text[64];
    while (bgi_page_next_event(fields, text, int(sizeof text))) {
        Event e{};
        e.type = Event::Type(fields[0]);
        e.window = std::uint32_t(fields[1]);
        e.x = fields[2], e.y = fields[3];
        e.virtual_key = unsigned(fields[4]);
        e.repeat = fields[5] != 0;
        e.modifiers = unsigned(fields[6]);
        e.text.assign(text, std::size_t(std::clamp(fields[7], 0, int(sizeof text) - 1)));
        // The page cleared a canvas it gave a new size.
        if (e.type == Event::resized)
            if (auto it = shown.find(e.window); it != shown.end()) it->second.frame.forget();
        events.push_back(std::move(e));
    }
    return events;
}

void wait(long long microseconds) {
    // The page's timeouts count whole milliseconds and stretch short ones:
    // it waits until a millisecond before the time, then gives the page
    // turns of its event loop (the window manager asks again until then).
    if (microseconds > 1500)
        bgi_page_wait(int(std::min((microseconds - 1000) / 1000, 1LL << 30)));
    else if (microseconds > 0)
        bgi_page_pause(0);
}

// The page's keys carry no scan codes, and the page has no snapshots to type
// keys with.
unsigned scan_code_of_virtual_key(unsigned) {
    return 0;
}

void show_pointer(bool shown) {
    bgi_page_pointer(shown ? 1 : 0);
}

long long frame_interval_us() {
    return 1000000LL / 60;
}

std::vector<std::uint32_t> read_window(std::uint32_t window, int &width, int &height) {
    int size[2] = {};
    bgi_page_canvas_size(window, size);
    width = size[0], height = size[1];
    std::vector<std::uint32_t> pixels(std::size_t(width) * std::size_t(height));
    if (!pixels.empty()) bgi_page_read(window, pixels.data());
    return pixels;
}

void inject(const Event &event) {
    bgi_page_inject(int(event.type), event.window, event.x, event.y, event.virtual_key,
                    event.text.c_str());
}

} // namespace win32::display
