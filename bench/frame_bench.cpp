// The cost of a frame of the game and of its parts: drawing on the hidden
// page, the page flip (setvisualpage), and the presentation (what the message
// pump does when the window changed: comparing with what the display shows,
// converting what differs and showing it). A plain program that times each
// part of every frame on a steady clock and prints Markdown tables of medians.
//
// Sections (default: all that apply):
//   game     the game's frame with a 100-square snake, moving a square a frame
//   scaling  clear, flip and present at 640 x 480 up to 3840 x 2160, per pixel
//   bounds   a fill of the whole page and the flip beside memset and memcpy of
//            the same bytes
//   paths    presentation through the window surface and through a texture
//   loop     the frame as a program runs it, each followed by delay(25): the
//            process's CPU time a frame (not part of the default set, as it
//            waits 25 ms a frame)
//
// Usage: frame_bench [--frames N] [--x11] [SECTION...]
//   --x11 runs on the X display in DISPLAY (its size) instead of a headless
//   1920 x 1080 one; scaling needs the headless display, and loop runs at the
//   X display's size alone.
#include "bgi.h"
#include "platform_testing.h"
#include "snakeEngine.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <time.h>

namespace {

using steady = std::chrono::steady_clock;

int frames = 2000;
bool on_x11 = false;

double ns_between(steady::time_point a, steady::time_point b) {
    return std::chrono::duration<double, std::nano>(b - a).count();
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
}

std::string micros(double ns) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f µs", ns / 1000);
    return text;
}

// A maximised window on a display of the given size (headless), or on the X
// display; drawing on page 1 while page 0 is shown.
bool open_window(int width, int height, bool texture = false) {
    if (!on_x11) win32::testing::use_headless_display(width, height);
    win32::testing::use_texture_presentation(texture);
    int driver = VGA, mode = 3;
    initgraph(&driver, &mode, "");
    if (graphresult() != grOk) {
        std::fprintf(stderr, "frame_bench: initgraph failed: %s\n", grapherrormsg(graphresult()));
        return false;
    }
    delay(100); // the window settles on the display
    setactivepage(1);
    setvisualpage(0);
    cleardevice();
    win32::testing::present_now();
    return true;
}

// The snake: 100 nodes of the game's own list, laid along a path that winds
// down the field, one cell further each frame.
struct Snake {
    static constexpr int length = 100;
    node *head = nullptr;
    std::vector<segment> path;

    Snake() {
        for (int i = 0; i < length; ++i) head = insert(head, 0, 0);
        const int columns = (getmaxx() + 1) / 15, rows = (getmaxy() + 1) / 15;
        for (int row = 1; row + 1 < rows; row += 2)
            for (int c = 1; c + 1 < columns; ++c)
                path.push_back({15 * ((row / 2) % 2 ? columns - 1 - c : c), 15 * row});
    }
    ~Snake() {
        while (head) {
            node *next = head->next;
            std::free(head);
            head = next;
        }
    }
    void place(int frame) {
        int k = 0;
        for (node *n = head; n; n = n->next, ++k)
            n->sgt = path[std::size_t(frame + length - k) % path.size()];
    }
};

// Per-frame times of the parts, in nanoseconds.
struct Parts {
    std::vector<double> draw, flip, present, total;
    void add(steady::time_point t0, steady::time_point t1, steady::time_point t2,
             steady::time_point t3) {
        draw.push_back(ns_between(t0, t1));
        flip.push_back(ns_between(t1, t2));
        present.push_back(ns_between(t2, t3));
        total.push_back(ns_between(t0, t3));
    }
};

// Times `frames` frames of the game's shape: `prepare` (untimed), then
// making the other page active and `draw` on it, the flip, the presentation.
template <class Prepare, class Draw> Parts time_frames(Prepare prepare, Draw draw) {
    Parts parts;
    int page = 0;
    for (int f = 0; f < frames; ++f) {
        prepare(f);
        const auto t0 = steady::now();
        setactivepage(page);
        draw();
        const auto t1 = steady::now();
        setvisualpage(page);
        const auto t2 = steady::now();
        win32::testing::present_now();
        const auto t3 = steady::now();
        parts.add(t0, t1, t2, t3);
        page = 1 - page;
    }
    return parts;
}

