// FloodFill in border mode: a scanline fill that first finds the region, in a
// mask of the drawable area, and then paints it with the brush.
#include "raster.h"
#include "trace.h"

#include <vector>

namespace win32 {

using namespace gdi;

BOOL FloodFill(HDC dc_handle, int x, int y, COLORREF border) {
    trace::record("FloodFill", dc_handle, {x, y, border});
    auto dc = find_dc(dc_handle);
    if (!dc) return FALSE;
    const Box area = dc->drawable();
    const DevicePoint start = to_device(*dc, POINT{x, y});
    if (start.x < area.left || start.x >= area.right || start.y < area.top ||
        start.y >= area.bottom)
        return FALSE;
    const Surface &s = dc->surface();
    const std::uint32_t stop = dc->pixel(border);
    PixelMask region(area);
    auto open = [&](int px, int py) { return s.get(px, py) != stop && !region.has(px, py); };
    if (!open(int(start.x), int(start.y))) return FALSE;

    // Seeds are whole spans: each is widened to its row's extent, marked, and
    // the rows above and below are searched for new seeds along it. The stack
    // holds at most a few seeds per marked span.
    std::vector<std::pair<int, int>> seeds{{int(start.x), int(start.y)}};
    while (!seeds.empty()) {
        auto [sx, sy] = seeds.back();
        seeds.pop_back();
        if (!open(sx, sy)) continue;
        int left = sx, right = sx + 1;
        while (left > area.left && open(left - 1, sy)) --left;
        while (right < area.right && open(right, sy)) ++right;
        region.add_span(sy, left, right);
        for (int ny : {sy - 1, sy + 1}) {
            if (ny < area.top || ny >= area.bottom) continue;
            bool in_run = false;
            for (int nx = left; nx < right; ++nx) {
                const bool o = open(nx, ny);
                if (o && !in_run) seeds.push_back({nx, ny});
                in_run = o;
            }
        }
    }
    const Brush &brush = *dc->brush.object;
    if (brush.style != BS_NULL)
        region.for_each_span([&](int row, int x0, int x1) {
            paint_box(*dc, brush, Box{x0, row, x1, row + 1}, dc->rop2);
        });
    return TRUE;
}

} // namespace win32
