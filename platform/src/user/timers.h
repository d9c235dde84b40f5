// Timers of windows: each fires as a WM_TIMER message once its interval has
// passed, and again every interval until it is killed.
#pragma once

#include "platform.h"

#include <optional>

namespace win32::user {

// Takes the first expired timer for `window` (any window when null) as a
// WM_TIMER message and starts its next interval.
bool take_expired_timer(HWND window, MSG &msg);

// When the next timer is due, in microseconds of the clock; none when no
// timer runs.
std::optional<long long> next_timer_due();

void kill_window_timers(HWND window);

// Whether a timer of `window` with this id and callback runs.
bool is_timer_callback(HWND window, UINT_PTR id, TIMERPROC callback);

// How many timers run (test hooks).
int timer_count();

} // namespace win32::user
