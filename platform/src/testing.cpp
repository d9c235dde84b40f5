// Test hooks: the call trace, the headless display size and the system palette.
#include "platform_testing.h"

#include "gdi/palette.h"
#include "gdi/device_context.h"
#include "trace.h"

namespace win32 {

namespace trace {

bool enabled = false;

namespace {
std::vector<testing::Call> &calls() {
    static std::vector<testing::Call> recorded;
    return recorded;
}
} // namespace

void record_call(const char *name, const void *dc, std::initializer_list<std::int64_t> args) {
    calls().push_back({name, reinterpret_cast<std::uintptr_t>(dc), args});
}

} // namespace trace

namespace testing {

void start_trace() {
    trace::calls().clear();
    trace::enabled = true;
}

void stop_trace() {
    trace::enabled = false;
}

const std::vector<Call> &traced_calls() {
    return trace::calls();
}

std::vector<Call> traced_calls(const std::string &name) {
    std::vector<Call> out;
    for (const Call &c : trace::calls())
        if (c.name == name) out.push_back(c);
    return out;
}

void set_display_size(int width, int height) {
    gdi::set_display_size(width, height);
}

std::vector<PALETTEENTRY> system_palette() {
    return std::vector<PALETTEENTRY>(gdi::system_palette, gdi::system_palette + 256);
}

} // namespace testing
} // namespace win32
