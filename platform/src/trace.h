// The call trace behind platform_testing.h: each platform call records itself
// here while a test has switched the trace on. Recording is the first thing a
// call does, so it is also where a pending request to end the program is
// acted on (interruption.h), and where the calls made on device contexts are
// counted: a program that makes none between two looks for input is waiting
// for input rather than animating (snapshot.h).
#pragma once

#include "interruption.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace win32::trace {

extern bool enabled;
extern unsigned long long dc_calls;

void record_call(const char *name, const void *dc, std::initializer_list<std::int64_t> args);

inline void record(const char *name, const void *dc, std::initializer_list<std::int64_t> args) {
    interruption::check();
    if (dc) ++dc_calls;
    if (enabled) record_call(name, dc, args);
}

// For calls whose arguments are a list (points).
void record_list(const char *name, const void *dc, const std::vector<std::int64_t> &args);

// For calls given a point list: the count, then each point's coordinates.
template <class Point>
inline void record_points(const char *name, const void *dc, const Point *points, int count) {
    interruption::check();
    if (dc) ++dc_calls;
    if (!enabled) return;
    std::vector<std::int64_t> args{count};
    for (int i = 0; points && i < count; ++i)
        args.push_back(points[i].x), args.push_back(points[i].y);
    record_list(name, dc, args);
}

inline std::int64_t value(const void *handle) {
    return static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(handle));
}

} // namespace win32::trace
