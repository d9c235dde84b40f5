// The display backend on SDL2: one SDL window per top-level window, its
// events turned into ours, and 8-bit surfaces shown through the system palette.
#include "backend.h"

#include "keymap.h"
#include "platform.h"
#include "shown_frame.h"
#include "x11_connection.h"

#include <SDL.h>

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>
#include <map>
#include <span>
#include <thread>
#include <vector>

namespace win32::display {

namespace {

bool opened = false;
bool headless = false;
// The X server connection the windows' events come on, once a window is on
// X11; -1 otherwise.
int x11_fd = -1;

// Asking the display for events (SDL_PumpEvents) costs a few system calls,
// so it is asked at most once a millisecond, unless SDL may hold events it
// has read but not queued: every call into SDL's windows may read the
// display's connection while it waits for an answer (a presentation waits
// for the X server to take the picture), so each of them sets `unread`.
constexpr long long pump_interval_us = 1000;
bool unread = true;
long long last_pump_us = 0;

long long clock_us() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void pump() {
    SDL_PumpEvents();
    unread = false;
    last_pump_us = clock_us();
}
int headless_width = 1024;
int headless_height = 768;
int zoom = 1; // of windows created from now on
Path path = Path::surface;
PresentCounts counts;
bool pointer_shown = true;

// What the backend keeps of each window: its zoom and what it shows.
struct Shown {
    int zoom = 1;
    ShownFrame frame;
    SDL_Surface *target = nullptr; // the window surface last drawn into
    // The colours as the target's pixels, for the colours they were made of.
    Uint32 lut[256] = {};
    std::uint32_t lut_colors[256] = {};
    Uint32 lut_format = 0;
    // The screen rectangles of the last update, kept for the next.
    std::vector<SDL_Rect> rects;
    // The texture path; without a renderer the window takes the surface path.
    SDL_Renderer *renderer = nullptr;
    SDL_Texture *texture = nullptr;
    int texture_width = 0, texture_height = 0;
};
std::map<std::uint32_t, Shown> shown;

SDL_Window *window_of(std::uint32_t id) {
    return id ? SDL_GetWindowFromID(id) : nullptr;
}

int zoom_of_window(std::uint32_t id) {
    auto it = shown.find(id);
    return it == shown.end() ? 1 : it->second.zoom;
}

// Screen pixels to the program's: whole blocks, rounding down.
int unzoom(int v, int z) {
    return v / z - (v % z < 0 ? 1 : 0); // no overflow at the ends of int
}
// The program's pixels to the screen's, kept to what an int holds.
int zoomed(int v, int z) {
    return int(std::clamp<long long>((long long)v * z, INT_MIN / 2, INT_MAX / 2));
}

bool translate(const SDL_Event &e, Event &out) {
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        out.type = e.type == SDL_KEYDOWN ? Event::key_down : Event::key_up;
        out.window = e.key.windowID;
        out.virtual_key = virtual_key_of(e.key.keysym.sym);
        out.scan_code = scan_code_of(e.key.keysym.scancode);
        out.repeat = e.key.repeat != 0;
        out.modifiers = (e.key.keysym.mod & KMOD_SHIFT ? MK_SHIFT : 0) |
                        (e.key.keysym.mod & KMOD_CTRL ? MK_CONTROL : 0);
        return out.virtual_key != 0;
    case SDL_TEXTINPUT:
        out.type = Event::text_input;
        out.window = e.text.windowID;
        out.text = e.text.text;
        return true;
    case SDL_MOUSEMOTION: {
        out.type = Event::mouse_move;
        out.window = e.motion.windowID;
        const int z = zoom_of_window(out.window);
        out.x = unzoom(e.motion.x, z), out.y = unzoom(e.motion.y, z);
        return true;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        out.type = e.type == SDL_MOUSEBUTTONDOWN ? Event::button_down : Event::button_up;
        out.window = e.button.windowID;
        const int z = zoom_of_window(out.window);
        out.x = unzoom(e.button.x, z), out.y = unzoom(e.button.y, z);
        out.virtual_key = e.button.button == SDL_BUTTON_LEFT     ? 1
                          : e.button.button == SDL_BUTTON_MIDDLE ? 2
                          : e.button.button == SDL_BUTTON_RIGHT  ? 3
                                                                 : 0;
        return out.virtual_key != 0;
    }
    case SDL_WINDOWEVENT:
        out.window = e.window.windowID;
        switch (e.window.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
            out.type = Event::resized;
            const int z = zoom_of_window(out.window);
            out.x = unzoom(e.window.data1, z), out.y = unzoom(e.window.data2, z);
            return true;
        }
        case SDL_WINDOWEVENT_MINIMIZED:
            out.type = Event::minimized;
            return true;
        case SDL_WINDOWEVENT_RESTORED:
            out.type = Event::restored;
            return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            out.type = Event::focus_gained;
            return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            out.type = Event::focus_lost;
            return true;
        case SDL_WINDOWEVENT_EXPOSED:
            out.type = Event::exposed;
            return true;
        case SDL_WINDOWEVENT_CLOSE:
            out.type = Event::close;
            return true;
        default:
            return false;
        }
    default:
        return false;
    }
}

