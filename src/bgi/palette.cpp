// Palette and colours: the 256-slot logical palette in which BGI colour c
// lives in slot c + 16, the BGI palette operations, the drawing and
// background colours, and the palette's life with the window.
#include "bgi.h"
#include "bgi_internal.h"

#include <cstring>

#ifndef _WIN32
using namespace win32;
#endif
using namespace bgi;

namespace {

// The default RGB of each BGI colour. PC_NOCOLLAPSE keeps every slot on a
// system entry of its own, so changing one BGI colour never recolours another.
constexpr PALETTEENTRY BGIcolor[bgi_color_count] = {
    {0, 0, 0, PC_NOCOLLAPSE},       {0, 0, 255, PC_NOCOLLAPSE},     {0, 255, 0, PC_NOCOLLAPSE},
    {0, 255, 255, PC_NOCOLLAPSE},   {255, 0, 0, PC_NOCOLLAPSE},     {255, 0, 255, PC_NOCOLLAPSE},
    {165, 42, 42, PC_NOCOLLAPSE},   {211, 211, 211, PC_NOCOLLAPSE}, {47, 79, 79, PC_NOCOLLAPSE},
    {173, 216, 230, PC_NOCOLLAPSE}, {32, 178, 170, PC_NOCOLLAPSE},  {224, 255, 255, PC_NOCOLLAPSE},
    {240, 128, 128, PC_NOCOLLAPSE}, {219, 112, 147, PC_NOCOLLAPSE}, {255, 255, 0, PC_NOCOLLAPSE},
    {255, 255, 255, PC_NOCOLLAPSE}};

// The header with its one declared entry, then room for 256 more: one entry
// to spare over what the 256 slots need.
constexpr int logical_palette_size = 256;
constexpr SIZE_T logical_palette_bytes =
    sizeof(LOGPALETTE) + logical_palette_size * sizeof(PALETTEENTRY);

// The logical palette: its description (made once, never freed) and the
// palette object built from it.
LOGPALETTE *pPalette = nullptr;
HPALETTE hPalette = nullptr;
// What slots 16..31 of hPalette show now, and the BGI colour last assigned to
// each slot by setpalette or setallpalette.
PALETTEENTRY BGIpalette[bgi_color_count] = {};
palettetype current_palette = {};

// With classic behaviour, a palette entry holds a 6-bit EGA colour code: it
// names one of the 64 registers of a VGA's colour table (its DAC), which
// start as the code's EGA colour and which setrgbpalette changes. Without
// it, an entry holds a BGI colour 0..15 and shows its default colour.
constexpr int ega_code_count = 64;
PALETTEENTRY dac[ega_code_count] = {};

void reset_dac() {
    for (int code = 0; code < ega_code_count; ++code) dac[code] = ega_color(code);
}

// The colour code a palette operation's argument names.
int palette_code(int c) {
    return classic_behaviour() ? c & (ega_code_count - 1) : c & 15;
}

PALETTEENTRY color_of_code(int code) {
    return classic_behaviour() ? dac[code] : BGIcolor[code];
}

// What colour c shows by default, and its code.
int default_code(int c) {
    return classic_behaviour() ? ega_default_code(c) : c;
}

bool is_palette_index(int index) {
    return index >= 0 && index < bgi_color_count;
}

// The BGI colours back to their defaults in the current palette.
void reset_bgi_colors() {
    for (int i = 0; i < bgi_color_count; ++i) {
        current_palette.colors[i] = static_cast<signed char>(default_code(i));
        BGIpalette[i] = color_of_code(default_code(i));
    }
}

// Palette entry i shows the colour of `code` from now on.
void assign_code(int i, int code) {
    current_palette.colors[i] = static_cast<signed char>(code);
    BGIpalette[i] = color_of_code(code);
}

// Only the six bits per component that a VGA DAC holds are kept.
void set_rgb(PALETTEENTRY &entry, int red, int green, int blue) {
    entry.peRed = BYTE(red) & 0xFC;
    entry.peGreen = BYTE(green) & 0xFC;
    entry.peBlue = BYTE(blue) & 0xFC;
}

// Pushes BGIpalette[first..first+count) into the palette object and shows it.
void update_palette_slots(int first, int count) {
    SetPaletteEntries(hPalette, UINT(first + palette_slot_offset), UINT(count), &BGIpalette[first]);
    RealizePalette(device.hdc[0]);
}

} // namespace

