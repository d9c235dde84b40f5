#include "bitmap.h"

#include "conversion.h"
#include "device_context.h"
#include "trace.h"

#include <algorithm>
#include <new>
#include <vector>

namespace win32::gdi {

namespace {

std::shared_ptr<Bitmap> new_bitmap() {
    return std::shared_ptr<Bitmap>(new (std::nothrow) Bitmap);
}

HBITMAP register_bitmap(std::shared_ptr<Bitmap> bitmap) {
    return static_cast<HBITMAP>(add_object(std::move(bitmap)));
}

// Device bitmaps pad their rows to 16 bits, device-independent ones to 32.
constexpr int ddb_row_alignment = 2;
constexpr int dib_row_alignment = 4;

void set_monochrome_table(Surface &s) {
    s.color_table[0] = {0, 0, 0, 0};
    s.color_table[1] = {255, 255, 255, 0};
    s.color_count = 2;
}

// The colour table of a DIB header, as RGB: DIB_PAL_COLORS entries are
// indices into the logical palette of the DC.
int read_color_table(const BITMAPINFO *info, UINT usage, const Palette &palette, RGBQUAD *table) {
    const int bpp = info->bmiHeader.biBitCount;
    int count = int(info->bmiHeader.biClrUsed);
    if (count <= 0 || count > (1 << bpp)) count = 1 << bpp;
    if (usage == DIB_PAL_COLORS) {
        const auto *indices = reinterpret_cast<const WORD *>(info->bmiColors);
        for (int i = 0; i < count; ++i) {
            const COLORREF rgb = rgb_of(PALETTEINDEX(indices[i]), palette);
            table[i] = {GetBValue(rgb), GetGValue(rgb), GetRValue(rgb), 0};
        }
    } else {
        for (int i = 0; i < count; ++i) table[i] = info->bmiColors[i];
    }
    return count;
}

bool valid_dib_header(const BITMAPINFO *info) {
    if (!info) return false;
    const BITMAPINFOHEADER &h = info->bmiHeader;
    return h.biSize >= sizeof(BITMAPINFOHEADER) && h.biWidth > 0 && h.biHeight != 0 &&
           h.biPlanes == 1 && (h.biBitCount == 1 || h.biBitCount == 4 || h.biBitCount == 8) &&
           h.biCompression == BI_RGB;
}

} // namespace

std::shared_ptr<Bitmap> stock_bitmap() {
    static std::shared_ptr<Bitmap> bitmap = [] {
        auto b = std::make_shared<Bitmap>();
        b->stock = true;
        b->surface.allocate(1, 1, 1, ddb_row_alignment);
        set_monochrome_table(b->surface);
        return b;
    }();
    return bitmap;
}

std::shared_ptr<Bitmap> new_window_surface(int width, int height, const Bitmap *keep) {
    auto bitmap = std::make_shared<Bitmap>();
    Surface &s = bitmap->surface;
    if (width > 0 && height > 0 && s.allocate(width, height, 8, 4) && keep) {
        const SurfaceFrame from = shown_pixels(*keep);
        const int w = std::min(width, from.width), h = std::min(height, from.height);
        for (int y = 0; y < h; ++y)
            std::memcpy(s.row(y), from.pixels + y * from.stride, std::size_t(w));
    }
    s.touch_all();
    return bitmap;
}

SurfaceFrame shown_pixels(const Bitmap &bitmap) {
    const Surface &s = bitmap.surface;
    SurfaceFrame frame;
    if (s.width <= 0 || s.height <= 0) return frame;
    frame.pixels = s.shown_row(0);
    frame.width = s.width;
    frame.height = s.height;
    frame.stride = s.shown_row_step();
    return frame;
}

bool frame_pending(const Bitmap &bitmap, const PresentedFrame &presented) {
    return bitmap.surface.picture() != presented.picture || bitmap.surface.has_changes();
}

SurfaceFrame take_frame(Bitmap &bitmap, PresentedFrame &presented) {
    Surface &s = bitmap.surface;
    SurfaceFrame frame = shown_pixels(bitmap);
    const Box changes = s.take_changes().value_or(Box{});
    const DamageRecord &now = s.shown_damage_record();
    presented.parts.clear();
    if (s.picture() == presented.picture) {
        // The same picture as last time, drawn on since where it says.
        frame.changed = changes;
    } else if (differing_areas(presented.record, now, s.width, s.height, presented.parts)) {
        // Another picture, on the same background as the last one: they
        // differ at most where either was drawn on.
        for (const Box &part : presented.parts) frame.changed = frame.changed.unite(part);
        frame.parts = presented.parts;
    } else {
        frame.changed = s.bounds();
    }
    presented.picture = s.picture();
    presented.record.background = now.background;
    presented.record.drawn = now.drawn;
    return frame;
}

HBITMAP stock_bitmap_handle() {
    static HGDIOBJ handle = add_object(stock_bitmap());
    return static_cast<HBITMAP>(handle);
}

} // namespace win32::gdi

