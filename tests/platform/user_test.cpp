// The window manager on a headless display: windows, messages, painting,
// timers and input through the display's own event path.
#include "platform.h"
#include "platform_testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace win32;

namespace {

struct Headless : ::testing::Environment {
    void SetUp() override { win32::testing::use_headless_display(1280, 800); }
};
const auto *const headless = ::testing::AddGlobalTestEnvironment(new Headless);

// Every message the test windows receive, in order.
std::vector<MSG> received;

LRESULT CALLBACK record_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    received.push_back({window, message, wparam, lparam, 0, {}});
    if (message == WM_DESTROY) PostQuitMessage(7);
    return DefWindowProcA(window, message, wparam, lparam);
}

const char *register_test_class() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA c{};
        c.lpfnWndProc = record_procedure;
        c.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        c.lpszClassName = "TestWindow";
        EXPECT_NE(RegisterClassA(&c), 0);
        registered = true;
    }
    return "TestWindow";
}

std::vector<UINT> messages_of(HWND window) {
    std::vector<UINT> out;
    for (const MSG &m : received)
        if (m.hwnd == window) out.push_back(m.message);
    return out;
}

bool has(const std::vector<UINT> &list, UINT message) {
    return std::find(list.begin(), list.end(), message) != list.end();
}

// Dispatches what is waiting, without blocking.
void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

