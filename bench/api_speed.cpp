// The time each BGI call takes, through the public API only, so that the same
// source measures our platform and, built for Windows, the system's GDI
// (scripts/compare_speed.sh runs both and puts them side by side).
//
// The window is maximised (VGA mode 3), so pages are display-sized; drawing
// goes to the hidden page 1 while page 0 is shown, as a game draws its frames.
// Each workload is timed on a steady clock in repetitions of at least
// --min-time seconds; the median of the repetitions is reported.
//
// Output: comment lines start with '#'; every other line is
//   NAME NANOSECONDS_PER_CALL
// A workload whose picture is not what its calls should draw is reported on
// standard error and makes the exit status 1.
//
// Usage: api_speed [--min-time SECONDS] [--reps N] [--calls N] [--list] [NAME...]
//   NAMEs pick workloads by name (default: all). --calls makes exactly N
//   calls of each workload, untimed, for profilers that count instructions:
//   valgrind --tool=callgrind --toggle-collect=line api_speed --calls 1000 line_500
#include "bgi.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The client area (getmaxx, getmaxy) and its centre, and the page's size,
// set after initgraph.
int max_x = 0, max_y = 0, centre_x = 0, centre_y = 0;
int page_width = 0, page_height = 0;

// The first coordinate from `from` on at which getpixel stops answering a
// colour on a cleared page: past the page's right (or bottom) edge. The page
// is display-sized, which may be larger than the client area.
int page_extent(int from, bool across) {
    const auto on_page = [across](int at) {
        return (across ? getpixel(at, 0) : getpixel(0, at)) != -1;
    };
    int inside = std::max(from, 0), outside = inside + 1;
    while (on_page(outside) && outside < (1 << 20)) {
        inside = outside;
        outside *= 2;
    }
    while (outside - inside > 1) {
        const int mid = inside + (outside - inside) / 2;
        if (on_page(mid))
            inside = mid;
        else
            outside = mid;
    }
    return outside;
}

// Line ends in 16 directions round the centre, for each length measured.
struct Star {
    int length;
    int ends[16][2];
};

Star star_10{10, {}}, star_500{500, {}};

void place_star(Star &s) {
    for (int i = 0; i < 16; ++i) {
        const double angle = i * 3.14159265358979 / 8;
        s.ends[i][0] = centre_x + int(std::lround(s.length * std::cos(angle)));
        s.ends[i][1] = centre_y + int(std::lround(s.length * std::sin(angle)));
    }
}

// Makes the following fills paint in `colour`. A fill whose colour is the one
// the last fill used paints in the drawing colour when setcolor came in
// between; one fill (clipped away) of another colour first avoids that.
void use_fill_colour(int colour) {
    setfillstyle(SOLID_FILL, colour == BLACK ? WHITE : BLACK);
    bar(-10, -10, -5, -5);
    setfillstyle(SOLID_FILL, colour);
}

// Every workload starts from a cleared hidden page and the default colours,
// styles and write mode, with fills in light green.
void reset() {
    setactivepage(1);
    setvisualpage(0);
    setwritemode(COPY_PUT);
    setlinestyle(SOLID_LINE, 0xFFFF, NORM_WIDTH);
    setcolor(WHITE);
    use_fill_colour(LIGHTGREEN);
    cleardevice();
}

bool pixel_is(int x, int y, int colour) {
    const int found = getpixel(x, y);
    if (found != colour)
        std::fprintf(stderr, "api_speed: pixel (%d, %d) is %d, expected %d\n", x, y, found, colour);
    return found == colour;
}

// Lines of a star's length from the centre, in a line style and thickness.
template <Star *S, int Style, int Thickness> struct Lines {
    static void prepare() {
        reset();
        setlinestyle(Style, 0, Thickness);
    }
    static void call(long i) {
        const int *e = S->ends[i & 15];
        line(centre_x, centre_y, e[0], e[1]);
    }
    // A solid line lights its whole length (its end point excluded), a
    // dotted one some of it; a thick one lights the rows beside it too.
    static bool check() {
        prepare();
        line(centre_x, centre_y, centre_x + S->length, centre_y);
        int lit = 0;
        for (int x = centre_x; x < centre_x + S->length; ++x) lit += getpixel(x, centre_y) == WHITE;
        const bool length_ok = Style == SOLID_LINE
                                   ? lit == S->length
                                   : lit >= S->length / 4 && lit <= S->length * 3 / 4;
        if (!length_ok)
            std::fprintf(stderr, "api_speed: line lit %d of %d pixels\n", lit, S->length);
        const int middle = centre_x + S->length / 2;
        return length_ok && (Thickness == NORM_WIDTH || (pixel_is(middle, centre_y - 1, WHITE) &&
                                                         pixel_is(middle, centre_y + 1, WHITE)));
    }
};

