#include "presentation.h"

#include "clock.h"
#include "display/backend.h"
#include "gdi/palette.h"
#include "window.h"

#include <vector>

namespace win32::user {

namespace {

std::optional<long long> scheduled;

bool needs_present(const Window &w) {
    return w.visible && !w.minimized && w.native && w.surface &&
           (gdi::frame_pending(*w.surface, w.presented) || w.present_whole ||
            w.presented_palette != gdi::system_palette_version);
}

display::Area area_of(const gdi::Box &box) {
    return {box.left, box.top, box.right - box.left, box.bottom - box.top};
}

void present(Window &w) {
    std::uint32_t colors[256];
    for (int i = 0; i < 256; ++i) {
        const PALETTEENTRY &e = gdi::system_palette[i];
        colors[i] = (std::uint32_t(e.peRed) << 16) | (std::uint32_t(e.peGreen) << 8) | e.peBlue;
    }
    const gdi::SurfaceFrame surface = gdi::take_frame(*w.surface, w.presented);
    static std::vector<display::Area> parts;
    parts.clear();
    // As many as the record's boxes may ever be, reserved once.
    parts.reserve(w.presented.parts.capacity());
    for (const gdi::Box &part : surface.parts) parts.push_back(area_of(part));
    display::Frame frame{surface.pixels,  surface.width, surface.height,
                         surface.stride,  colors,        area_of(surface.changed),
                         w.present_whole, parts};
    // The display compares with what it shows, and converts every pixel
    // for new colours itself.
    display::present(w.native, frame);
    w.present_whole = false;
    w.presented_palette = gdi::system_palette_version;
}

} // namespace

void present_windows(bool before_blocking) {
    const long long now = now_us();
    const long long interval = display::frame_interval_us();
    scheduled.reset();
    for (Window *w : all_windows()) {
        if (!needs_present(*w)) continue;
        if (w->last_present_us >= 0 && now - w->last_present_us < interval) {
            if (before_blocking) {
                const long long due = w->last_present_us + interval;
                if (!scheduled || due < *scheduled) scheduled = due;
            }
            continue;
        }
        present(*w);
        w->last_present_us = now;
    }
}

std::optional<long long> next_present_due() {
    return scheduled;
}

void present_changed_windows_now() {
    const long long now = now_us();
    for (Window *w : all_windows())
        if (needs_present(*w)) {
            present(*w);
            w->last_present_us = now;
        }
}

} // namespace win32::user
