// How closely delay() keeps to the time asked: delay(25) 200 times in a BGI
// window, each wait measured on a steady clock, reported as mean and 99th
// percentile beside the 25 ms asked. With our platform the window is on a
// headless display; the Windows build opens a real one (Wine needs an X
// display for it).
//
// Usage: delay_bench [MILLISECONDS [COUNT]]
#include "bgi.h"

#ifndef _WIN32
#include "platform_testing.h"
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <vector>

namespace {

// Nearest-rank percentile of sorted values.
double percentile(const std::vector<double> &sorted, double p) {
    const auto rank = std::size_t(std::ceil(p / 100.0 * double(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

const char *verdict(bool met) {
    return met ? "met" : "MISSED";
}

} // namespace

int main(int argc, char **argv) {
    const long asked = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 25;
    const long count = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 200;
    if (asked < 0 || count < 1) {
        std::fprintf(stderr, "usage: delay_bench [MILLISECONDS [COUNT]]\n");
        return 2;
    }

#ifndef _WIN32
    win32::testing::use_headless_display(1280, 800);
#endif
    int driver = VGA, mode = VGAHI;
    initgraph(&driver, &mode, "");
    if (graphresult() != grOk) {
        std::fprintf(stderr, "delay_bench: initgraph failed: %s\n", grapherrormsg(graphresult()));
        return 2;
    }

    using clock = std::chrono::steady_clock;
    std::vector<double> waits; // milliseconds
    waits.reserve(std::size_t(count));
    for (long i = 0; i < count; ++i) {
        const auto start = clock::now();
        delay(unsigned(asked));
        waits.push_back(std::chrono::duration<double, std::milli>(clock::now() - start).count());
    }
    closegraph();

    std::sort(waits.begin(), waits.end());
    const double mean = std::accumulate(waits.begin(), waits.end(), 0.0) / double(waits.size());
    const double p99 = percentile(waits, 99);
    const double target = double(asked);

    std::printf("delay(%ld) x %ld after initgraph, wait in ms\n", asked, count);
    std::printf("| asked | mean | median | p99 | min | max |\n");
    std::printf("|---|---|---|---|---|---|\n");
    std::printf("| %ld | %.3f | %.3f | %.3f | %.3f | %.3f |\n", asked, mean, percentile(waits, 50),
                p99, waits.front(), waits.back());
    std::printf("goal mean within 0.5 ms: %s; p99 within 2 ms: %s\n",
                verdict(std::fabs(mean - target) <= 0.5), verdict(std::fabs(p99 - target) <= 2.0));
    return 0;
}