// Sloped lines from the centre, Dx pixels across and Dy down, in the four
// quadrants and both directions of travel in turn.
template <int Dx, int Dy> struct SlopedLines {
    static void prepare() { reset(); }
    static void call(long i) {
        const int dx = (i & 1) ? -Dx : Dx, dy = (i & 2) ? -Dy : Dy;
        if (i & 4)
            line(centre_x + dx, centre_y + dy, centre_x, centre_y);
        else
            line(centre_x, centre_y, centre_x + dx, centre_y + dy);
    }
    // One pixel lit a step along the longer side, the start lit and the end
    // not, all within the line's box.
    static bool check() {
        prepare();
        line(centre_x, centre_y, centre_x + Dx, centre_y + Dy);
        int lit = 0;
        for (int y = centre_y - 1; y <= centre_y + Dy + 1; ++y)
            for (int x = centre_x - 1; x <= centre_x + Dx + 1; ++x) lit += getpixel(x, y) == WHITE;
        if (lit != std::max(Dx, Dy))
            std::fprintf(stderr, "api_speed: sloped line lit %d pixels, not %d\n", lit,
                         std::max(Dx, Dy));
        return lit == std::max(Dx, Dy) && pixel_is(centre_x, centre_y, WHITE) &&
               pixel_is(centre_x + Dx, centre_y + Dy, BLACK);
    }
};

// Flood fill of the inside of a square outline, drawn once by prepare. The
// fill colour alternates so that every call repaints the whole inside. The
// timed call is setfillstyle + floodfill (the `setfillstyle` workload alone
// measures the former).
template <int Side> struct FloodSquare {
    static constexpr int left = 10, top = 10; // the outline; the inside is Side x Side
    static int colour(long i) { return (i & 1) ? LIGHTRED : LIGHTGREEN; }
    static void prepare() {
        reset();
        rectangle(left, top, left + Side + 1, top + Side + 1);
        use_fill_colour(colour(1));
    }
    static void call(long i) {
        setfillstyle(SOLID_FILL, colour(i));
        floodfill(left + 1 + Side / 2, top + 1 + Side / 2, WHITE);
    }
    // Every fill paints the whole inside, and nothing beyond the border.
    static bool check() {
        prepare();
        // A large inside is sampled on a grid that includes its last row and column.
        const int step = Side > 50 ? Side / 50 : 1;
        for (long i = 0; i < 2; ++i) {
            call(i);
            for (int dy = 1; dy <= Side; dy = (dy < Side && dy + step > Side) ? Side : dy + step)
                for (int dx = 1; dx <= Side;
                     dx = (dx < Side && dx + step > Side) ? Side : dx + step)
                    if (!pixel_is(left + dx, top + dy, colour(i))) return false;
        }
        return pixel_is(left, top + 1, WHITE) && pixel_is(left + Side + 1, top + Side, WHITE) &&
               pixel_is(left + Side + 2, top + 1, BLACK) && pixel_is(left - 1, top, BLACK);
    }
};

// A small polygon with a notch, in a 60 x 60 box.
const int small_polygon[] = {0, 0, 59, 0, 59, 59, 30, 30, 0, 59};

// The corners of the page, set with its size.
int page_polygon[8] = {};

volatile int sink; // keeps getpixel's answers alive

// A 640 x 480 image of a few bars, for the image workloads.
constexpr int image_width = 640, image_height = 480;
std::vector<unsigned char> image_block;

void prepare_image() {
    reset();
    // The first is a colour whose inverted copy is not black either.
    const int colours[] = {RED, LIGHTGREEN, YELLOW, BLUE, WHITE, CYAN, MAGENTA, BROWN};
    for (int k = 0; k < 8; ++k) {
        use_fill_colour(colours[k]);
        bar(k * 80, k * 40, k * 80 + 79, k * 40 + 239);
    }
    image_block.assign(imagesize(0, 0, image_width - 1, image_height - 1), 0);
    getimage(0, 0, image_width - 1, image_height - 1, image_block.data());
    reset();
}