void game() {
    if (!open_window(1920, 1080)) return;
    const int width = getmaxx() + 1, height = getmaxy() + 1;
    Parts parts;
    {
        Snake snake;
        const segment pickup = {15 * 30, 15 * 40};
        const long long converted_before = win32::testing::presentation_counts().converted_pixels;
        parts = time_frames([&](int f) { snake.place(f); },
                            [&] {
                                cleardevice();
                                drawSnake(snake.head);
                                drawSegment(pickup.x, pickup.y, CYAN);
                                settextstyle(DEFAULT_FONT, HORIZ_DIR, 4);
                            });
        const long long converted =
            win32::testing::presentation_counts().converted_pixels - converted_before;
        std::printf("## The game's frame, %d x %d, a 100-square snake moving a square a frame\n\n",
                    width, height);
        std::printf("%d frames; pixels converted per frame: %.0f (of %d)\n\n", frames,
                    double(converted) / frames, width * height);
    }
    std::printf("| part | median | 90th percentile |\n|---|---|---|\n");
    const std::pair<const char *, const std::vector<double> *> rows[] = {
        {"drawing (clear, 101 squares)", &parts.draw},
        {"flip (`setvisualpage`)", &parts.flip},
        {"presentation", &parts.present},
        {"whole frame", &parts.total}};
    for (const auto &[name, v] : rows)
        std::printf("| %s | %s | %s |\n", name, micros(median(*v)).c_str(),
                    micros(percentile(*v, 0.9)).c_str());
    std::printf("\n");
    closegraph();
}

// The same bytes through memset, memcpy and memcmp: what clearing a page,
// copying it onto the window and comparing the window with what is shown
// cost at the least.
double memory_bound(std::size_t bytes) {
    std::vector<unsigned char> page(bytes), window(bytes), shown(bytes);
    std::vector<double> times;
    volatile int sink = 0;
    for (int f = 0; f < frames; ++f) {
        const auto t0 = steady::now();
        std::memset(page.data(), 0, bytes);
        std::memcpy(window.data(), page.data(), bytes);
        sink = sink + std::memcmp(window.data(), shown.data(), bytes);
        times.push_back(ns_between(t0, steady::now()));
    }
    return median(times);
}

void scaling() {
    if (on_x11) return;
    std::printf("## Clear, flip and present, headless, by size\n\n%d frames each; the bound is "
                "memset, memcpy and memcmp of the page's bytes\n\n",
                frames);
    std::printf("| size | clear | flip | present | frame | ns per pixel | bound | ns per pixel "
                "| frame / bound |\n|---|---|---|---|---|---|---|---|---|\n");
    const int sizes[][2] = {{640, 480}, {1280, 720}, {1920, 1080}, {3840, 2160}};
    for (const auto &size : sizes) {
        if (!open_window(size[0], size[1])) return;
        const Parts parts = time_frames([](int) {}, [] { cleardevice(); });
        const int width = getmaxx() + 1, height = getmaxy() + 1;
        closegraph();
        const double pixels = double(width) * height;
        const double frame = median(parts.total);
        const double bound = memory_bound(std::size_t(width) * std::size_t(height));
        std::printf("| %d x %d | %s | %s | %s | %s | %.3f | %s | %.3f | %.2f |\n", width, height,
                    micros(median(parts.draw)).c_str(), micros(median(parts.flip)).c_str(),
                    micros(median(parts.present)).c_str(), micros(frame).c_str(), frame / pixels,
                    micros(bound).c_str(), bound / pixels, frame / bound);
    }
    std::printf("\n");
}

// Median nanoseconds of one call of `f`, timed in batches of `batch` calls.
template <class F> std::vector<double> batches(F f, int count, int batch) {
    std::vector<double> out;
    for (int r = 0; r < count; ++r) {
        const auto t0 = steady::now();
        for (int k = 0; k < batch; ++k) f(k);
        out.push_back(ns_between(t0, steady::now()) / batch);
    }
    return out;
}