struct TestWindow {
    explicit TestWindow(int show = SW_SHOWNORMAL, int w = 320 + 8, int h = 200 + 27) {
        received.clear();
        handle = CreateWindowExA(0, register_test_class(), "Test", WS_OVERLAPPEDWINDOW, 0, 0, w, h,
                                 nullptr, nullptr, nullptr, nullptr);
        ShowWindow(handle, show);
        UpdateWindow(handle);
    }
    ~TestWindow() {
        DestroyWindow(handle);
        pump();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    HWND handle;
};

TEST(Windows, ClassesRegisterOnce) {
    register_test_class();
    WNDCLASSA c{};
    c.lpfnWndProc = record_procedure;
    c.lpszClassName = "testwindow"; // class names ignore case
    EXPECT_EQ(RegisterClassA(&c), 0);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
    EXPECT_EQ(
        CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
}

TEST(Windows, ShowingSendsTheSizeAndUpdatingPaints) {
    TestWindow normal;
    std::vector<UINT> seen = messages_of(normal.handle);
    ASSERT_TRUE(has(seen, WM_SIZE));
    ASSERT_TRUE(has(seen, WM_PAINT)) << "UpdateWindow paints a newly shown window at once";
    EXPECT_EQ(win32::testing::client_size(normal.handle).cx, 320);
    EXPECT_EQ(win32::testing::client_size(normal.handle).cy, 200);

    TestWindow maximized(SW_SHOWMAXIMIZED);
    const MSG *size = nullptr;
    for (const MSG &m : received)
        if (m.hwnd == maximized.handle && m.message == WM_SIZE) size = &m;
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->wParam, SIZE_MAXIMIZED);
    EXPECT_EQ(LOWORD(size->lParam), 1280);
    EXPECT_EQ(HIWORD(size->lParam), 800);
}

TEST(Windows, CloseBoxDestroysThroughTheDefaultProcedure) {
    TestWindow w;
    win32::testing::inject_close(w.handle);
    MSG msg;
    int quit_code = -1;
    while (GetMessageA(&msg, nullptr, 0, 0)) DispatchMessageA(&msg);
    quit_code = int(msg.wParam);
    EXPECT_EQ(quit_code, 7);
    const std::vector<UINT> seen = messages_of(w.handle);
    EXPECT_TRUE(has(seen, WM_CLOSE));
    EXPECT_TRUE(has(seen, WM_DESTROY));
    EXPECT_FALSE(ShowWindow(w.handle, SW_SHOWNORMAL)) << "the handle is gone";
}

// Every call that takes a window refuses one that was destroyed, a made-up
// value and a GDI handle: it fails with ERROR_INVALID_WINDOW_HANDLE as the
// last error and sends nothing anywhere.
TEST(Windows, RefusedWindowHandlesLeaveInvalidWindowHandleAsTheLastError) {
    HWND destroyed;
    {
        TestWindow w;
        destroyed = w.handle;
    }
    HBRUSH brush = CreateSolidBrush(0);
    const HWND refused[] = {destroyed, reinterpret_cast<HWND>(std::uintptr_t(0x7777)),
                            reinterpret_cast<HWND>(brush)};
    received.clear();
    MSG msg{};
    RECT rect{};
    PAINTSTRUCT paint{};
    struct Case {
        const char *call;
        std::function<bool(HWND)> failed;
    };
    const Case cases[] = {
        {"ShowWindow", [&](HWND h) { return !ShowWindow(h, SW_SHOW); }},
        {"UpdateWindow", [&](HWND h) { return !UpdateWindow(h); }},
        {"DestroyWindow", [&](HWND h) { return !DestroyWindow(h); }},
        {"GetClientRect", [&](HWND h) { return !GetClientRect(h, &rect); }},
        {"BeginPaint", [&](HWND h) { return !BeginPaint(h, &paint); }},
        {"ValidateRect", [&](HWND h) { return !ValidateRect(h, nullptr); }},
        {"InvalidateRect", [&](HWND h) { return !InvalidateRect(h, nullptr, TRUE); }},
        {"GetDC", [&](HWND h) { return !GetDC(h); }},
        {"SetTimer", [&](HWND h) { return !SetTimer(h, 1, 10, nullptr); }},
        {"KillTimer", [&](HWND h) { return !KillTimer(h, 1); }},
        {"PostMessageA", [&](HWND h) { return !PostMessageA(h, WM_USER, 0, 0); }},
        {"SendMessageA", [&](HWND h) { return !SendMessageA(h, WM_USER, 0, 0); }},
        {"DefWindowProcA", [&](HWND h) { return !DefWindowProcA(h, WM_CLOSE, 0, 0); }},
        {"GetMessageA", [&](HWND h) { return GetMessageA(&msg, h, 0, 0) == -1; }},
        {"PeekMessageA", [&](HWND h) { return !PeekMessageA(&msg, h, 0, 0, PM_REMOVE); }},
        {"DispatchMessageA",
         [&](HWND h) {
             const MSG m{h, WM_USER, 0, 0, 0, {}};
             return !DispatchMessageA(&m);
         }},
        {"CreateWindowExA with it as parent",
         [&](HWND h) {
             return !CreateWindowExA(0, register_test_class(), "", WS_OVERLAPPEDWINDOW, 0, 0, 50,
                                     50, h, nullptr, nullptr, nullptr);
         }},
    };
    for (const Case &call : cases) {
        for (std::size_t i = 0; i < std::size(refused); ++i) {
            const char *which[] = {"destroyed", "made-up", "of a brush"};
            SetLastError(0);
            EXPECT_TRUE(call.failed(refused[i])) << call.call << ", window " << which[i];
            EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE)
                << call.call << ", window " << which[i];
        }
    }
    EXPECT_TRUE(received.empty()) << "no window procedure was called";
    DeleteObject(brush);
}

// DispatchMessageA calls the callback of a WM_TIMER only when a timer with
// that callback runs; a made-up message cannot send the program anywhere.
TEST(Timers, DispatchCallsOnlyTheCallbacksOfRunningTimers) {
    static int calls = 0;
    const TIMERPROC callback = [](HWND, UINT, UINT_PTR, DWORD) { ++calls; };
    const UINT_PTR id = SetTimer(nullptr, 0, 1000, callback);
    ASSERT_NE(id, 0u);
    const MSG registered{nullptr, WM_TIMER, id, LPARAM(callback), 0, {}};
    DispatchMessageA(&registered);
    EXPECT_EQ(calls, 1);
    const MSG other_id{nullptr, WM_TIMER, id + 1, LPARAM(callback), 0, {}};
    const TIMERPROC stranger = [](HWND, UINT, UINT_PTR, DWORD) { calls += 100; };
    const MSG other_callback{nullptr, WM_TIMER, id, LPARAM(stranger), 0, {}};
    DispatchMessageA(&other_id);
    DispatchMessageA(&other_callback);
    KillTimer(nullptr, id);
    DispatchMessageA(&registered);
    EXPECT_EQ(calls, 1);
}

