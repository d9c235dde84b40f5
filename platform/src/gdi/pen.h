// Pens: cosmetic and geometric, with their styles, ends and joins.
#pragma once

#include "objects.h"

#include <vector>

namespace win32::gdi {

struct Pen : Object {
    static constexpr Kind object_kind = Kind::pen;
    Pen() : Object(Kind::pen) {}
    DWORD style = PS_SOLID; // the whole style word: type, dash style, end cap, join
    int width = 1;
    COLORREF color = 0;
    std::vector<DWORD> dashes; // PS_USERSTYLE: alternating dash and gap lengths

    DWORD dash_style() const { return style & PS_STYLE_MASK; }
    bool geometric() const { return (style & PS_TYPE_MASK) == PS_GEOMETRIC; }
};

std::shared_ptr<Pen> stock_pen(int index);

} // namespace win32::gdi
