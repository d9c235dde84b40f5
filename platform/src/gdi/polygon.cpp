// Polygon: the inside in the brush, then the outline in the pen.
#include "raster.h"
#include "trace.h"

namespace win32 {

using namespace gdi;

BOOL Polygon(HDC dc_handle, const POINT *points, int count) {
    trace::record_points("Polygon", dc_handle, points, count);
    auto dc = find_dc(dc_handle);
    if (!dc || !points || count < 2) return FALSE;
    std::vector<DevicePoint> device = to_device(*dc, points, count);
    SpanPaint inside(*dc, *dc->brush.object, dc->rop2);
    if (inside.paints()) {
        PaintingSink sink(inside, dc->drawable());
        scan_polygon(device, dc->poly_fill_mode == WINDING, dc->drawable(), sink);
    }
    device.push_back(device.front()); // the outline is closed
    stroke_polyline(*dc, device);
    return TRUE;
}

} // namespace win32