// The usable part of the display in the screen's pixels.
SDL_Rect usable_on_screen() {
    SDL_Rect r{0, 0, headless_width, headless_height};
    if (opened && !headless) SDL_GetDisplayUsableBounds(0, &r);
    return r;
}

Area unzoomed(const SDL_Rect &r) {
    return {unzoom(r.x, zoom), unzoom(r.y, zoom), r.w / zoom, r.h / zoom};
}

// The frame's colours as pixels of a format: the target's, or with none
// the texture's (opaque 0xAARRGGBB).
void update_lut(Shown &s, const Frame &frame, const SDL_PixelFormat *format) {
    const Uint32 kind = format ? format->format : Uint32(SDL_PIXELFORMAT_ARGB8888);
    if (s.lut_format == kind && std::memcmp(s.lut_colors, frame.colors, sizeof s.lut_colors) == 0)
        return;
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t c = frame.colors[i];
        s.lut[i] =
            format ? SDL_MapRGB(format, Uint8(c >> 16), Uint8(c >> 8), Uint8(c)) : 0xFF000000u | c;
    }
    std::memcpy(s.lut_colors, frame.colors, sizeof s.lut_colors);
    s.lut_format = kind;
}

Uint32 *pixel_row(void *pixels, int pitch, int y) {
    return reinterpret_cast<Uint32 *>(static_cast<Uint8 *>(pixels) + std::ptrdiff_t(y) * pitch);
}

// n pixels through the colours.
void convert_pixels(const std::uint8_t *in, int n, const Uint32 *lut, Uint32 *out) {
    for (int i = 0; i < n; ++i) out[i] = lut[in[i]];
}

// Converts a run of the frame into the target, each pixel a z x z block,
// as far as the target reaches.
void convert_run(const Frame &frame, const Run &run, const Uint32 *lut, int z,
                 SDL_Surface *target) {
    const int top = run.y * z;
    const int x0 = run.x0, x1 = std::min(run.x1, (target->w + z - 1) / z);
    if (top >= target->h || x0 >= x1) return;
    const std::uint8_t *in = frame.pixels + std::ptrdiff_t(run.y) * frame.stride;
    Uint32 *row = pixel_row(target->pixels, target->pitch, top);
    if (z == 1) {
        convert_pixels(in + x0, x1 - x0, lut, row + x0);
        return;
    }
    const int right = std::min(x1 * z, target->w);
    for (int x = x0; x < x1; ++x) {
        const Uint32 v = lut[in[x]];
        Uint32 *block = row + x * z;
        const int n = std::min(z, right - x * z);
        for (int k = 0; k < n; ++k) block[k] = v;
    }
    const std::size_t bytes = std::size_t(right - x0 * z) * sizeof(Uint32);
    for (int k = 1; k < z && top + k < target->h; ++k)
        std::memcpy(pixel_row(target->pixels, target->pitch, top + k) + x0 * z, row + x0 * z,
                    bytes);
}

// Black where the window reaches beyond the zoomed frame.
void fill_beyond(SDL_Surface *target, int right, int bottom, Uint32 black) {
    const SDL_Rect beside{right, 0, target->w - right, std::min(bottom, target->h)};
    const SDL_Rect below{0, bottom, target->w, target->h - bottom};
    for (const SDL_Rect &r : {beside, below})
        if (r.w > 0 && r.h > 0) SDL_FillRect(target, &r, black);
}

long long pixels_of(const std::vector<Run> &runs) {
    long long n = 0;
    for (const Run &r : runs) n += r.x1 - r.x0;
    return n;
}

