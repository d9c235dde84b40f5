// The thread's message queue: posted messages and input, the quit request,
// and the paints and timers that are generated when nothing else waits.
#pragma once

#include "platform.h"

#include <string>

namespace win32::user {

void post(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Posts WM_KEYDOWN. The characters the press yields arrive separately
// (attach_chars); TranslateMessage turns them into WM_CHAR messages.
void post_key_down(HWND window, WPARAM virtual_key, LPARAM lparam, bool control);

// Gives characters typed to the key press they belong to, if that press has
// not been translated yet; otherwise posts them as WM_CHAR messages.
void attach_chars(HWND window, const std::string &chars);

// The key is up again: characters arriving from now on belong to no press.
void end_key_press();

void drop_window_messages(HWND window);

} // namespace win32::user
