// Showing window surfaces on the display: when they changed, at most once per
// display frame, and always before the program blocks.
#pragma once

#include <optional>

namespace win32::user {

// Presents every window whose picture changed and whose frame interval has
// passed. With `before_blocking`, a window still inside its interval is
// scheduled (next_present_due) rather than skipped.
void present_windows(bool before_blocking);

// Presents every window whose picture changed now, whatever the interval
// (benchmarks and tests).
void present_changed_windows_now();

// When a scheduled presentation is due, if one is.
std::optional<long long> next_present_due();

} // namespace win32::user