void bounds() {
    if (!open_window(1920, 1080)) return;
    const int width = getmaxx() + 1, height = getmaxy() + 1;
    const std::size_t bytes = std::size_t(width) * std::size_t(height);
    std::vector<unsigned char> from(bytes, 1), to(bytes);
    volatile unsigned char sink = 0;
    std::vector<double> clear, set, flip, copy;
    // In turns, so that the machine's load falls on all four alike.
    for (int round = 0; round < std::max(frames / 100, 5); ++round) {
        setvisualpage(0); // filling the hidden page 1 alone
        // In another colour each time: a clear of a page already clear would
        // fill only where it was drawn on, here nothing.
        const auto c = batches(
            [&](int k) {
                setfillstyle(SOLID_FILL, (k & 1) ? BLUE : GREEN);
                bar(0, 0, width, height);
            },
            5, 20);
        const auto s = batches(
            [&](int k) {
                std::memset(to.data(), k & 1, bytes);
                sink = sink + to[std::size_t(k)];
            },
            5, 20);
        const auto f = batches([](int k) { setvisualpage(k & 1); }, 5, 20);
        const auto m = batches(
            [&](int k) {
                from[std::size_t(k)] = static_cast<unsigned char>(k);
                std::memcpy(to.data(), from.data(), bytes);
                sink = sink + to[std::size_t(k)];
            },
            5, 20);
        clear.insert(clear.end(), c.begin(), c.end());
        set.insert(set.end(), s.begin(), s.end());
        flip.insert(flip.end(), f.begin(), f.end());
        copy.insert(copy.end(), m.begin(), m.end());
    }
    std::printf("## Filling and flipping a %d x %d page against memset and memcpy\n\n", width,
                height);
    std::printf("| call | median | bound (%zu bytes) | median | ratio (bound / call) |\n"
                "|---|---|---|---|---|\n",
                bytes);
    std::printf("| `bar` over the page | %s | `memset` | %s | %.2f |\n",
                micros(median(clear)).c_str(), micros(median(set)).c_str(),
                median(set) / median(clear));
    std::printf("| flip (`setvisualpage`) | %s | `memcpy` | %s | %.2f |\n\n",
                micros(median(flip)).c_str(), micros(median(copy)).c_str(),
                median(copy) / median(flip));
    closegraph();
}

// Presentation alone, of three kinds of frame: the same picture flipped
// again, the snake moved by a square, and new colours (every pixel).
void paths() {
    std::printf("## Presentation through the window surface and through a texture (%s)\n\n",
                on_x11 ? "X11" : "headless");
    std::printf("| path | same picture | snake moved | new colours |\n|---|---|---|---|\n");
    for (const bool texture : {false, true}) {
        if (!open_window(1920, 1080, texture)) return;
        std::vector<double> same, moved, colours;
        {
            Snake snake;
            int page = 0;
            auto draw = [&](int f) {
                snake.place(f);
                setactivepage(page);
                cleardevice();
                drawSnake(snake.head);
                setvisualpage(page);
                page = 1 - page;
            };
            auto time_present = [](std::vector<double> &into) {
                const auto t0 = steady::now();
                win32::testing::present_now();
                into.push_back(ns_between(t0, steady::now()));
            };
            const int count = std::max(frames / 4, 20);
            for (int f = 0; f < count; ++f) {
                draw(f);
                time_present(moved);
                setvisualpage(1 - page);
                time_present(same);
                setrgbpalette(YELLOW, 252 * (f & 1), 252, 0);
                time_present(colours);
            }
        }
        std::printf("| %s | %s | %s | %s |\n", texture ? "texture" : "surface",
                    micros(median(same)).c_str(), micros(median(moved)).c_str(),
                    micros(median(colours)).c_str());
        closegraph();
    }
    std::printf("\n");
}

// The process's CPU time, all threads, in nanoseconds.
double cpu_ns() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e9 + double(t.tv_nsec);
}

double mean(const std::vector<double> &v) {
    double sum = 0;
    for (double x : v) sum += x;
    return v.empty() ? 0 : sum / double(v.size());
}

// What the frame costs at the least in the same rhythm: the one pass over
// the page it asks for (the clear, a memset of the page's bytes), then the
// same 25 ms asleep, so that the page comes back to a cold cache every time.
double loop_bound(std::size_t bytes, int count) {
    std::vector<unsigned char> page(bytes);
    volatile unsigned char sink = 0;
    std::vector<double> cpu;
    for (int f = 0; f < count; ++f) {
        const double c0 = cpu_ns();
        std::memset(page.data(), f & 1, bytes);
        sink = sink + page[std::size_t(f) % bytes];
        cpu.push_back(cpu_ns() - c0);
        const timespec pause{0, 25'000'000};
        nanosleep(&pause, nullptr);
    }
    return mean(cpu);
}

