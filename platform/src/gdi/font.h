// Fonts: what CreateFontA asked for.
#pragma once

#include "objects.h"

#include <string>

namespace win32::gdi {

struct Font : Object {
    static constexpr Kind object_kind = Kind::font;
    Font() : Object(Kind::font) {}
    int height = 0;
    int width = 0;
    int escapement = 0;
    int orientation = 0;
    int weight = 0;
    bool italic = false;
    bool underline = false;
    bool strike_out = false;
    DWORD charset = 0;
    DWORD pitch_and_family = 0;
    std::string face;
};

} // namespace win32::gdi
