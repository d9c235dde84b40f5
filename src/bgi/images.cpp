// Images: imagesize, getimage and putimage. An image block holds BGI colour
// numbers, not colours, as a bottom-up 4-bit device-independent bitmap behind
// a small header; the platform converts between those numbers and the
// palette slots of the BGI colours through a colour table of palette indices.
#include "bgi.h"
#include "bgi_internal.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#ifndef _WIN32
using namespace win32;
#endif
using namespace bgi;

namespace {

// The block: width and height as signed 16-bit little-endian numbers, 4
// bytes neither written nor read, then the pixels.
constexpr std::size_t header_size = 8;
// The largest width or height the header can hold.
constexpr int max_extent = 32767;

// The header and colour table of every conversion between a block and a
// bitmap; each call sets the size and the table before use.
struct image_info {
    BITMAPINFOHEADER bmiHeader;
    WORD bmiColors[16]; // indices into the logical palette of the DC used
};
image_info bminfo = {{sizeof(BITMAPINFOHEADER), 0, 0, 1, 4, BI_RGB, 0, 0, 0, 0, 0}, {}};

// The raster operation of each put mode.
constexpr DWORD bitblt_mode_cnv[NOT_PUT + 1] = {SRCCOPY, SRCINVERT, SRCPAINT, SRCAND, NOTSRCCOPY};

// The bitmap putimage converts blocks into, selected in the put-image DC; it
// only grows (its width in steps of 8), and its size outlives the window so
// that the next window's first putimage makes it that size at once.
HBITMAP hPutimageBitmap = nullptr;
int putimage_width = 0, putimage_height = 0;

// A rectangle's size as a block holds it: the corners taken in either order,
// and each side cut to what the header can hold, from the top-left corner.
struct extent {
    int width, height;
};
extent extent_of(int left, int top, int right, int bottom) {
    auto side = [](int a, int b) {
        const long long length = (a < b ? (long long)b - a : (long long)a - b) + 1;
        return int(std::min<long long>(length, max_extent));
    };
    return {side(left, right), side(top, bottom)};
}

// Bytes of a row: the width rounded up to 8 pixels, two pixels a byte.
std::size_t row_bytes(int width) {
    return std::size_t((width + 7) & ~7) / 2;
}

void write_header(unsigned char *block, extent e) {
    block[0] = (unsigned char)(e.width & 0xFF);
    block[1] = (unsigned char)(e.width >> 8);
    block[2] = (unsigned char)(e.height & 0xFF);
    block[3] = (unsigned char)(e.height >> 8);
}

int read_field(const unsigned char *field) {
    return short(field[0] | (field[1] << 8));
}

// Table entry i names palette slot base + i: the BGI colours' slots (16..31)
// for colours, the first 16 slots for the put modes that combine indices.
const BITMAPINFO *set_bminfo(int width, int height, int base) {
    bminfo.bmiHeader.biWidth = width;
    bminfo.bmiHeader.biHeight = height;
    for (int i = 0; i < 16; ++i) bminfo.bmiColors[i] = WORD(base + i);
    return reinterpret_cast<const BITMAPINFO *>(&bminfo);
}

// Makes the put-image bitmap at least w x h. When a larger one cannot be
// made, the old one and its size stay, and there is nothing to put with.
bool reserve_put_bitmap(int w, int h) {
    if (hPutimageBitmap && putimage_width >= w && putimage_height >= h) return true;
    const int own_width = (w + 7) & ~7;
    int width = std::max(putimage_width, own_width);
    int height = std::max(putimage_height, h);
    // Growing keeps the widest and the tallest image's sides: a wide and a
    // tall image, small blocks each, would make a bitmap of their product.
    // Past a screenful, the bitmap is this image's own size.
    constexpr long long largest_kept = 2048 * 2048;
    if ((long long)width * height > std::max(largest_kept, (long long)own_width * h))
        width = own_width, height = h;
    HBITMAP bitmap = CreateCompatibleBitmap(device.hdc[0], width, height);
    if (!bitmap) return false;
    SelectObject(device.hdc[2], bitmap);
    if (hPutimageBitmap) DeleteObject(hPutimageBitmap);
    hPutimageBitmap = bitmap;
    putimage_width = width;
    putimage_height = height;
    return true;
}

} // namespace

namespace bgi {

void release_put_image_bitmap() {
    if (hPutimageBitmap) DeleteObject(hPutimageBitmap);
    hPutimageBitmap = nullptr;
}

} // namespace bgi

extern "C" {

// The bytes getimage writes for the same rectangle: never more than 8 +
// 16384 x 32767, so the sum fits.
unsigned int imagesize(int left, int top, int right, int bottom) {
    const extent e = extent_of(left, top, right, bottom);
    return unsigned(header_size + row_bytes(e.width) * std::size_t(e.height));
}

// Reads the active page (or, when only the window is drawn on, the window),
// whatever the viewport's clip. Pixels that cannot be read (no window, or
// no memory for the conversion) come back as colour 0.
void getimage(int left, int top, int right, int bottom, void *bitmap) {
    if (!bitmap) return;
    const extent e = extent_of(left, top, right, bottom);
    const int x = std::min(left, right), y = std::min(top, bottom);
    auto *block = static_cast<unsigned char *>(bitmap);
    write_header(block, e);
    unsigned char *pixels = block + header_size;
    const std::size_t size = row_bytes(e.width) * std::size_t(e.height);

    HDC taker = device.hdc[3];
    const HDC source = page_is_target() ? device.hdc[1] : device.hdc[0];
    void *bits = nullptr;
    HBITMAP section = nullptr;
    if (taker && source)
        section = CreateDIBSection(taker, set_bminfo(e.width, e.height, palette_slot_offset),
                                   DIB_PAL_COLORS, &bits, nullptr, 0);
    if (!section || !bits) {
        std::memset(pixels, 0, size);
        if (section) DeleteObject(section);
        return;
    }
    const HGDIOBJ kept = SelectObject(taker, section);
    // Each pixel becomes the BGI colour whose current colour matches it.
    BitBlt(taker, 0, 0, e.width, e.height, source, x, y, SRCCOPY);
    GdiFlush();
    std::memcpy(pixels, bits, size);
    SelectObject(taker, kept);
    DeleteObject(section);
}

// A put mode without a raster operation puts a copy, as a write mode without
// a mix mode draws one. A block of no width or height puts nothing.
void putimage(int left, int top, const void *bitmap, int op) {
    if (!bitmap || !device.hdc[0]) return;
    const auto *block = static_cast<const unsigned char *>(bitmap);
    const int w = read_field(block), h = read_field(block + 2);
    if (w <= 0 || h <= 0 || !reserve_put_bitmap(w, h)) return;
    const int mode = (op >= COPY_PUT && op <= NOT_PUT) ? op : int(COPY_PUT);
    // XOR and inverted copy take the pixels from palette slots 0..15, as the
    // pens of those write modes do: XOR of slot c over slot 16 + b is slot
    // 16 + (b ^ c), again a BGI colour.
    const int base = (mode == XOR_PUT || mode == NOT_PUT) ? 0 : palette_slot_offset;
    HDC putter = device.hdc[2];
    SetDIBits(putter, hPutimageBitmap, 0, UINT(h), block + header_size, set_bminfo(w, h, base),
              DIB_PAL_COLORS);
    const DWORD rop = bitblt_mode_cnv[mode];
    on_targets([&](HDC dc) { BitBlt(dc, left, top, w, h, putter, 0, 0, rop); });
}

} // extern "C"
