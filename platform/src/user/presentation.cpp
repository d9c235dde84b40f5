#include "presentation.h"

#include "clock.h"
#include "display/backend.h"
#include "gdi/palette.h"
#include "window.h"

namespace win32::user {

namespace {

std::optional<long long> scheduled;

bool needs_present(const Window &w) {
    return w.visible && !w.minimized && w.native && w.surface &&
           (w.surface->surface.changed || w.presented_palette != gdi::system_palette_version);
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
        display::present(w->native, w->surface->surface);
        w->surface->surface.changed = false;
        w->presented_palette = gdi::system_palette_version;
        w->last_present_us = now;
    }
}

std::optional<long long> next_present_due() {
    return scheduled;
}

} // namespace win32::user