// The header, and a bar's pixels taken apart from the background's. A
// check that holds on the reference too, whose image colours differ from ours.
bool image_taken() {
    prepare_image();
    const unsigned char *b = image_block.data();
    const int width = b[0] | (b[1] << 8), height = b[2] | (b[3] << 8);
    // The top row comes last: a bar at columns 0..79, the background at 300.
    const unsigned char *top_row = b + 8 + std::size_t(image_height - 1) * (image_width / 2);
    const bool bar_seen = top_row[20 / 2] != top_row[300 / 2];
    if (width != image_width || height != image_height || !bar_seen)
        std::fprintf(stderr, "api_speed: image %d x %d, bar %s\n", width, height,
                     bar_seen ? "seen" : "not seen");
    return width == image_width && height == image_height && bar_seen;
}

// putimage in one put mode. Over the cleared page the image shows, except
// where AND keeps the black; nothing is drawn beyond it.
template <int Mode> struct PutImage {
    static void prepare() { prepare_image(); }
    static void call(long i) {
        const int d = int(i & 7);
        putimage(d, d, image_block.data(), Mode);
    }
    static bool check() {
        prepare_image();
        putimage(0, 0, image_block.data(), Mode);
        const int inside = getpixel(20, 20);
        const bool shown = Mode == AND_PUT ? inside == BLACK : inside != BLACK;
        if (!shown) std::fprintf(stderr, "api_speed: put mode %d gave %d\n", Mode, inside);
        return shown && pixel_is(image_width + 5, 20, BLACK) &&
               pixel_is(20, image_height + 5, BLACK);
    }
};

// outtextxy of the game's "Game Over!" in the default font at a size,
// shifted by 0..7 px in turn; the font is a cache hit after the first call.
template <int Size> struct Text {
    static constexpr const char *text = "Game Over!";
    static void prepare() {
        reset();
        settextstyle(DEFAULT_FONT, HORIZ_DIR, Size);
    }
    static void call(long i) {
        const int d = int(i & 7);
        outtextxy(100 + d, 100 + d, text);
    }
    // Some of the text's box is lit in the drawing colour, and nothing
    // beside it.
    static bool check() {
        prepare();
        outtextxy(100, 100, text);
        const int w = textwidth(text), h = textheight(text);
        int lit = 0;
        for (int y = 100; y < 100 + h; ++y)
            for (int x = 100; x < 100 + w; ++x) lit += getpixel(x, y) == WHITE;
        if (lit == 0 || lit >= w * h)
            std::fprintf(stderr, "api_speed: text lit %d of %d x %d pixels\n", lit, w, h);
        return lit > 0 && lit < w * h && pixel_is(100 + w + 4, 100 + h / 2, BLACK) &&
               pixel_is(100 + w / 2, 100 + h + 4, BLACK);
    }
};

struct Workload {
    const char *name;
    void (*prepare)();    // untimed set-up
    void (*call)(long i); // the timed call, i-th of the run
    bool (*check)();      // untimed: did the calls draw what they should
};

template <class W> constexpr Workload workload(const char *name) {
    return {name, W::prepare, W::call, W::check};
}

