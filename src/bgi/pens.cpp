// Pens, line styles and write modes: the pen cache's pens made from the line
// settings, the user pattern's dash array, and the mix mode with which the
// outlines that honour the write mode are drawn.
#include "bgi.h"
#include "bgi_internal.h"
#include "object_cache.h"

#ifndef _WIN32
using namespace win32;
#endif
using namespace bgi;

namespace {

// GDI pen style of each BGI line style. The user style's pen is made from its
// dash array; PS_DASHDOTDOT stands in when GDI refuses that pen.
constexpr int line_style_cnv[USERBIT_LINE + 1] = {PS_SOLID, PS_DOT, PS_DASHDOT, PS_DASH,
                                                  PS_DASHDOTDOT};

// GDI mix mode of each write mode.
constexpr int write_mode_cnv[NOT_PUT + 1] = {R2_COPYPEN, R2_XORPEN, R2_MERGEPEN, R2_MASKPEN,
                                             R2_NOTCOPYPEN};

// A style without a row in line_style_cnv draws solid.
int pen_style(int style) {
    return (style >= SOLID_LINE && style <= USERBIT_LINE) ? line_style_cnv[style] : int(PS_SOLID);
}

// The pen colour is the colour argument's palette slot (kept to 16 bits).
HPEN create_pen(int color_arg) {
    const line_settings_t &settings = drawing.line_settings;
    const COLORREF pen_color = PALETTEINDEX(WORD(color_arg));
    HPEN pen = nullptr;
    if (settings.style == USERBIT_LINE) {
        const LOGBRUSH brush{BS_SOLID, pen_color, 0};
        DWORD dashes[32];
        const int count = convert_userbits(dashes, settings.pattern);
        pen = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, DWORD(settings.thickness), &brush,
                           DWORD(count), dashes);
    }
    if (!pen) pen = CreatePen(pen_style(settings.style), settings.thickness, pen_color);
    return pen;
}

// The write mode with a row in write_mode_cnv; any other draws as a copy.
int effective_write_mode() {
    const int mode = drawing.write_mode;
    return (mode >= COPY_PUT && mode <= NOT_PUT) ? mode : int(COPY_PUT);
}

void set_mix_mode(int mode) {
    on_both_dcs([mode](HDC dc) { SetROP2(dc, mode); });
}

} // namespace

namespace bgi {

// The pattern tells pens apart only in the user style; the other styles ignore it.
void pen_cache::select(int color_arg) {
    const line_settings_t &settings = drawing.line_settings;
    const cache_key key{color_arg, settings.thickness, settings.style, int(settings.pattern),
                        settings.style == USERBIT_LINE};
    select_object(device.hPen, key, [color_arg] { return create_pen(color_arg); });
}

int convert_userbits(DWORD *dashes, unsigned pattern) {
    pattern &= 0xFFFF;
    int i = 0;
    DWORD used = 0;
    for (;;) {
        DWORD dash = 0;
        for (; pattern & 1; pattern >>= 1) ++dash;
        dashes[i++] = dash;
        used += dash;
        if (!pattern) {
            dashes[i++] = 16 - used; // the gap that completes the 16 bits
            return i;
        }
        DWORD gap = 0;
        for (; !(pattern & 1); pattern >>= 1) ++gap;
        dashes[i++] = gap;
        used += gap;
    }
}

// XOR and inverted copy take the pen from palette slots 0..15 rather than the
// BGI colours' 16..31, so that combining indices leaves the result among the
// BGI colours: XOR of slot c over slot 16 + b is slot 16 + (b ^ c).
int begin_write_mode() {
    const int mode = effective_write_mode();
    if (mode != COPY_PUT) set_mix_mode(write_mode_cnv[mode]);
    const int color = drawing.color;
    pcache.select(mode == XOR_PUT || mode == NOT_PUT ? color : color + palette_slot_offset);
    return mode;
}

void end_write_mode(int mode) {
    if (mode != COPY_PUT) set_mix_mode(R2_COPYPEN);
}

} // namespace bgi

extern "C" {

// Stored as given; the next pen selection uses them.
void setlinestyle(int linestyle, unsigned upattern, int thickness) {
    drawing.line_settings = {linestyle, upattern, thickness};
}

void getlinesettings(struct linesettingstype *lineinfo) {
    if (!lineinfo) return;
    const line_settings_t &settings = drawing.line_settings;
    *lineinfo = {
        .linestyle = settings.style, .upattern = settings.pattern, .thickness = settings.thickness};
}

} // extern "C"
