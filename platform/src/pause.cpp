#include "pause.h"

#include <algorithm>

#ifdef __EMSCRIPTEN__
// The page's side (display/browser_page.js): gives the thread to the browser
// for `ms` milliseconds, or with 0 for one turn of its event loop.
extern "C" void bgi_page_pause(int ms);
#else
#include <chrono>
#include <thread>
#endif

namespace win32 {

void pause_us(long long microseconds) {
#ifdef __EMSCRIPTEN__
    // The browser stretches timeouts shorter than about 4 ms to 4 ms; a
    // shorter pause is a turn of the event loop, and the caller checks the
    // time again.
    bgi_page_pause(microseconds >= 4000 ? int(std::min(microseconds / 1000, 1LL << 30)) : 0);
#else
    if (microseconds > 0) std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
#endif
}

} // namespace win32
