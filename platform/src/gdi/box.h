// A rectangle of device pixels.
#pragma once

#include <algorithm>
#include <climits>

namespace win32::gdi {

// Right and bottom excluded.
struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool empty() const { return left >= right || top >= bottom; }
    bool contains(long long x, long long y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    Box intersect(const Box &o) const {
        Box r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
              std::min(bottom, o.bottom)};
        if (r.empty()) r = {};
        return r;
    }
    // The smallest box holding both (an empty box adds nothing).
    Box unite(const Box &o) const {
        if (empty()) return o;
        if (o.empty()) return *this;
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                std::max(bottom, o.bottom)};
    }
    bool operator==(const Box &) const = default;

    // A box that holds nothing and that any box grows from.
    static constexpr Box none() { return {INT_MAX, INT_MAX, INT_MIN, INT_MIN}; }
    // Grows to hold `o` too, which is not empty: no test for emptiness,
    // for the boxes drawing touches, one a call.
    void grow(const Box &o) {
        left = std::min(left, o.left);
        top = std::min(top, o.top);
        right = std::max(right, o.right);
        bottom = std::max(bottom, o.bottom);
    }
};

} // namespace win32::gdi