TEST(Messages, KeysBecomeCharactersInCodePage1252) {
    TestWindow w;
    received.clear();
    win32::testing::inject_key(w.handle, 'A', "a");
    win32::testing::inject_key(w.handle, VK_LEFT);
    win32::testing::inject_key(w.handle, 'E', "\xC3\xA9"); // é
    win32::testing::inject_key(w.handle, VK_RETURN);
    win32::testing::inject_key(w.handle, VK_BACK);
    win32::testing::inject_text(w.handle, "\xE2\x82\xAC\xF0\x9F\x98\x80"); // € then an emoji
    pump();
    std::vector<WPARAM> chars;
    for (const MSG &m : received)
        if (m.message == WM_CHAR) chars.push_back(m.wParam);
    EXPECT_EQ(chars, (std::vector<WPARAM>{'a', 233, 13, 8, 0x80}));
}

// Key messages carry the keyboard's scan code in bits 16..23 of lParam, with
// bit 24 for the keys of the extended set, and their characters carry the
// same; GetKeyState follows the key messages taken from the queue.
TEST(Messages, KeysCarryScanCodesAndKeyState) {
    struct Case {
        UINT key;
        unsigned scan;
        bool extended;
    };
    const Case cases[] = {{'A', 0x1E, false},
                          {'M', 0x32, false},
                          {'0', 0x0B, false},
                          {VK_F12, 0x58, false},
                          {VK_UP, 0x48, true}};
    TestWindow w;
    for (const Case &c : cases) {
        received.clear();
        win32::testing::inject_key(w.handle, c.key, c.key == 'A' ? "a" : "");
        pump();
        for (const MSG &m : received) {
            if (m.message != WM_KEYDOWN && m.message != WM_CHAR) continue;
            EXPECT_EQ((m.lParam >> 16) & 0xFF, LPARAM(c.scan)) << c.key;
            EXPECT_EQ((m.lParam >> 24) & 1, c.extended ? 1 : 0) << c.key;
        }
    }

    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
    const SHORT toggle = GetKeyState(VK_SHIFT) & 1;
    win32::testing::press_key(w.handle, VK_SHIFT);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0) << "not until the message is taken";
    pump();
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 1, toggle ^ 1);
    win32::testing::release_key(w.handle, VK_SHIFT);
    pump();
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(GetKeyState(-1), 0);
    EXPECT_EQ(GetKeyState(0x1000), 0);
}

// The pointer's display count: shown while not negative.
TEST(Pointer, ShowCursorCountsUpAndDown) {
    const int start = ShowCursor(FALSE);
    EXPECT_EQ(ShowCursor(FALSE), start - 1);
    EXPECT_EQ(ShowCursor(TRUE), start);
    EXPECT_EQ(ShowCursor(TRUE), start + 1);
}

// Whatever order they arose in, messages are fetched as the system orders
// them: posted messages and input as they came, then the quit request, then
// paints, then timers.
TEST(Messages, PostedAndInputFirstThenQuitThenPaintThenTimers) {
    TestWindow w;
    SetTimer(w.handle, 4, 10, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(20)); // the timer is due
    InvalidateRect(w.handle, nullptr, FALSE);
    PostQuitMessage(3);
    PostMessageA(w.handle, WM_USER + 1, 0, 0);
    win32::testing::inject_mouse_move(w.handle, 5, 6);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE); // takes the input in, behind WM_USER + 1
    PostMessageA(w.handle, WM_USER + 2, 0, 0);
    std::vector<UINT> order;
    while (order.size() < 10 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        order.push_back(msg.message);
        if (msg.message == WM_TIMER) break;
        DispatchMessageA(&msg); // the paint validates the window
    }
    KillTimer(w.handle, 4);
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 1, WM_MOUSEMOVE, WM_USER + 2, WM_QUIT, WM_PAINT,
                                        WM_TIMER}));
}

