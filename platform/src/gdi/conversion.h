// Converting pixel values between surfaces, as a palette device does: each
// source value becomes one destination value, through a table made once per
// call.
#pragma once

#include "device_context.h"

#include <cstdint>

namespace win32::gdi {

struct Conversion {
    std::uint8_t table[256] = {};
    bool identity = false; // every value stays as it is
};

// Colour references (what each source value stands for) to the pixel values
// of `target`, through the palette of the DC that draws on it.
Conversion colors_to_surface(const COLORREF *colors, int count, const Palette &palette,
                             const Surface &target);

// From the surface of one DC to that of another, as BitBlt converts:
// monochrome sources take the destination's text colour for 0 and its
// background colour for 1; a monochrome destination takes 1 where the source
// shows its own background colour and 0 elsewhere; other formats go by colour.
Conversion conversion_between(const DeviceContext &src, const DeviceContext &dst);

// Pixels x0..x1-1 of a source row, converted.
void read_converted(const Surface &source, int y, int x0, int x1, const Conversion &conversion,
                    std::uint8_t *out);

} // namespace win32::gdi