// One entry per workload; the shifts by i & 7 keep the shapes from landing on
// the very same pixels every time.
const Workload workloads[] = {
    workload<Lines<&star_10, SOLID_LINE, NORM_WIDTH>>("line_10"),
    workload<Lines<&star_500, SOLID_LINE, NORM_WIDTH>>("line_500"),
    workload<Lines<&star_500, SOLID_LINE, THICK_WIDTH>>("line_500_thick"),
    workload<Lines<&star_500, DOTTED_LINE, NORM_WIDTH>>("line_500_dotted"),
    workload<SlopedLines<40, 20>>("line_slope_0.5_40"),
    workload<SlopedLines<800, 80>>("line_slope_0.1_800"),
    workload<SlopedLines<500, 300>>("line_slope_0.6_500"),
    workload<SlopedLines<300, 300>>("line_slope_1_300"),
    workload<SlopedLines<100, 300>>("line_slope_3_300"),
    workload<SlopedLines<120, 480>>("line_slope_4_480"),
    {"rectangle_100", reset,
     [](long i) {
         const int d = int(i & 7);
         rectangle(100 + d, 100 + d, 199 + d, 199 + d);
     },
     [] {
         reset();
         rectangle(100, 100, 199, 199);
         return pixel_is(150, 199, WHITE) && pixel_is(150, 150, BLACK);
     }},
    {"bar_100", reset,
     [](long i) {
         const int d = int(i & 7);
         bar(100 + d, 100 + d, 200 + d, 200 + d);
     },
     [] {
         reset();
         bar(100, 100, 200, 200);
         return pixel_is(199, 199, LIGHTGREEN) && pixel_is(200, 150, BLACK);
     }},
    {"bar3d_100_25", reset,
     [](long i) {
         const int d = int(i & 7);
         bar3d(100 + d, 100 + d, 199 + d, 199 + d, 25, 1);
     },
     [] {
         reset();
         bar3d(100, 100, 199, 199, 25, 1);
         return pixel_is(150, 150, LIGHTGREEN) && pixel_is(199, 150, WHITE);
     }},
    {"fillpoly_60", reset,
     [](long i) {
         const int d = int(i & 7);
         int p[10];
         for (int k = 0; k < 10; k += 2)
             p[k] = small_polygon[k] + 100 + d, p[k + 1] = small_polygon[k + 1] + 100 + d;
         fillpoly(5, p);
     },
     [] {
         reset();
         int p[10];
         for (int k = 0; k < 10; ++k) p[k] = small_polygon[k] + 100;
         fillpoly(5, p);
         return pixel_is(130, 110, LIGHTGREEN) && pixel_is(100, 130, WHITE) &&
                pixel_is(130, 150, BLACK);
     }},
    {"fillpoly_page", reset, [](long) { fillpoly(4, page_polygon); },
     [] {
         reset();
         fillpoly(4, page_polygon);
         return pixel_is(centre_x, centre_y, LIGHTGREEN) &&
                pixel_is(page_width - 1, page_height - 1, WHITE);
     }},
    {"circle_50", reset, [](long i) { circle(200 + int(i & 7), 200, 50); },
     [] {
         reset();
         circle(200, 200, 50);
         return pixel_is(150, 200, WHITE) && pixel_is(200, 200, BLACK);
     }},
    {"fillellipse_50", reset, [](long i) { fillellipse(200 + int(i & 7), 200, 50, 50); },
     [] {
         reset();
         fillellipse(200, 200, 50, 50);
         return pixel_is(150, 200, WHITE) && pixel_is(200, 200, LIGHTGREEN);
     }},
    {"pieslice_50", reset, [](long i) { pieslice(200 + int(i & 7), 200, 30, 300, 50); },
     [] {
         reset();
         pieslice(200, 200, 30, 300, 50);
         return pixel_is(180, 200, LIGHTGREEN) && pixel_is(230, 190, BLACK);
     }},
    workload<Text<1>>("outtextxy_size1"),
    workload<Text<4>>("outtextxy_size4"),
    workload<FloodSquare<12>>("floodfill_12"),
    workload<FloodSquare<1000>>("floodfill_1000"),
    {"setfillstyle", reset,
     [](long i) { setfillstyle(SOLID_FILL, (i & 1) ? LIGHTRED : LIGHTGREEN); }, nullptr},
    {"putpixel", reset,
     [](long i) { putpixel(100 + int(i & 255), 100 + int((i >> 8) & 255), int(i & 15)); },
     [] {
         reset();
         putpixel(120, 130, YELLOW);
         return pixel_is(120, 130, YELLOW);
     }},
    {"getpixel", reset,
     [](long i) { sink = sink + getpixel(100 + int(i & 255), 100 + int((i >> 8) & 255)); },
     nullptr},
    {"cleardevice", reset, [](long) { cleardevice(); },
     [] {
         reset();
         bar(0, 0, 50, 50);
         cleardevice();
         return pixel_is(10, 10, BLACK);
     }},
    // Shows the other page: the reference copies it onto the client area,
    // ours shows it in place. Showing the window is left to the next message
    // pump and is not part of it.
    {"flip", reset, [](long i) { setvisualpage(int(~i & 1)); }, nullptr},
    {"getimage_640x480", prepare_image,
     [](long i) {
         const int d = int(i & 7);
         getimage(d, d, d + image_width - 1, d + image_height - 1, image_block.data());
     },
     image_taken},
    workload<PutImage<COPY_PUT>>("putimage_640x480_copy"),
    workload<PutImage<XOR_PUT>>("putimage_640x480_xor"),
    workload<PutImage<OR_PUT>>("putimage_640x480_or"),
    workload<PutImage<AND_PUT>>("putimage_640x480_and"),
    workload<PutImage<NOT_PUT>>("putimage_640x480_not"),
};

using steady = std::chrono::steady_clock;

double seconds_since(steady::time_point start) {
    return std::chrono::duration<double>(steady::now() - start).count();
}

