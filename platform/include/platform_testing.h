// Test hooks of our platform implementation: a trace of platform calls, the
// display size of headless runs, and read-back of what was drawn. Absent on
// Windows, where the platform is the system's own.
#pragma once

#ifndef _WIN32

#include "platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace win32::testing {

// One recorded platform call: its name, the device context it was made on
// (0 for calls without one) and its integer arguments in order. Handles are
// recorded as their integer values; rectangles and points as their
// coordinates; strings are left out.
struct Call {
    std::string name;
    std::uintptr_t dc = 0;
    std::vector<std::int64_t> args;
};

// Starts recording calls (dropping anything recorded before).
void start_trace();
// Stops recording; what was recorded stays available.
void stop_trace();
// What has been recorded since start_trace.
const std::vector<Call> &traced_calls();
// The recorded calls with the given name, in order.
std::vector<Call> traced_calls(const std::string &name);

inline std::uintptr_t handle_value(const void *handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

// The size that HORZRES and VERTRES answer when no real display is open.
void set_display_size(int width, int height);

// The 256 entries of the system palette, as the display shows them now.
std::vector<PALETTEENTRY> system_palette();

} // namespace win32::testing

#endif
