#include "damage.h"

#include <bit>

namespace win32::gdi {

void TileMap::reset(int w, int h) {
    width = std::max(w, 0);
    height = std::max(h, 0);
    rows = (height + tile_size - 1) >> tile_shift;
    row_words = (((width + tile_size - 1) >> tile_shift) + 63) / 64;
    words.assign(std::size_t(rows) * std::size_t(row_words), 0);
}

void TileMap::mark(const Box &box) {
    const int left = std::max(box.left, 0), top = std::max(box.top, 0);
    const int right = std::min(box.right, width), bottom = std::min(box.bottom, height);
    if (left >= right || top >= bottom) return;
    const int tx0 = left >> tile_shift, tx1 = (right - 1) >> tile_shift;
    const int w0 = tx0 >> 6, w1 = tx1 >> 6;
    const std::uint64_t first = ~std::uint64_t(0) << (tx0 & 63);
    const std::uint64_t last = ~std::uint64_t(0) >> (63 - (tx1 & 63));
    std::uint64_t *row = words.data() + std::size_t(top >> tile_shift) * std::size_t(row_words);
    for (int ty = top >> tile_shift; ty <= (bottom - 1) >> tile_shift; ++ty, row += row_words) {
        if (w0 == w1) {
            row[w0] |= first & last;
            continue;
        }
        row[w0] |= first;
        for (int w = w0 + 1; w < w1; ++w) row[w] = ~std::uint64_t(0);
        row[w1] |= last;
    }
}

bool differing_areas(const DamageRecord &a, const DamageRecord &b, int width, int height,
                     std::vector<Box> &out) {
    out.clear();
    if (!a.background || !b.background || *a.background != *b.background) return false;
    const int rows = (height + TileMap::tile_size - 1) >> TileMap::tile_shift;
    const int columns = (width + TileMap::tile_size - 1) >> TileMap::tile_shift;
    const int words = (columns + 63) / 64;
    out.reserve(std::size_t(rows) * max_areas_a_row);
    for (int ty = 0; ty < rows; ++ty) {
        const int top = ty << TileMap::tile_shift;
        const int bottom = std::min(top + TileMap::tile_size, height);
        const std::size_t row_start = out.size();
        // Adds the tiles [from, to) of this row: to the row's last box when
        // only a tile lies between them, or when the row has all it may have.
        auto add = [&](int from, int to) {
            const int left = from << TileMap::tile_shift;
            const int right = std::min(to << TileMap::tile_shift, width);
            if (out.size() > row_start && (left - out.back().right <= TileMap::tile_size ||
                                           out.size() - row_start == max_areas_a_row)) {
                out.back().right = right;
                return;
            }
            out.push_back({left, top, right, bottom});
        };
        int run_start = -1; // the first tile of the run being gathered
        for (int w = 0; w < words; ++w) {
            std::uint64_t bits = a.drawn.word(ty, w) | b.drawn.word(ty, w);
            if (w == words - 1 && (columns & 63))
                bits &= ~std::uint64_t(0) >> (64 - (columns & 63));
            // Runs of marked tiles; a run may go on into the next word.
            int at = 0;
            while (at < 64) {
                const std::uint64_t rest = run_start < 0 ? bits >> at : ~bits >> at;
                if (!rest) break;
                at += std::countr_zero(rest);
                if (run_start < 0) {
                    run_start = w * 64 + at;
                } else {
                    add(run_start, w * 64 + at);
                    run_start = -1;
                }
            }
        }
        if (run_start >= 0) add(run_start, columns);
    }
    return true;
}

} // namespace win32::gdi
