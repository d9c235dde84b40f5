// The game's frame logic for many frames on a headless 640 x 480 display, with keys typed as a
// player would. Every frame must keep the game's rules: the snake moves one cell on every fifth
// frame of play and on no other, in the direction the keys read before chose; it grows by the cell
// it eats; its body stays joined; pickups land on free cells of the grid; the game is lost exactly
// when the head runs into the body; and what is shown is the snake as the frame drew it, with
// "Game Over!" once lost. And the heap, the GDI objects, the windows and the timers must stay
// flat: the snake's own nodes are the one thing that grows, a node for each pickup eaten, never
// freed by design. BGI_SOAK_FRAMES sets the number of frames: ctest sets 100,000, or 5,000 under
// the sanitizers.
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

// What a frame must have done, judged from the state before it and the key typed for it.
struct Rules {
    const Field &field;

    static bool same(segment a, segment b) { return a.x == b.x && a.y == b.y; }
    bool adjacent(segment a, segment b) const {
        for (int d = 0; d < 4; ++d)
            if (same(field.step(a, d), b)) return true;
        return false;
    }
    // Any failure as text, empty when the frame kept every rule.
    std::string check(int frame_number, const gameState &before, const std::vector<segment> &body,
                      int key, const gameState &after) const {
        const segment head = after.snake->sgt;
        const bool moves = before.game && frame_number % (gameState::speed + 1) == 0;
        const int steered = key ? turnDetection(key, before.direction) : -2;
        if (after.direction != (steered >= 0 ? steered : before.direction))
            return "the direction does not follow the key";
        if (!moves) {
            if (!same(head, body[0])) return "the snake moved between its moves";
            if (length(after.snake) != int(body.size())) return "the snake grew without moving";
            if (after.game != before.game) return "the game ended without a move";
        } else {
            if (!same(head, field.step(body[0], before.direction)))
                return "the move is not one cell in the direction chosen before";
            // A head that left the field is compared with the pickup before it wraps.
            const int d = before.direction;
            const segment unwrapped{body[0].x + (d % 2 == 0 ? dirMatrix[d] : 0),
                                    body[0].y + (d % 2 == 1 ? dirMatrix[d] : 0)};
            const bool eats = before.haspickup && same(unwrapped, before.pickup);
            if (length(after.snake) != int(body.size()) + eats)
                return "the snake did not grow by what it ate";
            bool hits = false;
            for (const node *n = after.snake->next; n && n->next; n = n->next)
                hits = hits || same(n->sgt, head);
            if ((after.game == 0) != hits) return "the game ended otherwise than by a collision";
        }
        for (const node *n = after.snake; n->next; n = n->next)
            if (!same(n->sgt, n->next->sgt) && !adjacent(n->sgt, n->next->sgt))
                return "the body came apart";
        if (!after.haspickup) return "no pickup on the field";
        const segment p = after.pickup;
        if (p.x % 15 || p.y % 15 || p.x < 0 || p.y < 0 || p.x > getmaxx() - 15 ||
            p.y > getmaxy() - 15)
            return "the pickup is off the grid";
        for (const node *n = after.snake; n->next && !same(p, before.pickup); n = n->next)
            if (same(n->sgt, p)) return "the pickup landed on the snake";
        return {};
    }
};

// Whether the page just shown holds the snake as it was when the frame began (drawn before the
// move, and under the pickup and the text drawn after it), and "Game Over!" exactly when the game
// is lost. The page stays active until the next frame.
std::string check_picture(const std::vector<segment> &body, const gameState &before,
                          const gameState &after) {
    const int left = getmaxx() / 2 - 160, top = getmaxy() / 2 - 30;
    for (const segment &p : body) {
        const bool covered =
            (p.x == before.pickup.x && p.y == before.pickup.y) ||
            (p.x + 14 > left && p.x < left + 320 && p.y + 14 > top && p.y < top + 32);
        if (!covered &&
            (getpixel(p.x + 1, p.y + 1) != YELLOW || getpixel(p.x + 8, p.y + 8) != YELLOW))
            return "a square of the snake is not shown";
    }
    int white = 0;
    for (int y = top; y < top + 32; ++y)
        for (int x = left; x < left + 320; ++x) white += getpixel(x, y) == WHITE;
    if ((white > 500) != (after.game == 0)) return "\"Game Over!\" shown otherwise than lost";
    return {};
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

TEST(Soak, FramesWithKeysKeepTheRulesAndTheHeapFlatApartFromTheSnakesGrowth) {
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
    const Field field{(getmaxx() + 1 + 14) / 15, (getmaxy() + 1 + 14) / 15};
    const Rules rules{field};
    // The snake before each frame; as long as the field has cells, so that it never grows.
    std::vector<segment> body;
    body.reserve(std::size_t(field.columns * field.rows) + 1);
    const auto start = std::chrono::steady_clock::now();
    for (int f = 1; f <= frames; ++f) {
        const gameState before = s;
        body.clear();
        for (const node *n = s.snake; n; n = n->next) body.push_back(n->sgt);
        // Right after each move, so that the key steers the next one.
        char key = 0;
        if (f % (s.speed + 1) == 1) {
            key = next_key(s, f);
            win32::testing::inject_text(bgi::window_handle(), std::string(1, key));
            ++keys;
        }
        ASSERT_TRUE(frame(s)) << "frame " << f;
        const std::string broken = rules.check(f, before, body, key, s);
        ASSERT_EQ(broken, "") << "frame " << f;
        if (!s.game && lost_at < 0) lost_at = f;
        // The pictures of the frames around the loss, and of every 997th.
        if (f % 997 == 0 || (s.game == 0 && f - lost_at < 3)) {
            ASSERT_EQ(check_picture(body, before, s), "") << "frame " << f;
        }
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
