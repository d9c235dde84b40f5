// Test hooks: the call trace, the headless display size and the system palette.
#include "platform_testing.h"

#include "gdi/palette.h"
#include "gdi/device_context.h"
#include "gdi/font.h"
#include "gdi/font_mapper.h"
#include "display/backend.h"
#include "trace.h"
#include "user/presentation.h"
#include "user/timers.h"
#include "user/window.h"

#include <cstdlib>
#include <ostream>

namespace win32 {

namespace trace {

bool enabled = false;
unsigned long long dc_calls = 0;

namespace {
std::vector<testing::Call> &calls() {
    static std::vector<testing::Call> recorded;
    return recorded;
}
} // namespace

void record_call(const char *name, const void *dc, std::initializer_list<std::int64_t> args) {
    calls().push_back({name, reinterpret_cast<std::uintptr_t>(dc), args});
}

void record_list(const char *name, const void *dc, const std::vector<std::int64_t> &args) {
    calls().push_back({name, reinterpret_cast<std::uintptr_t>(dc), args});
}

} // namespace trace

namespace testing {

void start_trace() {
    trace::calls().clear();
    trace::enabled = true;
}

void stop_trace() {
    trace::enabled = false;
}

const std::vector<Call> &traced_calls() {
    return trace::calls();
}

std::vector<Call> traced_calls(const std::string &name) {
    std::vector<Call> out;
    for (const Call &c : trace::calls())
        if (c.name == name) out.push_back(c);
    return out;
}

void set_display_size(int width, int height) {
    display::set_headless_size(width, height);
    user::hand_display_size_to_gdi();
}

std::vector<PALETTEENTRY> system_palette() {
    return std::vector<PALETTEENTRY>(gdi::system_palette, gdi::system_palette + 256);
}

void use_headless_display(int width, int height) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    set_display_size(width, height);
}

namespace {

void inject(HWND window, display::Event e) {
    user::Window *w = user::find_window(window);
    if (!w) return;
    e.window = w->native;
    display::inject(e);
}

display::Event event(display::Event::Type type, int x = 0, int y = 0) {
    display::Event e{};
    e.type = type;
    e.x = x, e.y = y;
    return e;
}

} // namespace

void inject_key(HWND window, UINT virtual_key, const std::string &text) {
    press_key(window, virtual_key);
    if (!text.empty()) inject_text(window, text);
    release_key(window, virtual_key);
}

void press_key(HWND window, UINT virtual_key) {
    display::Event down = event(display::Event::key_down);
    down.virtual_key = virtual_key;
    inject(window, down);
}

void release_key(HWND window, UINT virtual_key) {
    display::Event up = event(display::Event::key_up);
    up.virtual_key = virtual_key;
    inject(window, up);
}

void inject_text(HWND window, const std::string &utf8) {
    display::Event e = event(display::Event::text_input);
    e.text = utf8;
    inject(window, e);
}

void inject_mouse_move(HWND window, int x, int y) {
    inject(window, event(display::Event::mouse_move, x, y));
}

void inject_mouse_button(HWND window, int button, bool down, int x, int y) {
    display::Event e = event(down ? display::Event::button_down : display::Event::button_up, x, y);
    e.virtual_key = unsigned(button);
    inject(window, e);
}

void inject_resize(HWND window, int width, int height) {
    inject(window, event(display::Event::resized, width, height));
}
void inject_minimize(HWND window) {
    inject(window, event(display::Event::minimized));
}
void inject_restore(HWND window) {
    inject(window, event(display::Event::restored));
}
void inject_focus(HWND window, bool gained) {
    inject(window, event(gained ? display::Event::focus_gained : display::Event::focus_lost));
}
void inject_close(HWND window) {
    inject(window, event(display::Event::close));
}
void inject_expose(HWND window) {
    inject(window, event(display::Event::exposed));
}

std::string font_face(HFONT font) {
    auto object = gdi::find<gdi::Font>(font);
    if (!object) return {};
    const gdi::MappedFace &mapped = object->rendition().mapped;
    if (!mapped.typeface) return {};
    return mapped.typeface->name + (mapped.embolden ? " (synthetic bold)" : "");
}

GdiObjects live_gdi_objects() {
    using gdi::Kind;
    GdiObjects n;
    n.dcs = gdi::live_objects(Kind::dc);
    n.bitmaps = gdi::live_objects(Kind::bitmap);
    n.palettes = gdi::live_objects(Kind::palette);
    n.brushes = gdi::live_objects(Kind::brush);
    n.pens = gdi::live_objects(Kind::pen);
    n.fonts = gdi::live_objects(Kind::font);
    n.regions = gdi::live_objects(Kind::region);
    return n;
}

void PrintTo(const GdiObjects &n, std::ostream *out) {
    *out << n.dcs << " DCs, " << n.bitmaps << " bitmaps, " << n.palettes << " palettes, "
         << n.brushes << " brushes, " << n.pens << " pens, " << n.fonts << " fonts, " << n.regions
         << " regions";
}

int live_windows() {
    return int(user::all_windows().size());
}

int live_timers() {
    return user::timer_count();
}

COLORREF window_pixel(HWND window, int x, int y) {
    user::Window *w = user::find_window(window);
    if (!w || !w->surface) return CLR_INVALID;
    const gdi::Surface &s = w->surface->surface;
    if (!s.bounds().contains(x, y)) return CLR_INVALID;
    const gdi::SurfaceFrame shown = gdi::shown_pixels(*w->surface);
    return gdi::rgb_of_pixel(s, shown.pixels[y * shown.stride + x]);
}

SIZE client_size(HWND window) {
    user::Window *w = user::find_window(window);
    return w ? SIZE{w->client_width, w->client_height} : SIZE{-1, -1};
}

std::vector<std::uint32_t> presented_pixels(HWND window, int &width, int &height) {
    user::Window *w = user::find_window(window);
    width = height = 0;
    return w ? display::read_window(w->native, width, height) : std::vector<std::uint32_t>{};
}

PresentationCounts presentation_counts() {
    const display::PresentCounts c = display::present_counts();
    return {c.frames, c.converted, c.areas, c.compared};
}

void present_now() {
    user::present_changed_windows_now();
}

int use_zoom(const char *setting) {
    const int zoom = display::zoom_of(setting);
    display::set_zoom(zoom);
    user::hand_display_size_to_gdi();
    return zoom;
}

void use_texture_presentation(bool texture) {
    display::set_path(texture ? display::Path::texture : display::Path::surface);
}

bool font_engine_started() {
    return gdi::font_engine_started();
}

} // namespace testing
} // namespace win32
