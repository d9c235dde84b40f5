// What the drawing tests share: a 640 x 480 window for each test, and reading
// back what the page and the window show.
#pragma once

#include "bgi.h"
#include "bgi_internal.h"
#include "headless_display.h"
#include "platform.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#ifndef _WIN32
#include "platform_testing.h"
#endif

namespace {

#ifndef _WIN32
using namespace win32;
#endif

constexpr COLORREF default_rgb[16] = {
    RGB(0, 0, 0),       RGB(0, 0, 255),     RGB(0, 255, 0),    RGB(0, 255, 255),
    RGB(255, 0, 0),     RGB(255, 0, 255),   RGB(165, 42, 42),  RGB(211, 211, 211),
    RGB(47, 79, 79),    RGB(173, 216, 230), RGB(32, 178, 170), RGB(224, 255, 255),
    RGB(240, 128, 128), RGB(219, 112, 147), RGB(255, 255, 0),  RGB(255, 255, 255)};

// The BGI colour (default palette) the window shows at a client position.
inline int window_color(int x, int y) {
#ifdef _WIN32
    HDC dc = GetDC(bgi::window_handle());
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(bgi::window_handle(), dc);
#else
    const COLORREF c = win32::testing::window_pixel(bgi::window_handle(), x, y);
#endif
    for (int i = 0; i < 16; ++i)
        if (default_rgb[i] == c) return i;
    return -1;
}

#ifndef _WIN32
// DC i (0 window, 1 page, 2 and 3 the image DCs) as the call trace records it.
inline std::uintptr_t dc_value(int i) {
    return win32::testing::handle_value(bgi::device_context(i));
}
#endif

// A solid block covering columns l..r and rows t..b.
inline void block(int l, int t, int r, int b, int c) {
    setfillstyle(SOLID_FILL, c);
    bar(l, t, r + 1, b + 1);
}

// The pixels of colour c among columns and rows 0..n-1.
inline int count_of(int c, int n) {
    int count = 0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) count += getpixel(x, y) == c;
    return count;
}

inline std::pair<int, int> position() {
    return {getx(), gety()};
}

// A header-only image block of w x h pixels, all colour 0; sides below zero
// get no pixel bytes.
inline std::vector<unsigned char> blank_image(int w, int h) {
    const std::size_t row = std::size_t((w > 0 ? w : 0) + 7) / 8 * 4;
    std::vector<unsigned char> image(8 + row * std::size_t(h > 0 ? h : 0), 0);
    image[0] = (unsigned char)(w & 0xFF);
    image[1] = (unsigned char)((w >> 8) & 0xFF);
    image[2] = (unsigned char)(h & 0xFF);
    image[3] = (unsigned char)((h >> 8) & 0xFF);
    return image;
}

// Opens a 640 x 480 window for each test. The clip region and the redraw
// setting outlive a window, so each test leaves them as it found them.
class Drawing : public ::testing::Test {
protected:
    void SetUp() override {
        open();
        ASSERT_EQ(graphresult(), grOk);
    }
    void TearDown() override {
        bgiemu_handle_redraw = 1;
        setviewport(0, 0, getmaxx(), getmaxy(), 0);
        closegraph();
    }
    static void open() {
        int driver = VGA, mode = VGAHI;
        initgraph(&driver, &mode, "");
    }
    // Draws a line in colour c and closes the window; a new one opens, with
    // the same pen current again.
    static void reopen_after_a_line(int c) {
        setcolor(c);
        line(0, 0, 5, 0);
        closegraph();
        open();
        setcolor(c);
    }
    // Back to the whole window in device coordinates, without clip.
    static void full_viewport() { setviewport(0, 0, getmaxx(), getmaxy(), 0); }
};

#ifndef _WIN32
// What the trace tests read the call trace with.
using win32::testing::Call;
using win32::testing::start_trace;
using win32::testing::traced_calls;

// A window for each test whose call trace, once a test starts it, stops with
// the test.
class Traced : public Drawing {
protected:
    void TearDown() override {
        win32::testing::stop_trace();
        Drawing::TearDown();
    }
};
#endif

} // namespace
