#include "font.h"

#include "codepage.h"
#include "trace.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace win32::gdi {

namespace {

// What a height of 0 asks for: a cell of 16 pixels, as the reference does.
constexpr long long default_cell_height = 16;
// Every size is clamped to this many pixels an em, so that one glyph, and a
// font's 256 of them, stay small whatever a program asks.
constexpr double max_em = 1024;
// A face's measures in its design units.
struct DesignMetrics {
    double units_per_em = 2048;
    double ascent = 1638, descent = 410; // the cell above and below the baseline
    double average_width = 1024;
    // Heights above the baseline of the middle of the underline and of the
    // top of the strike-out line, and their thicknesses.
    double underline = -205, underline_size = 102;
    double strike_out = 530, strike_out_size = 102;
};

DesignMetrics design_metrics(FT_Face face) {
    DesignMetrics m;
    if (!face || face->units_per_EM == 0) return m;
    m.units_per_em = face->units_per_EM;
    m.ascent = face->ascender;
    m.descent = -face->descender;
    m.average_width = m.units_per_em / 2;
    if (face->underline_thickness > 0) {
        m.underline = face->underline_position;
        m.underline_size = face->underline_thickness;
    }
    m.strike_out = m.units_per_em / 4;
    m.strike_out_size = m.underline_size;
    // The cell is the one Windows metrics give, when the face has them.
    auto *os2 = static_cast<const TT_OS2 *>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            m.ascent = os2->usWinAscent;
            m.descent = os2->usWinDescent;
        }
        if (os2->xAvgCharWidth > 0) m.average_width = os2->xAvgCharWidth;
        if (os2->yStrikeoutSize > 0) {
            m.strike_out = os2->yStrikeoutPosition;
            m.strike_out_size = os2->yStrikeoutSize;
        }
    }
    if (m.ascent + m.descent <= 0)
        m.ascent = 0.8 * m.units_per_em, m.descent = 0.2 * m.units_per_em;
    return m;
}

// Escapements between quarter turns go to the nearest one, as only quarter
// turns keep pixels square; halfway goes counter-clockwise.
int quarter_turns(int escapement) {
    const long long tenths = ((long long)escapement % 3600 + 3600) % 3600;
    return int((tenths + 450) / 900) % 4;
}

TextFrame frame_of(int quarter_turns) {
    static constexpr TextFrame frames[4] = {
        {1, 0, 0, 1}, {0, -1, 1, 0}, {-1, 0, 0, -1}, {0, 1, -1, 0}};
    return frames[quarter_turns & 3];
}

// Design units to whole pixels through a 16.16 scale of pixels per unit, as
// the face's metrics are scaled (the rounding of halves depends on it).
long long to_pixels(double units, long long scale) {
    return ((long long)units * scale + 0x8000) >> 16;
}

