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

// The 1 x 1 monochrome bitmap every new memory DC starts with.
std::shared_ptr<Bitmap> stock_bitmap();
HBITMAP stock_bitmap_handle();

} // namespace win32::gdi