TEST(Messages, MouseMovesAndButtons) {
    TestWindow w;
    received.clear();
    win32::testing::inject_mouse_move(w.handle, 300, 200);
    win32::testing::inject_mouse_button(w.handle, 1, true, 300, 200);
    win32::testing::inject_mouse_button(w.handle, 3, true, 301, 200);
    win32::testing::inject_mouse_button(w.handle, 1, false, 301, 200);
    pump();
    std::vector<std::pair<UINT, WPARAM>> got;
    for (const MSG &m : received)
        if (m.message >= WM_MOUSEMOVE && m.message <= WM_MBUTTONUP)
            got.push_back({m.message, m.wParam});
    const std::vector<std::pair<UINT, WPARAM>> want = {{WM_MOUSEMOVE, 0},
                                                       {WM_LBUTTONDOWN, MK_LBUTTON},
                                                       {WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON},
                                                       {WM_LBUTTONUP, MK_RBUTTON}};
    EXPECT_EQ(got, want);
    EXPECT_EQ(received.front().lParam, LPARAM(300 | (200 << 16)));
}

TEST(Messages, ResizeAndMinimiseSendTheirSizes) {
    TestWindow w;
    received.clear();
    win32::testing::inject_resize(w.handle, 500, 300);
    win32::testing::inject_minimize(w.handle);
    win32::testing::inject_restore(w.handle);
    pump();
    std::vector<std::pair<WPARAM, LPARAM>> sizes;
    for (const MSG &m : received)
        if (m.message == WM_SIZE) sizes.push_back({m.wParam, m.lParam});
    const std::vector<std::pair<WPARAM, LPARAM>> want = {
        {SIZE_RESTORED, LPARAM(500 | (300 << 16))},
        {SIZE_MINIMIZED, 0},
        {SIZE_RESTORED, LPARAM(500 | (300 << 16))}};
    EXPECT_EQ(sizes, want);
}

TEST(Timers, FireAfterTheirIntervalToTheMillisecond) {
    TestWindow w;
    using clock = std::chrono::steady_clock;
    for (UINT ms : {25u, 40u}) {
        const auto start = clock::now();
        SetTimer(w.handle, 1, ms, nullptr);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0)) {
            DispatchMessageA(&msg);
            if (msg.message == WM_TIMER) break;
        }
        KillTimer(w.handle, 1);
        const double elapsed =
            std::chrono::duration<double, std::milli>(clock::now() - start).count();
        EXPECT_GE(elapsed, ms - 0.1);
        EXPECT_LT(elapsed, ms + 15.0) << "generous: the machine is shared";
        EXPECT_EQ(msg.wParam, 1u);
    }
}

TEST(Painting, WhatIsDrawnIsShownBeforeTheProgramWaits) {
    TestWindow w;
    HDC dc = GetDC(w.handle);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const RECT box{10, 10, 20, 20};
    FillRect(dc, &box, red);
    EXPECT_EQ(win32::testing::window_pixel(w.handle, 15, 15), RGB(255, 0, 0));
    SetTimer(w.handle, 2, 10, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) && msg.message != WM_TIMER) DispatchMessageA(&msg);
    KillTimer(w.handle, 2);
    int width = 0, height = 0;
    const std::vector<std::uint32_t> shown =
        win32::testing::presented_pixels(w.handle, width, height);
    ASSERT_EQ(width, 320);
    ASSERT_EQ(height, 200);
    EXPECT_EQ(shown[15 * 320 + 15], 0xFF0000u);
    EXPECT_EQ(shown[5 * 320 + 5], 0u);
    ReleaseDC(w.handle, dc);
    DeleteObject(red);
}

// Waits for a timer of the window, so that what was drawn gets shown.
void wait_for_presentation(HWND window) {
    SetTimer(window, 3, 40, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) && msg.message != WM_TIMER) DispatchMessageA(&msg);
    KillTimer(window, 3);
}

// What the presentations did while `f` ran.
template <class F> win32::testing::PresentationCounts presented_by(F f) {
    const win32::testing::PresentationCounts before = win32::testing::presentation_counts();
    f();
    const win32::testing::PresentationCounts after = win32::testing::presentation_counts();
    return {after.frames - before.frames, after.converted_pixels - before.converted_pixels,
            after.rectangles - before.rectangles, after.compared_pixels - before.compared_pixels};
}
template <class F> long long converted_by(F f) {
    return presented_by(f).converted_pixels;
}

