// Polygon: the inside in the brush, then the outline in the pen.
#include "raster.h"
#include "trace.h"

namespace win32::gdi {

namespace {

void paint_with_brush(DeviceContext &dc, const PixelMask &mask) {
    const Brush &brush = *dc.brush.object;
    if (brush.style == BS_NULL) return;
    mask.for_each_span([&](int y, int x0, int x1) {
        paint_box(dc, brush, Box{x0, y, x1, y + 1}, dc.rop2);
    });
}

} // namespace

} // namespace win32::gdi

namespace win32 {

using namespace gdi;

BOOL Polygon(HDC dc_handle, const POINT *points, int count) {
    if (trace::enabled) {
        std::vector<std::int64_t> args{count};
        for (int i = 0; points && i < count; ++i)
            args.push_back(points[i].x), args.push_back(points[i].y);
        trace::record_list("Polygon", dc_handle, args);
    }
    auto dc = find_dc(dc_handle);
    if (!dc || !points || count < 2) return FALSE;
    std::vector<DevicePoint> device;
    device.reserve(std::size_t(count) + 1);
    for (int i = 0; i < count; ++i) device.push_back(to_device(*dc, points[i]));
    PixelMask inside(reach(*dc, device, 0));
    fill_polygon(inside, device, dc->poly_fill_mode == WINDING);
    paint_with_brush(*dc, inside);
    device.push_back(device.front()); // the outline is closed
    stroke_polyline(*dc, device);
    return TRUE;
}

} // namespace win32
