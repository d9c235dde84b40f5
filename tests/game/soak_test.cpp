// The game's frame logic for many frames on a headless 640 x 480 display, with keys typed as a
// player would: the heap, the GDI objects, the windows and the timers must stay flat. The snake's
// own nodes are the one thing that grows, a node for each pickup eaten, never freed by design.
// BGI_SOAK_FRAMES sets the number of frames: ctest sets 100,000, or 5,000 under the sanitizers.
#include "bgi.h"
#include "bgi_internal.h"
#include "gameLoop.h"
#include "heap_in_use.h"
#include "platform_testing.h"

#include <gtest/gtest.h>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Headless : ::testing::Environment {
    void SetUp() override { win32::testing::use_headless_display(640, 480); }
};
const auto *const headless = ::testing::AddGlobalTestEnvironment(new Headless);

int length(const node *snake) {
    int n = 0;
    for (; snake; snake = snake->next) ++n;
    return n;
}

// The playfield as the snake sees it: 15-pixel cells on a torus, for the moves wrap around.
struct Field {
    int columns, rows;
    int index(segment p) const { return (p.y / 15) * columns + p.x / 15; }
    segment step(segment p, int d) const {
        const int c = p.x / 15 + (d == 0 ? -1 : d == 2 ? 1 : 0);
        const int r = p.y / 15 + (d == 1 ? -1 : d == 3 ? 1 : 0);
        return {(c + columns) % columns * 15, (r + rows) % rows * 15};
    }
};

// How many cells can be reached from `from` without crossing the snake (its tail moves away).
int room(const Field &field, const std::vector<char> &taken, segment from) {
    std::vector<char> seen = taken;
    std::vector<segment> todo{from};
    seen[std::size_t(field.index(from))] = 1;
    int count = 0;
    while (!todo.empty()) {
        const segment p = todo.back();
        todo.pop_back();
        ++count;
        for (int d = 0; d < 4; ++d) {
            const segment q = field.step(p, d);
            if (!seen[std::size_t(field.index(q))]) {
                seen[std::size_t(field.index(q))] = 1;
                todo.push_back(q);
            }
        }
    }
    return count;
}

// A player who heads for the pickup by the shortest way round the torus, but only into cells
// from which the snake still has room to move; now and then a key the game ignores. The snake
// grows for thousands of moves this way before it is trapped; the lost game then goes on
// drawing "Game Over!" and reading keys.
char next_key(const gameState &s, int frame_number) {
    if (frame_number % 97 == 1) return "xW1 "[frame_number % 4];
    const Field field{(getmaxx() + 1 + 14) / 15, (getmaxy() + 1 + 14) / 15};
    std::vector<char> taken(std::size_t(field.columns * field.rows), 0);
    for (const node *n = s.snake; n && n->next; n = n->next)
        taken[std::size_t(field.index(n->sgt))] = 1;
    auto distance = [&](segment a, segment b) {
        const int dx = std::abs(a.x - b.x) / 15, dy = std::abs(a.y - b.y) / 15;
        return std::min(dx, field.columns - dx) + std::min(dy, field.rows - dy);
    };
    int best = s.direction, best_room = -1, best_distance = 0;
    for (int d = 0; d < 4; ++d) {
        if ((d + 2) % 4 == s.direction) continue; // the game keeps the snake from reversing
        const segment ahead = field.step(s.snake->sgt, d);
        if (taken[std::size_t(field.index(ahead))]) continue;
        const int r = std::min(room(field, taken, ahead), length(s.snake));
        const int to_pickup = distance(ahead, s.pickup);
        if (r > best_room || (r == best_room && to_pickup < best_distance))
            best = d, best_room = r, best_distance = to_pickup;
    }
    return "awds"[best];
}

// The process's resident memory, in KiB.
long long resident_kib() {
    long long pages = 0, resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%lld %lld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE) / 1024;
}

TEST(Soak, FramesWithKeysKeepTheHeapFlatApartFromTheSnakesGrowth) {
    const char *setting = std::getenv("BGI_SOAK_FRAMES");
    const int frames = setting ? std::atoi(setting) : 5000;
    ASSERT_GE(frames, 2000);
    std::srand(1);
    int gd = VGA, gm = 3;
    initgraph(&gd, &gm, "");
    ASSERT_EQ(graphresult(), grOk);
    gameState s;
    for (int i = 0; i < 3; ++i) s.snake = insert(s.snake, 600, 390);
    // The lost game's text, written once ahead, so that its font and glyphs exist before the
    // heap is first counted, whenever the game is lost.
    settextstyle(DEFAULT_FONT, HORIZ_DIR, 4);
    outtextxy(0, 0, "Game Over!");

    const long long resident_at_start = resident_kib();

    // Past the first frames every page and pen the game uses exists.
    const int settled = 1000;
    long long heap_at_settled = 0, resident_at_settled = 0;
    int length_at_settled = 0;
    win32::testing::GdiObjects objects_at_settled;
    long long largest_drift = 0;
    int keys = 0, lost_at = -1;
    const auto start = std::chrono::steady_clock::now();
    for (int f = 1; f <= frames; ++f) {
        // Right after each move, so that the key steers the next one.
        if (f % (s.speed + 1) == 1) {
            win32::testing::inject_text(bgi::window_handle(), std::string(1, next_key(s, f)));
            ++keys;
        }
        ASSERT_TRUE(frame(s)) << "frame " << f;
        if (!s.game && lost_at < 0) lost_at = f;
        if (f == settled) {
            heap_at_settled = heap_in_use();
            resident_at_settled = resident_kib();
            length_at_settled = length(s.snake);
            objects_at_settled = win32::testing::live_gdi_objects();
        } else if (f > settled && f % 1000 == 0) {
            ASSERT_EQ(win32::testing::live_gdi_objects(), objects_at_settled) << "frame " << f;
            if (heap_at_settled >= 0) {
                // Each node is one block of the allocator: its 16 bytes, rounded up, and the
                // allocator's own header.
                const long long nodes = (long long)(length(s.snake) - length_at_settled) *
                                        (long long)(malloc_usable_size(s.snake) + sizeof(size_t));
                const long long drift = heap_in_use() - heap_at_settled - nodes;
                largest_drift = std::max(largest_drift, drift < 0 ? -drift : drift);
            }
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long long resident_at_end = resident_kib();
    EXPECT_EQ(win32::testing::live_windows(), 1);
    EXPECT_LE(win32::testing::live_timers(), 1);
    std::printf("%d frames in %.1f s (%.0f us a frame), %d keys; snake of %d nodes (%d at frame "
                "%d), lost at frame %d\n",
                frames, seconds, seconds * 1e6 / frames, keys, length(s.snake), length_at_settled,
                settled, lost_at);
    std::printf("resident: %lld KiB at the start, %lld KiB after frame %d, %lld KiB at the end; "
                "%d GDI objects live\n",
                resident_at_start, resident_at_settled, settled, resident_at_end,
                objects_at_settled.total());
    if (heap_at_settled >= 0) {
        // The allocator may keep freed pages, but a leak would show here too.
        EXPECT_LE(resident_at_end - resident_at_settled, 1024);
        std::printf("heap after frame %d: %lld bytes; largest drift past the snake's nodes: %lld\n",
                    settled, heap_at_settled, largest_drift);
        // One glyph cache entry or message more would show; a leak of a byte a frame would too.
        EXPECT_LE(largest_drift, 512);
    }
    closegraph();
    while (s.snake) {
        node *next = s.snake->next;
        std::free(s.snake);
        s.snake = next;
    }
}

} // namespace