// The game-like frame as a program runs it: clear the hidden page, draw 100
// squares (rectangle and flood fill, the game's drawSegment), show the page,
// delay(25). The process's CPU time of each whole frame, wait included (the
// message pump presents the page there), against the wall clock.
void loop_at(int width_asked, int height_asked) {
    if (!open_window(width_asked, height_asked)) return;
    const int width = getmaxx() + 1, height = getmaxy() + 1;
    const int count = std::max(frames / 10, 40);
    std::vector<double> cpu, draw_cpu, wall;
    long long converted = 0, shown = 0;
    {
        Snake snake;
        int page = 0;
        // A few frames first, so that both pages exist and are shown once.
        for (int f = -10; f < count; ++f) {
            snake.place(f + 10);
            const auto counts = win32::testing::presentation_counts();
            const double c0 = cpu_ns();
            const auto t0 = steady::now();
            setactivepage(page);
            cleardevice();
            drawSnake(snake.head);
            setvisualpage(page);
            const double c1 = cpu_ns();
            delay(25);
            const double c2 = cpu_ns();
            const auto t2 = steady::now();
            page = 1 - page;
            if (f < 0) continue;
            cpu.push_back(c2 - c0);
            draw_cpu.push_back(c1 - c0);
            wall.push_back(ns_between(t0, t2));
            const auto after = win32::testing::presentation_counts();
            converted += after.converted_pixels - counts.converted_pixels;
            shown += after.frames - counts.frames;
        }
    }
    closegraph();
    // The window fills the display, whose size the pages have.
    const double bound = loop_bound(std::size_t(width) * std::size_t(height), std::min(count, 100));
    std::printf("| %d x %d | %s | %s | %s | %s | %s | %.0f | %.2f | %s | %.1f |\n", width, height,
                micros(mean(cpu)).c_str(), micros(median(cpu)).c_str(),
                micros(percentile(cpu, 0.9)).c_str(), micros(mean(draw_cpu)).c_str(),
                micros(median(wall)).c_str(), double(converted) / count, double(shown) / count,
                micros(bound).c_str(), mean(cpu) / bound);
}

void loop() {
    std::printf("## The frame in a real loop (%s): clear, 100 squares, flip, delay(25)\n\n"
                "%d frames each; CPU time of the process a frame, its wait included; the bound "
                "is a memset of the page in the same rhythm\n\n",
                on_x11 ? "X11" : "headless", std::max(frames / 10, 40));
    std::printf("| size | CPU a frame: mean | median | 90th percentile | of it, drawing and "
                "flip | wall clock a frame | pixels converted a frame | presentations a "
                "frame | bound | frame / bound |\n"
                "|---|---|---|---|---|---|---|---|---|---|\n");
    if (on_x11) {
        loop_at(0, 0);
    } else {
        const int sizes[][2] = {{640, 480}, {1280, 720}, {1920, 1080}, {3840, 2160}};
        for (const auto &size : sizes) loop_at(size[0], size[1]);
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char **argv) {
    std::vector<std::string> sections;
    for (int a = 1; a < argc; ++a) {
        if (std::strcmp(argv[a], "--frames") == 0 && a + 1 < argc) {
            frames = std::max(1, std::atoi(argv[++a]));
        } else if (std::strcmp(argv[a], "--x11") == 0) {
            on_x11 = true;
        } else if (argv[a][0] == '-') {
            std::fprintf(stderr, "usage: frame_bench [--frames N] [--x11] [SECTION...]\n");
            return 2;
        } else {
            sections.push_back(argv[a]);
        }
    }
    auto wanted = [&](const char *name) {
        return sections.empty() ||
               std::find(sections.begin(), sections.end(), name) != sections.end();
    };
    if (wanted("game")) game();
    if (wanted("scaling")) scaling();
    if (wanted("bounds")) bounds();
    if (wanted("paths")) paths();
    // Only when named: it waits 25 ms a frame.
    if (std::find(sections.begin(), sections.end(), "loop") != sections.end()) loop();
    return 0;
}
