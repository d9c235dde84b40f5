// Where a surface has been drawn on since it was last filled whole with one
// value. Two surfaces filled with the same value can differ only where either
// has been drawn on since, so showing one in place of the other needs to look
// at those places alone.
#pragma once

#include "box.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace win32::gdi {

// Tiles of 16 x 16 pixels of a surface, each marked or not; a row of tiles
// is a few 64-bit words. Marking costs a word per row of tiles a box spans.
class TileMap {
public:
    static constexpr int tile_shift = 4;
    static constexpr int tile_size = 1 << tile_shift;

    // A map of a width x height surface with nothing marked.
    void reset(int width, int height);
    void clear() { std::fill(words.begin(), words.end(), std::uint64_t(0)); }

    // Marks every tile the box touches, as far as the surface reaches.
    void mark(const Box &box);

    int tile_rows() const { return rows; }
    int words_per_row() const { return row_words; }
    // Word w of tile row ty: the tiles 64 w .. 64 w + 63; 0 beyond
    // the map.
    std::uint64_t word(int ty, int w) const {
        return ty < rows && w < row_words ? words[std::size_t(ty) * std::size_t(row_words) + w] : 0;
    }

private:
    int width = 0, height = 0;
    int rows = 0, row_words = 0;
    std::vector<std::uint64_t> words;
};

// A surface's record: the value it was last filled with whole (none when
// that is not known), and the tiles drawn on since.
struct DamageRecord {
    std::optional<std::uint8_t> background;
    TileMap drawn;
};

// The boxes, within width x height, that hold every tile either record
// marks, when both were filled with the same value; false when they cannot
// tell (either fill not known, or the two differ). Rows of tiles from the
// top, each with at most max_areas_a_row boxes from the left: runs of marked
// tiles, joined where a tile or less lies between them, and the last box of
// a row taking in the rest of its runs.
constexpr std::size_t max_areas_a_row = 4;
bool differing_areas(const DamageRecord &a, const DamageRecord &b, int width, int height,
                     std::vector<Box> &out);

} // namespace win32::gdi
