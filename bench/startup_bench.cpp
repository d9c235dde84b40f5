// Start-up: the time from starting a process to initgraph returning in it,
// on a headless 1920 x 1080 display, and the memory that initgraph and one
// more page take. The program starts itself as the measured process (with
// --child) and reads back when its initgraph returned, on the steady clock
// both processes share. Also checks that Fontconfig is not started by
// initgraph, only by the first text.
//
// Usage: startup_bench [--runs N]      prints a Markdown table
// Exit status 1 when the font engine started before any text was drawn.
#include "bgi.h"
#include "platform_testing.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

extern char **environ;

namespace {

using steady = std::chrono::steady_clock;

long long now_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(steady::now().time_since_epoch())
        .count();
}

// The resident memory of this process in KiB.
long resident_kib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

struct Sample {
    long long started_ns = 0, ready_ns = 0;
    long before = 0, after_init = 0, after_page = 0; // KiB
    int fonts_at_init = -1, fonts_after_text = -1;
};

int child() {
    win32::testing::use_headless_display(1920, 1080);
    const long before = resident_kib();
    int driver = VGA, mode = 3;
    initgraph(&driver, &mode, "");
    const long long ready = now_ns();
    if (graphresult() != grOk) return 2;
    const long after_init = resident_kib();
    const bool fonts_at_init = win32::testing::font_engine_started();
    setactivepage(1); // a second page, made and cleared now
    const long after_page = resident_kib();
    outtextxy(10, 10, "Start");
    const bool fonts_after_text = win32::testing::font_engine_started();
    std::printf("%lld %ld %ld %ld %d %d\n", ready, before, after_init, after_page,
                int(fonts_at_init), int(fonts_after_text));
    std::fflush(stdout);
    closegraph();
    return 0;
}

bool run_child(const char *self, Sample &s) {
    int out[2];
    if (pipe(out) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char *args[] = {const_cast<char *>(self), const_cast<char *>("--child"), nullptr};
    pid_t pid = 0;
    s.started_ns = now_ns();
    const int spawned = posix_spawn(&pid, self, &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return false;
    }
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
           std::sscanf(text.c_str(), "%lld %ld %ld %ld %d %d", &s.ready_ns, &s.before,
                       &s.after_init, &s.after_page, &s.fonts_at_init, &s.fonts_after_text) == 6;
}

} // namespace

int main(int argc, char **argv) {
    if (argc == 2 && std::strcmp(argv[1], "--child") == 0) return child();
    int runs = 20;
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0) runs = std::max(1, std::atoi(argv[2]));
    std::vector<double> ms;
    Sample last;
    bool fonts_early = false;
    for (int r = 0; r < runs; ++r) {
        Sample s;
        if (!run_child("/proc/self/exe", s)) {
            std::fprintf(stderr, "startup_bench: the measured process failed\n");
            return 2;
        }
        ms.push_back(double(s.ready_ns - s.started_ns) / 1e6);
        fonts_early = fonts_early || s.fonts_at_init != 0 || s.fonts_after_text != 1;
        last = s;
    }
    std::sort(ms.begin(), ms.end());
    const double median =
        ms.size() % 2 ? ms[ms.size() / 2] : (ms[ms.size() / 2 - 1] + ms[ms.size() / 2]) / 2;
    std::printf("## Start-up, headless 1920 x 1080, %d runs\n\n", runs);
    std::printf("| process start to initgraph returning | |\n|---|---|\n");
    std::printf("| median | %.1f ms |\n| fastest | %.1f ms |\n| slowest | %.1f ms |\n\n", median,
                ms.front(), ms.back());
    std::printf("| memory (resident, last run) | |\n|---|---|\n");
    std::printf("| before initgraph | %ld KiB |\n| initgraph | +%ld KiB |\n", last.before,
                last.after_init - last.before);
    std::printf("| one more page (%d bytes) | +%ld KiB |\n\n", 1920 * 1080,
                last.after_page - last.after_init);
    std::printf("Font engine started by initgraph: %s; by the first text: %s\n",
                last.fonts_at_init ? "yes" : "no", last.fonts_after_text ? "yes" : "no");
    return fonts_early ? 1 : 0;
}
