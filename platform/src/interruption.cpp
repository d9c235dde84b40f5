#include "interruption.h"

#include <csignal>
#include <unistd.h>

namespace win32::interruption {

volatile std::sig_atomic_t pending = 0;

namespace {

Action registered_action = nullptr;
volatile std::sig_atomic_t alarm_armed = 0;
constexpr int signals[] = {SIGTERM, SIGINT, SIGHUP};

} // namespace

// Async-signal-safe: it records, arms the alarm, or (for a second request)
// ends the program at once. C linkage, as a handler has; file-local.
extern "C" {
static void on_signal(int signal) {
    if (pending) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    pending = signal;
    // Without a platform call the action would never run; SIGALRM's default
    // handling ends the program then, unless the program handles SIGALRM.
    struct sigaction alarm_handling {};
    if (sigaction(SIGALRM, nullptr, &alarm_handling) == 0 && alarm_handling.sa_handler == SIG_DFL) {
        alarm_armed = 1;
        alarm(2);
    }
}
} // extern "C"

void catch_termination(Action action) {
    registered_action = action;
    for (int signal : signals) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
        struct sigaction handling {};
        handling.sa_handler = on_signal;
        sigemptyset(&handling.sa_mask);
        handling.sa_flags = SA_RESTART;
        sigaction(signal, &handling, nullptr);
    }
}

void act() {
    static bool acting = false;
    if (acting) return;
    acting = true;
    const int signal = pending;
    if (alarm_armed) {
        alarm(0);
        alarm_armed = 0;
    }
    if (registered_action) registered_action(signal);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    _exit(128 + signal); // the signal was blocked
}

} // namespace win32::interruption
