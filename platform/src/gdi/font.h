// Fonts: what CreateFontA asked for, and the font as drawn, made on first
// use: a face from the font mapper at one size and turn, its metrics, and its
// glyphs as runs of pixels, rasterised once.
#pragma once

#include "font_mapper.h"
#include "objects.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

typedef struct FT_SizeRec_ *FT_Size;

namespace win32::gdi {

// One row of a glyph's pixels, relative to its pen position on the baseline,
// in device orientation (the text's turn already applied).
struct GlyphRun {
    int y, x0, x1;
};

struct Glyph {
    bool ready = false;
    // Along the text, in pixels: what the glyph adds to the text's measured
    // width (its unhinted advance) and how far the next glyph is drawn from
    // it (upright, its hinted advance). The two may differ by a pixel.
    int advance = 0;
    int step = 0;
    int left = 0, top = 0; // the runs' bounding box, device-oriented
    int right = 0, bottom = 0;
    std::vector<GlyphRun> runs;
};

// The directions of a text turned by a number of quarter turns counter-
// clockwise: along the text (u) and from the top of a line to its bottom
// (down), in device coordinates, whose y grows downwards.
struct TextFrame {
    int ux, uy, dx, dy;
};

struct FontRendition {
    FontRendition() = default;
    FontRendition(const FontRendition &) = delete;
    FontRendition &operator=(const FontRendition &) = delete;
    ~FontRendition();

    MappedFace mapped;
    FT_Size size = nullptr; // this font's size of the shared face
    int ascent = 0;         // pixels above the baseline
    int descent = 0;        // pixels below it
    int average_width = 0;
    // How much the glyphs are stretched along the text, 16.16 fixed point.
    long stretch = 0x10000;
    // A line drawn along the text: its top row below the baseline (negative
    // above it) and its thickness.
    struct Line {
        int top = 0, size = 0;
    } underline, strike_out;
    int quarter_turns = 0;
    TextFrame frame{1, 0, 0, 1};
    // Glyphs by code page byte: a font draws at most 256 characters.
    std::array<Glyph, 256> glyphs;

    int cell_height() const { return ascent + descent; }
    const Glyph &glyph(unsigned char byte);
};

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

    // The font as drawn, made on first use.
    FontRendition &rendition();

private:
    std::unique_ptr<FontRendition> drawn;
};

} // namespace win32::gdi
