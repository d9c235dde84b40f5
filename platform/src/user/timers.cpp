#include "timers.h"

#include "clock.h"
#include "trace.h"
#include "window.h"

#include <algorithm>
#include <vector>

namespace win32::user {

namespace {

struct Timer {
    HWND window;
    UINT_PTR id;
    long long interval_us;
    long long due_us;
    TIMERPROC callback;
};

std::vector<Timer> &timers() {
    static std::vector<Timer> list;
    return list;
}

// Windows raises shorter intervals to this many milliseconds.
constexpr UINT minimum_interval_ms = 10;
constexpr UINT maximum_interval_ms = 0x7FFFFFFF;

UINT_PTR next_thread_timer_id = 1;

} // namespace

bool take_expired_timer(HWND window, MSG &msg) {
    const long long now = now_us();
    for (Timer &t : timers()) {
        if (t.due_us > now || (window && t.window != window)) continue;
        msg = {};
        msg.hwnd = t.window;
        msg.message = WM_TIMER;
        msg.wParam = t.id;
        msg.lParam = reinterpret_cast<LPARAM>(t.callback);
        msg.time = DWORD(now / 1000);
        // One message however late it is taken; the next interval starts now.
        t.due_us = now + t.interval_us;
        return true;
    }
    return false;
}

std::optional<long long> next_timer_due() {
    std::optional<long long> due;
    for (const Timer &t : timers())
        if (!due || t.due_us < *due) due = t.due_us;
    return due;
}

void kill_window_timers(HWND window) {
    auto &list = timers();
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const Timer &t) { return t.window == window; }),
               list.end());
}

bool is_timer_callback(HWND window, UINT_PTR id, TIMERPROC callback) {
    return std::any_of(timers().begin(), timers().end(), [&](const Timer &t) {
        return t.window == window && t.id == id && t.callback == callback;
    });
}

int timer_count() {
    return int(timers().size());
}

} // namespace win32::user

namespace win32 {

using namespace user;

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse_ms, TIMERPROC callback) {
    trace::record("SetTimer", nullptr, {trace::value(window), std::int64_t(id), elapse_ms});
    if (window && !window_of(window)) return 0;
    const UINT ms = std::clamp(elapse_ms, minimum_interval_ms, maximum_interval_ms);
    const long long interval = (long long)ms * 1000;
    if (!window) id = next_thread_timer_id++;
    for (Timer &t : timers())
        if (t.window == window && t.id == id) {
            t.interval_us = interval, t.due_us = now_us() + interval, t.callback = callback;
            return window ? 1 : id;
        }
    timers().push_back({window, id, interval, now_us() + interval, callback});
    return window ? 1 : id;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    trace::record("KillTimer", nullptr, {trace::value(window), std::int64_t(id)});
    if (window && !window_of(window)) return FALSE;
    auto &list = timers();
    const auto before = list.size();
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const Timer &t) { return t.window == window && t.id == id; }),
               list.end());
    return list.size() != before ? TRUE : FALSE;
}

} // namespace win32
