#include "message_queue.h"

#include "clock.h"
#include "display/backend.h"
#include "input.h"
#include "interruption.h"
#include "presentation.h"
#include "snapshot.h"
#include "timers.h"
#include "trace.h"
#include "window.h"

#include <algorithm>
#include <deque>

namespace win32::user {

namespace {

struct Queued {
    MSG msg;
    std::uint64_t sequence = 0;
    // Key presses: the characters they yield, and whether Control was held.
    std::string chars;
    bool control = false;
};

std::deque<Queued> &queue() {
    static std::deque<Queued> messages;
    return messages;
}

std::uint64_t next_sequence = 1;
bool quit_posted = false;
int quit_code = 0;

// The key press most recently taken from the queue, until it is translated.
struct TakenKey {
    std::uint64_t sequence = 0;
    MSG msg{};
    std::string chars;
    bool control = false;
    bool translated = true;
    bool open = false; // characters may still arrive for it
} taken_key;

// The key press waiting in the queue that typed characters belong to.
std::uint64_t last_queued_key = 0;

// What GetKeyState answers: each key as of the last key message taken from
// the queue. Bit 0 toggles with every press, bit 7 is set while it is down.
BYTE key_states[256] = {};

void note_key_state(const MSG &m) {
    const bool down = m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN;
    if (!down && m.message != WM_KEYUP && m.message != WM_SYSKEYUP) return;
    BYTE &state = key_states[m.wParam & 0xFF];
    const bool repeat = (m.lParam >> 30) & 1;
    if (down && !repeat) state ^= 0x01;
    state = down ? BYTE(state | 0x80) : BYTE(state & ~0x80);
}

bool matches(const MSG &m, HWND window, UINT low, UINT high) {
    if (window && m.hwnd != window) return false;
    if (low == 0 && high == 0) return true;
    return m.message >= low && m.message <= high;
}

bool in_range(UINT message, UINT low, UINT high) {
    return (low == 0 && high == 0) || (message >= low && message <= high);
}

// The next message by the system's order: posted messages and input, then
// the quit request, then paints, then timers.
bool next_message(MSG &msg, HWND window, UINT low, UINT high, bool remove) {
    pump_display_events();
    auto &q = queue();
    for (auto it = q.begin(); it != q.end(); ++it) {
        if (!matches(it->msg, window, low, high)) continue;
        msg = it->msg;
        if (remove) {
            note_key_state(msg);
            if (msg.message == WM_KEYDOWN)
                taken_key = {it->sequence, msg,   it->chars,
                             it->control,  false, it->sequence == last_queued_key};
            if (it->sequence == last_queued_key) last_queued_key = 0;
            q.erase(it);
        }
        return true;
    }
    if (quit_posted && !window && in_range(WM_QUIT, low, high)) {
        msg = {};
        msg.message = WM_QUIT;
        msg.wParam = WPARAM(quit_code);
        if (remove) quit_posted = false;
        return true;
    }
    if (in_range(WM_PAINT, low, high)) {
        for (Window *w : all_windows()) {
            if (!w->invalid || !w->visible || w->minimized || (window && w->handle != window))
                continue;
            msg = {};
            msg.hwnd = w->handle;
            msg.message = WM_PAINT;
            return true; // stays until the window is validated
        }
    }
    if (in_range(WM_TIMER, low, high) && remove) return take_expired_timer(window, msg);
    return false;
}

// Blocks until something may have arrived: an event of the display, a due
// timer, or a due presentation.
void wait_for_something() {
    const long long now = now_us();
    long long until = now + 50000; // wake regularly even with nothing due
    if (auto t = next_timer_due()) until = std::min(until, *t);
    if (auto p = next_present_due()) until = std::min(until, *p);
    // One wait to the microsecond: timers keep their time, and a waiting
    // program wakes once a timer rather than every millisecond.
    display::wait(until - now);
}

void post_queued(Queued q) {
    q.sequence = next_sequence++;
    q.msg.time = DWORD(now_us() / 1000);
    queue().push_back(std::move(q));
}

} // namespace

void post(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    Queued q;
    q.msg.hwnd = window, q.msg.message = message, q.msg.wParam = wparam, q.msg.lParam = lparam;
    post_queued(std::move(q));
}

void post_key_down(HWND window, WPARAM virtual_key, LPARAM lparam, bool control) {
    Queued q;
    q.msg.hwnd = window, q.msg.message = WM_KEYDOWN, q.msg.wParam = virtual_key,
    q.msg.lParam = lparam;
    q.control = control;
    post_queued(std::move(q));
    last_queued_key = queue().back().sequence;
}

void attach_chars(HWND window, const std::string &chars) {
    if (chars.empty()) return;
    if (last_queued_key) {
        for (Queued &q : queue())
            if (q.sequence == last_queued_key && q.chars.empty()) {
                q.chars = chars;
                return;
            }
    }
    if (taken_key.open && !taken_key.translated && taken_key.chars.empty() &&
        taken_key.msg.hwnd == window) {
        taken_key.chars = chars;
        return;
    }
    for (char c : chars) post(window, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1);
}

void end_key_press() {
    last_queued_key = 0;
    taken_key.open = false;
}

void drop_window_messages(HWND window) {
    auto &q = queue();
    q.erase(
        std::remove_if(q.begin(), q.end(), [&](const Queued &m) { return m.msg.hwnd == window; }),
        q.end());
}

} // namespace win32::user