void present_on_surface(SDL_Window *w, Shown &s, Frame frame) {
    SDL_Surface *target = SDL_GetWindowSurface(w);
    if (!target || target->format->BytesPerPixel != 4) {
        s.frame.forget();
        return;
    }
    // A window surface SDL made anew (the first, or after a resize) holds
    // nothing of ours yet.
    if (s.target != target) frame.whole = true;
    s.target = target;
    const std::vector<Run> &runs = s.frame.take(frame);
    counts.compared += s.frame.looked_at();
    if (runs.empty() && !frame.whole) return;
    update_lut(s, frame, target->format);
    const int z = s.zoom;
    if (SDL_MUSTLOCK(target)) SDL_LockSurface(target);
    for (const Run &r : runs) convert_run(frame, r, s.lut, z, target);
    if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
    counts.converted += pixels_of(runs);
    if (s.frame.whole() || runs.empty()) {
        const int right = s.frame.whole() ? zoomed(frame.width, z) : 0;
        const int bottom = s.frame.whole() ? zoomed(frame.height, z) : 0;
        fill_beyond(target, right, bottom, SDL_MapRGB(target->format, 0, 0, 0));
        SDL_UpdateWindowSurface(w);
        ++counts.areas;
        return;
    }
    std::vector<SDL_Rect> &rects = s.rects;
    rects.clear();
    const SDL_Rect whole{0, 0, target->w, target->h};
    for (const Area &a : s.frame.areas()) {
        SDL_Rect r{a.x * z, a.y * z, a.width * z, a.height * z};
        if (SDL_IntersectRect(&r, &whole, &r)) rects.push_back(r);
    }
    counts.areas += static_cast<long long>(rects.size());
    if (!rects.empty()) SDL_UpdateWindowSurfaceRects(w, rects.data(), int(rects.size()));
}

void present_on_texture(Shown &s, Frame frame) {
    if (frame.width <= 0 || frame.height <= 0) return;
    if (!s.texture || s.texture_width != frame.width || s.texture_height != frame.height) {
        if (s.texture) SDL_DestroyTexture(s.texture);
        s.texture = SDL_CreateTexture(s.renderer, SDL_PIXELFORMAT_ARGB8888,
                                      SDL_TEXTUREACCESS_STREAMING, frame.width, frame.height);
        s.texture_width = frame.width, s.texture_height = frame.height;
        if (!s.texture) return;
        SDL_SetTextureScaleMode(s.texture, SDL_ScaleModeNearest);
        frame.whole = true;
    }
    const std::vector<Run> &runs = s.frame.take(frame);
    counts.compared += s.frame.looked_at();
    if (runs.empty() && !frame.whole) return;
    update_lut(s, frame, nullptr);
    // A locked part of a streaming texture holds nothing to keep: every
    // pixel of it is written.
    const Area whole{0, 0, frame.width, frame.height};
    const std::span<const Area> areas =
        s.frame.whole() ? std::span<const Area>(&whole, 1) : std::span<const Area>(s.frame.areas());
    long long converted = 0;
    for (const Area &a : areas) {
        const SDL_Rect r{a.x, a.y, a.width, a.height};
        void *pixels = nullptr;
        int pitch = 0;
        if (SDL_LockTexture(s.texture, &r, &pixels, &pitch) != 0) continue;
        for (int y = 0; y < a.height; ++y)
            convert_pixels(frame.pixels + std::ptrdiff_t(a.y + y) * frame.stride + a.x, a.width,
                           s.lut, pixel_row(pixels, pitch, y));
        SDL_UnlockTexture(s.texture);
        converted += (long long)a.width * a.height;
    }
    SDL_SetRenderDrawColor(s.renderer, 0, 0, 0, 255);
    SDL_RenderClear(s.renderer);
    const SDL_Rect to{0, 0, zoomed(frame.width, s.zoom), zoomed(frame.height, s.zoom)};
    SDL_RenderCopy(s.renderer, s.texture, nullptr, &to);
    SDL_RenderPresent(s.renderer);
    counts.converted += converted;
    counts.areas += static_cast<long long>(areas.size());
}

} // namespace

int zoom_of(const char *setting) {
    if (!setting || setting[0] < '1' || setting[0] > '8' || setting[1] != '\0') return 1;
    return setting[0] - '0';
}

void set_zoom(int z) {
    zoom = (z >= 1 && z <= 8) ? z : 1;
}

void set_path(Path p) {
    path = p;
}

bool open() {
    if (opened) return true;
    // Ctrl+C and friends end the program as usual instead of becoming events.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // The window surface is written directly; an accelerated framebuffer would
    // make SDL re-create the window at its pre-maximise position.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    const char *driver = SDL_GetCurrentVideoDriver();
    headless =
        driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0);
    // With no display SDL falls back to drawing nowhere; a window nobody sees
    // is only wanted when asked for by name.
    if (headless && !SDL_getenv("SDL_VIDEODRIVER")) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    if (const char *z = SDL_getenv("BGI_ZOOM")) set_zoom(zoom_of(z));
    if (const char *p = SDL_getenv("BGI_PRESENT"); p && std::strcmp(p, "texture") == 0)
        path = Path::texture;
    SDL_StartTextInput();
    if (!pointer_shown) SDL_ShowCursor(SDL_DISABLE);
    opened = true;
    return true;
}

