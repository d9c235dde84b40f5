// Pens: cosmetic and geometric, with their styles, ends and joins, and the
// dash pattern each is drawn with, prepared when the pen is made.
#pragma once

#include "objects.h"

#include <vector>

namespace win32::gdi {

// Where a path is in its pen's dash pattern: entry `entry` (even entries are
// dashes, odd ones gaps) with `left` pixels of it still to go.
struct DashPosition {
    std::size_t entry = 0;
    double left = 0;
};

// A pen's dashes, in pixels along the path: on, off, on, off, ...; none for
// a solid pen. Gaps of the predefined styles take the background colour in
// the opaque background mode; those of alternate and user styles never do.
struct DashPattern {
    std::vector<long long> lengths;
    long long period = 0; // 0 for a solid pen
    bool paints_gaps = false;

    bool solid() const { return period <= 0; }
    // The position `distance` pixels from the start of the pattern, within a
    // dash or gap of some length (never at the end of one).
    DashPosition at(long long distance) const;
    // Moves on by `distance` pixels, up to the end of the current entry.
    void advance(DashPosition &position, long long distance) const;
};

struct Pen : Object {
    static constexpr Kind object_kind = Kind::pen;
    Pen() : Object(Kind::pen) {}
    DWORD style = PS_SOLID; // the whole style word: type, dash style, end cap, join
    int width = 1;
    COLORREF color = 0;
    std::vector<DWORD> dashes; // PS_USERSTYLE: alternating dash and gap lengths
    DashPattern dash;

    DWORD dash_style() const { return style & PS_STYLE_MASK; }
    bool geometric() const { return (style & PS_TYPE_MASK) == PS_GEOMETRIC; }
    // Prepares `dash` from the style and the user's dashes.
    void prepare_dashes();
};

std::shared_ptr<Pen> stock_pen(int index);

} // namespace win32::gdi
