// What every conformance scene file shares: the dump writer, the screen DC
// with its grey-ramp palette, canvases and a few drawing helpers.
#pragma once

#include "platform.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace conformance {

#ifndef _WIN32
using namespace win32;
#endif

// ---- Output -------------------------------------------------------------------------

class DumpFile {
public:
    explicit DumpFile(std::FILE *file) : file_(file) {
        std::fprintf(file_, "bgi-conformance-dump 1\n");
    }

    // Writes a grid of values (row by row) under the given scene name.
    void values(const std::string &name, int width, int height,
                const std::vector<COLORREF> &values) {
        std::fprintf(file_, "scene %s %d %d\n", name.c_str(), width, height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                std::fprintf(file_, x == 0 ? "%08lx" : " %08lx",
                             static_cast<unsigned long>(values[std::size_t(y) * width + x]));
            }
            std::fprintf(file_, "\n");
        }
        // A program that dies in a later scene leaves every finished one.
        std::fflush(file_);
    }

    // Writes every pixel of the DC's bitmap. The clip region is removed and the
    // viewport origin reset first, so the whole bitmap is read in device
    // coordinates.
    void pixels(const std::string &name, HDC dc, int width, int height) {
        SelectClipRgn(dc, nullptr);
        SetViewportOrgEx(dc, 0, 0, nullptr);
        std::vector<COLORREF> grid;
        grid.reserve(std::size_t(width) * height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) grid.push_back(GetPixel(dc, x, y));
        }
        values(name, width, height, grid);
    }

    bool ok() const { return std::ferror(file_) == 0; }

private:
    std::FILE *file_;
};

// ---- Shared objects -----------------------------------------------------------------

// The colour reference of palette index n.
constexpr COLORREF pal(int n) {
    return PALETTEINDEX(WORD(n));
}

// The screen DC, the grey-ramp palette and one solid brush per palette index,
// made once for all scenes.
struct Environment {
    HDC screen = nullptr;
    HPALETTE palette = nullptr;
    HBRUSH brushes[256] = {};

    bool open() {
        screen = GetDC(nullptr);
        if (!screen) return false;
        std::vector<unsigned char> storage(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
        auto *log = reinterpret_cast<LOGPALETTE *>(storage.data());
        log->palVersion = 0x300;
        log->palNumEntries = 256;
        for (int n = 0; n < 256; ++n) {
            log->palPalEntry[n] = PALETTEENTRY{BYTE(n), BYTE(n), BYTE(n), 0};
        }
        palette = CreatePalette(log);
        if (!palette) return false;
        for (int n = 0; n < 256; ++n) {
            brushes[n] = CreateSolidBrush(pal(n));
            if (!brushes[n]) return false;
        }
        return true;
    }

    void close() {
        for (HBRUSH &brush : brushes) {
            if (brush) DeleteObject(brush);
            brush = nullptr;
        }
        if (palette) DeleteObject(palette);
        palette = nullptr;
        if (screen) ReleaseDC(nullptr, screen);
        screen = nullptr;
    }
};

inline Environment env;

inline HBRUSH brush(int n) {
    return env.brushes[n & 0xFF];
}

inline void fill(HDC dc, int left, int top, int right, int bottom, int colour) {
    RECT rect{left, top, right, bottom};
    FillRect(dc, &rect, brush(colour));
}

// A memory DC with a bitmap of its own selected, both released at the end.
class MemoryCanvas {
public:
    MemoryCanvas(int width, int height, HBITMAP bitmap)
        : width_(width), height_(height), dc_(CreateCompatibleDC(env.screen)), bitmap_(bitmap) {
        old_bitmap_ = SelectObject(dc_, bitmap_);
    }
    ~MemoryCanvas() {
        SelectObject(dc_, old_bitmap_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    MemoryCanvas(const MemoryCanvas &) = delete;
    MemoryCanvas &operator=(const MemoryCanvas &) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_;
    int height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_bitmap_;
};

// A bitmap compatible with the screen, with the grey-ramp palette realised
// and every pixel set to one index.
class Canvas : public MemoryCanvas {
public:
    Canvas(int width, int height, int clear_index)
        : MemoryCanvas(width, height, CreateCompatibleBitmap(env.screen, width, height)) {
        old_palette_ = SelectPalette(dc(), env.palette, FALSE);
        RealizePalette(dc());
        clear(clear_index);
    }
    ~Canvas() { SelectPalette(dc(), old_palette_, FALSE); }

    void clear(int colour) {
        SelectClipRgn(dc(), nullptr);
        SetViewportOrgEx(dc(), 0, 0, nullptr);
        fill(dc(), 0, 0, width(), height(), colour);
    }

private:
    HPALETTE old_palette_;
};

// Bytes for CreateBitmap of a 1-bit bitmap: rows are padded to 16 bits, the
// leftmost pixel is bit 7 of a row's first byte.
inline std::vector<BYTE> mono_bits(int width, int height,
                                   const std::function<bool(int, int)> &set) {
    const int stride = (width + 15) / 16 * 2;
    std::vector<BYTE> bits(std::size_t(stride) * height, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (set(x, y)) bits[std::size_t(y) * stride + x / 8] |= BYTE(0x80 >> (x % 8));
        }
    }
    return bits;
}

// A 1-bit bitmap made by CreateBitmap.
class MonoCanvas : public MemoryCanvas {
public:
    MonoCanvas(int width, int height, const std::vector<BYTE> &bits)
        : MemoryCanvas(width, height, CreateBitmap(width, height, 1, 1, bits.data())) {}
};

// A busy picture in which a pixel differs from its neighbours and from
// pixels a few steps away, so any shift of a copied area shows.
inline int picture_index(int x, int y, int seed) {
    return (x * 29 + y * 71 + seed * 53 + (x * y) % 7) & 0xFF;
}

inline void paint_picture(Canvas &canvas, int seed) {
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            fill(canvas.dc(), x, y, x + 1, y + 1, picture_index(x, y, seed));
        }
    }
}

