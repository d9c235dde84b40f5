#include "bitmap.h"

#include "device_context.h"
#include "trace.h"

#include <new>

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
    if (!dc || width < 0 || height < 0) {
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
    if (bits) std::memcpy(s.bits(), bits, s.byte_size());
    return register_bitmap(bitmap);
}

HBITMAP CreateDIBSection(HDC dc_handle, const BITMAPINFO *info, UINT usage, void **bits, HANDLE,
                         DWORD) {
    trace::record("CreateDIBSection", dc_handle,
                  {info ? info->bmiHeader.biWidth : 0, info ? info->bmiHeader.biHeight : 0,
                   info ? info->bmiHeader.biBitCount : 0, usage});
    if (bits) *bits = nullptr;
    auto dc = find_dc(dc_handle);
    if (!valid_dib_header(info) || usage > DIB_PAL_COLORS || (usage == DIB_PAL_COLORS && !dc)) {
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
    if (bits) *bits = s.bits();
    return register_bitmap(bitmap);
}

int SetDIBits(HDC dc_handle, HBITMAP bitmap_handle, UINT start_scan, UINT lines, const void *bits,
              const BITMAPINFO *info, UINT usage) {
    trace::record("SetDIBits", dc_handle, {trace::value(bitmap_handle), start_scan, lines, usage});
    auto dc = find_dc(dc_handle);
    auto bitmap = find<Bitmap>(bitmap_handle);
    if (!bitmap || !bits || !valid_dib_header(info) || usage > DIB_PAL_COLORS ||
        (usage == DIB_PAL_COLORS && !dc))
        return 0;
    const BITMAPINFOHEADER &h = info->bmiHeader;
    const int bpp = h.biBitCount;
    const bool bottom_up = h.biHeight > 0;
    const int height = bottom_up ? h.biHeight : -h.biHeight;
    const int stride = ((h.biWidth * bpp + 31) / 32) * 4;
    const Palette &palette = dc ? *dc->palette.object : *default_palette();
    Surface &target = bitmap->surface;

    // Each source value becomes a pixel value of the target once, up front.
    std::uint32_t lut[256];
    const int count = 1 << bpp;
    if (usage == DIB_PAL_COLORS) {
        const auto *indices = reinterpret_cast<const WORD *>(info->bmiColors);
        for (int i = 0; i < count; ++i)
            lut[i] = pixel_for(PALETTEINDEX(indices[i]), palette, target);
    } else {
        for (int i = 0; i < count; ++i) {
            const RGBQUAD &q = info->bmiColors[i];
            lut[i] = pixel_for(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue), palette, target);
        }
    }

    Surface source;
    source.bits_per_pixel = bpp;
    int copied = 0;
    const auto *data = static_cast<const std::uint8_t *>(bits);
    for (UINT i = 0; i < lines; ++i) {
        const long long scan = (long long)start_scan + i; // scan lines count from the bottom
        if (scan >= height) break;
        const int image_row = bottom_up ? int(height - 1 - scan) : int(scan);
        const std::uint8_t *src = data + std::size_t(i) * stride;
        ++copied;
        if (image_row >= target.height) continue;
        const int w = std::min<int>(h.biWidth, target.width);
        for (int x = 0; x < w; ++x) {
            std::uint32_t v;
            switch (bpp) {
            case 8:
                v = src[x];
                break;
            case 4:
                v = (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4);
                break;
            default:
                v = (src[x >> 3] >> (7 - (x & 7))) & 1u;
            }
            target.set(x, image_row, lut[v]);
        }
    }
    target.changed = true;
    return copied;
}

BOOL GdiFlush() {
    return TRUE;
}

} // namespace win32
