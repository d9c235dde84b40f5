// Fills and blits of a full 1920 x 1080 page, side by side with memset and
// memcpy of the same bytes: the bound a row-by-row implementation can reach.
#include "platform.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

using namespace win32;

namespace {

constexpr int page_width = 1920;
constexpr int page_height = 1080;
constexpr std::size_t page_bytes = std::size_t(page_width) * page_height;

struct Page {
    Page() {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, page_width, page_height);
        SelectObject(dc, bitmap);
    }
    ~Page() {
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    HDC dc;
    HBITMAP bitmap;
};

void BM_FillRect_Page(benchmark::State &state) {
    Page page;
    // Two colours in turn, as the memset below alternates its bytes.
    HBRUSH brushes[2] = {CreateSolidBrush(PALETTEINDEX(3)), CreateSolidBrush(PALETTEINDEX(4))};
    const RECT rect{0, 0, page_width, page_height};
    int i = 0;
    for (auto _ : state) {
        FillRect(page.dc, &rect, brushes[++i & 1]);
        benchmark::ClobberMemory();
    }
    DeleteObject(brushes[0]);
    DeleteObject(brushes[1]);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(page_bytes));
}
BENCHMARK(BM_FillRect_Page);

void BM_Memset_Page(benchmark::State &state) {
    std::vector<unsigned char> page(page_bytes);
    int i = 0;
    for (auto _ : state) {
        std::memset(page.data(), 3 + (++i & 1), page.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(page_bytes));
}
BENCHMARK(BM_Memset_Page);

void BM_BitBlt_Page(benchmark::State &state) {
    Page source, target;
    for (auto _ : state) {
        BitBlt(target.dc, 0, 0, page_width, page_height, source.dc, 0, 0, SRCCOPY);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(page_bytes));
}
BENCHMARK(BM_BitBlt_Page);

void BM_Memcpy_Page(benchmark::State &state) {
    std::vector<unsigned char> source(page_bytes, 1), target(page_bytes);
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), page_bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(page_bytes));
}
BENCHMARK(BM_Memcpy_Page);

} // namespace