// Each presentation shows only what differs from what was shown last;
// together they must leave the display showing every pixel of the window as
// it is now, and new colours in the palette recolour all of it. Run through
// the window surface (false) and through a streaming texture (true).
class Presentation : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { win32::testing::use_texture_presentation(GetParam()); }
    void TearDown() override { win32::testing::use_texture_presentation(false); }
};

// How many pixels the display shows otherwise than the window holds them;
// -1 when it shows a picture of another size.
int misshown(HWND window) {
    int width = 0, height = 0;
    const std::vector<std::uint32_t> shown =
        win32::testing::presented_pixels(window, width, height);
    const SIZE client = win32::testing::client_size(window);
    if (width != client.cx || height != client.cy) return -1;
    int wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = win32::testing::window_pixel(window, x, y);
            const std::uint32_t rgb = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
            wrong += shown[std::size_t(y) * width + x] != rgb;
        }
    return wrong;
}

TEST_P(Presentation, ShowsWhatDiffersAndAddsUpToTheWholePicture) {
    TestWindow w;
    HDC dc = GetDC(w.handle);
    auto shows_the_window = [&] { return misshown(w.handle); };
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), green = CreateSolidBrush(RGB(0, 255, 0));
    const RECT first{10, 10, 30, 20}, second{200, 150, 310, 195}, third{0, 0, 320, 1};
    FillRect(dc, &first, red);
    wait_for_presentation(w.handle);
    EXPECT_EQ(shows_the_window(), 0);
    FillRect(dc, &second, green);
    SetPixel(dc, 319, 199, RGB(255, 0, 0));
    EXPECT_EQ(converted_by([&] { wait_for_presentation(w.handle); }), 110 * 45 + 1);
    EXPECT_EQ(shows_the_window(), 0) << "the first box is still shown beside the new ones";
    FillRect(dc, &third, green);
    wait_for_presentation(w.handle);
    EXPECT_EQ(shows_the_window(), 0);

    // A page flip: the whole window copied from a page. The same picture
    // converts nothing; one square more converts that square.
    HDC page = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 320, 200);
    HGDIOBJ old_bitmap = SelectObject(page, bitmap);
    BitBlt(page, 0, 0, 320, 200, dc, 0, 0, SRCCOPY);
    auto flip = [&] {
        BitBlt(dc, 0, 0, 320, 200, page, 0, 0, SRCCOPY);
        wait_for_presentation(w.handle);
    };
    const win32::testing::PresentationCounts same = presented_by(flip);
    EXPECT_EQ(same.frames, 1) << "the window changed, so the display was given the frame";
    EXPECT_EQ(same.converted_pixels, 0) << "the same picture again";
    EXPECT_EQ(same.rectangles, 0);
    const RECT square{100, 100, 112, 112};
    FillRect(page, &square, red);
    const win32::testing::PresentationCounts one_square = presented_by(flip);
    EXPECT_EQ(one_square.converted_pixels, 12 * 12) << "one square more";
    EXPECT_EQ(one_square.rectangles, 1);
    EXPECT_EQ(shows_the_window(), 0);
    EXPECT_EQ(converted_by(flip), 0);

    // A box in palette entry 100, shown; then entry 100 changes colour and
    // nothing is drawn: the box is shown in its new colour, and so is
    // everything else, converted once.
    std::vector<unsigned char> storage(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    auto *log = reinterpret_cast<LOGPALETTE *>(storage.data());
    log->palVersion = 0x300;
    log->palNumEntries = 256;
    const std::vector<PALETTEENTRY> system = win32::testing::system_palette();
    for (int i = 0; i < 256; ++i) log->palPalEntry[i] = system[std::size_t(i)];
    log->palPalEntry[100] = {200, 10, 10, 0};
    HPALETTE palette = CreatePalette(log);
    SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
    HBRUSH entry = CreateSolidBrush(PALETTEINDEX(100));
    const RECT fourth{50, 50, 90, 90};
    FillRect(dc, &fourth, entry);
    wait_for_presentation(w.handle);
    EXPECT_EQ(shows_the_window(), 0);
    const PALETTEENTRY recoloured = {12, 34, 56, 0};
    SetPaletteEntries(palette, 100, 1, &recoloured);
    RealizePalette(dc);
    EXPECT_EQ(converted_by([&] { wait_for_presentation(w.handle); }), 320 * 200);
    EXPECT_EQ(win32::testing::window_pixel(w.handle, 60, 60), RGB(12, 34, 56));
    EXPECT_EQ(shows_the_window(), 0) << "the box in its new colour";
    EXPECT_EQ(converted_by(flip), 40 * 40) << "the page still has the box in another entry";

    // A window the display lost is shown whole, and so is one resized.
    win32::testing::inject_expose(w.handle);
    EXPECT_EQ(converted_by([&] { wait_for_presentation(w.handle); }), 320 * 200);
    win32::testing::inject_resize(w.handle, 300, 150);
    EXPECT_EQ(converted_by([&] { wait_for_presentation(w.handle); }), 300 * 150);
    SelectObject(page, old_bitmap);
    DeleteObject(bitmap);
    DeleteDC(page);
    DeleteObject(entry);
    ReleaseDC(w.handle, dc);
    DeleteObject(red);
    DeleteObject(green);
    DeleteObject(palette);
}

