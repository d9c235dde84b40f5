// Keys of the display backend as Win32 virtual-key codes, and back, and as
// the keyboard's scan codes.
#pragma once

#include <SDL.h>

namespace win32::display {

unsigned virtual_key_of(SDL_Keycode key);
SDL_Keycode keycode_of(unsigned virtual_key);
// The code the keyboard itself sends for the key at this position (scan code
// set 1, as Win32's key messages carry it), plus 0x100 for the keys of the
// extended set; 0 for a key without one.
unsigned scan_code_of(SDL_Scancode key);

} // namespace win32::display
