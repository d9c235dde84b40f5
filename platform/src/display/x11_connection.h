// The X server connection under an SDL window, for waiting on it: kept apart
// because the X headers define names (Bool, Status, None, ...) that clash
// with ours.
#pragma once

struct SDL_Window;

namespace win32::display {

// The file descriptor SDL reads the window's X events from; -1 when the
// window is not on X11.
int x11_connection(SDL_Window *window);

} // namespace win32::display
