// Bitmaps: device-compatible bitmaps (8-bit palette indices, or monochrome)
// and device-independent sections with a colour table of their own.
#pragma once

#include "objects.h"
#include "surface.h"

#include <span>
#include <vector>

namespace win32::gdi {

struct DeviceContext;

struct Bitmap : Object {
    static constexpr Kind object_kind = Kind::bitmap;
    Bitmap() : Object(Kind::bitmap) {}
    Surface surface;
    // A bitmap is selected into one memory DC at a time.
    const DeviceContext *selected_in = nullptr;
};

// The 8-bit surface of a window's client area, keeping the pixels of
// `keep` (the one it replaces) where both reach. Shown whole at first.
std::shared_ptr<Bitmap> new_window_surface(int width, int height, const Bitmap *keep);

// What a window's display was last given: which picture (Surface::picture)
// and the record of its pixels then. Kept by the window manager, one a window.
struct PresentedFrame {
    std::uint64_t picture = 0; // 0: nothing yet
    DamageRecord record;
    std::vector<Box> parts; // the last frame's, kept for their memory
};

// What a window surface offers the display: the 8-bit pixels it shows, top
// row first (a bitmap's, while it shows one in place of its own), and what
// may have changed since the frame last given: the box `changed`, and when
// `parts` is not empty, only within those boxes (rows of boxes from the
// top, left to right).
struct SurfaceFrame {
    const std::uint8_t *pixels = nullptr;
    int width = 0, height = 0;
    std::ptrdiff_t stride = 0;
    Box changed;
    std::span<const Box> parts;
};
// Whether the window shows anything it has not given the display.
bool frame_pending(const Bitmap &window_surface, const PresentedFrame &presented);
// The frame to show now, which becomes `presented`.
SurfaceFrame take_frame(Bitmap &window_surface, PresentedFrame &presented);
// The pixels the window shows now, as they are (snapshots, tests).
SurfaceFrame shown_pixels(const Bitmap &window_surface);

// The 1 x 1 monochrome bitmap every new memory DC starts with.
std::shared_ptr<Bitmap> stock_bitmap();
HBITMAP stock_bitmap_handle();

} // namespace win32::gdi
