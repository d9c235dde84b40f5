#include "surface.h"

#include <new>

namespace win32::gdi {

namespace {

// Larger requests are refused rather than attempted: no display needs them.
constexpr std::uint64_t max_surface_bytes = std::uint64_t(1) << 30;

// 8 bits per pixel: bytes, so whole spans are memory operations.
void fill8(Surface &s, int y, int x0, int x1, Mix mix) {
    std::uint8_t *p = s.row(y) + x0;
    const std::size_t n = std::size_t(x1 - x0);
    if (mix.and_bits == 0) {
        // Short spans (wide lines, glyphs) are cheaper written than handed
        // to memset.
        if (n <= 16) {
            for (std::size_t i = 0; i < n; ++i) p[i] = mix.xor_bits;
        } else {
            std::memset(p, mix.xor_bits, n);
        }
        return;
    }
    for (std::size_t i = 0; i < n; ++i) p[i] = mix.apply(p[i]);
}
void write8(Surface &s, int y, int x0, int x1, const std::uint8_t *values) {
    std::memcpy(s.row(y) + x0, values, std::size_t(x1 - x0));
}
void read8(const Surface &s, int y, int x0, int x1, std::uint8_t *out) {
    std::memcpy(out, s.row(y) + x0, std::size_t(x1 - x0));
}

// 4 bits per pixel (images): two pixels a byte, the left one in the high
// half; whole bytes in the middle of a span.
void write4(Surface &s, int y, int x0, int x1, const std::uint8_t *values) {
    std::uint8_t *r = s.row(y);
    int x = x0;
    if (x & 1) s.put(x++, y, *values++);
    for (; x + 1 < x1; x += 2, values += 2)
        r[x >> 1] = std::uint8_t((values[0] << 4) | (values[1] & 0x0F));
    if (x < x1) s.put(x, y, *values);
}
void read4(const Surface &s, int y, int x0, int x1, std::uint8_t *out) {
    unpack4(s.row(y), x0, x1, out, [](std::uint8_t v) { return v; });
}

// 1 bit per pixel, and 4-bit fills: pixel by pixel, as only small bitmaps
// have them.
void fill_packed(Surface &s, int y, int x0, int x1, Mix mix) {
    const std::uint8_t m = s.mask();
    for (int x = x0; x < x1; ++x) s.put(x, y, std::uint8_t(mix.apply(s.get(x, y)) & m));
}
void write_packed(Surface &s, int y, int x0, int x1, const std::uint8_t *values) {
    for (int x = x0; x < x1; ++x) s.put(x, y, values[x - x0]);
}
void read_packed(const Surface &s, int y, int x0, int x1, std::uint8_t *out) {
    for (int x = x0; x < x1; ++x) out[x - x0] = s.get(x, y);
}

constexpr SpanOps bytes_ops{fill8, write8, read8};
constexpr SpanOps nibble_ops{fill_packed, write4, read4};
constexpr SpanOps packed_ops{fill_packed, write_packed, read_packed};

std::uint64_t next_picture = 1;

// A record that says nothing: no fill known.
const DamageRecord unknown_record;

} // namespace

Surface::Surface() : ops(&bytes_ops), picture_id(next_picture++) {}

Surface::~Surface() {
    if (loan) end_loan();
    settle_borrowers();
}

void Surface::borrow(Surface &lender, int x, int y) {
    if (borrows(lender, x, y)) return;
    if (loan) end_loan();
    // Whatever this surface showed, borrowed or its own, is not shown now.
    settle_borrowers();
    loan = Loan{&lender, x, y};
    lender.borrowers.push_back(this);
    picture_id = next_picture++;
    changes = gathered = Box::none();
}

void Surface::end_loan() {
    std::erase(loan->lender->borrowers, this);
    loan.reset();
}

void Surface::settle() {
    if (!loan) return;
    const Loan l = *loan;
    end_loan();
    for (int y = 0; y < height; ++y) std::memcpy(row(y), l.lender->row(y + l.y) + l.x, width);
    // The copy carries the lender's record where its tiles line up with ours.
    if (l.x == 0 && l.y == 0 && !l.lender->bottom_up) {
        damage = l.lender->damage_record();
    } else {
        damage.background.reset();
    }
}

void Surface::record(const Box &box) {
    changes.grow(box);
    damage.drawn.mark(box);
}

void Surface::settle_shared() {
    if (loan) settle();
    settle_borrowers();
}

void Surface::settle_borrowers() {
    while (!borrowers.empty()) borrowers.back()->settle();
}

const DamageRecord &Surface::shown_damage_record() {
    if (!loan) return damage_record();
    return loan->x == 0 && loan->y == 0 ? loan->lender->damage_record() : unknown_record;
}

void Surface::choose_ops() {
    ops = bits_per_pixel == 8 ? &bytes_ops : bits_per_pixel == 4 ? &nibble_ops : &packed_ops;
}

bool Surface::allocate(int w, int h, int bpp, int row_alignment) {
    if (loan) end_loan();
    settle_borrowers();
    storage.reset();
    data = nullptr;
    width = height = stride = 0;
    changes = gathered = Box::none();
    damage.background.reset();
    damage.drawn.reset(0, 0);
    bits_per_pixel = bpp;
    choose_ops();
    if (w <= 0 || h <= 0 || (bpp != 1 && bpp != 4 && bpp != 8)) return false;
    const std::uint64_t row_bits = std::uint64_t(w) * std::uint64_t(bpp);
    const std::uint64_t align_bits = std::uint64_t(row_alignment) * 8;
    const std::uint64_t row_bytes = (row_bits + align_bits - 1) / align_bits * row_alignment;
    if (row_bytes * std::uint64_t(h) > max_surface_bytes) return false;
    storage.reset(new (std::nothrow) std::uint8_t[row_bytes * std::uint64_t(h)]());
    if (!storage) return false;
    data = storage.get();
    width = w;
    height = h;
    stride = int(row_bytes);
    // New memory is zeroed: filled whole with 0.
    damage.background = 0;
    damage.drawn.reset(w, h);
    return true;
}

void Surface::view(const void *bits, int w, int h, int bpp, bool bottom_up_rows) {
    if (loan) end_loan();
    settle_borrowers();
    storage.reset();
    // A view is only ever read.
    data = static_cast<std::uint8_t *>(const_cast<void *>(bits));
    width = w;
    height = h;
    bits_per_pixel = bpp;
    stride = int((std::int64_t(w) * bpp + 31) / 32 * 4);
    bottom_up = bottom_up_rows;
    device_independent = true;
    changes = gathered = Box::none();
    damage.background.reset();
    damage.drawn.reset(0, 0);
    choose_ops();
}

void Surface::fill_box(const Box &box, Mix mix) {
    if (box.empty() || mix.keeps()) return;
    if (loan) settle(); // the record below must be of our own pixels
    const bool whole = mix.and_bits == 0 && box == bounds();
    const std::uint8_t value = std::uint8_t(mix.xor_bits & mask());
    if (whole && damage.background == value) {
        // Filled with this value before: every pixel that was not drawn on
        // since holds it still.
        refill_drawn(mix);
        return;
    }
    if (bits_per_pixel == 8 && mix.and_bits == 0 && box.left == 0 && box.right == width &&
        stride == width && !bottom_up) {
        // Whole rows of contiguous memory: one fill for all of them.
        touch(box);
        std::memset(row(box.top), mix.xor_bits, std::size_t(width) * (box.bottom - box.top));
    } else {
        for (int y = box.top; y < box.bottom; ++y) fill(y, box.left, box.right, mix);
    }
    // One value everywhere: the record starts again.
    if (whole && !memory_shared) {
        changes.grow(gathered);
        gathered = Box::none();
        damage.background = value;
        damage.drawn.clear();
    }
}

void Surface::refill_drawn(Mix mix) {
    static thread_local std::vector<Box> areas;
    differing_areas(damage_record(), damage, width, height, areas);
    if (!borrowers.empty()) settle_borrowers();
    for (const Box &area : areas) {
        changes.grow(area);
        for (int y = area.top; y < area.bottom; ++y)
            ops->fill(*this, y, area.left, area.right, mix);
    }
    damage.drawn.clear();
}

void Surface::share_memory() {
    memory_shared = true;
    damage.background.reset();
}

} // namespace win32::gdi
