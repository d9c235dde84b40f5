// The system palette of our 256-colour display, logical palettes, and the
// resolution of colour references into pixel values.
#pragma once

#include "objects.h"
#include "surface.h"

#include <vector>

namespace win32::gdi {

// The 256 colours the display shows for pixel values 0..255 of its surfaces.
extern PALETTEENTRY system_palette[256];
// Counts the changes of the system palette, so a display knows to redraw.
extern std::uint64_t system_palette_version;

struct Palette : Object {
    static constexpr Kind object_kind = Kind::palette;
    Palette() : Object(Kind::palette) {}
    std::vector<PALETTEENTRY> entries;
    // The stock default palette maps its upper ten entries onto the upper
    // static colours; every other palette maps entry n to system entry n.
    bool is_default = false;
};

std::shared_ptr<Palette> default_palette();
HPALETTE default_palette_handle();

// The system entry that logical entry `index` of `palette` is shown with.
std::uint8_t system_index(const Palette &palette, unsigned index);

// The system entry closest to an RGB colour (the lowest of equals).
std::uint8_t nearest_system_index(COLORREF rgb);

// The RGB colour a colour reference stands for through a palette.
COLORREF rgb_of(COLORREF color, const Palette &palette);

// The pixel value of `surface` that shows a colour reference, through the
// palette of the device context drawing on it.
std::uint32_t pixel_for(COLORREF color, const Palette &palette, const Surface &surface);

// The RGB colour a pixel value of a surface shows.
COLORREF rgb_of_pixel(const Surface &surface, std::uint32_t value);

// The entry of a colour table closest to an RGB colour.
std::uint32_t nearest_table_entry(const RGBQUAD *table, int count, COLORREF rgb);

// Writes a palette's colours into the system palette; answers how many
// entries were mapped. Sends no messages: the caller does that.
UINT realize(const Palette &palette, bool &system_palette_changed);

} // namespace win32::gdi