inline void clip_to(HDC dc, int left, int top, int right, int bottom) {
    HRGN region = CreateRectRgn(left, top, right, bottom);
    SelectClipRgn(dc, region);
    // The DC keeps its own copy; the region is not needed any more.
    DeleteObject(region);
}

// The index every canvas starts from.
constexpr int kClear = 0x11;
// Gaps of styled pens take this colour in the opaque background mode.
constexpr int kGap = 0xE7;

// ---- Drawing helpers -------------------------------------------------------------------

// Selects a GDI object into a DC while the holder lives, then deletes it.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), object_(object), old_(SelectObject(dc, object)) {}
    ~Selected() {
        SelectObject(dc_, old_);
        DeleteObject(object_);
    }
    Selected(const Selected &) = delete;
    Selected &operator=(const Selected &) = delete;

private:
    HDC dc_;
    HGDIOBJ object_;
    HGDIOBJ old_;
};

inline HPEN pen(int style, int width, int colour) {
    return CreatePen(style, width, pal(colour));
}

// An extended pen of a solid colour, with the dashes of a user style if any.
inline HPEN ext_pen(DWORD style, int width, int colour, const std::vector<DWORD> &dashes = {}) {
    const LOGBRUSH solid{BS_SOLID, pal(colour), 0};
    return ExtCreatePen(style, DWORD(width), &solid, DWORD(dashes.size()),
                        dashes.empty() ? nullptr : dashes.data());
}

inline void line(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

// An 8 x 8 monochrome pattern brush; the bitmap lives as long as the brush.
class PatternBrush {
public:
    PatternBrush() {
        // Irregular, so that any shift of the pattern shows.
        const std::vector<BYTE> bits = mono_bits(
            8, 8, [](int x, int y) { return (x * 3 + y * 5) % 7 < 3 || (x == 7 && y == 0); });
        bitmap_ = CreateBitmap(8, 8, 1, 1, bits.data());
        brush_ = CreatePatternBrush(bitmap_);
    }
    ~PatternBrush() {
        DeleteObject(brush_);
        DeleteObject(bitmap_);
    }
    PatternBrush(const PatternBrush &) = delete;
    PatternBrush &operator=(const PatternBrush &) = delete;

    HBRUSH get() const { return brush_; }

private:
    HBITMAP bitmap_;
    HBRUSH brush_;
};

// Keeps a brush (or a stock object) selected while the holder lives; it is
// not deleted.
class BrushIn {
public:
    BrushIn(HDC dc, HGDIOBJ brush) : dc_(dc), old_(SelectObject(dc, brush)) {}
    ~BrushIn() { SelectObject(dc_, old_); }
    BrushIn(const BrushIn &) = delete;
    BrushIn &operator=(const BrushIn &) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// The scenes of each file, in the order they are written.
void line_scenes(DumpFile &out);
void shape_scenes(DumpFile &out);
void arc_scenes(DumpFile &out);
void image_scenes(DumpFile &out);
void text_scenes(DumpFile &out);

} // namespace conformance