INSTANTIATE_TEST_SUITE_P(Paths, Presentation, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return info.param ? "Texture" : "Surface";
                         });

// A page of the window's size, on a memory DC of its own.
struct Page {
    Page(HDC window_dc, int width, int height) {
        dc = CreateCompatibleDC(window_dc);
        bitmap = CreateCompatibleBitmap(window_dc, width, height);
        old = SelectObject(dc, bitmap);
        clear(RGB(0, 0, 0));
        this->width = width, this->height = height;
    }
    ~Page() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void fill(RECT box, COLORREF color) const {
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &box, brush);
        DeleteObject(brush);
    }
    void clear(COLORREF color) const { fill({0, 0, 4000, 4000}, color); }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    int width = 0, height = 0;
};

// A copy of a page over the whole window (a page flip) shows the page's own
// pixels, copying nothing; what either is drawn on later must still behave
// as if they had been copied.
TEST(PageFlip, TheWindowKeepsTheFlippedPictureWhicheverIsDrawnOnAfter) {
    TestWindow w;
    HDC dc = GetDC(w.handle);
    auto page = std::make_unique<Page>(dc, 320, 200);
    const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), blue = RGB(0, 0, 255);
    page->fill({10, 10, 50, 50}, red);
    BitBlt(dc, 0, 0, 320, 200, page->dc, 0, 0, SRCCOPY);
    EXPECT_EQ(win32::testing::window_pixel(w.handle, 20, 20), red);
    page->fill({10, 10, 50, 50}, green);
    EXPECT_EQ(win32::testing::window_pixel(w.handle, 20, 20), red) << "drawn on the page after";
    EXPECT_EQ(GetPixel(dc, 20, 20), red) << "read through the window's DC";
    EXPECT_EQ(GetPixel(page->dc, 20, 20), green);

    BitBlt(dc, 0, 0, 320, 200, page->dc, 0, 0, SRCCOPY);
    HBRUSH brush = CreateSolidBrush(blue);
    const RECT corner{0, 0, 5, 5};
    FillRect(dc, &corner, brush);
    DeleteObject(brush);
    EXPECT_EQ(win32::testing::window_pixel(w.handle, 1, 1), blue) << "drawn on the window after";
    EXPECT_EQ(win32::testing::window_pixel(w.handle, 20, 20), green);
    EXPECT_EQ(GetPixel(page->dc, 1, 1), RGB(0, 0, 0)) << "the page keeps its own";

    // The window's picture outlives the page.
    BitBlt(dc, 0, 0, 320, 200, page->dc, 0, 0, SRCCOPY);
    page.reset();
    wait_for_presentation(w.handle);
    EXPECT_EQ(win32::testing::window_pixel(w.handle, 20, 20), green);
    EXPECT_EQ(win32::testing::window_pixel(w.handle, 1, 1), RGB(0, 0, 0));
    EXPECT_EQ(misshown(w.handle), 0);
    ReleaseDC(w.handle, dc);
}

