#include "region.h"

#include "trace.h"

#include <new>

namespace win32::gdi {

int select_clip(DeviceContext &dc, const Region *region) {
    // The DC keeps its own copy, so the region may be deleted afterwards.
    if (!region) {
        dc.clip.reset();
        return SIMPLEREGION;
    }
    dc.clip = region->box;
    return region->box.empty() ? NULLREGION : SIMPLEREGION;
}

} // namespace win32::gdi

namespace win32 {

using namespace gdi;

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    trace::record("CreateRectRgn", nullptr, {left, top, right, bottom});
    auto region = std::shared_ptr<Region>(new (std::nothrow) Region);
    if (!region) return nullptr;
    // Given back to front, the corners are exchanged; right and bottom are excluded.
    region->box = {std::min(left, right), std::min(top, bottom), std::max(left, right),
                   std::max(top, bottom)};
    if (region->box.empty()) region->box = {};
    return static_cast<HRGN>(add_object(region));
}

int SelectClipRgn(HDC dc_handle, HRGN region_handle) {
    trace::record("SelectClipRgn", dc_handle, {trace::value(region_handle)});
    auto dc = find_dc(dc_handle);
    if (!dc) return ERROR;
    if (!region_handle) return select_clip(*dc, nullptr);
    auto region = find<Region>(region_handle);
    if (!region) return ERROR;
    return select_clip(*dc, region.get());
}

} // namespace win32
