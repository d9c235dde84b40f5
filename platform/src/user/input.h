// Events of the display turned into the window manager's messages.
#pragma once

namespace win32::user {

// Takes every event the display has and posts (input) or sends (size,
// focus) the messages they stand for.
void pump_display_events();

} // namespace win32::user
