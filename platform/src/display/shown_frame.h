// What a window shows, kept as the 8-bit frame and the colours it was last
// given, so that a new frame is shown by converting only the pixels that
// differ from it. Knows nothing of SDL: the backend converts the runs.
#pragma once

#include "backend.h"

#include <cstdint>
#include <vector>

namespace win32::display {

// Pixels x0..x1-1 of row y.
struct Run {
    int y = 0, x0 = 0, x1 = 0;
};

class ShownFrame {
public:
    // Nothing counts as shown: the next frame is taken whole.
    void forget() { known = false; }

    // Takes `frame` as what is shown from now on, and answers the runs of
    // pixels to convert, row by row: those of its changed area (of its parts,
    // when it has them) that differ from the last frame, or every pixel when
    // there was none, or it had another size or other colours, or the frame
    // asks to be shown whole.
    const std::vector<Run> &take(const Frame &frame);
    // Whether the last take was of every pixel.
    bool whole() const { return took_whole; }
    // How many pixels the last take looked at.
    long long looked_at() const { return looked; }

    // The runs of the last take as a few rectangles covering them (rows
    // next to each other whose runs overlap share one), for the display to
    // copy to the screen.
    const std::vector<Area> &areas();

private:
    void take_all(const Frame &frame);
    void compare(const Frame &frame, const Area &area);
    void compare_row(const std::uint8_t *now, std::uint8_t *shown, int y, int x0, int x1);

    bool known = false;
    bool took_whole = false;
    long long looked = 0;
    int width = 0, height = 0;
    std::uint32_t colors[256] = {};
    std::vector<std::uint8_t> pixels; // width x height, rows packed
    std::vector<Run> runs;
    std::vector<Area> merged;
};

} // namespace win32::display
