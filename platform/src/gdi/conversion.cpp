#include "conversion.h"

#include <algorithm>

namespace win32::gdi {

Conversion colors_to_surface(const COLORREF *colors, int count, const Palette &palette,
                             const Surface &target) {
    Conversion c;
    for (int v = 0; v < count && v < 256; ++v)
        c.table[v] = std::uint8_t(pixel_for(colors[v], palette, target));
    return c;
}

Conversion conversion_between(const DeviceContext &src, const DeviceContext &dst) {
    const Surface &s = src.bitmap.object->surface, &d = dst.bitmap.object->surface;
    const int count = 1 << s.bits_per_pixel;
    const bool s_mono = s.bits_per_pixel == 1 && !s.device_independent;
    const bool d_mono = d.bits_per_pixel == 1 && !d.device_independent;
    Conversion c;
    if (!s.device_independent && !d.device_independent && s.bits_per_pixel == d.bits_per_pixel) {
        for (int v = 0; v < count; ++v) c.table[v] = std::uint8_t(v);
        c.identity = true;
    } else if (s_mono) {
        c.table[0] = std::uint8_t(dst.pixel(dst.text_color));
        c.table[1] = std::uint8_t(dst.pixel(dst.bk_color));
    } else if (d_mono) {
        const COLORREF bk = rgb_of(src.bk_color, *src.palette.object);
        const std::uint32_t bk_value = src.pixel(src.bk_color);
        for (int v = 0; v < count; ++v)
            c.table[v] = s.device_independent ? (rgb_of_pixel(s, std::uint32_t(v)) == bk)
                                              : (std::uint32_t(v) == bk_value);
    } else {
        COLORREF colors[256];
        for (int v = 0; v < count; ++v) colors[v] = rgb_of_pixel(s, std::uint32_t(v));
        c = colors_to_surface(colors, count, *dst.palette.object, d);
    }
    return c;
}

void read_converted(const Surface &source, int y, int x0, int x1, const Conversion &conversion,
                    std::uint8_t *out) {
    if (source.bits_per_pixel == 4 && !conversion.identity && x0 < x1) {
        // Images: each pixel through the table as it is unpacked.
        const std::uint8_t *table = conversion.table;
        unpack4(source.row(y), x0, x1, out, [table](std::uint8_t v) { return table[v]; });
        return;
    }
    source.read(y, x0, x1, out);
    if (conversion.identity) return;
    for (int i = 0; i < x1 - x0; ++i) out[i] = conversion.table[out[i]];
}

} // namespace win32::gdi