// Sizes the rendition from the request: a negative height is the em, a
// positive one the cell (ascent + descent). The face is hinted at that em,
// square. A width other than the face's own average character width at that
// em (rounded) stretches the glyphs along the text by width / average, in
// 16.16 fixed point truncated, as the reference does; the average then is
// the width asked for.
void size_rendition(FontRendition &r, const Font &font) {
    FT_Face face = r.mapped.typeface ? r.mapped.typeface->face : nullptr;
    const DesignMetrics m = design_metrics(face);
    const double cell_units = m.ascent + m.descent;
    const long long height = font.height == 0 ? default_cell_height : font.height;
    const double wanted_em =
        height < 0 ? double(-height) : double(height) * m.units_per_em / cell_units;
    const double em = std::clamp(wanted_em, 1.0, max_em);
    const long long em_scale = std::llround(em * 65536 / m.units_per_em);
    if (height > 0 && wanted_em >= 1 && wanted_em <= max_em) {
        r.descent = int(std::lround(double(height) * m.descent / cell_units));
        r.ascent = int(height) - r.descent;
    } else {
        r.ascent = int(to_pixels(m.ascent, em_scale));
        r.descent = int(to_pixels(m.descent, em_scale));
    }
    const double pixels = em / m.units_per_em;
    const int underline_size = std::max(1, int(std::lround(m.underline_size * pixels)));
    r.underline = {int(std::lround(-m.underline * pixels - underline_size / 2.0)), underline_size};
    r.strike_out = {int(std::lround(-m.strike_out * pixels)),
                    std::max(1, int(std::lround(m.strike_out_size * pixels)))};
    const long long natural = std::max(1LL, to_pixels(m.average_width, em_scale));
    const long long width = std::llabs((long long)font.width);
    r.average_width = int(natural);
    if (width != 0 && width != natural) {
        // Kept to glyphs between a pixel and the largest em wide.
        r.stretch =
            FT_Fixed(std::clamp<long long>((width << 16) / natural, (long long)(65536 / em) + 1,
                                           (long long)(max_em * 65536 / em)));
        r.average_width = int(std::min<long long>(width, (long long)max_em));
    }
    if (!face || FT_New_Size(face, &r.size) != 0) {
        r.size = nullptr;
        return;
    }
    FT_Activate_Size(r.size);
    const FT_Long em64 = FT_Long(std::lround(em * 64));
    FT_Size_RequestRec request{FT_SIZE_REQUEST_TYPE_NOMINAL, em64, em64, 0, 0};
    FT_Request_Size(face, &request);
}

// An advance (26.6) in whole pixels: rounded, or stretched and rounded up.
int whole_pixels(FT_Pos advance, FT_Fixed stretch) {
    if (stretch == 0x10000) return int((advance + 32) >> 6);
    return int((FT_MulFix(advance, stretch) + 63) >> 6);
}

// The hinted glyph in the slot, stretched, turned with the text and drawn in
// monochrome into its box, as the reference draws it. Upright, the box spans
// the columns of the glyph's hinted metrics once stretched and the rows they
// span within the cell; ink the hinting moved outside it is cut.
void draw_in_box(Glyph &g, FT_GlyphSlot slot, FT_Fixed stretch, const FontRendition &r) {
    const FT_Glyph_Metrics &m = slot->metrics;
    // Pixel edges, y upwards from the baseline.
    const FT_Pos left = FT_MulFix(m.horiBearingX, stretch) >> 6;
    const FT_Pos right = (FT_MulFix(m.horiBearingX + m.width, stretch) + 63) >> 6;
    const FT_Pos top = std::min<FT_Pos>((m.horiBearingY + 63) >> 6, r.ascent);
    const FT_Pos bottom = std::max<FT_Pos>((m.horiBearingY - m.height) >> 6, -r.descent);
    if (right <= left || top <= bottom) return;

    // Upright (along, up) to turned coordinates, y upwards; the frame's
    // vectors are in device coordinates, whose y grows downwards.
    const TextFrame &f = r.frame;
    const FT_Matrix turn{f.ux * stretch, -f.dx * 0x10000L, -f.uy * stretch, f.dy * 0x10000L};
    FT_Outline_Transform(&slot->outline, &turn);
    auto turned = [&](FT_Pos x, FT_Pos y) {
        return std::pair{f.ux * x - f.dx * y, -f.uy * x + f.dy * y};
    };
    const auto [ax, ay] = turned(left, bottom);
    const auto [bx, by] = turned(right, top);
    const FT_Pos x0 = std::min(ax, bx), x1 = std::max(ax, bx);
    const FT_Pos y0 = std::min(ay, by), y1 = std::max(ay, by);
    FT_Outline_Translate(&slot->outline, -x0 * 64, -y0 * 64);

    FT_Bitmap bitmap{};
    bitmap.width = unsigned(x1 - x0);
    bitmap.rows = unsigned(y1 - y0);
    bitmap.pitch = int((bitmap.width + 31) / 32 * 4);
    bitmap.num_grays = 2;
    bitmap.pixel_mode = FT_PIXEL_MODE_MONO;
    std::vector<unsigned char> pixels(std::size_t(bitmap.pitch) * bitmap.rows);
    bitmap.buffer = pixels.data();
    if (FT_Outline_Get_Bitmap(slot->library, &slot->outline, &bitmap) != 0) return;

    // Rows of the bitmap run from the top down; device rows grow downwards.
    g.left = int(x0), g.right = int(x1), g.top = int(-y1), g.bottom = int(-y0);
    const int width = int(bitmap.width);
    for (int row = 0; row < int(bitmap.rows); ++row) {
        const unsigned char *line = pixels.data() + std::size_t(row) * bitmap.pitch;
        auto ink = [line](int x) { return (line[x >> 3] >> (7 - (x & 7))) & 1; };
        for (int x = 0; x < width;) {
            if (!ink(x)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < width && ink(x)) ++x;
            g.runs.push_back({g.top + row, g.left + start, g.left + x});
        }
    }
}

} // namespace