bool is_open() {
    return opened;
}

void set_headless_size(int width, int height) {
    headless_width = width;
    headless_height = height;
}

Area display_area() {
    // Headless, the display is whatever size we were told it is.
    SDL_Rect r{0, 0, headless_width, headless_height};
    if (opened && !headless) SDL_GetDisplayBounds(0, &r);
    return unzoomed(r);
}

Area usable_area() {
    return unzoomed(usable_on_screen());
}

std::uint32_t create_window(const std::string &title, int x, int y, int width, int height) {
    unread = true;
    if (!open()) return 0;
    SDL_Window *w = SDL_CreateWindow(
        title.c_str(), zoomed(x, zoom), zoomed(y, zoom), zoomed(std::max(width, 1), zoom),
        zoomed(std::max(height, 1), zoom), SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (!w) return 0;
    const std::uint32_t id = SDL_GetWindowID(w);
    if (x11_fd < 0 && !headless) x11_fd = x11_connection(w);
    Shown &s = shown[id];
    s = Shown{};
    s.zoom = zoom;
    // Made while the window is hidden: a renderer may re-create the window.
    if (path == Path::texture) s.renderer = SDL_CreateRenderer(w, -1, 0);
    return id;
}

void destroy_window(std::uint32_t id) {
    unread = true;
    if (auto it = shown.find(id); it != shown.end()) {
        if (it->second.texture) SDL_DestroyTexture(it->second.texture);
        if (it->second.renderer) SDL_DestroyRenderer(it->second.renderer);
        shown.erase(it);
    }
    if (SDL_Window *w = window_of(id)) SDL_DestroyWindow(w);
}

void show_window(std::uint32_t id, bool maximized, int width, int height) {
    unread = true;
    SDL_Window *w = window_of(id);
    if (!w) return;
    const int z = zoom_of_window(id);
    // Without a window manager nothing would size a maximised window: we do.
    if (maximized) {
        const SDL_Rect usable = usable_on_screen();
        SDL_SetWindowPosition(w, usable.x, usable.y);
    }
    SDL_SetWindowSize(w, zoomed(std::max(width, 1), z), zoomed(std::max(height, 1), z));
    SDL_ShowWindow(w);
    if (maximized) SDL_MaximizeWindow(w);
}

void minimize_window(std::uint32_t id) {
    unread = true;
    if (SDL_Window *w = window_of(id)) SDL_MinimizeWindow(w);
}

void present(std::uint32_t id, const Frame &frame) {
    unread = true;
    SDL_Window *w = window_of(id);
    auto it = shown.find(id);
    if (!w || it == shown.end()) return;
    ++counts.frames;
    if (it->second.renderer)
        present_on_texture(it->second, frame);
    else
        present_on_surface(w, it->second, frame);
}

PresentCounts present_counts() {
    return counts;
}

std::vector<Event> poll() {
    std::vector<Event> events;
    if (!opened) return events;
    // The display is asked once; the events it gave are then taken one by
    // one (SDL_PollEvent would ask it again for each). Injected events are
    // queued already.
    if (unread || clock_us() - last_pump_us >= pump_interval_us) pump();
    SDL_Event e;
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        Event out{};
        if (translate(e, out)) events.push_back(std::move(out));
    }
    return events;
}