// Two pages cleared to the same colour differ only where either was drawn on
// since: flipping between them looks there alone, and converts what
// differs. Pages cleared to different colours are compared whole.
TEST(PageFlip, FlippingBetweenClearedPagesLooksOnlyWhereEitherWasDrawn) {
    TestWindow w(SW_SHOWNORMAL, 640 + 8, 480 + 27);
    HDC dc = GetDC(w.handle);
    Page first(dc, 640, 480), second(dc, 640, 480);
    const COLORREF yellow = RGB(255, 255, 0), cyan = RGB(0, 255, 255);
    auto flip = [&](const Page &page) {
        return presented_by([&] {
            BitBlt(dc, 0, 0, 640, 480, page.dc, 0, 0, SRCCOPY);
            wait_for_presentation(w.handle);
        });
    };
    flip(first);
    first.fill({100, 100, 114, 114}, yellow);
    second.fill({400, 300, 414, 314}, cyan);
    flip(first);
    const win32::testing::PresentationCounts to_second = flip(second);
    EXPECT_EQ(to_second.converted_pixels, 2 * 14 * 14);
    EXPECT_LE(to_second.compared_pixels, 2 * 32 * 32) << "the tiles of the two squares";
    EXPECT_EQ(misshown(w.handle), 0);

    // The next frame: the first page cleared again and drawn elsewhere.
    first.clear(RGB(0, 0, 0));
    first.fill({200, 20, 214, 34}, yellow);
    const win32::testing::PresentationCounts to_first = flip(first);
    EXPECT_EQ(to_first.converted_pixels, 2 * 14 * 14);
    EXPECT_LE(to_first.compared_pixels, 2 * 32 * 32);
    EXPECT_EQ(misshown(w.handle), 0);

    // The window saved onto the page it shows (a flip after drawing on the
    // shown page does so) copies what the page holds: the page keeps its
    // record, and flipping back to it still looks at the squares alone.
    BitBlt(first.dc, 0, 0, 640, 480, dc, 0, 0, SRCCOPY);
    flip(second);
    const win32::testing::PresentationCounts back_to_first = flip(first);
    EXPECT_EQ(back_to_first.converted_pixels, 2 * 14 * 14);
    EXPECT_LE(back_to_first.compared_pixels, 2 * 32 * 32);
    EXPECT_EQ(misshown(w.handle), 0);

    second.clear(RGB(0, 0, 128));
    const win32::testing::PresentationCounts other_colour = flip(second);
    EXPECT_EQ(other_colour.compared_pixels, 640 * 480);
    EXPECT_EQ(other_colour.converted_pixels, 640 * 480);
    EXPECT_EQ(misshown(w.handle), 0);
    ReleaseDC(w.handle, dc);
}

// BGI_ZOOM takes a whole number from 1 to 8; anything else is no zoom.
TEST(Zoom, TakesOneToEightAndNothingElse) {
    const std::pair<const char *, int> settings[] = {
        {"1", 1},  {"2", 2},  {"8", 8}, {"0", 1}, {"9", 1},  {"10", 1},   {"-2", 1},
        {"2x", 1}, {" 2", 1}, {"", 1},  {"x", 1}, {"3.", 1}, {nullptr, 1}};
    for (const auto &[setting, zoom] : settings)
        EXPECT_EQ(win32::testing::use_zoom(setting), zoom) << (setting ? setting : "(unset)");
    win32::testing::use_zoom(nullptr);
}

