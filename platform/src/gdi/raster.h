// Shared pieces of the rasterisers: pixel masks of shapes, polygon scan
// conversion, and painting with the pen.
#pragma once

#include "device_context.h"
#include "pen.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace win32::gdi {

// Exact arithmetic for products of coordinates.
__extension__ typedef __int128 wide;

// floor and ceil of a / b, for b > 0.
inline long long floor_div(wide a, wide b) {
    wide q = a / b;
    if ((a % b != 0) && (a < 0)) --q;
    return (long long)q;
}
inline long long ceil_div(wide a, wide b) {
    return -floor_div(-a, b);
}

// A point in device pixels; wide enough that logical coordinates plus any
// origin never overflow.
struct DevicePoint {
    long long x, y;
};

DevicePoint to_device(const DeviceContext &dc, const POINT &p);

// The part of the DC's drawable area that a shape through `points`, widened
// by `margin` pixels on every side, can reach: masks need no more.
Box reach(const DeviceContext &dc, const std::vector<DevicePoint> &points, long long margin);

// A set of pixels within a box, painted once each however often it is added:
// wide lines and filled shapes are unions of pieces.
class PixelMask {
public:
    explicit PixelMask(const Box &box);
    const Box &box() const { return box_; }
    void add(int x, int y) {
        if (x >= box_.left && x < box_.right && y >= box_.top && y < box_.bottom)
            bits_[std::size_t(y - box_.top) * width_ + std::size_t(x - box_.left)] = 1;
    }
    // Adds pixels [x0, x1) of row y, clipped to the box.
    void add_span(long long y, long long x0, long long x1);
    // Every pixel of the box is in the set.
    bool full() const {
        return std::all_of(bits_.begin(), bits_.end(), [](std::uint8_t b) { return b != 0; });
    }
    bool has(int x, int y) const {
        return bits_[std::size_t(y - box_.top) * width_ + std::size_t(x - box_.left)] != 0;
    }
    // Calls f(y, x0, x1) for every run of set pixels.
    template <class F> void for_each_span(F f) const {
        for (int y = box_.top; y < box_.bottom; ++y) {
            const std::uint8_t *row = bits_.data() + std::size_t(y - box_.top) * width_;
            for (int x = 0; x < int(width_);) {
                if (!row[x]) {
                    ++x;
                    continue;
                }
                int end = x;
                while (end < int(width_) && row[end]) ++end;
                f(y, box_.left + x, box_.left + end);
                x = end;
            }
        }
    }

private:
    Box box_;
    std::size_t width_;
    std::vector<std::uint8_t> bits_;
};

// Adds the pixels inside a polygon to the mask: a pixel (x, y) is inside
// when the point (x, y) is, edges counted half-open (left and top in, right
// and bottom out), by the even-odd rule or, with `winding`, the non-zero rule.
void fill_polygon(PixelMask &mask, const std::vector<DevicePoint> &points, bool winding);

// Adds the round end of a wide pen of width w at p: a disc in the w x w box
// whose top-left corner is p - w / 2 (halved in integers).
void fill_pen_cap(PixelMask &mask, DevicePoint p, int width);

// Paints each pixel of the mask with the pen's colour under the DC's mix mode.
void paint_mask(DeviceContext &dc, const PixelMask &mask, std::uint32_t value);

// Draws the polyline through `points` with the DC's pen. Cosmetic pens leave
// out the last point; the dash style runs on from segment to segment.
void stroke_polyline(DeviceContext &dc, const std::vector<DevicePoint> &points);

} // namespace win32::gdi
