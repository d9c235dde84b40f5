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
    // A stretch never takes the glyphs beyond the largest em either way.
    const long long width = std::min<long long>(std::llabs((long long)font.width), 1LL << 20);
    r.average_width = int(natural);
    if (width != 0 && width != natural) {
        const double most = max_em / em, least = 1 / em;
        r.stretch = FT_Fixed(std::clamp<long long>(
            (width << 16) / natural, (long long)(least * 65536) + 1, (long long)(most * 65536)));
        r.average_width = int(width);
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

bool ink_at(const FT_Bitmap &bitmap, int column, int row) {
    const int pitch = bitmap.pitch;
    const unsigned char *line =
        bitmap.buffer + std::ptrdiff_t(pitch >= 0 ? row : int(bitmap.rows) - 1 - row) *
                            std::ptrdiff_t(pitch >= 0 ? pitch : -pitch);
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
        return (line[column >> 3] >> (7 - (column & 7))) & 1;
    return line[column] >= 128;
}

// The glyph's pixels, turned with the text, as runs of device rows relative
// to the pen position. The pixel (gx, gy) of the upright glyph (right, down)
// covers the square from gx * u + gy * down to (gx + 1) * u + (gy + 1) * down.
void trace_runs(Glyph &g, const FT_Bitmap &bitmap, int left, int top, const TextFrame &f) {
    const int columns = int(bitmap.width), rows = int(bitmap.rows);
    if (columns <= 0 || rows <= 0) return;
    auto device = [&](int gx, int gy) {
        return std::pair{gx * f.ux + gy * f.dx + std::min(0, f.ux) + std::min(0, f.dx),
                         gx * f.uy + gy * f.dy + std::min(0, f.uy) + std::min(0, f.dy)};
    };
    const auto [ax, ay] = device(left, -top);
    const auto [bx, by] = device(left + columns - 1, -top + rows - 1);
    g.left = std::min(ax, bx), g.right = std::max(ax, bx) + 1;
    g.top = std::min(ay, by), g.bottom = std::max(ay, by) + 1;
    const int width = g.right - g.left;
    std::vector<unsigned char> turned(std::size_t(width) * std::size_t(g.bottom - g.top));
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            if (ink_at(bitmap, column, row)) {
                const auto [x, y] = device(left + column, -top + row);
                turned[std::size_t(y - g.top) * width + std::size_t(x - g.left)] = 1;
            }
    for (int y = g.top; y < g.bottom; ++y) {
        const unsigned char *line = turned.data() + std::size_t(y - g.top) * width;
        for (int x = 0; x < width;) {
            if (!line[x]) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < width && line[x]) ++x;
            g.runs.push_back({y, g.left + start, g.left + x});
        }
    }
}

// An advance of the glyph in the slot in whole pixels: rounded at the em, or
// stretched and rounded up.
int advance_of(const FT_GlyphSlot slot, FT_Fixed stretch) {
    if (stretch == 0x10000) return int((slot->advance.x + 32) >> 6);
    return int((FT_MulFix(slot->advance.x, stretch) + 63) >> 6);
}

// The hinted glyph in the slot, stretched and drawn in monochrome into its
// box: the columns its hinted metrics span once stretched, the rows they
// span within the cell. Ink the hinting moved outside that box is cut, as
// the reference cuts it.
void draw_in_box(Glyph &g, FT_Library library, FT_GlyphSlot slot, FT_Fixed stretch,
                 const FontRendition &r) {
    const FT_Glyph_Metrics &m = slot->metrics;
    const FT_Pos left = FT_MulFix(m.horiBearingX, stretch) >> 6;
    const FT_Pos right = (FT_MulFix(m.horiBearingX + m.width, stretch) + 63) >> 6;
    const FT_Pos top = std::min<FT_Pos>((m.horiBearingY + 63) >> 6, r.ascent);
    const FT_Pos bottom = std::max<FT_Pos>((m.horiBearingY - m.height) >> 6, -r.descent);
    if (right <= left || top <= bottom) return;
    const FT_Matrix stretching{stretch, 0, 0, 0x10000};
    FT_Outline_Transform(&slot->outline, &stretching);
    FT_Outline_Translate(&slot->outline, -left * 64, -bottom * 64);
    FT_Bitmap bitmap{};
    bitmap.width = unsigned(right - left);
    bitmap.rows = unsigned(top - bottom);
    bitmap.pitch = int((bitmap.width + 31) / 32 * 4);
    bitmap.num_grays = 2;
    bitmap.pixel_mode = FT_PIXEL_MODE_MONO;
    std::vector<unsigned char> pixels(std::size_t(bitmap.pitch) * bitmap.rows);
    bitmap.buffer = pixels.data();
    if (FT_Outline_Get_Bitmap(library, &slot->outline, &bitmap) != 0) return;
    trace_runs(g, bitmap, int(left), int(top), r.frame);
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
    // stretched; it is drawn with the hinted ones, as the reference does.
    if (!load(FT_LOAD_NO_HINTING)) return g;
    slot->advance.x = (slot->advance.x + 32) & -64;
    g.advance = g.step = advance_of(slot, stretch);
    if (!load(FT_LOAD_TARGET_MONO)) return g;
    g.step = advance_of(slot, stretch);
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE)
        draw_in_box(g, face->glyph->library, slot, stretch, *this);
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
