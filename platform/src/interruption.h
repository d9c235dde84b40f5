// Requests to end the program that arrive as signals (SIGTERM from `timeout`
// or `kill`, SIGINT, SIGHUP). A signal handler may do next to nothing safely,
// so the handler only records the request; the action runs at the start of
// the next platform call, where no platform state is half-changed. A program
// that makes no platform call for two seconds after the request ends all the
// same, without the action.
#pragma once

#include <csignal>

namespace win32::interruption {

// The signal waiting to be acted on, or 0.
extern volatile std::sig_atomic_t pending;

// Catches the termination signals that still have their default handling
// and makes `action` what is done for them. The action is given the signal;
// when it returns, the program ends as the signal would have ended it.
using Action = void (*)(int signal);
void catch_termination(Action action);

void act();

// Where a platform call starts.
inline void check() {
    if (pending) act();
}

} // namespace win32::interruption
