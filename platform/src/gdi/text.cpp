// Text output and measurement: TextOutA and GetTextExtentPoint32A.
#include "device_context.h"
#include "font.h"
#include "paint.h"
#include "trace.h"

#include <algorithm>
#include <climits>

namespace win32::gdi {

namespace {

int clamp_int(long long v) {
    return int(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

// Pixels a box of long coordinates covers, clamped where no surface reaches.
Box box_between(long long x0, long long y0, long long x1, long long y1) {
    auto fit = [](long long v) { return int(std::clamp<long long>(v, INT_MIN / 2, INT_MAX / 2)); };
    return {fit(std::min(x0, x1)), fit(std::min(y0, y1)), fit(std::max(x0, x1)),
            fit(std::max(y0, y1))};
}

long long advance_of(FontRendition &font, const unsigned char *text, int length) {
    long long width = 0;
    for (int i = 0; i < length; ++i) width += font.glyph(text[i]).advance;
    return width;
}

// A device point in the text's own frame: `along` pixels in the direction of
// the text and `down` pixels towards the bottom of its line, from an origin.
struct FramePoint {
    long long x, y;
};
FramePoint in_frame(const TextFrame &f, long long x, long long y, long long along, long long down) {
    return {x + along * f.ux + down * f.dx, y + along * f.uy + down * f.dy};
}

} // namespace

} // namespace win32::gdi

namespace win32 {

using namespace gdi;

BOOL TextOutA(HDC dc_handle, int x, int y, LPCSTR text, int length) {
    trace::record("TextOutA", dc_handle, {x, y, length});
    auto dc = find_dc(dc_handle);
    if (!dc || length < 0 || (!text && length > 0)) return FALSE;
    FontRendition &font = dc->font.object->rendition();
    const auto *bytes = reinterpret_cast<const unsigned char *>(text);
    const long long width = advance_of(font, bytes, length);
    const TextFrame &f = font.frame;

    // The alignment places the text's box around the reference point in the
    // text's own frame: along it from `start`, down its line from `top`.
    const UINT align = dc->text_align;
    const POINT reference = (align & TA_UPDATECP) ? dc->position : POINT{x, y};
    const UINT horizontal = align & TA_CENTER, vertical = align & TA_BASELINE;
    const long long start = horizontal == TA_CENTER  ? -(width / 2)
                            : horizontal == TA_RIGHT ? -width
                                                     : 0;
    const long long top = vertical == TA_BASELINE ? -font.ascent
                          : vertical == TA_BOTTOM ? -(long long)font.cell_height()
                                                  : 0;
    const long long ox = (long long)reference.x + dc->origin.x;
    const long long oy = (long long)reference.y + dc->origin.y;
    const Box drawable = dc->drawable();

    // A band along the whole text, from `down` to `down + size` in its line.
    auto band = [&](long long down, long long size) {
        const FramePoint a = in_frame(f, ox, oy, start, down);
        const FramePoint b = in_frame(f, ox, oy, start + width, down + size);
        return box_between(a.x, a.y, b.x, b.y).intersect(drawable);
    };
    // Text paints as a copy whatever the mix mode, the cell first.
    if (dc->bk_mode == OPAQUE)
        SpanPaint(dc->surface(), std::uint8_t(dc->pixel(dc->bk_color)), R2_COPYPEN)
            .box(band(top, font.cell_height()));
    SpanPaint ink(dc->surface(), std::uint8_t(dc->pixel(dc->text_color)), R2_COPYPEN);
    const long long baseline = top + font.ascent;
    if (dc->font.object->underline)
        ink.box(band(baseline + font.underline.top, font.underline.size));
    if (dc->font.object->strike_out)
        ink.box(band(baseline + font.strike_out.top, font.strike_out.size));
    long long pen = start;
    for (int i = 0; i < length && !drawable.empty(); ++i) {
        const Glyph &g = font.glyph(bytes[i]);
        const FramePoint p = in_frame(f, ox, oy, pen, baseline);
        pen += g.step;
        if (p.x + g.right <= drawable.left || p.x + g.left >= drawable.right ||
            p.y + g.bottom <= drawable.top || p.y + g.top >= drawable.bottom)
            continue;
        for (const GlyphRun &run : g.runs) {
            const long long row = p.y + run.y;
            if (row < drawable.top || row >= drawable.bottom) continue;
            const long long x0 = std::max<long long>(p.x + run.x0, drawable.left);
            const long long x1 = std::min<long long>(p.x + run.x1, drawable.right);
            if (x0 < x1) ink.span(int(row), int(x0), int(x1));
        }
    }

    // The current position moves past left-aligned text and back before
    // right-aligned text; centred text leaves it where it is.
    if ((align & TA_UPDATECP) && horizontal != TA_CENTER) {
        const long long step = horizontal == TA_RIGHT ? -width : width;
        const FramePoint moved = in_frame(f, reference.x, reference.y, step, 0);
        dc->position = {clamp_int(moved.x), clamp_int(moved.y)};
    }
    return TRUE;
}

BOOL GetTextExtentPoint32A(HDC dc_handle, LPCSTR text, int length, LPSIZE size) {
    trace::record("GetTextExtentPoint32A", dc_handle, {length});
    auto dc = find_dc(dc_handle);
    if (!dc || !size || length < 0 || (!text && length > 0)) return FALSE;
    FontRendition &font = dc->font.object->rendition();
    const long long width = advance_of(font, reinterpret_cast<const unsigned char *>(text), length);
    size->cx = clamp_int(width);
    size->cy = font.cell_height();
    return TRUE;
}

} // namespace win32
