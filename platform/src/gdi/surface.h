// Pixel memory of a bitmap or a window: 1, 4 or 8 bits per pixel, and the
// span operations of its format, through which every drawing writes.
//
// What a pixel value means depends on the surface: on a device-compatible
// 8-bit surface it is an index into the system palette; on a monochrome
// device bitmap 0 is black and 1 is white; on a device-independent bitmap it
// is an index into the bitmap's own colour table. Values always fit a byte.
#pragma once

#include "box.h"
#include "damage.h"
#include "platform.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace win32::gdi {

// How a value combines with a pixel, bit by bit: pixel = (pixel & and) ^ xor.
// Every mix mode comes down to such a pair once its pen value is known.
struct Mix {
    std::uint8_t and_bits = 0;
    std::uint8_t xor_bits = 0;
    std::uint8_t apply(std::uint8_t pixel) const {
        return std::uint8_t((pixel & and_bits) ^ xor_bits);
    }
    // The pixel keeps its value.
    bool keeps() const { return and_bits == 0xFF && xor_bits == 0; }
};

// Copying a value is the mix that ignores the pixel.
inline Mix copy_mix(std::uint8_t value) {
    return {0, value};
}

struct Surface;

// Pixels x0..x1-1 of a row of 4-bit pixels (two a byte, the left one in the
// high half), each as `map` gives it, into out[0..].
template <class Map>
void unpack4(const std::uint8_t *row, int x0, int x1, std::uint8_t *out, Map map) {
    int x = x0;
    if (x & 1) *out++ = map(std::uint8_t(row[x++ >> 1] & 0x0F));
    for (; x + 1 < x1; x += 2, out += 2) {
        const std::uint8_t b = row[x >> 1];
        out[0] = map(std::uint8_t(b >> 4));
        out[1] = map(std::uint8_t(b & 0x0F));
    }
    if (x < x1) *out = map(std::uint8_t(row[x >> 1] >> 4));
}

// The span operations of one pixel format, chosen when the surface is made.
struct SpanOps {
    // Pixels x0..x1-1 of row y combined with one mix.
    void (*fill)(Surface &, int y, int x0, int x1, Mix mix);
    // Pixels x0..x1-1 of row y set to values[0..].
    void (*write)(Surface &, int y, int x0, int x1, const std::uint8_t *values);
    // Pixels x0..x1-1 of row y into out[0..].
    void (*read)(const Surface &, int y, int x0, int x1, std::uint8_t *out);
};

struct Surface {
    int width = 0;
    int height = 0;
    int bits_per_pixel = 8;
    int stride = 0; // bytes per row
    bool bottom_up = false;
    bool device_independent = false;
    RGBQUAD color_table[256] = {};
    int color_count = 0;

    Surface();
    ~Surface();
    Surface(const Surface &) = delete;
    Surface &operator=(const Surface &) = delete;

    // Allocates zeroed memory for width x height pixels, rows padded to
    // row_alignment bytes. False (and an empty surface) when the size is
    // unreasonable or memory is short.
    bool allocate(int w, int h, int bpp, int row_alignment);
    // A view of pixel memory someone else owns (a caller's bitmap bits),
    // rows padded to 32 bits as device-independent bitmaps are.
    void view(const void *bits, int w, int h, int bpp, bool bottom_up_rows);

    std::uint8_t *bits() { return data; }
    const std::uint8_t *bits() const { return data; }
    std::size_t byte_size() const { return std::size_t(stride) * std::size_t(height); }
    Box bounds() const { return {0, 0, width, height}; }

    std::uint8_t *row(int y) { return data + row_offset(y); }
    const std::uint8_t *row(int y) const { return data + row_offset(y); }
    // The step in bytes from a row to the one below it.
    std::ptrdiff_t row_step() const { return bottom_up ? -std::ptrdiff_t(stride) : stride; }

    std::uint8_t mask() const { return std::uint8_t((1u << bits_per_pixel) - 1u); }

    std::uint8_t get(int x, int y) const {
        const std::uint8_t *r = row(y);
        switch (bits_per_pixel) {
        case 8:
            return r[x];
        case 4:
            return (x & 1) ? (r[x >> 1] & 0x0F) : (r[x >> 1] >> 4);
        default:
            return (r[x >> 3] >> (7 - (x & 7))) & 1u;
        }
    }

    // One pixel; (x, y) lies on the surface.
    void set(int x, int y, std::uint8_t v) {
        touch({x, y, x + 1, y + 1});
        put(x, y, v);
    }

    void fill(int y, int x0, int x1, Mix mix) {
        if (x0 >= x1 || mix.keeps()) return;
        touch({x0, y, x1, y + 1});
        ops->fill(*this, y, x0, x1, mix);
    }
    // The same within a box already given to touch: for shapes of many
    // spans, which change as a whole.
    void fill_touched(int y, int x0, int x1, Mix mix) {
        if (x0 < x1) ops->fill(*this, y, x0, x1, mix);
    }
    void write(int y, int x0, int x1, const std::uint8_t *values) {
        if (x0 >= x1) return;
        touch({x0, y, x1, y + 1});
        ops->write(*this, y, x0, x1, values);
    }
    void read(int y, int x0, int x1, std::uint8_t *out) const {
        if (x0 < x1) ops->read(*this, y, x0, x1, out);
    }
    // Every row of a box (on the surface) combined with one mix. Filling the
    // whole surface with the value it was last filled with whole fills only
    // where it was drawn on since.
    void fill_box(const Box &box, Mix mix);
    // The surface's memory is written by its owner too (a DIB section's
    // bits), unseen: its record never knows a fill.
    void share_memory();

