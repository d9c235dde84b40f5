#include "palette.h"

#include "device_context.h"
#include "trace.h"

#include <algorithm>
#include <new>

namespace win32::gdi {

namespace {

// The 20 static colours of the display: entries 0..9 and 246..255.
constexpr PALETTEENTRY static_colors[20] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
    {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
    {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
    {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
};

struct SystemPaletteInit {
    SystemPaletteInit() {
        for (int i = 0; i < 10; ++i) {
            system_palette[i] = static_colors[i];
            system_palette[246 + i] = static_colors[10 + i];
        }
    }
};

COLORREF rgb_of_entry(const PALETTEENTRY &e) {
    return RGB(e.peRed, e.peGreen, e.peBlue);
}

unsigned distance(COLORREF a, COLORREF b) {
    const int dr = int(GetRValue(a)) - GetRValue(b);
    const int dg = int(GetGValue(a)) - GetGValue(b);
    const int db = int(GetBValue(a)) - GetBValue(b);
    return unsigned(dr * dr + dg * dg + db * db);
}

unsigned nearest_logical_index(const Palette &palette, COLORREF rgb) {
    unsigned best = 0, best_distance = ~0u;
    for (unsigned i = 0; i < palette.entries.size(); ++i) {
        const unsigned d = distance(rgb, rgb_of_entry(palette.entries[i]));
        if (d < best_distance) best = i, best_distance = d;
    }
    return best;
}

} // namespace

PALETTEENTRY system_palette[256] = {};
std::uint64_t system_palette_version = 0;
static SystemPaletteInit system_palette_init;

std::shared_ptr<Palette> default_palette() {
    static std::shared_ptr<Palette> palette = [] {
        auto p = std::make_shared<Palette>();
        p->stock = true;
        p->is_default = true;
        p->entries.assign(static_colors, static_colors + 20);
        return p;
    }();
    return palette;
}

HPALETTE default_palette_handle() {
    static HGDIOBJ handle = add_object(default_palette());
    return static_cast<HPALETTE>(handle);
}

std::uint8_t system_index(const Palette &palette, unsigned index) {
    // Out-of-range entries fall back to entry 0, as a palette device does.
    if (index >= palette.entries.size()) index = 0;
    if (palette.entries.empty()) return 0;
    const PALETTEENTRY &e = palette.entries[index];
    if (e.peFlags & PC_EXPLICIT) return e.peRed; // low byte of the hardware index
    if (palette.is_default) return std::uint8_t(index < 10 ? index : 236 + index);
    return std::uint8_t(index);
}

std::uint8_t nearest_system_index(COLORREF rgb) {
    unsigned best = 0, best_distance = ~0u;
    for (unsigned i = 0; i < 256; ++i) {
        const unsigned d = distance(rgb, rgb_of_entry(system_palette[i]));
        if (d < best_distance) {
            best = i, best_distance = d;
            if (d == 0) break;
        }
    }
    return std::uint8_t(best);
}

COLORREF rgb_of(COLORREF color, const Palette &palette) {
    switch (color >> 24) {
    case 0x01:
        return rgb_of_entry(system_palette[system_index(palette, color & 0xFFFF)]);
    case 0x02: {
        const unsigned i = nearest_logical_index(palette, color & 0xFFFFFF);
        return rgb_of_entry(system_palette[system_index(palette, i)]);
    }
    default:
        return color & 0xFFFFFF;
    }
}

std::uint32_t nearest_table_entry(const RGBQUAD *table, int count, COLORREF rgb) {
    unsigned best = 0, best_distance = ~0u;
    for (int i = 0; i < count; ++i) {
        const unsigned d = distance(rgb, RGB(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue));
        if (d < best_distance) best = unsigned(i), best_distance = d;
    }
    return best;
}

std::uint32_t pixel_for(COLORREF color, const Palette &palette, const Surface &surface) {
    if (surface.device_independent)
        return nearest_table_entry(surface.color_table, surface.color_count,
                                   rgb_of(color, palette));
    if (surface.bits_per_pixel == 1) {
        // A monochrome device bitmap shows the nearer of black and white.
        const COLORREF rgb = rgb_of(color, palette);
        return distance(rgb, RGB(255, 255, 255)) < distance(rgb, 0) ? 1u : 0u;
    }
    switch (color >> 24) {
    case 0x01:
        return system_index(palette, color & 0xFFFF);
    case 0x02:
        return system_index(palette, nearest_logical_index(palette, color & 0xFFFFFF));
    default:
        return nearest_system_index(color & 0xFFFFFF);
    }
}

COLORREF rgb_of_pixel(const Surface &surface, std::uint32_t value) {
    if (surface.device_independent) {
        if (int(value) >= surface.color_count) return 0;
        const RGBQUAD &q = surface.color_table[value];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    if (surface.bits_per_pixel == 1) return value ? RGB(255, 255, 255) : 0;
    return rgb_of_entry(system_palette[value & 0xFF]);
}

UINT realize(const Palette &palette, bool &changed) {
    changed = false;
    if (palette.is_default) return 0;
    UINT mapped = 0;
    const std::size_t n = std::min<std::size_t>(palette.entries.size(), 256);
    for (std::size_t i = 0; i < n; ++i) {
        const PALETTEENTRY &e = palette.entries[i];
        if (e.peFlags & PC_EXPLICIT) continue;
        PALETTEENTRY &target = system_palette[i];
        if (target.peRed != e.peRed || target.peGreen != e.peGreen || target.peBlue != e.peBlue) {
            target = {e.peRed, e.peGreen, e.peBlue, 0};
            changed = true;
        }
        ++mapped;
    }
    if (changed) ++system_palette_version;
    return mapped;
}

} // namespace win32::gdi

namespace win32 {

using namespace gdi;

HPALETTE CreatePalette(const LOGPALETTE *log) {
    trace::record("CreatePalette", nullptr, {log ? log->palNumEntries : 0});
    if (!log || log->palVersion != 0x300 || log->palNumEntries == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto palette = std::shared_ptr<Palette>(new (std::nothrow) Palette);
    if (!palette) return nullptr;
    palette->entries.assign(log->palPalEntry, log->palPalEntry + log->palNumEntries);
    return static_cast<HPALETTE>(add_object(palette));
}

UINT SetPaletteEntries(HPALETTE handle, UINT start, UINT count, const PALETTEENTRY *entries) {
    trace::record("SetPaletteEntries", nullptr, {trace::value(handle), start, count});
    auto palette = find<Palette>(handle);
    if (!palette || palette->stock || !entries || start >= palette->entries.size()) return 0;
    const UINT n = std::min<UINT>(count, UINT(palette->entries.size()) - start);
    std::copy(entries, entries + n, palette->entries.begin() + start);
    return n;
}

UINT GetPaletteEntries(HPALETTE handle, UINT start, UINT count, PALETTEENTRY *entries) {
    auto palette = find<Palette>(handle);
    if (!palette) return 0;
    if (!entries) return UINT(palette->entries.size());
    if (start >= palette->entries.size()) return 0;
    const UINT n = std::min<UINT>(count, UINT(palette->entries.size()) - start);
    std::copy(palette->entries.begin() + start, palette->entries.begin() + start + n, entries);
    return n;
}

UINT GetSystemPaletteEntries(HDC dc, UINT start, UINT count, PALETTEENTRY *entries) {
    if (!find_dc(dc)) return 0;
    if (!entries) return 256;
    if (start >= 256) return 0;
    const UINT n = std::min<UINT>(count, 256 - start);
    std::copy(system_palette + start, system_palette + start + n, entries);
    return n;
}

HPALETTE SelectPalette(HDC dc_handle, HPALETTE handle, BOOL force_background) {
    trace::record("SelectPalette", dc_handle, {trace::value(handle), force_background});
    auto dc = find_dc(dc_handle);
    auto palette = find<Palette>(handle);
    if (!dc || !palette) return nullptr;
    HPALETTE previous = static_cast<HPALETTE>(dc->palette.handle);
    dc->palette = {palette, handle};
    return previous;
}

UINT RealizePalette(HDC dc_handle) {
    trace::record("RealizePalette", dc_handle, {});
    auto dc = find_dc(dc_handle);
    if (!dc) return GDI_ERROR;
    bool changed = false;
    const UINT mapped = realize(*dc->palette.object, changed);
    if (changed) system_palette_changed(dc->window);
    return mapped;
}

BOOL UpdateColors(HDC dc_handle) {
    trace::record("UpdateColors", dc_handle, {});
    auto dc = find_dc(dc_handle);
    if (!dc) return FALSE;
    // Pixels hold system palette indices, so they show the new colours by
    // themselves; a new system palette makes the display draw every pixel
    // of every window again.
    return TRUE;
}

} // namespace win32