FontRendition::~FontRendition() {
    if (size) FT_Done_Size(size);
}

const Glyph &FontRendition::glyph(unsigned char byte) {
    Glyph &g = glyphs[byte];
    if (g.ready) return g;
    g.ready = true;
    g.advance = g.step = average_width;
    if (!size) return g;
    FT_Face face = mapped.typeface->face;
    FT_Activate_Size(size);
    // Bytes the code page leaves unassigned, and characters the face lacks,
    // take the face's default glyph (index 0).
    const char32_t character = cp1252_to_unicode(byte);
    const FT_UInt index = character || !byte ? FT_Get_Char_Index(face, character) : 0;
    FT_GlyphSlot slot = face->glyph;
    auto load = [&](FT_Int32 flags) {
        if (FT_Load_Glyph(face, index, flags | FT_LOAD_NO_BITMAP) != 0) return false;
        if (mapped.oblique) FT_GlyphSlot_Oblique(slot);
        if (mapped.embolden) FT_GlyphSlot_Embolden(slot);
        return true;
    };
    // Text measures by the unhinted advances, rounded before they are
    // stretched. Upright text is drawn with the hinted ones, turned text with
    // the measured ones, as the reference does.
    if (!load(FT_LOAD_NO_HINTING)) return g;
    g.advance = g.step = whole_pixels((slot->advance.x + 32) & -64, stretch);
    if (!load(FT_LOAD_TARGET_MONO)) return g;
    if (quarter_turns == 0) g.step = whole_pixels(slot->advance.x, stretch);
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) draw_in_box(g, slot, stretch, *this);
    return g;
}

FontRendition &Font::rendition() {
    if (drawn) return *drawn;
    drawn = std::make_unique<FontRendition>();
    drawn->mapped = map_font(*this);
    // The escapement turns the characters too, as in the compatible graphics
    // mode, where the orientation is not used.
    drawn->quarter_turns = quarter_turns(escapement);
    drawn->frame = frame_of(drawn->quarter_turns);
    size_rendition(*drawn, *this);
    return *drawn;
}

} // namespace win32::gdi

namespace win32 {

using namespace gdi;

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strike_out, DWORD charset, DWORD out_precision,
                  DWORD clip_precision, DWORD quality, DWORD pitch_and_family, LPCSTR face_name) {
    trace::record("CreateFontA", nullptr,
                  {height, width, escapement, orientation, weight, italic, underline, strike_out,
                   charset, out_precision, clip_precision, quality, pitch_and_family});
    auto font = std::shared_ptr<Font>(new (std::nothrow) Font);
    if (!font) return nullptr;
    font->height = height;
    font->width = width;
    font->escapement = escapement;
    font->orientation = orientation;
    font->weight = weight;
    font->italic = italic != 0;
    font->underline = underline != 0;
    font->strike_out = strike_out != 0;
    font->charset = charset;
    font->pitch_and_family = pitch_and_family;
    // A face name holds at most 31 characters, as in a LOGFONT.
    if (face_name) font->face.assign(face_name, strnlen(face_name, 31));
    font->rendition();
    return static_cast<HFONT>(add_object(font));
}

} // namespace win32
