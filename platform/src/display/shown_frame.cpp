#include "shown_frame.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace win32::display {

namespace {

// Differing pixels this close together are converted as one run, the equal
// ones between them with them: cheaper than starting another run.
constexpr int run_gap = 16;
// Beyond this many rectangles the screen is given their bounding box.
constexpr std::size_t max_areas = 64;
constexpr std::size_t runs_a_row_reserved = 4;

std::uint64_t load_word(const std::uint8_t *p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The first and one past the last differing byte of a non-zero xor of two
// words loaded from memory.
int first_byte(std::uint64_t diff) {
    if constexpr (std::endian::native == std::endian::little) return std::countr_zero(diff) / 8;
    return std::countl_zero(diff) / 8;
}
int end_byte(std::uint64_t diff) {
    if constexpr (std::endian::native == std::endian::little) return 8 - std::countl_zero(diff) / 8;
    return 8 - std::countr_zero(diff) / 8;
}

} // namespace

const std::vector<Run> &ShownFrame::take(const Frame &frame) {
    runs.clear();
    merged.clear();
    took_whole = false;
    looked = 0;
    if (!frame.pixels || frame.width <= 0 || frame.height <= 0) {
        known = false;
        return runs;
    }
    if (!known || frame.whole || frame.width != width || frame.height != height ||
        std::memcmp(frame.colors, colors, sizeof colors) != 0) {
        take_all(frame);
        return runs;
    }
    if (frame.parts.empty()) {
        compare(frame, frame.changed);
        return runs;
    }
    for (const Area &part : frame.parts) compare(frame, part);
    // Rows of parts give their runs part by part: row by row from here on.
    std::sort(runs.begin(), runs.end(),
              [](const Run &a, const Run &b) { return a.y != b.y ? a.y < b.y : a.x0 < b.x0; });
    return runs;
}

void ShownFrame::compare(const Frame &frame, const Area &area) {
    const int x0 = std::max(area.x, 0);
    const int x1 = std::min(area.x + area.width, width);
    const int y0 = std::max(area.y, 0);
    const int y1 = std::min(area.y + area.height, height);
    if (x0 >= x1 || y0 >= y1) return;
    looked += (long long)(x1 - x0) * (y1 - y0);
    for (int y = y0; y < y1; ++y)
        compare_row(frame.pixels + std::ptrdiff_t(y) * frame.stride,
                    pixels.data() + std::size_t(y) * std::size_t(width), y, x0, x1);
}

void ShownFrame::take_all(const Frame &frame) {
    width = frame.width;
    height = frame.height;
    pixels.resize(std::size_t(width) * std::size_t(height));
    // Room for a frame of a few runs a row and a rectangle a row from the
    // start: small beside the pixels, and the lists then stay the size they
    // are however a later frame's changes fall.
    runs.reserve(std::size_t(height) * runs_a_row_reserved);
    merged.reserve(std::size_t(height));
    std::memcpy(colors, frame.colors, sizeof colors);
    for (int y = 0; y < height; ++y) {
        std::memcpy(pixels.data() + std::size_t(y) * std::size_t(width),
                    frame.pixels + std::ptrdiff_t(y) * frame.stride, std::size_t(width));
        runs.push_back({y, 0, width});
    }
    known = took_whole = true;
    looked = (long long)width * height;
}

void ShownFrame::compare_row(const std::uint8_t *now, std::uint8_t *shown, int y, int x0, int x1) {
    // Most rows are as they were: one comparison at memory speed.
    if (std::memcmp(now + x0, shown + x0, std::size_t(x1 - x0)) == 0) return;
    const std::size_t first = runs.size();
    Run run{y, -1, -1};
    auto add = [&](int from, int to) {
        if (run.x0 >= 0 && from - run.x1 <= run_gap) {
            run.x1 = to;
            return;
        }
        if (run.x0 >= 0) runs.push_back(run);
        run.x0 = from, run.x1 = to;
    };
    int x = x0;
    for (; x + 8 <= x1; x += 8)
        if (const std::uint64_t diff = load_word(now + x) ^ load_word(shown + x))
            add(x + first_byte(diff), x + end_byte(diff));
    for (; x < x1; ++x)
        if (now[x] != shown[x]) add(x, x + 1);
    runs.push_back(run);
    // The runs found here become what is shown.
    for (std::size_t i = first; i < runs.size(); ++i)
        std::memcpy(shown + runs[i].x0, now + runs[i].x0, std::size_t(runs[i].x1 - runs[i].x0));
}

const std::vector<Area> &ShownFrame::areas() {
    if (!merged.empty() || runs.empty()) return merged;
    Area bounds{width, height, 0, 0}; // as corners until the end
    std::size_t i = 0;
    while (i < runs.size()) {
        // The row's span, from its first run's start to its last run's end.
        const int y = runs[i].y, left = runs[i].x0;
        int right = runs[i].x1;
        for (; i < runs.size() && runs[i].y == y; ++i) right = std::max(right, runs[i].x1);
        bounds = {std::min(bounds.x, left), std::min(bounds.y, y), std::max(bounds.width, right),
                  std::max(bounds.height, y + 1)};
        if (!merged.empty()) {
            Area &last = merged.back();
            if (last.y + last.height == y && left < last.x + last.width && right > last.x) {
                const int l = std::min(last.x, left), r = std::max(last.x + last.width, right);
                last.x = l, last.width = r - l, ++last.height;
                continue;
            }
        }
        merged.push_back({left, y, right - left, 1});
    }
    if (merged.size() > max_areas)
        merged.assign(1, {bounds.x, bounds.y, bounds.width - bounds.x, bounds.height - bounds.y});
    return merged;
}

} // namespace win32::display
