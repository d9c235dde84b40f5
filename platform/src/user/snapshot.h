// Headless snapshots, for automated checks and grading. With BGI_SNAPSHOT
// naming a PNG file, windows open on SDL's invisible display and the picture
// of the program's window is saved through the system palette: when the
// window is destroyed, when the program ends, and when the program waits for
// input that cannot come (no timer runs): then the next key of BGI_KEYS is
// typed, or the next event of BGI_MOUSE made, or, with none left, the program
// ends with status 0. The mouse's events also come one at a time whenever the
// program looks for input and finds none; keys too, once the mouse's are
// done, when it looks again without having drawn anything in between (a
// kbhit loop waiting for a key). A "%d" in the name numbers the pictures,
// one per key typed. With BGI_SNAPSHOT_AFTER=MS the first
// message-queue call after MS milliseconds saves and ends too, and a request
// to end the program from outside (SIGTERM, SIGINT, SIGHUP) saves at the next
// platform call before the program ends as asked.
#pragma once

#include "platform.h"

namespace win32::user {

struct Window;

namespace snapshot {

// Whether BGI_SNAPSHOT is in force; read when the first window is created.
extern bool active;

// Before the display opens: reads the settings and, for a snapshot run,
// asks for SDL's dummy display by name.
void configure();
// A window exists / is about to be destroyed.
void window_created();
void window_destroying(const Window &window);
// GetMessageA found nothing and is about to wait; `forever` when no timer
// could end the wait.
void before_wait(bool forever);
// PeekMessageA found nothing.
void nothing_waiting();

} // namespace snapshot
} // namespace win32::user
