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
    fill_and_stroke_polygon(*dc, device, dc->poly_fill_mode == WINDING);
    return TRUE;
}

} // namespace win32
