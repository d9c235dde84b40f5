// Brushes: solid, pattern and the empty brush.
#pragma once

#include "objects.h"

#include <vector>

namespace win32::gdi {

struct Brush : Object {
    static constexpr Kind object_kind = Kind::brush;
    Brush() : Object(Kind::brush) {}
    UINT style = BS_SOLID;
    COLORREF color = 0;
    // BS_PATTERN: the pattern's pixels, one byte each, row by row. From a
    // monochrome bitmap they are 0 and 1 (text and background colour of the
    // DC at drawing time); from an 8-bit bitmap, system palette indices.
    int pattern_width = 0;
    int pattern_height = 0;
    bool monochrome = true;
    std::vector<std::uint8_t> pattern;
    // Every pixel of the pattern is the same: it paints like a solid brush.
    bool uniform = false;
};

std::shared_ptr<Brush> stock_brush(int index);

} // namespace win32::gdi