namespace win32 {

using namespace user;

BOOL GetMessageA(LPMSG msg, HWND window, UINT low, UINT high) {
    if (!msg || (window && !window_of(window))) return -1;
    for (;;) {
        interruption::check();
        if (next_message(*msg, window, low, high, true)) {
            trace::record("GetMessageA", nullptr, {msg->message});
            return msg->message == WM_QUIT ? FALSE : TRUE;
        }
        // Whatever was drawn is shown before the program waits.
        present_windows(true);
        if (snapshot::active) snapshot::before_wait(!next_timer_due());
        wait_for_something();
        if (window && !window_of(window)) return -1;
    }
}

BOOL PeekMessageA(LPMSG msg, HWND window, UINT low, UINT high, UINT remove) {
    interruption::check();
    if (!msg || (window && !window_of(window))) return FALSE;
    const bool found = next_message(*msg, window, low, high, remove & PM_REMOVE);
    if (!found) {
        present_windows(false);
        if (snapshot::active) snapshot::nothing_waiting();
    }
    return found ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG *msg) {
    if (!msg || msg->message != WM_KEYDOWN) return FALSE;
    std::string chars;
    bool control = false;
    if (!taken_key.translated && taken_key.msg.hwnd == msg->hwnd &&
        taken_key.msg.wParam == msg->wParam && taken_key.msg.time == msg->time) {
        chars = taken_key.chars;
        control = taken_key.control;
        taken_key.translated = true;
    }
    const WPARAM vk = msg->wParam;
    // Keys with a character of their own; Control with a letter gives 1..26.
    if (control && vk >= 'A' && vk <= 'Z')
        chars = std::string(1, char(vk - 'A' + 1));
    else if (chars.empty()) {
        if (vk == VK_RETURN)
            chars = "\r";
        else if (vk == VK_BACK)
            chars = "\b";
        else if (vk == VK_TAB)
            chars = "\t";
        else if (vk == VK_ESCAPE)
            chars = "\x1B";
    }
    // The characters come next, ahead of anything queued after the press.
    std::size_t at = 0;
    for (char c : chars) {
        Queued q;
        q.msg = {msg->hwnd,   WM_CHAR,   WPARAM(static_cast<unsigned char>(c)),
                 msg->lParam, msg->time, {}};
        q.sequence = next_sequence++;
        queue().insert(queue().begin() + std::ptrdiff_t(at++), std::move(q));
    }
    return chars.empty() ? FALSE : TRUE;
}

LRESULT DispatchMessageA(const MSG *msg) {
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        // Only the callback of a running timer is called: a message made up
        // by the program must not send it to an address of its choosing.
        const auto callback = reinterpret_cast<TIMERPROC>(msg->lParam);
        if (is_timer_callback(msg->hwnd, msg->wParam, callback))
            callback(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
        return 0;
    }
    if (!msg->hwnd) return 0; // a thread message has no procedure
    Window *w = window_of(msg->hwnd);
    return w ? send(*w, msg->message, msg->wParam, msg->lParam) : 0;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (window && !window_of(window)) return FALSE;
    post(window, message, wparam, lparam);
    return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    Window *w = window_of(window);
    return w ? send(*w, message, wparam, lparam) : 0;
}

// Down keys answer a negative value; bit 0 is the toggle.
SHORT GetKeyState(int virtual_key) {
    if (virtual_key < 0 || virtual_key > 0xFF) return 0;
    const BYTE state = key_states[virtual_key];
    return SHORT((state & 0x80 ? 0xFF80 : 0) | (state & 0x01));
}

void PostQuitMessage(int exit_code) {
    trace::record("PostQuitMessage", nullptr, {exit_code});
    quit_posted = true;
    quit_code = exit_code;
}

} // namespace win32
