// FloodFill in border mode: a scanline fill that first finds the region, as
// spans, and then paints them with the brush. What it takes grows with the
// region, never with the surface.
#include "raster.h"
#include "trace.h"

#include <vector>

namespace win32::gdi {

namespace {

// Which pixels the fill has taken: a mask over a box that grows to hold
// every span marked, doubling in the direction it must grow. Its memory is
// kept from one fill to the next.
class GrowingMask {
public:
    void reset(int x, int y, const Box &area) {
        area_ = area;
        box_ = Box{x - 16, y - 4, x + 16, y + 4}.intersect(area);
        bits_.assign(std::size_t(box_.right - box_.left) * (box_.bottom - box_.top), 0);
    }
    // The marks of row y from the box's left column on, or null when the
    // box has no such row.
    const std::uint8_t *row(int y) const {
        if (y < box_.top || y >= box_.bottom) return nullptr;
        return bits_.data() + std::size_t(y - box_.top) * width();
    }
    bool has(int x, int y) const {
        return box_.contains(x, y) &&
               bits_[std::size_t(y - box_.top) * width() + std::size_t(x - box_.left)] != 0;
    }
    const Box &box() const { return box_; }
    // Pixels [x0, x1) of row y, all within the area.
    void mark(int y, int x0, int x1) {
        if (!box_.contains(x0, y) || !box_.contains(x1 - 1, y)) grow(Box{x0, y, x1, y + 1});
        std::uint8_t *r = bits_.data() + std::size_t(y - box_.top) * width();
        std::fill(r + (x0 - box_.left), r + (x1 - box_.left), std::uint8_t(1));
    }

private:
    std::size_t width() const { return std::size_t(box_.right - box_.left); }
    void grow(const Box &wanted) {
        const int w = box_.right - box_.left, h = box_.bottom - box_.top;
        Box bigger = box_;
        if (wanted.left < box_.left) bigger.left = std::min(wanted.left, box_.left - w);
        if (wanted.right > box_.right) bigger.right = std::max(wanted.right, box_.right + w);
        if (wanted.top < box_.top) bigger.top = std::min(wanted.top, box_.top - h);
        if (wanted.bottom > box_.bottom) bigger.bottom = std::max(wanted.bottom, box_.bottom + h);
        bigger = bigger.intersect(area_);
        const std::size_t new_width = std::size_t(bigger.right - bigger.left);
        spare_.assign(new_width * (bigger.bottom - bigger.top), 0);
        for (int y = box_.top; y < box_.bottom; ++y)
            std::copy_n(bits_.data() + std::size_t(y - box_.top) * width(), width(),
                        spare_.data() + std::size_t(y - bigger.top) * new_width +
                            std::size_t(box_.left - bigger.left));
        bits_.swap(spare_);
        box_ = bigger;
    }

    Box area_, box_;
    std::vector<std::uint8_t> bits_, spare_;
};

struct Span {
    int y, x0, x1;
};

// Rows of pixels to read: 8-bit ones straight from memory, packed ones a
// pixel at a time.
struct ByteRows {
    const std::uint8_t *first;
    std::ptrdiff_t step;
    const std::uint8_t *row(int y) const { return first + y * step; }
};
struct PackedRows {
    const Surface &surface;
    struct Row {
        const Surface &surface;
        int y;
        std::uint8_t operator[](int x) const { return surface.get(x, y); }
    };
    Row row(int y) const { return {surface, y}; }
};

// The region: 4-connected pixels from the start that are not of the border
// value. Seeds are whole spans: each is widened to its row's extent, marked,
// and the rows above and below are searched for new seeds along it. The
// stack holds at most a few seeds per marked span.
template <class Rows>
void find_region(const Rows &rows, std::uint8_t stop, int start_x, int start_y, const Box &area,
                 GrowingMask &taken, std::vector<std::pair<int, int>> &seeds,
                 std::vector<Span> &region) {
    seeds.assign(1, {start_x, start_y});
    while (!seeds.empty()) {
        auto [sx, sy] = seeds.back();
        seeds.pop_back();
        const auto pixels = rows.row(sy);
        if (pixels[sx] == stop || taken.has(sx, sy)) continue;
        // Unmarked pixels of this row are open up to the border: a marked
        // pixel in the row would have been reached from this one before.
        int left = sx, right = sx + 1;
        while (left > area.left && pixels[left - 1] != stop) --left;
        while (right < area.right && pixels[right] != stop) ++right;
        taken.mark(sy, left, right);
        region.push_back({sy, left, right});
        // The mask's box now holds these columns in every row it has.
        for (int ny : {sy - 1, sy + 1}) {
            if (ny < area.top || ny >= area.bottom) continue;
            const auto next = rows.row(ny);
            const std::uint8_t *marks = taken.row(ny);
            if (marks) marks += left - taken.box().left;
            bool in_run = false;
            for (int nx = left; nx < right; ++nx) {
                const bool open = next[nx] != stop && !(marks && marks[nx - left]);
                if (open && !in_run) seeds.push_back({nx, ny});
                in_run = open;
            }
        }
    }
}

} // namespace

} // namespace win32::gdi

namespace win32 {

using namespace gdi;

BOOL FloodFill(HDC dc_handle, int x, int y, COLORREF border) {
    trace::record("FloodFill", dc_handle, {x, y, border});
    const DevicePixel start = locate(dc_handle, x, y);
    if (!start.inside) return FALSE;
    DeviceContext *dc = start.dc.get();
    const int start_x = start.x, start_y = start.y;
    const Box area = dc->drawable();
    const Surface &s = dc->surface();
    const std::uint8_t stop = std::uint8_t(dc->pixel(border));
    if (s.get(start_x, start_y) == stop) return FALSE;

    static thread_local GrowingMask taken;
    static thread_local std::vector<std::pair<int, int>> seeds;
    static thread_local std::vector<Span> region;
    taken.reset(start_x, start_y, area);
    region.clear();
    if (s.bits_per_pixel == 8)
        find_region(ByteRows{s.row(0), s.row_step()}, stop, start_x, start_y, area, taken, seeds,
                    region);
    else
        find_region(PackedRows{s}, stop, start_x, start_y, area, taken, seeds, region);
    Box bounds = Box::none();
    for (const Span &span : region) bounds.grow({span.x0, span.y, span.x1, span.y + 1});
    SpanPaint paint(*dc, *dc->brush.object, dc->rop2);
    paint.spans_within(bounds, [&](auto paint_span) {
        for (const Span &span : region) paint_span(span.y, span.x0, span.x1);
    });
    return TRUE;
}

} // namespace win32
