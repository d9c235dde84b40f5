// Bitmaps: device-compatible bitmaps (8-bit palette indices, or monochrome)
// and device-independent sections with a colour table of their own.
#pragma once

#include "objects.h"
#include "surface.h"

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

// What a window surface offers the display: its 8-bit pixels, top row
// first, and the box that changed since the last frame was taken.
struct SurfaceFrame {
    const std::uint8_t *pixels = nullptr;
    int width = 0, height = 0;
    std::ptrdiff_t stride = 0;
    Box changed;
};
bool has_changes(const Bitmap &bitmap);
// The frame to show now; its changes count as shown from here on.
SurfaceFrame take_frame(Bitmap &bitmap);

// The 1 x 1 monochrome bitmap every new memory DC starts with.
std::shared_ptr<Bitmap> stock_bitmap();
HBITMAP stock_bitmap_handle();

} // namespace win32::gdi
