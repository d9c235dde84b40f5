// Polygon: the inside in the brush and the outline in the pen.
#include "raster.h"
#include "trace.h"

namespace win32 {

using namespace gdi;

BOOL Polygon(HDC dc_handle, const POINT *points, int count) {
    trace::record_points("Polygon", dc_handle, points, count);
    auto dc = find_dc(dc_handle);
    if (!dc || !points || count < 2) return FALSE;
    std::vector<DevicePoint> device = to_device(*dc, points, count);
    const bool winding = dc->poly_fill_mode == WINDING;
    std::vector<DevicePoint> outline = device;
    outline.push_back(device.front()); // the outline is closed
    fill_and_stroke(
        *dc, [&](const Box &area, SpanSink &sink) { scan_polygon(device, winding, area, sink); },
        outline);
    return TRUE;
}

} // namespace win32
