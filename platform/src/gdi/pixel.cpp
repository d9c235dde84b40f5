// Single pixels: SetPixel and GetPixel.
#include "device_context.h"
#include "trace.h"

namespace win32 {

using namespace gdi;

COLORREF SetPixel(HDC dc_handle, int x, int y, COLORREF color) {
    trace::record("SetPixel", dc_handle, {x, y, color});
    const DevicePixel p = locate(dc_handle, x, y);
    if (!p.dc) return CLR_INVALID;
    Surface &s = p.dc->surface();
    const std::uint8_t value = std::uint8_t(p.dc->pixel(color));
    // Outside the bitmap or the clip nothing is drawn, but the answer is
    // still the colour the pixel would have taken.
    if (p.inside) s.set(p.x, p.y, value);
    return rgb_of_pixel(s, value);
}

COLORREF GetPixel(HDC dc_handle, int x, int y) {
    trace::record("GetPixel", dc_handle, {x, y});
    const DevicePixel p = locate(dc_handle, x, y);
    if (!p.inside) return CLR_INVALID;
    const Surface &s = p.dc->surface();
    return rgb_of_pixel(s, s.get(p.x, p.y));
}

} // namespace win32