// A zoomed window shows each pixel as a block, and the program keeps its own
// sizes and coordinates: the screen's are divided by the zoom.
TEST(Zoom, ShowsBlocksAndDividesTheScreensCoordinates) {
    struct Unzoom {
        ~Unzoom() { win32::testing::use_zoom(nullptr); }
    } unzoom;
    ASSERT_EQ(win32::testing::use_zoom("3"), 3);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 1280 / 3);
    EXPECT_EQ(GetDeviceCaps(screen, VERTRES), 800 / 3);
    ReleaseDC(nullptr, screen);

    TestWindow w;
    EXPECT_EQ(win32::testing::client_size(w.handle).cx, 320);
    EXPECT_EQ(win32::testing::client_size(w.handle).cy, 200);
    HDC dc = GetDC(w.handle);
    SetPixel(dc, 5, 7, RGB(255, 0, 0));
    SetPixel(dc, 319, 199, RGB(0, 255, 0));
    wait_for_presentation(w.handle);
    int width = 0, height = 0;
    const std::vector<std::uint32_t> shown =
        win32::testing::presented_pixels(w.handle, width, height);
    ASSERT_EQ(width, 960);
    ASSERT_EQ(height, 600);
    auto at = [&](int x, int y) { return shown[std::size_t(y) * 960 + std::size_t(x)]; };
    int red = 0;
    for (std::uint32_t p : shown) red += p == 0xFF0000u;
    EXPECT_EQ(red, 9) << "one pixel, one 3 x 3 block";
    for (int y = 21; y < 24; ++y)
        for (int x = 15; x < 18; ++x) EXPECT_EQ(at(x, y), 0xFF0000u) << x << ", " << y;
    EXPECT_EQ(at(959, 599), 0x00FF00u) << "the last pixel reaches the window's corner";
    EXPECT_EQ(at(956, 596), 0u);
    ReleaseDC(w.handle, dc);

    received.clear();
    win32::testing::inject_mouse_move(w.handle, 17, 23);
    win32::testing::inject_mouse_button(w.handle, 1, true, 30, 2);
    win32::testing::inject_mouse_button(w.handle, 1, false, 959, 599);
    win32::testing::inject_resize(w.handle, 902, 601);
    pump();
    std::vector<std::pair<UINT, LPARAM>> got;
    for (const MSG &m : received)
        if ((m.message >= WM_MOUSEMOVE && m.message <= WM_LBUTTONUP) || m.message == WM_SIZE)
            got.push_back({m.message, m.lParam});
    // The size is sent at once, ahead of the posted mouse messages.
    const std::vector<std::pair<UINT, LPARAM>> want = {{WM_SIZE, LPARAM(300 | (200 << 16))},
                                                       {WM_MOUSEMOVE, LPARAM(5 | (7 << 16))},
                                                       {WM_LBUTTONDOWN, LPARAM(10 | (0 << 16))},
                                                       {WM_LBUTTONUP, LPARAM(319 | (199 << 16))}};
    EXPECT_EQ(got, want);

    // Maximised, the client area is the usable display divided by the zoom.
    TestWindow maximized(SW_SHOWMAXIMIZED);
    EXPECT_EQ(win32::testing::client_size(maximized.handle).cx, 1280 / 3);
    EXPECT_EQ(win32::testing::client_size(maximized.handle).cy, 800 / 3);
}

// Positions left of or above the window (a drag that leaves it) round down to
// whole blocks, out to the ends of int; the message keeps the low 16 bits.
TEST(Zoom, ScreenPositionsRoundDownToWholeBlocks) {
    struct Unzoom {
        ~Unzoom() { win32::testing::use_zoom(nullptr); }
    } unzoom;
    struct Case {
        const char *zoom;
        int screen, program;
    };
    const Case cases[] = {{"3", 5, 1},
                          {"3", -1, -1},
                          {"3", -3, -1},
                          {"3", -4, -2},
                          {"3", INT_MAX, INT_MAX / 3},
                          {"3", INT_MIN, INT_MIN / 3 - 1},
                          {"2", INT_MIN, INT_MIN / 2},
                          {nullptr, INT_MIN + 1, INT_MIN + 1},
                          {nullptr, INT_MIN, INT_MIN}};
    for (const Case &c : cases) {
        win32::testing::use_zoom(c.zoom);
        TestWindow w;
        received.clear();
        win32::testing::inject_mouse_move(w.handle, c.screen, 0);
        pump();
        auto move = std::find_if(received.begin(), received.end(),
                                 [](const MSG &m) { return m.message == WM_MOUSEMOVE; });
        ASSERT_NE(move, received.end()) << c.screen;
        EXPECT_EQ(short(move->lParam & 0xFFFF), short(c.program))
            << "zoom " << (c.zoom ? c.zoom : "1") << ", screen x " << c.screen;
    }
}

} // namespace
