// Rectangular regions, as clip regions are made of.
#pragma once

#include "device_context.h"

namespace win32::gdi {

struct Region : Object {
    static constexpr Kind object_kind = Kind::region;
    Region() : Object(Kind::region) {}
    Box box; // empty when the region is
};

int select_clip(DeviceContext &dc, const Region *region);

} // namespace win32::gdi