namespace win32 {

using namespace gdi;

HBITMAP CreateCompatibleBitmap(HDC dc_handle, int width, int height) {
    trace::record("CreateCompatibleBitmap", dc_handle, {width, height});
    auto dc = find_dc(dc_handle);
    if (!dc) return nullptr;
    if (width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (width == 0 || height == 0) return stock_bitmap_handle();
    // A memory DC makes bitmaps like the one selected into it (monochrome at
    // first); window and screen DCs make the display's 8-bit ones.
    const bool mono =
        dc->type == DeviceContext::Type::memory && dc->bitmap.object->surface.bits_per_pixel == 1;
    auto bitmap = new_bitmap();
    if (!bitmap || !bitmap->surface.allocate(width, height, mono ? 1 : 8, ddb_row_alignment)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (mono) set_monochrome_table(bitmap->surface);
    return register_bitmap(bitmap);
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bits_per_pixel, const void *bits) {
    trace::record("CreateBitmap", nullptr, {width, height, planes, bits_per_pixel});
    if (width < 0 || height < 0 || planes != 1 || (bits_per_pixel != 1 && bits_per_pixel != 8)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (width == 0 || height == 0) return stock_bitmap_handle();
    auto bitmap = new_bitmap();
    if (!bitmap ||
        !bitmap->surface.allocate(width, height, int(bits_per_pixel), ddb_row_alignment)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    Surface &s = bitmap->surface;
    if (bits_per_pixel == 1) set_monochrome_table(s);
    // Initial bits come top row first, each row padded to 16 bits.
    if (bits) {
        s.touch_all();
        std::memcpy(s.bits(), bits, s.byte_size());
    }
    return register_bitmap(bitmap);
}

HBITMAP CreateDIBSection(HDC dc_handle, const BITMAPINFO *info, UINT usage, void **bits, HANDLE,
                         DWORD) {
    trace::record("CreateDIBSection", dc_handle,
                  {info ? info->bmiHeader.biWidth : 0, info ? info->bmiHeader.biHeight : 0,
                   info ? info->bmiHeader.biBitCount : 0, usage});
    if (bits) *bits = nullptr;
    // The DC only lends its palette to a table of palette indices.
    auto dc = usage == DIB_PAL_COLORS ? find_dc(dc_handle) : nullptr;
    if (usage == DIB_PAL_COLORS && !dc) return nullptr;
    if (!valid_dib_header(info) || usage > DIB_PAL_COLORS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const BITMAPINFOHEADER &h = info->bmiHeader;
    auto bitmap = new_bitmap();
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (!bitmap || !bitmap->surface.allocate(h.biWidth, height, h.biBitCount, dib_row_alignment)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    Surface &s = bitmap->surface;
    s.device_independent = true;
    s.bottom_up = h.biHeight > 0;
    s.color_count =
        read_color_table(info, usage, dc ? *dc->palette.object : *default_palette(), s.color_table);
    // The caller may write the pixels at any time.
    s.share_memory();
    if (bits) *bits = s.bits();
    return register_bitmap(bitmap);
}

int SetDIBits(HDC dc_handle, HBITMAP bitmap_handle, UINT start_scan, UINT lines, const void *bits,
              const BITMAPINFO *info, UINT usage) {
    trace::record("SetDIBits", dc_handle, {trace::value(bitmap_handle), start_scan, lines, usage});
    auto dc = usage == DIB_PAL_COLORS ? find_dc(dc_handle) : nullptr;
    auto bitmap = find<Bitmap>(bitmap_handle);
    if (!bitmap || !bits || !valid_dib_header(info) || usage > DIB_PAL_COLORS ||
        (usage == DIB_PAL_COLORS && !dc))
        return 0;
    const BITMAPINFOHEADER &h = info->bmiHeader;
    const int bpp = h.biBitCount;
    const bool bottom_up = h.biHeight > 0;
    const int height = bottom_up ? h.biHeight : -h.biHeight;
    Surface &target = bitmap->surface;
    if (start_scan >= UINT(height)) return 0;
    // The caller's scan lines, in the order they lie in memory; scan lines
    // count from the bottom of a bottom-up image.
    const int rows = int(std::min<long long>(lines, (long long)height - start_scan));
    Surface source;
    source.view(bits, h.biWidth, rows, bpp, false);

    // Each source value becomes a pixel value of the target once, up front.
    const int count = 1 << bpp;
    COLORREF colors[256];
    if (usage == DIB_PAL_COLORS) {
        const auto *indices = reinterpret_cast<const WORD *>(info->bmiColors);
        for (int i = 0; i < count; ++i) colors[i] = PALETTEINDEX(indices[i]);
    } else {
        for (int i = 0; i < count; ++i) {
            const RGBQUAD &q = info->bmiColors[i];
            colors[i] = RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
        }
    }
    const Conversion conversion =
        colors_to_surface(colors, count, dc ? *dc->palette.object : *default_palette(), target);

    const int w = std::min<int>(h.biWidth, target.width);
    std::vector<std::uint8_t> values(std::size_t(std::max(w, 0)));
    for (int i = 0; i < rows; ++i) {
        const long long scan = (long long)start_scan + i;
        const int image_row = bottom_up ? int(height - 1 - scan) : int(scan);
        if (image_row >= target.height || w <= 0) continue;
        read_converted(source, i, 0, w, conversion, values.data());
        target.write(image_row, 0, w, values.data());
    }
    return rows;
}

BOOL GdiFlush() {
    return TRUE;
}

} // namespace win32
