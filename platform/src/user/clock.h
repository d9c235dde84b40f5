// The window manager's clock, in microseconds, for timers and presentation.
#pragma once

#include <chrono>

namespace win32::user {

inline long long now_us() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace win32::user
