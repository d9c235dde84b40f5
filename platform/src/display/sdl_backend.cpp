// The display backend on SDL2: one SDL window per top-level window, its
// events turned into ours, and 8-bit surfaces shown through the system palette.
#include "backend.h"

#include "keymap.h"
#include "platform.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace win32::display {

namespace {

bool opened = false;
bool headless = false;
int headless_width = 1024;
int headless_height = 768;

SDL_Window *window_of(std::uint32_t id) {
    return id ? SDL_GetWindowFromID(id) : nullptr;
}

bool translate(const SDL_Event &e, Event &out) {
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        out.type = e.type == SDL_KEYDOWN ? Event::key_down : Event::key_up;
        out.window = e.key.windowID;
        out.virtual_key = virtual_key_of(e.key.keysym.sym);
        out.scan_code = unsigned(e.key.keysym.scancode);
        out.repeat = e.key.repeat != 0;
        out.modifiers = (e.key.keysym.mod & KMOD_SHIFT ? MK_SHIFT : 0) |
                        (e.key.keysym.mod & KMOD_CTRL ? MK_CONTROL : 0);
        return out.virtual_key != 0;
    case SDL_TEXTINPUT:
        out.type = Event::text_input;
        out.window = e.text.windowID;
        out.text = e.text.text;
        return true;
    case SDL_MOUSEMOTION:
        out.type = Event::mouse_move;
        out.window = e.motion.windowID;
        out.x = e.motion.x, out.y = e.motion.y;
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        out.type = e.type == SDL_MOUSEBUTTONDOWN ? Event::button_down : Event::button_up;
        out.window = e.button.windowID;
        out.x = e.button.x, out.y = e.button.y;
        out.virtual_key = e.button.button == SDL_BUTTON_LEFT     ? 1
                          : e.button.button == SDL_BUTTON_MIDDLE ? 2
                          : e.button.button == SDL_BUTTON_RIGHT  ? 3
                                                                 : 0;
        return out.virtual_key != 0;
    case SDL_WINDOWEVENT:
        out.window = e.window.windowID;
        switch (e.window.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            out.type = Event::resized;
            out.x = e.window.data1, out.y = e.window.data2;
            return true;
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

} // namespace

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
    SDL_StartTextInput();
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
    return {r.x, r.y, r.w, r.h};
}

Area usable_area() {
    SDL_Rect r{0, 0, headless_width, headless_height};
    if (opened && !headless) SDL_GetDisplayUsableBounds(0, &r);
    return {r.x, r.y, r.w, r.h};
}

std::uint32_t create_window(const std::string &title, int x, int y, int width, int height) {
    if (!open()) return 0;
    SDL_Window *w = SDL_CreateWindow(title.c_str(), x, y, std::max(width, 1), std::max(height, 1),
                                     SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    return w ? SDL_GetWindowID(w) : 0;
}

void destroy_window(std::uint32_t id) {
    if (SDL_Window *w = window_of(id)) SDL_DestroyWindow(w);
}

void show_window(std::uint32_t id, bool maximized, int width, int height) {
    SDL_Window *w = window_of(id);
    if (!w) return;
    // Without a window manager nothing would size a maximised window: we do.
    if (maximized) {
        const Area usable = usable_area();
        SDL_SetWindowPosition(w, usable.x, usable.y);
    }
    SDL_SetWindowSize(w, std::max(width, 1), std::max(height, 1));
    SDL_ShowWindow(w);
    if (maximized) SDL_MaximizeWindow(w);
}

void minimize_window(std::uint32_t id) {
    if (SDL_Window *w = window_of(id)) SDL_MinimizeWindow(w);
}

void present(std::uint32_t id, const Frame &frame) {
    SDL_Window *w = window_of(id);
    if (!w) return;
    SDL_Surface *target = SDL_GetWindowSurface(w);
    if (!target || target->format->BytesPerPixel != 4) return;
    // A window surface SDL made anew (the first, or after a resize) holds
    // nothing of ours yet: it is filled whole.
    SDL_Rect area{frame.changed.x, frame.changed.y, frame.changed.width, frame.changed.height};
    if (SDL_GetWindowData(w, "shown") != target) {
        area = {0, 0, target->w, target->h};
        SDL_SetWindowData(w, "shown", target);
    }
    const SDL_Rect whole{0, 0, target->w, target->h};
    if (!SDL_IntersectRect(&area, &whole, &area)) return;
    Uint32 lut[256];
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t c = frame.colors[i];
        lut[i] = SDL_MapRGB(target->format, Uint8(c >> 16), Uint8(c >> 8), Uint8(c));
    }
    const Uint32 black = SDL_MapRGB(target->format, 0, 0, 0);
    if (SDL_MUSTLOCK(target)) SDL_LockSurface(target);
    const int inside_right = std::clamp(frame.width, area.x, area.x + area.w);
    for (int y = area.y; y < area.y + area.h; ++y) {
        auto *out = reinterpret_cast<Uint32 *>(reinterpret_cast<Uint8 *>(target->pixels) +
                                               std::size_t(y) * target->pitch);
        int x = area.x;
        if (y < frame.height) {
            const std::uint8_t *in = frame.pixels + std::ptrdiff_t(y) * frame.stride;
            for (; x < inside_right; ++x) out[x] = lut[in[x]];
        }
        std::fill(out + x, out + area.x + area.w, black);
    }
    if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
    SDL_UpdateWindowSurfaceRects(w, &area, 1);
}

std::vector<Event> poll() {
    std::vector<Event> events;
    if (!opened) return events;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        Event out{};
        if (translate(e, out)) events.push_back(std::move(out));
    }
    return events;
}

void wait(int milliseconds) {
    if (!opened) {
        SDL_Delay(Uint32(std::max(milliseconds, 0)));
        return;
    }
    SDL_WaitEventTimeout(nullptr, std::max(milliseconds, 0));
}

long long frame_interval_us() {
    SDL_DisplayMode mode;
    if (opened && !headless && SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0)
        return 1000000LL / mode.refresh_rate;
    return 1000000LL / 60;
}

std::vector<std::uint32_t> read_window(std::uint32_t id, int &width, int &height) {
    width = height = 0;
    std::vector<std::uint32_t> pixels;
    SDL_Window *w = window_of(id);
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