    // The one place that records which pixels change, called before they
    // do, with a box that is not empty: whoever shows the surface asks for
    // them with take_changes, and the damage record keeps them until the
    // surface is next filled whole. Boxes that follow each other close
    // together (the spans of one fill, the sides of a rectangle) are gathered
    // into one first, and recorded when one comes that lies further away or
    // the record is asked for. A surface whose pixels another one shows lets
    // it take its copy first.
    void touch(const Box &area) {
        if (loan || !borrowers.empty()) [[unlikely]]
            settle_shared();
        const Box box = area; // not one of ours, which the stores below would change
        Box joined = gathered;
        joined.grow(box);
        if ((long long)joined.right - joined.left <= gather_limit &&
            (long long)joined.bottom - joined.top <= gather_limit) {
            gathered = joined;
            return;
        }
        record(gathered);
        gathered = box;
    }
    // Everything: the surface is to be shown whole.
    void touch_all() { touch(bounds()); }
    bool has_changes() const {
        Box all = changes;
        all.grow(gathered);
        return !all.intersect(bounds()).empty();
    }
    std::optional<Box> take_changes() {
        record_gathered();
        const Box box = changes.intersect(bounds());
        changes = Box::none();
        if (box.empty()) return std::nullopt;
        return box;
    }
    // The value the surface was last filled with whole, and where it has been
    // drawn on since.
    const DamageRecord &damage_record() {
        record_gathered();
        return damage;
    }

    // Showing another surface's pixels in place of its own (a window showing
    // a page without copying it). From now on the pixels from (x, y) on of
    // `lender`, an 8-bit surface as this one is and reaching as far, stand
    // for this surface's own, until either surface is about to change: then
    // this one takes its own copy of them first (settle). Borrowing the
    // pixels it already shows changes nothing.
    void borrow(Surface &lender, int x, int y);
    bool borrowing() const { return loan.has_value(); }
    // Whether this surface shows the pixels of `lender` from (x, y) on.
    bool borrows(const Surface &lender, long long x, long long y) const {
        return loan && loan->lender == &lender && loan->x == x && loan->y == y;
    }
    void settle();
    // The first pixel of row y as shown: the lender's while borrowing.
    const std::uint8_t *shown_row(int y) const {
        return loan ? loan->lender->row(y + loan->y) + loan->x : row(y);
    }
    std::ptrdiff_t shown_row_step() const { return loan ? loan->lender->row_step() : row_step(); }
    // The record of the pixels shown: the lender's while borrowing from its
    // corner (a loan elsewhere has tiles that do not line up: not known).
    const DamageRecord &shown_damage_record();
    // Which picture the shown pixels are: a new number for every loan, kept
    // when the loan is settled (the copy is the same picture) and while the
    // surface is drawn on (take_changes says where). Equal numbers at two
    // presentations mean the changes alone tell what differs.
    std::uint64_t picture() const { return picture_id; }

    // Without marking a change: for the span operations themselves.
    void put(int x, int y, std::uint8_t v) {
        std::uint8_t *r = row(y);
        switch (bits_per_pixel) {
        case 8:
            r[x] = v;
            break;
        case 4: {
            std::uint8_t &b = r[x >> 1];
            b = (x & 1) ? std::uint8_t((b & 0xF0) | (v & 0x0F))
                        : std::uint8_t((b & 0x0F) | ((v & 0x0F) << 4));
            break;
        }
        default: {
            std::uint8_t &b = r[x >> 3];
            const std::uint8_t bit = std::uint8_t(0x80 >> (x & 7));
            b = (v & 1) ? std::uint8_t(b | bit) : std::uint8_t(b & ~bit);
        }
        }
    }

private:
    struct Loan {
        Surface *lender;
        int x, y;
    };

    std::size_t row_offset(int y) const {
        return std::size_t(bottom_up ? height - 1 - y : y) * std::size_t(stride);
    }
    void choose_ops();
    void settle_borrowers();
    void settle_shared();
    void end_loan();
    // Out of line: the gathering in touch is what drawing runs through.
    void record(const Box &box);
    void record_gathered() {
        record(gathered);
        gathered = Box::none();
    }
    static constexpr int gather_limit = 128;
    void refill_drawn(Mix mix);

    std::unique_ptr<std::uint8_t[]> storage;
    std::uint8_t *data = nullptr;
    const SpanOps *ops;
    Box changes = Box::none();
    Box gathered = Box::none(); // touched, not yet recorded
    DamageRecord damage;
    bool memory_shared = false;
    std::uint64_t picture_id;
    std::optional<Loan> loan;
    std::vector<Surface *> borrowers; // the surfaces showing this one's pixels
};

} // namespace win32::gdi
