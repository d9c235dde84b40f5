// The BGI layer's primitives on a headless window, in shapes
// (lines, rectangles, ...) and pixels per second. Drawing goes to a hidden
// page, as the game draws its frames: one target DC per call.
#include "bgi.h"
#include "platform_testing.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// One window for the whole run, on a 1920 x 1080 display (large enough for
// a 1000 x 1000 flood fill).
void open_window() {
    static const bool opened = [] {
        win32::testing::use_headless_display(1920, 1080);
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

// A circle, a filled ellipse and a pie slice of radius 50: the outline (and
// the inside) of a 100 x 100 box; `pixels` is about what each paints.
void BM_Curve(benchmark::State &state, void (*draw)(int shift), std::int64_t pixels) {
    open_window();
    std::int64_t n = 0;
    for (auto _ : state) {
        draw(int(n & 7));
        ++n;
    }
    report(state, n, pixels);
}
BENCHMARK_CAPTURE(
    BM_Curve, circle_50, [](int d) { circle(200 + d, 200, 50); }, 280);
BENCHMARK_CAPTURE(
    BM_Curve, fillellipse_50, [](int d) { fillellipse(200 + d, 200, 50, 50); }, 7854);
BENCHMARK_CAPTURE(
    BM_Curve, pieslice_50, [](int d) { pieslice(200 + d, 200, 30, 300, 50); }, 5890);
BENCHMARK_CAPTURE(
    BM_Curve, arc_50, [](int d) { arc(200 + d, 200, 30, 300, 50); }, 210);
// A large elliptical arc, as the classic nested-ellipse pictures draw them.
BENCHMARK_CAPTURE(
    BM_Curve, ellipse_229x171, [](int d) { ellipse(320 + d, 240, 0, 352, 229, 171); }, 1100);

// Pens about as wide as their circle, which leave a small hole at the centre
// of the page: thousands of corners, each as tall as the page. The second is
// wide enough to follow fewer of them.
template <int radius, int thickness> void wide_circle(int shift) {
    setlinestyle(SOLID_LINE, 0, thickness);
    circle(960 + shift, 540, radius);
}
BENCHMARK_CAPTURE(BM_Curve, circle_600_pen_1000, wide_circle<600, 1000>, 1920 * 1080);
BENCHMARK_CAPTURE(BM_Curve, circle_1000_pen_1900, wide_circle<1000, 1900>, 1920 * 1080);

// The inside (state.range(0) pixels square) of an outline, filled in two
// colours by turns so that every fill repaints it. A fill in the colour the
// DCs were last given for fills paints in the drawing colour instead (what
// the game's squares rely on), so the drawing colour is made another colour
// than the border's. 12 is the inside of the game's square.
void BM_Floodfill(benchmark::State &state) {
    open_window();
    const int inside = int(state.range(0)), far = 10 + inside + 1;
    rectangle(10, 10, far, far);
    setcolor(LIGHTBLUE);
    std::int64_t n = 0;
    for (auto _ : state) {
        setfillstyle(SOLID_FILL, (n & 1) ? LIGHTGREEN : LIGHTRED);
        floodfill(10 + inside / 2, 10 + inside / 2, WHITE);
        ++n;
    }
    const int first = getpixel(11, 11), last = getpixel(far - 1, far - 1);
    if (first == WHITE || first == BLACK || last != first || getpixel(far, 11) != WHITE)
        state.SkipWithError("the square was not filled");
    report(state, n, std::int64_t(inside) * inside);
}
BENCHMARK(BM_Floodfill)->Arg(12)->Arg(1000);

// A bar of the game's square's inside, to compare the flood fill with.
void BM_Bar_12(benchmark::State &state) {
    open_window();
    std::int64_t n = 0;
    for (auto _ : state) {
        setfillstyle(SOLID_FILL, (n & 1) ? LIGHTGREEN : LIGHTRED);
        bar(11, 11, 23, 23);
        ++n;
    }
    report(state, n, 12 * 12);
}
BENCHMARK(BM_Bar_12);

// One frame of the game's drawing with a snake of 100 squares: clear the
// hidden page, draw each square as the game does (outline, flood fill), then
// show the page.
void BM_SnakeFrame_100(benchmark::State &state) {
    open_window();
    graphdefaults(); // the game's colours: fills take the colour setcolor gives
    int page = 0;
    for (auto _ : state) {
        setactivepage(page);
        cleardevice();
        for (int i = 0; i < 100; ++i) {
            const int x = 15 * (10 + i % 40), y = 15 * (10 + i / 40);
            setcolor(YELLOW);
            rectangle(x, y, x + 13, y + 13);
            floodfill(x + 1, y + 1, YELLOW);
            setcolor(WHITE);
        }
        setvisualpage(page);
        page = 1 - page;
    }
    if (getpixel(15 * 10 + 5, 15 * 10 + 5) != YELLOW) state.SkipWithError("no square drawn");
    setactivepage(1);
    setvisualpage(0);
    state.counters["frames/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SnakeFrame_100);

// A 640 x 480 image of the page, taken (getimage) or put in each put mode
// (state.range(0)), in megapixels per second.
constexpr int image_width = 640, image_height = 480;

std::vector<unsigned char> &bench_image() {
    static std::vector<unsigned char> block = [] {
        open_window();
        for (int k = 0; k < 8; ++k) {
            setfillstyle(SOLID_FILL, k + 8);
            bar(k * 80, k * 40, k * 80 + 79, k * 40 + 239);
        }
        std::vector<unsigned char> b(imagesize(0, 0, image_width - 1, image_height - 1));
        getimage(0, 0, image_width - 1, image_height - 1, b.data());
        return b;
    }();
    return block;
}

void report_image(benchmark::State &state, std::int64_t n) {
    const double pixels = double(image_width) * image_height;
    state.counters["Mpixels/s"] =
        benchmark::Counter(double(n) * pixels / 1e6, benchmark::Counter::kIsRate);
}

void BM_Getimage_640x480(benchmark::State &state) {
    std::vector<unsigned char> &block = bench_image();
    open_window();
    std::int64_t n = 0;
    for (auto _ : state) {
        const int d = int(n & 7);
        getimage(d, d, d + image_width - 1, d + image_height - 1, block.data());
        ++n;
    }
    report_image(state, n);
}
BENCHMARK(BM_Getimage_640x480);

void BM_Putimage_640x480(benchmark::State &state) {
    const std::vector<unsigned char> &block = bench_image();
    open_window();
    const int mode = int(state.range(0));
    std::int64_t n = 0;
    for (auto _ : state) {
        const int d = int(n & 7);
        putimage(d, d, block.data(), mode);
        ++n;
    }
    report_image(state, n);
}
BENCHMARK(BM_Putimage_640x480)->DenseRange(COPY_PUT, NOT_PUT);

} // namespace
