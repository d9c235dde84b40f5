// The graphics window of the BGI layer: opening and closing it, its paints,
// and keyboard, mouse and timing through the real message path. Runs on our
// headless display and, in the Windows build, under Wine.
#include "bgi.h"
#include "bgi_internal.h"
#include "headless_display.h"
#include "inject.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#ifndef _WIN32
#include "platform_testing.h"
using namespace win32;
#endif

namespace {

// The colour the window shows at a client position.
COLORREF window_pixel(int x, int y) {
#ifdef _WIN32
    HDC dc = GetDC(bgi::window_handle());
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(bgi::window_handle(), dc);
    return c;
#else
    return win32::testing::window_pixel(bgi::window_handle(), x, y);
#endif
}

void drain_keyboard() {
    while (kbhit()) getch();
}

// Opens the window for a test and closes it after.
struct Graphics {
    explicit Graphics(int mode = VGAHI) {
        int driver = VGA;
        initgraph(&driver, &mode, "");
        drain_keyboard();
    }
    ~Graphics() {
        drain_keyboard();
        closegraph();
    }
};

TEST(Window, OpensAtTheModeSizeOrMaximised) {
    {
        Graphics g(VGAMED);
        EXPECT_EQ(graphresult(), grOk);
        EXPECT_NE(bgi::window_handle(), nullptr);
        EXPECT_EQ(getmaxx(), 639);
        EXPECT_EQ(getmaxy(), 349);
    }
    EXPECT_EQ(bgi::window_handle(), nullptr);
#ifndef _WIN32
    // Wine, placing its own windows on a screen without a window manager,
    // fails with an X error when a window is maximised after another was
    // destroyed; the maximised window is checked in our build only.
    {
        Graphics g(3); // maximised: the client area replaces the mode's size
        EXPECT_EQ(getmaxx(), 1279);
        EXPECT_EQ(getmaxy(), 799);
    }
#endif
}

TEST(Window, FirstPaintClearsThePageAndPaintsRestoreIt) {
    Graphics g;
    EXPECT_EQ(window_pixel(10, 10), RGB(0, 0, 0));
    // Scribble on the window behind the layer's back; a paint brings the
    // visual page back.
    HWND window = bgi::window_handle();
    HDC dc = GetDC(window);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const RECT box{0, 0, 50, 50};
    FillRect(dc, &box, red);
    ReleaseDC(window, dc);
    DeleteObject(red);
    ASSERT_EQ(window_pixel(10, 10), RGB(255, 0, 0));
    InvalidateRect(window, nullptr, FALSE);
    kbhit();
    EXPECT_EQ(window_pixel(10, 10), RGB(0, 0, 0));
}

#ifndef _WIN32
// Palette animation needs a palette device, as our display is; the displays
// Windows runs on today have no palette, and there drawn pixels keep their colour.
TEST(Window, BackgroundColourRecoloursTheWindow) {
    Graphics g;
    setbkcolor(BLUE);
    kbhit();
    EXPECT_EQ(window_pixel(100, 100), RGB(0, 0, 255));
    setpalette(0, GREEN);
    kbhit();
    EXPECT_EQ(window_pixel(100, 100), RGB(0, 255, 0));
}

// After another program changed the system palette, gaining the focus makes
// a new palette object: it keeps the colours the program gave its BGI
// colours.
TEST(Window, ANewPaletteAfterAPaletteChangeKeepsTheProgramsColours) {
    Graphics g;
    setpalette(BLUE, RED);
    putpixel(5, 5, BLUE);
    SendMessageA(bgi::window_handle(), WM_PALETTECHANGED, 0, 0);
    win32::testing::inject_focus(bgi::window_handle(), true);
    kbhit();
    EXPECT_EQ(window_pixel(5, 5), RGB(255, 0, 0));
    putpixel(6, 6, BLUE);
    kbhit();
    EXPECT_EQ(window_pixel(6, 6), RGB(255, 0, 0));
    EXPECT_EQ(getpixel(6, 6), BLUE);
}

#endif

TEST(Keyboard, CharactersArriveInOrderAsUnsignedBytes) {
    Graphics g;
    EXPECT_EQ(kbhit(), 0);
    for (unsigned char c : std::string("Hi!")) inject_char(c);
    inject_char(233);
    inject_key_down(0x25); // cursor left: no character
    ASSERT_EQ(kbhit(), 1);
    EXPECT_EQ(getch(), 'H');
    EXPECT_EQ(getch(), 'i');
    EXPECT_EQ(getch(), '!');
    EXPECT_EQ(getch(), 233);
    EXPECT_EQ(kbhit(), 0);
}

TEST(Keyboard, AFullQueueKeepsTheNewest255) {
    Graphics g;
    for (int i = 0; i < 300; ++i) inject_char(static_cast<unsigned char>('0' + i % 64));
    kbhit();
    int count = 0;
    int first = getch();
    ++count;
    while (kbhit()) getch(), ++count;
    EXPECT_EQ(count, 255);
    EXPECT_EQ(first, '0' + 45 % 64) << "the 46th character typed";
}

TEST(Keyboard, CharactersSurviveClosegraph) {
    {
        Graphics g;
        inject_char('k');
        ASSERT_EQ(kbhit(), 1);
        // Queued but not read before the window closes.
        closegraph();
        EXPECT_EQ(getch(), 'k');
        // Then the terminal's keys (console_test).
    }
}

TEST(Mouse, PositionButtonsAndActivePoints) {
    Graphics g;
    inject_mouse_move(300, 200);
    inject_mouse_button(1, true, 300, 200);
    kbhit();
    EXPECT_EQ(egerx, 300);
    EXPECT_EQ(egery, 200);
    EXPECT_EQ(balgomb, 1);
    EXPECT_EQ(jobbgomb, 0);
    inject_mouse_button(3, true, 300, 200);
    inject_mouse_button(1, false, 300, 200);
    kbhit();
    EXPECT_EQ(balgomb, 0);
    EXPECT_EQ(jobbgomb, 1);
    inject_mouse_button(3, false, 300, 200);
    kbhit();

    inject_mouse_move(10, 20);
    kbhit();
    const activepoint points[] = {{50.0, 50.0}, {10.9, 20.2}, {10.0, 20.0}};
    EXPECT_EQ(getactivepoint(points, 3, 1), 1);
    EXPECT_EQ(getactivepoint(points, 1, 1), -1);
    EXPECT_EQ(getactivepoint(points, 0, 5), -1);
    EXPECT_EQ(getactivepoint(points, 3, 0), -1);
    const activepoint3 points3[] = {{50.0, 50.0, 1.0}, {10.9, 20.2, -7.0}};
    EXPECT_EQ(getactivepoint3(points3, 2, 1), 1);
    inject_mouse_move(0, 0);
    kbhit();
    const activepoint left_of_origin[] = {{-0.5, 0.0}};
    EXPECT_EQ(getactivepoint(left_of_origin, 1, 1), -1) << "floor(-0.5) is -1";
    EXPECT_EQ(getactivepoint(left_of_origin, 1, 2), 0);
}

TEST(Timing, DelayWaitsAtLeastWhatWasAsked) {
    Graphics g;
    for (unsigned ms : {25u, 60u}) {
        const auto start = std::chrono::steady_clock::now();
        delay(ms);
        const double waited =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        EXPECT_GE(waited, ms - 0.5);
        EXPECT_LT(waited, ms + 50.0) << "bounded; precision is measured by the benchmark";
    }
    // Characters typed during a delay are queued.
    inject_char('x');
    delay(20);
    EXPECT_EQ(kbhit(), 1);
    EXPECT_EQ(getch(), 'x');
}

// A quit message the program posts itself is not the end of a wait: delay
// still lasts its time.
TEST(Timing, AQuitMessageDoesNotCutADelayShort) {
    Graphics g;
    PostQuitMessage(0);
    const auto start = std::chrono::steady_clock::now();
    delay(30);
    const double waited =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(waited, 29.5);
}

TEST(Timing, WithoutAWindowDelaySleeps) {
    ASSERT_EQ(bgi::window_handle(), nullptr);
    const auto start = std::chrono::steady_clock::now();
    delay(30);
    const double waited =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(waited, 29.5);
    EXPECT_EQ(kbhit(), 0);
}

TEST(Lifecycle, ReopeningMakesANewWindowOnTheSameBrushes) {
    HWND first = nullptr;
    {
        Graphics g;
        first = bgi::window_handle();
        setbkcolor(RED);
    }
    {
        Graphics g;
        EXPECT_NE(bgi::window_handle(), nullptr);
        EXPECT_NE(bgi::window_handle(), first);
        EXPECT_EQ(getbkcolor(), BLACK);
        EXPECT_EQ(window_pixel(5, 5), RGB(0, 0, 0)) << "the palette was reset";
        palettetype p{};
        getpalette(&p);
        EXPECT_EQ(p.colors[0], 0);
    }
}

// A program that opens the window twice without closing it in between gets
// a new window; the first is closed, and drawing reaches the new one.
TEST(Lifecycle, ASecondInitgraphReplacesTheOpenWindow) {
    Graphics g;
    const HWND first = bgi::window_handle();
    setbkcolor(RED);
    putpixel(5, 5, GREEN);
    int driver = VGA, mode = VGAHI;
    initgraph(&driver, &mode, "");
    ASSERT_EQ(graphresult(), grOk);
    ASSERT_NE(bgi::window_handle(), nullptr);
    EXPECT_NE(bgi::window_handle(), first);
    EXPECT_EQ(getbkcolor(), BLACK);
    EXPECT_EQ(getpixel(5, 5), BLACK) << "a new page";
    putpixel(6, 6, GREEN);
    EXPECT_EQ(getpixel(6, 6), GREEN);
    EXPECT_EQ(window_pixel(6, 6), RGB(0, 255, 0));
}

// Death tests run their statement in a child process; under Wine a child
// that opens and closes windows on the same X display races with the parent's
// windows (BadWindow errors), so these run in the native build only.
#ifndef _WIN32
void open_window() {
    int driver = VGA;
    int mode = VGAHI;
    initgraph(&driver, &mode, "");
}

void close_then_delay() {
    open_window();
    inject_close();
    delay(10);
    std::exit(3); // not reached
}

void close_then_getch() {
    open_window();
    inject_close();
    getch();
    std::exit(3); // not reached
}

// Closing the window with its close box ends the program at its next wait.
TEST(LifecycleDeathTest, CloseBoxEndsTheProgramAtTheNextWait) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(close_then_delay(), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(close_then_getch(), ::testing::ExitedWithCode(0), "");
}

void open_without_display() {
    setenv("SDL_VIDEODRIVER", "x11", 1);
    unsetenv("DISPLAY");
    open_window();
    const std::string text = grapherrormsg(graphresult());
    const bool reported = graphresult() == int(ERROR_NO_DISPLAY) &&
                          bgi::window_handle() == nullptr &&
                          text.find("display") != std::string::npos;
    std::exit(reported ? 0 : 1);
}

TEST(LifecycleDeathTest, NoDisplayIsReportedNotACrash) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(open_without_display(), ::testing::ExitedWithCode(0), "");
}

