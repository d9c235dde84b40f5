// Keys of the display backend as Win32 virtual-key codes, and back.
#pragma once

#include <SDL.h>

namespace win32::display {

unsigned virtual_key_of(SDL_Keycode key);
SDL_Keycode keycode_of(unsigned virtual_key);

} // namespace win32::display
