// The BGI layer's straight-edged primitives on a headless window, in shapes
// (lines, rectangles, ...) and pixels per second. Drawing goes to a hidden
// page, as the game draws its frames: one target DC per call.
#include "bgi.h"
#include "platform_testing.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

namespace {

// One window for the whole run, on a display large enough for a 1000 x 1000
// flood fill.
void open_window() {
    static const bool opened = [] {
        win32::testing::use_headless_display(1920, 1200);
        int driver = VGA, mode = 3; // maximised: the client area is the display's
        initgraph(&driver, &mode, "");
        setactivepage(1);
        return true;
    }();
    (void)opened;
    cleardevice();
    setcolor(WHITE);
    setwritemode(COPY_PUT);
    setlinestyle(SOLID_LINE, 0xFFFF, NORM_WIDTH);
    setfillstyle(SOLID_FILL, LIGHTGREEN);
}

void report(benchmark::State &state, std::int64_t shapes, std::int64_t pixels_each) {
    state.counters["shapes/s"] = benchmark::Counter(double(shapes), benchmark::Counter::kIsRate);
    state.SetItemsProcessed(shapes * pixels_each); // items = pixels
}

// Lines of the given length (state.range(0)) in 16 directions round a centre.
void BM_Line(benchmark::State &state) {
    open_window();
    const int length = int(state.range(0));
    int ends[16][2];
    for (int i = 0; i < 16; ++i) {
        const double a = i * 3.14159265358979 / 8;
        ends[i][0] = 600 + int(std::lround(length * std::cos(a)));
        ends[i][1] = 600 + int(std::lround(length * std::sin(a)));
    }
    std::int64_t n = 0;
    for (auto _ : state) {
        const int *e = ends[n & 15];
        line(600, 600, e[0], e[1]);
        ++n;
    }
    report(state, n, length);
}
BENCHMARK(BM_Line)->Arg(10)->Arg(500);

void BM_Rectangle_100(benchmark::State &state) {
    open_window();
    std::int64_t n = 0;
    for (auto _ : state) {
        const int d = int(n & 7);
        rectangle(100 + d, 100 + d, 199 + d, 199 + d);
        ++n;
    }
    report(state, n, 4 * 99);
}
BENCHMARK(BM_Rectangle_100);

// A 100 x 100 square with a notch: outline and fill.
void BM_Fillpoly_100(benchmark::State &state) {
    open_window();
    const int points[] = {100, 100, 200, 100, 200, 200, 150, 150, 100, 200};
    std::int64_t n = 0;
    for (auto _ : state) {
        fillpoly(5, points);
        ++n;
    }
    report(state, n, 100 * 100 - 100 * 50 / 2);
}
BENCHMARK(BM_Fillpoly_100);

void BM_Bar_100(benchmark::State &state) {
    open_window();
    std::int64_t n = 0;
    for (auto _ : state) {
        const int d = int(n & 7);
        bar(100 + d, 100 + d, 200 + d, 200 + d);
        ++n;
    }
    report(state, n, 100 * 100);
}
BENCHMARK(BM_Bar_100);

// The inside of a 1000 x 1000 square, filled in two colours by turns so that
// every fill repaints it. A fill in the colour the DCs were last given for
// fills paints in the drawing colour instead (what the game's squares rely
// on), so the drawing colour is made another colour than the border's.
void BM_Floodfill_1000(benchmark::State &state) {
    open_window();
    rectangle(10, 10, 1011, 1011);
    setcolor(LIGHTBLUE);
    std::int64_t n = 0;
    for (auto _ : state) {
        setfillstyle(SOLID_FILL, (n & 1) ? LIGHTGREEN : LIGHTRED);
        floodfill(500, 500, WHITE);
        ++n;
    }
    const int inside = getpixel(11, 11), corner = getpixel(1010, 1010);
    if (inside == WHITE || inside == BLACK || corner != inside || getpixel(1011, 500) != WHITE)
        state.SkipWithError("the square was not filled");
    report(state, n, 1000 * 1000);
}
BENCHMARK(BM_Floodfill_1000);

} // namespace
