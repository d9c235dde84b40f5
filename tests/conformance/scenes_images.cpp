// Conformance scenes of images: rectangles copied into 4-bit device-independent
// sections whose colour tables are palette indices (DIB_PAL_COLORS), read as
// bytes, converted back into a display-compatible bitmap with SetDIBits and
// combined with a picture by the five raster operations images are put with;
// and pattern raster operations with the null brush.
#include "scene_kit.h"

#include <cstring>
#include <string>
#include <vector>

namespace conformance {

namespace {

// A 4-bit section's header and its 16 palette indices.
struct IndexedInfo {
    BITMAPINFOHEADER header;
    WORD indices[16];
};

IndexedInfo indexed_info(int width, int height, const WORD (&indices)[16]) {
    IndexedInfo info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height; // bottom-up rows
    info.header.biPlanes = 1;
    info.header.biBitCount = 4;
    info.header.biCompression = BI_RGB;
    std::memcpy(info.indices, indices, sizeof indices);
    return info;
}

const BITMAPINFO *as_info(const IndexedInfo &info) {
    return reinterpret_cast<const BITMAPINFO *>(&info);
}

// The table images are taken and put with: palette indices 0..15 in an
// order of their own, so that a table entry and its index never agree.
constexpr WORD kTakeTable[16] = {9, 2, 11, 4, 13, 6, 15, 8, 1, 10, 3, 12, 5, 14, 7, 0};
// The table of the combining operations: entry i is index i.
constexpr WORD kLowTable[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
// Indices beyond the table's 16 entries, into the rest of the palette.
constexpr WORD kHighTable[16] = {16,  31,  46,  61,  76,  91,  106, 121,
                                 136, 151, 166, 181, 196, 211, 226, 241};

// A memory DC with a palette selected but not realised, as the DCs that take
// and put images are.
class PaletteDc {
public:
    explicit PaletteDc(HPALETTE palette) : dc_(CreateCompatibleDC(env.screen)) {
        old_palette_ = SelectPalette(dc_, palette, FALSE);
    }
    ~PaletteDc() {
        SelectPalette(dc_, old_palette_, FALSE);
        DeleteDC(dc_);
    }
    PaletteDc(const PaletteDc &) = delete;
    PaletteDc &operator=(const PaletteDc &) = delete;
    HDC dc() const { return dc_; }

private:
    HDC dc_;
    HPALETTE old_palette_;
};

// The grey ramp with its first 16 entries spread over the whole range
// (greys 0, 17, 34, ... 255): every other grey lies nearer to one of them
// than to any other, so taking an image must pick the nearest entry.
class SpreadPalette {
public:
    SpreadPalette() {
        std::vector<unsigned char> storage(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
        auto *log = reinterpret_cast<LOGPALETTE *>(storage.data());
        log->palVersion = 0x300;
        log->palNumEntries = 256;
        for (int n = 0; n < 256; ++n) {
            const BYTE grey = BYTE(n < 16 ? n * 17 : n);
            log->palPalEntry[n] = PALETTEENTRY{grey, grey, grey, 0};
        }
        palette_ = CreatePalette(log);
    }
    ~SpreadPalette() { DeleteObject(palette_); }
    SpreadPalette(const SpreadPalette &) = delete;
    SpreadPalette &operator=(const SpreadPalette &) = delete;
    HPALETTE get() const { return palette_; }

private:
    HPALETTE palette_;
};

// A 4-bit section of a table, made through and selected into a DC holding
// the palette, deleted with it.
class Section {
public:
    Section(HPALETTE palette, const WORD (&table)[16], int width, int height)
        : taker_(palette), width_(width), height_(height) {
        const IndexedInfo info = indexed_info(width, height, table);
        section_ = CreateDIBSection(taker_.dc(), as_info(info), DIB_PAL_COLORS, &bits_, nullptr, 0);
        if (section_) old_ = SelectObject(taker_.dc(), section_);
    }
    ~Section() {
        if (!section_) return;
        SelectObject(taker_.dc(), old_);
        DeleteObject(section_);
    }
    Section(const Section &) = delete;
    Section &operator=(const Section &) = delete;

    bool made() const { return section_ && bits_; }
    HDC dc() const { return taker_.dc(); }
    // The pixels as they are in memory, after the drawing so far is done.
    std::vector<BYTE> bytes() const {
        GdiFlush();
        const auto *first = static_cast<const BYTE *>(bits_);
        return {first, first + std::size_t((width_ + 7) / 8 * 4) * std::size_t(height_)};
    }

private:
    PaletteDc taker_;
    int width_, height_;
    void *bits_ = nullptr;
    HBITMAP section_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// Mostly palette entries 0..15, with an entry of the whole palette every
// seventh pixel.
void paint_page(Canvas &page) {
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const int index =
                (x + 2 * y) % 7 == 0 ? picture_index(x, y, 8) : (x * 5 + y * 3 + (x * y) % 7) & 15;
            fill(page.dc(), x, y, x + 1, y + 1, index);
        }
    }
}

// The bytes of a width x height rectangle of the DC at logical (x, y),
// copied into a 4-bit section of the table through a DC holding the palette:
// rows of whole 32-bit words, the bottom row first.
std::vector<BYTE> take_image(HDC source, HPALETTE palette, const WORD (&table)[16], int x, int y,
                             int width, int height) {
    Section section(palette, table, width, height);
    if (!section.made()) return {};
    BitBlt(section.dc(), 0, 0, width, height, source, x, y, SRCCOPY);
    return section.bytes();
}

void dump_bytes(DumpFile &out, const std::string &name, int width, int height,
                const std::vector<BYTE> &bytes) {
    const int stride = (width + 7) / 8 * 4;
    std::vector<COLORREF> values(std::size_t(stride) * height, 0xFFFFFFFF);
    for (std::size_t i = 0; i < bytes.size() && i < values.size(); ++i) values[i] = bytes[i];
    out.values(name, stride, height, values);
}

struct Rectangle {
    int x, y, width, height;
};

// Odd widths (a row ends inside a byte and inside a 32-bit word), a single
// pixel, a rectangle over the page's bottom right corner and one over its top
// left corner: what lies off the page stays as the new section was.
constexpr Rectangle kTaken[] = {
    {3, 2, 21, 13}, {0, 0, 1, 1}, {40, 30, 8, 5}, {50, 40, 19, 11}, {-5, -3, 12, 9}};

void image_take(DumpFile &out) {
    SpreadPalette spread;
    Canvas page(64, 48, kClear);
    SelectPalette(page.dc(), spread.get(), FALSE);
    RealizePalette(page.dc());
    paint_page(page);
    int number = 0;
    for (const Rectangle &r : kTaken) {
        const std::vector<BYTE> bytes =
            take_image(page.dc(), spread.get(), kTakeTable, r.x, r.y, r.width, r.height);
        dump_bytes(out, "image_take_" + std::to_string(++number), r.width, r.height, bytes);
    }
    // Positions are logical: the page's viewport origin moves them.
    SetViewportOrgEx(page.dc(), 7, 5, nullptr);
    dump_bytes(out, "image_take_origin", 21, 13,
               take_image(page.dc(), spread.get(), kTakeTable, -4, -2, 21, 13));
    SetViewportOrgEx(page.dc(), 0, 0, nullptr);
    out.pixels("image_take_page", page.dc(), page.width(), page.height());
    // Back to the grey ramp for the scenes that follow.
    SelectPalette(page.dc(), env.palette, FALSE);
    RealizePalette(page.dc());
}

// Table entries that name palette entries beyond the table's size.
void image_take_indices_above_15(DumpFile &out) {
    Canvas page(64, 48, kClear);
    paint_page(page);
    dump_bytes(out, "image_take_indices_above_15", 21, 13,
               take_image(page.dc(), env.palette, kHighTable, 3, 2, 21, 13));
}

// An image taken from the page, converted into a display-compatible bitmap
// larger than itself through the put table (the take table for copies, the
// low table for the combining operations), then put on a busy picture with
// the raster operation: partly off each edge of the destination, across its
// clip region and wholly inside it.
void image_put(DumpFile &out, const char *name, DWORD rop, bool low_table) {
    Canvas page(64, 48, kClear);
    paint_page(page);
    constexpr int kWidth = 21, kHeight = 13;
    const std::vector<BYTE> bytes =
        take_image(page.dc(), env.palette, kTakeTable, 3, 2, kWidth, kHeight);

    PaletteDc putter(env.palette);
    HBITMAP bitmap = CreateCompatibleBitmap(env.screen, 32, 20);
    HGDIOBJ old = SelectObject(putter.dc(), bitmap);
    const IndexedInfo info = indexed_info(kWidth, kHeight, low_table ? kLowTable : kTakeTable);
    SetDIBits(putter.dc(), bitmap, 0, kHeight, bytes.data(), as_info(info), DIB_PAL_COLORS);

    Canvas canvas(64, 48, kClear);
    paint_picture(canvas, 9);
    HDC dc = canvas.dc();
    HDC src = putter.dc();
    BitBlt(dc, -6, -4, kWidth, kHeight, src, 0, 0, rop); // over the top left corner
    BitBlt(dc, 50, 40, kWidth, kHeight, src, 0, 0, rop); // over the bottom right corner
    BitBlt(dc, 52, 12, kWidth, kHeight, src, 0, 0, rop); // over the right edge
    BitBlt(dc, 20, -7, kWidth, kHeight, src, 0, 0, rop); // over the top edge
    BitBlt(dc, 90, 10, kWidth, kHeight, src, 0, 0, rop); // wholly outside
    clip_to(dc, 10, 20, 40, 38);
    BitBlt(dc, 5, 16, kWidth, kHeight, src, 0, 0, rop);  // across the clip's corner
    BitBlt(dc, 14, 22, kWidth, kHeight, src, 0, 0, rop); // over its bottom right part
    SetViewportOrgEx(dc, 3, 4, nullptr);
    BitBlt(dc, 12, 20, kWidth, kHeight, src, 0, 0, rop); // logical position, device clip
    out.pixels(name, dc, canvas.width(), canvas.height());

    SelectObject(putter.dc(), old);
    DeleteObject(bitmap);
}

constexpr DWORD kImageRops[5] = {SRCCOPY, SRCINVERT, SRCPAINT, SRCAND, NOTSRCCOPY};

// A section of an image as the source of each raster operation (its values
// become the colours of their entries, then combine with a picture), then as
// the destination (the page's pixels become the entries that match them,
// then combine with the section's values).
void image_blit_section(DumpFile &out) {
    Canvas page(64, 48, kClear);
    paint_page(page);
    constexpr int kWidth = 45, kHeight = 15;
    Section section(env.palette, kTakeTable, kWidth, kHeight);
    if (!section.made()) return;
    BitBlt(section.dc(), 0, 0, kWidth, kHeight, page.dc(), 9, 6, SRCCOPY);

    Canvas canvas(64, 48, kClear);
    paint_picture(canvas, 12);
    HDC dc = canvas.dc();
    clip_to(dc, 2, 2, 62, 46);
    const POINT at[5] = {{-3, -4}, {20, 0}, {45, 3}, {5, 18}, {30, 36}};
    for (int i = 0; i < 5; ++i)
        BitBlt(dc, at[i].x, at[i].y, 23, 15, section.dc(), i * 5 - 2, i, kImageRops[i]);
    out.pixels("image_blit_from_section", dc, canvas.width(), canvas.height());

    for (int i = 0; i < 5; ++i)
        BitBlt(section.dc(), i * 9 - 2, 2, 9, 9, page.dc(), 3 + i * 5, 4 + i, kImageRops[i]);
    dump_bytes(out, "image_blit_into_section", kWidth, kHeight, section.bytes());
}

// Raster operations that take the brush's pattern and no source, with the
// null brush selected, beside one that takes neither.
void blit_null_brush(DumpFile &out) {
    Canvas canvas(64, 48, kClear);
    paint_picture(canvas, 11);
    HDC dc = canvas.dc();
    HGDIOBJ old = SelectObject(dc, GetStockObject(NULL_BRUSH));
    BitBlt(dc, 2, 2, 20, 12, nullptr, 0, 0, PATCOPY);
    BitBlt(dc, 30, 2, 20, 12, nullptr, 0, 0, PATINVERT);
    BitBlt(dc, 2, 18, 20, 12, nullptr, 0, 0, DSTINVERT);
    BitBlt(dc, 30, 30, 40, 20, nullptr, 0, 0, PATCOPY); // over the bottom right corner
    SelectObject(dc, old);
    out.pixels("blit_null_brush", dc, canvas.width(), canvas.height());
}

} // namespace

void image_scenes(DumpFile &out) {
    image_take(out);
    image_take_indices_above_15(out);
    image_put(out, "image_put_srccopy", SRCCOPY, false);
    image_put(out, "image_put_srcinvert", SRCINVERT, true);
    image_put(out, "image_put_srcpaint", SRCPAINT, false);
    image_put(out, "image_put_srcand", SRCAND, false);
    image_put(out, "image_put_notsrccopy", NOTSRCCOPY, true);
    image_blit_section(out);
    blit_null_brush(out);
}

} // namespace conformance