// The window class cannot be registered (here: a class of that name exists
// already): initgraph reports the system's code, opens nothing, and tries
// the registration again next time; drawing and waiting without a window
// stay harmless meanwhile.
void open_after_failed_registration() {
    WNDCLASSA taken{};
    taken.lpfnWndProc = DefWindowProcA;
    taken.lpszClassName = "BGIlibrary";
    if (!RegisterClassA(&taken)) std::exit(2);
    bool reported = true;
    for (int attempt = 0; attempt < 2; ++attempt) {
        open_window();
        reported = reported && graphresult() == int(ERROR_CLASS_ALREADY_EXISTS) &&
                   graphresult() == int(ERROR_CLASS_ALREADY_EXISTS) &&
                   bgi::window_handle() == nullptr &&
                   std::string(grapherrormsg(graphresult())).find("lass already exists") !=
                       std::string::npos;
        setcolor(RED);
        bar(0, 0, 10, 10);
        floodfill(1, 1, RED);
        outtextxy(0, 0, "none");
        cleardevice();
        setactivepage(1);
        setvisualpage(1);
        reported = reported && getpixel(1, 1) == -1 && textwidth("x") == 0 && getch() == 0;
        delay(1);
    }
    std::exit(reported ? 0 : 1);
}

TEST(LifecycleDeathTest, AFailedRegistrationIsReportedAndRetried) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(open_after_failed_registration(), ::testing::ExitedWithCode(0), "");
}

TEST(Window, ResizeAndMinimiseFollowTheClientArea) {
    Graphics g;
    win32::testing::inject_resize(bgi::window_handle(), 500, 300);
    kbhit();
    EXPECT_EQ(getmaxx(), 499);
    EXPECT_EQ(getmaxy(), 299);
    win32::testing::inject_minimize(bgi::window_handle());
    kbhit();
    EXPECT_EQ(getmaxx(), -1);
    EXPECT_EQ(getmaxy(), -1);
    win32::testing::inject_restore(bgi::window_handle());
    kbhit();
    EXPECT_EQ(getmaxx(), 499);
}

TEST(Lifecycle, SecondWindowReusesTheFillBrushes) {
    { Graphics g; }
    win32::testing::start_trace();
    { Graphics g; }
    win32::testing::stop_trace();
    EXPECT_TRUE(win32::testing::traced_calls("CreatePatternBrush").empty());
    EXPECT_TRUE(win32::testing::traced_calls("CreateSolidBrush").empty());
    EXPECT_EQ(win32::testing::traced_calls("CreatePalette").size(), 1u);
    EXPECT_EQ(win32::testing::traced_calls("BeginPaint").size(), 1u) << "a first paint of its own";
}
#endif

} // namespace