namespace bgi {

void create_palette_description() {
    if (pPalette) return;
    pPalette = static_cast<LOGPALETTE *>(LocalAlloc(LMEM_FIXED, logical_palette_bytes));
    if (!pPalette) return;
    pPalette->palVersion = 0x300;
    pPalette->palNumEntries = logical_palette_size;
    PALETTEENTRY *entries = pPalette->palPalEntry;
    std::memset(entries, 0, logical_palette_size * sizeof(PALETTEENTRY));
    // The first and last 16 slots stand for the system's own entries, which
    // keeps the static colours of the display where they are.
    for (int i = 0; i < 16; ++i) {
        entries[i] = {BYTE(i), 0, 0, PC_EXPLICIT};
        entries[240 + i] = {BYTE(240 + i), 0, 0, PC_EXPLICIT};
    }
}

void reset_palette() {
    // A new mode reloads the colour table, as a VGA's BIOS does.
    reset_dac();
    reset_bgi_colors();
    current_palette.size = bgi_color_count;
    // Without a description there is nothing to build a palette from.
    if (!pPalette) return;
    PALETTEENTRY *entries = pPalette->palPalEntry;
    for (int i = 10; i < 16; ++i) entries[i] = BGIcolor[BLACK];
    for (int i = 0; i < bgi_color_count; ++i) entries[palette_slot_offset + i] = BGIpalette[i];
    hPalette = CreatePalette(pPalette);
}

void restore_default_colors() {
    reset_bgi_colors();
    update_palette_slots(0, bgi_color_count);
}

// The new palette is built with the colours the BGI palette shows now, so a
// change of focus never undoes setpalette and friends.
void recreate_palette() {
    if (!pPalette) return;
    HDC *const hdc = device.hdc;
    HPALETTE fresh = CreatePalette(pPalette);
    SetPaletteEntries(fresh, palette_slot_offset, bgi_color_count, BGIpalette);
    SelectPalette(hdc[0], fresh, FALSE);
    RealizePalette(hdc[0]);
    for (int i = 1; i < 4; ++i) SelectPalette(hdc[i], fresh, FALSE);
    DeleteObject(hPalette);
    hPalette = fresh;
}

void release_palette() {
    if (hPalette) DeleteObject(hPalette);
    hPalette = nullptr;
}

HPALETTE palette_handle() {
    return hPalette;
}

// The flags byte of the entries plays no part.
int bgi_color_of(COLORREF rgb) {
    const BYTE red = BYTE(rgb & 0xFF), green = BYTE((rgb >> 8) & 0xFF),
               blue = BYTE((rgb >> 16) & 0xFF);
    for (int i = 0; i < bgi_color_count; ++i) {
        const PALETTEENTRY &e = BGIpalette[i];
        if (e.peRed == red && e.peGreen == green && e.peBlue == blue) return i;
    }
    return -1;
}

void attach_device_contexts(HDC window_dc, HDC page_dc) {
    device.hdc[0] = window_dc;
    device.hdc[1] = page_dc;
    if (window_dc) {
        SelectPalette(window_dc, hPalette, FALSE);
        RealizePalette(window_dc);
    }
    if (page_dc) SelectPalette(page_dc, hPalette, FALSE);
}

} // namespace bgi

extern "C" {

void setcolor(int c) {
    drawing.color = c & 15;
    // text_color stays: fills whose colour equals it keep painting in the
    // drawing colour set here. Classic fills take their own colour: the
    // record of what the DCs hold is kept true.
    if (classic_behaviour()) drawing.text_color = drawing.color;
    on_both_dcs([](HDC dc) { SetTextColor(dc, palette_color(drawing.color)); });
}

int getcolor(void) {
    return drawing.color;
}

// Classic: entry 0 takes the code entry c holds now, or black for 0.
void setbkcolor(int c) {
    c &= 15;
    if (classic_behaviour())
        assign_code(0, c == 0 ? 0 : current_palette.colors[c]);
    else
        BGIpalette[0] = BGIcolor[c];
    update_palette_slots(0, 1);
    drawing.bkcolor = c;
}

int getbkcolor(void) {
    return drawing.bkcolor;
}

// Indexes outside 0..15 name no slot of the BGI colours; such calls are
// ignored rather than written past the tables.
void setpalette(int colornum, int c) {
    if (!is_palette_index(colornum)) return;
    assign_code(colornum, palette_code(c));
    update_palette_slots(colornum, 1);
    if (colornum == 0) drawing.bkcolor = 0;
}

// Classic: colornum is a register of the colour table, which every palette
// entry holding its code shows.
void setrgbpalette(int colornum, int red, int green, int blue) {
    if (classic_behaviour()) {
        if (colornum < 0 || colornum >= ega_code_count) return;
        set_rgb(dac[colornum], red, green, blue);
        for (int i = 0; i < bgi_color_count; ++i) {
            if (current_palette.colors[i] != colornum) continue;
            BGIpalette[i] = dac[colornum];
            update_palette_slots(i, 1);
        }
        return;
    }
    if (!is_palette_index(colornum)) return;
    set_rgb(BGIpalette[colornum], red, green, blue);
    update_palette_slots(colornum, 1);
    if (colornum == 0) drawing.bkcolor = 0;
}

void setallpalette(const struct palettetype *palette) {
    if (!palette) return;
    // A record holds 16 colours; a larger size byte can only describe those.
    const int n = palette->size < bgi_color_count ? palette->size : bgi_color_count;
    for (int i = 0; i < n; ++i) {
        // Classic: -1 leaves the entry as it is.
        if (palette->colors[i] == -1 && classic_behaviour()) continue;
        assign_code(i, palette_code(palette->colors[i]));
    }
    update_palette_slots(0, n);
    drawing.bkcolor = 0;
}

void getpalette(struct palettetype *palette) {
    if (palette) *palette = current_palette;
}

struct palettetype *getdefaultpalette(void) {
    // Callers get a writable record; it is refilled on every call so that a
    // caller writing into it never changes what the next caller sees.
    static palettetype default_palette;
    default_palette.size = bgi_color_count;
    for (int i = 0; i < bgi_color_count; ++i)
        default_palette.colors[i] = static_cast<signed char>(default_code(i));
    return &default_palette;
}

int getpalettesize(void) {
    return bgi_color_count;
}

} // extern "C"
