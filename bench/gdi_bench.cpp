// Fills and blits of a full 1920 x 1080 page, side by side with memset and
// memcpy of the same bytes: the bound a row-by-row implementation can reach;
// and text output in a 32-pixel font, its glyphs cached after the first call.
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

// TextOutA of a string in the game's font (BGI font 0 at size 4: a bold
// monospace 32 pixels high and wide), on the opaque background cell.
void text_out(benchmark::State &state, const char *face, int width, int weight, const char *text) {
    Page page;
    HFONT font = CreateFontA(-32, width, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH, face);
    SelectObject(page.dc, font);
    SetTextColor(page.dc, PALETTEINDEX(14));
    const int length = int(std::strlen(text));
    for (auto _ : state) {
        TextOutA(page.dc, 200, 300, text, length);
        benchmark::ClobberMemory();
    }
    SelectObject(page.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}
void BM_TextOut_GameOver(benchmark::State &state) {
    text_out(state, "Console", 32, FW_BOLD, "Game Over!");
}
BENCHMARK(BM_TextOut_GameOver);
void BM_TextOut_TenCharacters_Arial(benchmark::State &state) {
    text_out(state, "Arial", 0, FW_NORMAL, "0123456789");
}
BENCHMARK(BM_TextOut_TenCharacters_Arial);

// What a cache miss of the BGI's font cache costs: matching a face, sizing it
// and the first glyphs.
void BM_CreateFont_FirstText(benchmark::State &state) {
    Page page;
    for (auto _ : state) {
        HFONT font = CreateFontA(-32, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                                 VARIABLE_PITCH | FF_SWISS, "Arial");
        SelectObject(page.dc, font);
        TextOutA(page.dc, 200, 300, "Game Over!", 10);
        SelectObject(page.dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(font);
    }
}
BENCHMARK(BM_CreateFont_FirstText);

} // namespace