// Median nanoseconds per call over `reps` repetitions of at least
// `min_time` seconds each, after a warm-up that sizes the batches between
// clock reads to about a millisecond.
double measure(const Workload &w, double min_time, int reps) {
    w.prepare();
    long i = 0, batch = 1;
    for (;;) {
        const auto start = steady::now();
        for (long k = 0; k < batch; ++k) w.call(i++);
        const double t = seconds_since(start);
        if (t >= 0.02) {
            batch = std::max(1L, long(double(batch) * 0.001 / t));
            break;
        }
        batch *= 2;
    }
    std::vector<double> per_call;
    for (int r = 0; r < reps; ++r) {
        long calls = 0;
        double t = 0;
        const auto start = steady::now();
        do {
            for (long k = 0; k < batch; ++k) w.call(i++);
            calls += batch;
            t = seconds_since(start);
        } while (t < min_time);
        per_call.push_back(t * 1e9 / double(calls));
        kbhit(); // let the window's messages through between repetitions
    }
    std::sort(per_call.begin(), per_call.end());
    const std::size_t n = per_call.size();
    return n % 2 ? per_call[n / 2] : (per_call[n / 2 - 1] + per_call[n / 2]) / 2;
}

bool chosen(const Workload &w, const std::vector<const char *> &names) {
    if (names.empty()) return true;
    for (const char *n : names)
        if (std::strcmp(n, w.name) == 0) return true;
    return false;
}

int usage() {
    std::fprintf(
        stderr,
        "usage: api_speed [--min-time SECONDS] [--reps N] [--calls N] [--list] [NAME...]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    double min_time = 0.2;
    int reps = 5;
    long calls = 0; // untimed: exactly this many calls
    std::vector<const char *> names;
    for (int a = 1; a < argc; ++a) {
        if (std::strcmp(argv[a], "--min-time") == 0 && a + 1 < argc) {
            min_time = std::atof(argv[++a]);
        } else if (std::strcmp(argv[a], "--reps") == 0 && a + 1 < argc) {
            reps = std::atoi(argv[++a]);
        } else if (std::strcmp(argv[a], "--calls") == 0 && a + 1 < argc) {
            calls = std::atol(argv[++a]);
            if (calls < 1) return usage();
        } else if (std::strcmp(argv[a], "--list") == 0) {
            for (const Workload &w : workloads) std::printf("%s\n", w.name);
            return 0;
        } else if (argv[a][0] == '-') {
            return usage();
        } else {
            names.push_back(argv[a]);
        }
    }
    if (!(min_time > 0) || reps < 1) return usage();
    for (const char *n : names) {
        bool known = false;
        for (const Workload &w : workloads) known = known || std::strcmp(n, w.name) == 0;
        if (!known) {
            std::fprintf(stderr, "api_speed: no workload named %s (--list names them)\n", n);
            return 2;
        }
    }

    int driver = VGA, mode = 3; // maximised: the client area is the display's usable area
    initgraph(&driver, &mode, "");
    if (graphresult() != grOk) {
        std::fprintf(stderr, "api_speed: initgraph failed: %s\n", grapherrormsg(graphresult()));
        return 2;
    }
    delay(200); // let the window settle on the display before timing
    max_x = getmaxx();
    max_y = getmaxy();
    centre_x = max_x / 2;
    centre_y = max_y / 2;
    place_star(star_10);
    place_star(star_500);
    reset();
    page_width = page_extent(max_x, true);
    page_height = page_extent(max_y, false);
    const int right = page_width - 1, bottom = page_height - 1;
    const int corners[8] = {0, 0, right, 0, right, bottom, 0, bottom};
    std::copy(corners, corners + 8, page_polygon);
    std::printf("# getmaxx %d getmaxy %d page %d x %d\n", max_x, max_y, page_width, page_height);
    std::printf("# median of %d repetitions of at least %.3f s each\n", reps, min_time);
    std::fflush(stdout);

    int status = 0;
    for (const Workload &w : workloads) {
        if (!chosen(w, names)) continue;
        if (calls) {
            w.prepare();
            for (long i = 0; i < calls; ++i) w.call(i);
            std::printf("%s %ld calls\n", w.name, calls);
            continue;
        }
        const double ns = measure(w, min_time, reps);
        std::printf("%s %.1f\n", w.name, ns);
        std::fflush(stdout);
        if (w.check && !w.check()) {
            std::fprintf(stderr, "api_speed: %s did not draw what it should\n", w.name);
            status = 1;
        }
    }
    closegraph();
    return status;
}