void wait(long long microseconds) {
    if (microseconds <= 0) return;
    // Nothing may lie unseen in SDL while we wait on the connection.
    if (opened && unread) pump();
    if (opened && SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return;
    const auto rest = std::chrono::microseconds(microseconds);
    if (x11_fd >= 0) {
        // Until the X server sends something, or the time is up: one wake-up.
        pollfd connection{x11_fd, POLLIN, 0};
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(rest);
        const timespec timeout{time_t(seconds.count()),
                               long(std::chrono::nanoseconds(rest - seconds).count())};
        if (ppoll(&connection, 1, &timeout, nullptr) == 0)
            last_pump_us = clock_us(); // nothing came while we watched: as good as asking
        else
            unread = true;
        return;
    }
    // Other displays wait in whole milliseconds; the rest is slept.
    if (opened && !headless && microseconds >= 1000 &&
        SDL_WaitEventTimeout(nullptr, int(std::min(microseconds / 1000, 1000000LL))))
        return;
    std::this_thread::sleep_until(
        std::chrono::steady_clock::now() +
        (opened && !headless ? rest % std::chrono::milliseconds(1) : rest));
}

unsigned scan_code_of_virtual_key(unsigned virtual_key) {
    if (!opened) return 0;
    return scan_code_of(SDL_GetScancodeFromKey(keycode_of(virtual_key)));
}

void show_pointer(bool shown) {
    pointer_shown = shown;
    if (opened) SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}

long long frame_interval_us() {
    SDL_DisplayMode mode;
    if (opened && !headless && SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0)
        return 1000000LL / mode.refresh_rate;
    return 1000000LL / 60;
}

std::vector<std::uint32_t> read_window(std::uint32_t id, int &width, int &height) {
    unread = true;
    width = height = 0;
    std::vector<std::uint32_t> pixels;
    SDL_Window *w = window_of(id);
    if (auto it = shown.find(id); w && it != shown.end() && it->second.renderer) {
        SDL_GetRendererOutputSize(it->second.renderer, &width, &height);
        pixels.resize(std::size_t(width) * std::size_t(height));
        if (SDL_RenderReadPixels(it->second.renderer, nullptr, SDL_PIXELFORMAT_RGB888,
                                 pixels.data(), width * 4) != 0)
            width = height = 0, pixels.clear();
        for (std::uint32_t &p : pixels) p &= 0xFFFFFFu;
        return pixels;
    }
    SDL_Surface *s = w ? SDL_GetWindowSurface(w) : nullptr;
    if (!s || s->format->BytesPerPixel != 4) return pixels;
    width = s->w, height = s->h;
    pixels.resize(std::size_t(width) * height);
    if (SDL_MUSTLOCK(s)) SDL_LockSurface(s);
    for (int y = 0; y < height; ++y) {
        const auto *row = reinterpret_cast<const Uint32 *>(
            reinterpret_cast<const Uint8 *>(s->pixels) + std::size_t(y) * s->pitch);
        for (int x = 0; x < width; ++x) {
            Uint8 r, g, b;
            SDL_GetRGB(row[x], s->format, &r, &g, &b);
            pixels[std::size_t(y) * width + x] = (Uint32(r) << 16) | (Uint32(g) << 8) | b;
        }
    }
    if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
    return pixels;
}

void inject(const Event &event) {
    if (!opened) return;
    SDL_Event e{};
    switch (event.type) {
    case Event::key_down:
    case Event::key_up:
        e.type = event.type == Event::key_down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.windowID = event.window;
        e.key.state = event.type == Event::key_down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = keycode_of(event.virtual_key);
        e.key.keysym.scancode = SDL_GetScancodeFromKey(e.key.keysym.sym);
        break;
    case Event::text_input:
        e.type = SDL_TEXTINPUT;
        e.text.windowID = event.window;
        std::strncpy(e.text.text, event.text.c_str(), sizeof e.text.text - 1);
        break;
    case Event::mouse_move:
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = event.window;
        e.motion.x = event.x, e.motion.y = event.y;
        break;
    case Event::button_down:
    case Event::button_up:
        e.type = event.type == Event::button_down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.windowID = event.window;
        e.button.button = event.virtual_key == 1   ? SDL_BUTTON_LEFT
                          : event.virtual_key == 2 ? SDL_BUTTON_MIDDLE
                                                   : SDL_BUTTON_RIGHT;
        e.button.state = event.type == Event::button_down ? SDL_PRESSED : SDL_RELEASED;
        e.button.x = event.x, e.button.y = event.y;
        break;
    default: {
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = event.window;
        static constexpr struct {
            Event::Type type;
            Uint8 sdl;
        } window_events[] = {{Event::resized, SDL_WINDOWEVENT_SIZE_CHANGED},
                             {Event::minimized, SDL_WINDOWEVENT_MINIMIZED},
                             {Event::restored, SDL_WINDOWEVENT_RESTORED},
                             {Event::focus_gained, SDL_WINDOWEVENT_FOCUS_GAINED},
                             {Event::focus_lost, SDL_WINDOWEVENT_FOCUS_LOST},
                             {Event::exposed, SDL_WINDOWEVENT_EXPOSED},
                             {Event::close, SDL_WINDOWEVENT_CLOSE}};
        for (const auto &w : window_events)
            if (w.type == event.type) e.window.event = w.sdl;
        e.window.data1 = event.x, e.window.data2 = event.y;
    }
    }
    SDL_PushEvent(&e);
}

} // namespace win32::display
