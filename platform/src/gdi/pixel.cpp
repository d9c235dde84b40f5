// Single pixels: SetPixel and GetPixel.
#include "device_context.h"
#include "trace.h"

namespace win32 {

using namespace gdi;

COLORREF SetPixel(HDC dc_handle, int x, int y, COLORREF color) {
    trace::record("SetPixel", dc_handle, {x, y, color});
    auto dc = find_dc(dc_handle);
    if (!dc) return CLR_INVALID;
    Surface &s = dc->surface();
    const std::uint8_t value = std::uint8_t(dc->pixel(color));
    // Outside the bitmap or the clip nothing is drawn, but the answer is
    // still the colour the pixel would have taken.
    int dx, dy;
    if (dc->drawable_point(x, y, dx, dy)) s.set(dx, dy, value);
    return rgb_of_pixel(s, value);
}

COLORREF GetPixel(HDC dc_handle, int x, int y) {
    trace::record("GetPixel", dc_handle, {x, y});
    auto dc = find_dc(dc_handle);
    int dx, dy;
    if (!dc || !dc->drawable_point(x, y, dx, dy)) return CLR_INVALID;
    const Surface &s = dc->surface();
    return rgb_of_pixel(s, s.get(dx, dy));
}

} // namespace win32
