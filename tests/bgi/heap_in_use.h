// The bytes the program holds on the heap, for tests that count what is kept
// over many windows or frames.
#pragma once

#include <malloc.h>

#include <cstdlib>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#define BGI_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BGI_ASAN 1
#endif
#endif

// glibc keeps some freed blocks in a per-thread cache that it counts as in
// use, and fills that cache slowly over thousands of frees, so the count
// means something only with the cache off (ctest runs these tests so): -1
// otherwise. The sanitizer's allocator holds freed blocks back on purpose: no
// count there either.
inline long long heap_in_use() {
#ifdef BGI_ASAN
    return -1;
#else
    const char *tunables = std::getenv("GLIBC_TUNABLES");
    if (!tunables || !std::strstr(tunables, "glibc.malloc.tcache_count=0")) return -1;
    return (long long)mallinfo2().uordblks;
#endif
}
