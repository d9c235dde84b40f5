// A libFuzzer target: the input's bytes become a sequence of public BGI calls with arbitrary
// arguments, on a window of our headless display. Every family is reachable, with initgraph,
// closegraph and graphdefaults; buffers handed to the library are as large as the call needs
// (image blocks as imagesize says, or as their own header claims), since the library cannot
// know the size of what it is given. Nothing waits long: keys are typed before getch, and a
// delay is at most 2 ms, once an input; no interrupt call waits for a key. The DOS-era
// companions are reached too, and windows with classic behaviour. The seed corpus (corpus/) is
// written by make_corpus.py, which encodes its programs the way Input below reads them.
#include "bgi.h"
#include "bgi_internal.h"
#include "bios.h"
#include "dos.h"
#include "graphics.h"
#include "platform_testing.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

// Reads the input from the front; past its end every read gives 0.
class Input {
public:
    Input(const std::uint8_t *data, std::size_t size) : at(data), end(data + size) {}

    bool done() const { return at >= end; }
    std::uint8_t byte() { return at < end ? *at++ : 0; }
    std::uint32_t bits32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= std::uint32_t(byte()) << (8 * i);
        return v;
    }

    // Any int, most often one of the sizes a picture has, else one of the values where
    // arithmetic turns: the ends of the ranges of 8, 16 and 32 bits, and the BGI codes' ends.
    int number() {
        static constexpr int edges[] = {
            0,       1,       -1,         2,       3,       4,           5,          10,
            12,      13,      15,         16,      17,      255,         256,        359,
            360,     361,     32767,      32768,   -32768,  -32769,      65535,      65536,
            1 << 24, 1 << 30, -(1 << 30), INT_MAX, INT_MIN, INT_MAX - 1, INT_MIN + 1};
        switch (byte() % 8) {
        case 0:
            return std::int8_t(byte());
        case 1:
            return std::int16_t(byte() | (byte() << 8));
        case 2:
            return int(bits32());
        case 3:
            return edges[byte() % std::size(edges)];
        default: // on or near a 640 x 480 picture
            return int(byte() | ((byte() & 3) << 8)) - 64;
        }
    }

    double real() {
        const std::uint64_t v = std::uint64_t(bits32()) | (std::uint64_t(bits32()) << 32);
        double d;
        std::memcpy(&d, &v, sizeof d); // NaNs and infinities included
        return d;
    }

    // Up to 47 characters of any code but 0.
    std::string text() {
        std::string s(byte() % 48, ' ');
        for (char &c : s) c = char(byte() | 1);
        return s;
    }

private:
    const std::uint8_t *at;
    const std::uint8_t *end;
};

// Blocks larger than this are not asked for: the library takes them, but only slowly, and a
// rectangle of 32767 x 32767 pixels shows nothing a smaller one does not.
constexpr std::size_t largest_block = std::size_t(1) << 20;

// What a block's header makes putimage read: the header and rows of whole bytes, two pixels a
// byte, each row rounded up to 8 pixels.
std::size_t claimed_size(const std::vector<unsigned char> &block) {
    if (block.size() < 4) return 8;
    const int w = std::int16_t(block[0] | (block[1] << 8));
    const int h = std::int16_t(block[2] | (block[3] << 8));
    if (w <= 0 || h <= 0) return 8;
    return 8 + std::size_t((w + 7) / 8) * 4 * std::size_t(h);
}

template <class Result, class... Args, std::size_t... I>
void call_with(Result (*f)(Args...), const int *numbers, std::index_sequence<I...>) {
    f(Args(numbers[I])...);
}

// Calls f with as many of the input's numbers as it takes, read in order.
template <class Result, class... Args> void with_numbers(Input &in, Result (*f)(Args...)) {
    const int numbers[] = {(void(sizeof(Args)), in.number())...};
    call_with(f, numbers, std::index_sequence_for<Args...>{});
}

void type_keys(const std::string &keys) {
    if (bgi::window_handle()) win32::testing::inject_text(bgi::window_handle(), keys);
}

void open_window(int driver, int mode, bool with_pointers) {
    if (with_pointers)
        initgraph(&driver, &mode, "");
    else
        initgraph(nullptr, nullptr, nullptr);
}

} // namespace

// Fontconfig keeps some of its configuration behind offsets instead of pointers, which the leak
// checker cannot follow: its blocks look lost while the configuration lives (they are freed with
// it at exit).
extern "C" const char *__lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    win32::testing::use_headless_display(320, 240);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    Input in(data, size);
    // Every input starts on a new window in the default state, whatever the one before left: a
    // 320 x 200 one, on a display of 320 x 240, so that a window costs little to make.
    bgiemu_handle_redraw = 1;
    bgiemu_default_mode = VGAHI;
    closegraph();
    setenv("BGI_CLASSIC", "0", 1);
    open_window(CGA, CGAC0, true);
    std::vector<unsigned char> image; // the last block getimage filled
    bool delayed = false;
    bool caches_filled = false;

    while (!in.done()) {
        const std::uint8_t op = in.byte();
        switch (op % 64) {
        case 0: {
            const int driver = in.number(), mode = in.number();
            open_window(driver, mode, in.byte() & 1);
            break;
        }
        case 1:
            closegraph();
            break;
        case 2:
            graphdefaults();
            break;
        case 3:
            with_numbers(in, setcolor);
            break;
        case 4:
            with_numbers(in, setbkcolor);
            break;
        case 5:
            with_numbers(in, setpalette);
            break;
        case 6:
            with_numbers(in, setrgbpalette);
            break;
        case 7: {
            palettetype palette;
            palette.size = in.byte();
            for (signed char &c : palette.colors) c = static_cast<signed char>(in.byte());
            setallpalette(&palette);
            break;
        }
        case 8: {
            const int style = in.number();
            const unsigned pattern = in.bits32();
            setlinestyle(style, pattern, in.number());
            break;
        }
        case 9:
            with_numbers(in, setwritemode);
            break;
        case 10:
            with_numbers(in, setfillstyle);
            break;
        case 11: {
            char rows[8];
            for (char &r : rows) r = char(in.byte());
            setfillpattern(rows, in.number());
            break;
        }
        case 12:
            with_numbers(in, lineto);
            break;
        case 13:
            with_numbers(in, linerel);
            break;
        case 14:
            with_numbers(in, line);
            break;
        case 15:
            with_numbers(in, moveto);
            break;
        case 16:
            with_numbers(in, moverel);
            break;
        case 17:
        case 18: {
            // Any count, negative ones too; the points are there for every one counted.
            int count = in.number();
            if (count > 64) count %= 65;
            std::vector<int> points(std::size_t(count > 0 ? count : 0) * 2);
            for (int &v : points) v = in.number();
            const int *list = (in.byte() % 16 == 0) ? nullptr : points.data();
            if (op % 64 == 17)
                drawpoly(count, list);
            else
                fillpoly(count, list);
            break;
        }
        case 19:
            with_numbers(in, rectangle);
            break;
        case 20:
            with_numbers(in, bar);
            break;
        case 21:
            with_numbers(in, bar3d);
            break;
        case 22:
            with_numbers(in, floodfill);
            break;
        case 23:
            with_numbers(in, putpixel);
            break;
        case 24:
            with_numbers(in, getpixel);
            break;
        case 25:
            with_numbers(in, arc);
            break;
        case 26:
            with_numbers(in, circle);
            break;
        case 27:
            with_numbers(in, pieslice);
            break;
        case 28:
            with_numbers(in, ellipse);
            break;
        case 29:
            with_numbers(in, fillellipse);
            break;
        case 30:
            with_numbers(in, sector);
            break;
        case 31: {
            arccoordstype coords;
            getarccoords(in.byte() & 1 ? &coords : nullptr);
            break;
        }
        case 32:
            with_numbers(in, settextstyle);
            break;
        case 33:
            with_numbers(in, settextjustify);
            break;
        case 34:
            with_numbers(in, setusercharsize);
            break;
        case 35:
            outtext(in.text().c_str());
            break;
        case 36: {
            const int x = in.number(), y = in.number();
            outtextxy(x, y, in.text().c_str());
            break;
        }
        case 37:
            textwidth(in.text().c_str());
            break;
        case 38:
            textheight(in.text().c_str());
            break;
        case 39: {
            const int l = in.number(), t = in.number(), r = in.number(), b = in.number();
            const std::size_t bytes = imagesize(l, t, r, b);
            if (bytes > largest_block) break;
            image.assign(bytes, 0xA5);
            getimage(l, t, r, b, image.data());
            break;
        }
        case 40: {
            const int x = in.number(), y = in.number(), mode = in.number();
            if (!image.empty()) putimage(x, y, image.data(), mode);
            break;
        }
        case 41: {
            // A block of the input's own bytes: any header, with as many bytes after it as the
            // header claims (zeros where the input has none).
            std::vector<unsigned char> block(in.byte() % 64 + 4);
            for (unsigned char &b : block) b = in.byte();
            const std::size_t claimed = claimed_size(block);
            if (claimed > largest_block) break;
            if (block.size() < claimed) block.resize(claimed, 0);
            const int x = in.number(), y = in.number();
            putimage(x, y, block.data(), in.number());
            break;
        }
        case 42:
            with_numbers(in, imagesize);
            break;
        case 43:
            with_numbers(in, setactivepage);
            break;
        case 44:
            with_numbers(in, setvisualpage);
            break;
        case 45:
            cleardevice();
            break;
        case 46:
            clearviewport();
            break;
        case 47:
            with_numbers(in, setviewport);
            break;
        case 48: {
            viewporttype view;
            getviewsettings(&view);
            getx();
            gety();
            break;
        }
        case 49:
            kbhit();
            break;
        case 50:
            // Typed keys, then read while there are any: getch never waits here.
            type_keys(in.text());
            while (kbhit()) getch();
            break;
        case 51:
            if (!delayed) delay(in.byte() % 3);
            delayed = true;
            break;
        case 52: {
            int count = in.number();
            if (count > 16) count %= 17;
            const int radius = in.number();
            std::vector<activepoint3> points(std::size_t(count > 0 ? count : 0));
            for (activepoint3 &p : points) p = {in.real(), in.real(), in.real()};
            std::vector<activepoint> flat;
            for (const activepoint3 &p : points) flat.push_back({p.x, p.y});
            getactivepoint(flat.data(), count, radius);
            getactivepoint3(points.data(), count, radius);
            break;
        }
        case 53: {
            const win32::HWND window = bgi::window_handle();
            if (!window) break;
            const int x = in.number(), y = in.number();
            switch (in.byte() % 6) {
            case 0:
                win32::testing::inject_mouse_move(window, x, y);
                break;
            case 1:
                win32::testing::inject_mouse_button(window, 1 + in.byte() % 3, in.byte() & 1, x, y);
                break;
            case 2:
                win32::testing::inject_resize(window, x & 0x7FF, y & 0x7FF);
                break;
            case 3:
                win32::testing::inject_minimize(window);
                break;
            case 4:
                win32::testing::inject_restore(window);
                break;
            default:
                win32::testing::inject_focus(window, in.byte() & 1);
                break;
            }
            kbhit(); // dispatches what was injected
            break;
        }
        case 54:
            with_numbers(in, setaspectratio);
            break;
        case 55: {
            // The queries, which only read state or fill the caller's records.
            int a, b;
            getaspectratio(&a, &b);
            getmaxx();
            getmaxy();
            getmaxcolor();
            getmaxmode();
            graphresult();
            getgraphmode();
            getcolor();
            getbkcolor();
            getpalettesize();
            getmodename(in.number());
            grapherrormsg(in.number());
            getdrivername();
            detectgraph(&a, &b);
            palettetype palette;
            getpalette(&palette);
            getdefaultpalette()->colors[in.byte() % 16] = static_cast<signed char>(in.byte());
            fillsettingstype fill;
            getfillsettings(&fill);
            char rows[8];
            getfillpattern(rows);
            linesettingstype line_settings;
            getlinesettings(&line_settings);
            textsettingstype text;
            gettextsettings(&text);
            break;
        }
        case 56:
            bgiemu_handle_redraw = in.number();
            break;
        case 57:
            bgiemu_default_mode = in.number();
            break;
        case 58:
            setgraphmode(in.number());
            restorecrtmode();
            break;
        case 59:
        case 60:
        case 61: {
            // The game's square: an outline, and its inside flooded up to it.
            const int x = in.number(), y = in.number(), c = in.number();
            auto plus = [](int v, unsigned d) { return int(unsigned(v) + d); };
            setcolor(c);
            rectangle(x, y, plus(x, 13), plus(y, 13));
            floodfill(plus(x, 1), plus(y, 1), c);
            break;
        }
        case 62: {
            // The DOS-era companions: the interrupts (none of them waiting for a key), the BIOS
            // keyboard, the classic set-up calls, and a window with classic behaviour or not.
            union REGS r {};
            r.x.ax = std::uint16_t(in.number()), r.x.bx = std::uint16_t(in.number());
            r.x.cx = std::uint16_t(in.number()), r.x.dx = std::uint16_t(in.number());
            int a = 0, b = 0;
            switch (in.byte() % 6) {
            case 0:
                r.x.ax %= 12;
                int86(0x33, &r, &r);
                break;
            case 1: {
                const int interrupt = in.number();
                if (interrupt == 0x16 && (r.x.ax >> 8 & ~0x10) == 0) break;
                int86x(interrupt, &r, &r, nullptr);
                break;
            }
            case 2:
                bioskey(1), bioskey(2), bioskey(in.number() | 3);
                if (kbhit()) bioskey(0);
                break;
            case 3:
                getmoderange(in.number(), &a, &b);
                setgraphbufsize(unsigned(in.number()));
                break;
            case 4:
                installuserfont(in.text().c_str());
                installuserdriver(in.text().c_str(), nullptr);
                registerbgidriver(in.byte() & 1 ? EGAVGA_driver : nullptr);
                registerbgifont(in.byte() & 1 ? gothic_font : small_font);
                break;
            default:
                setenv("BGI_CLASSIC", in.byte() & 1 ? "1" : "0", 1);
                open_window(in.number(), in.number(), true);
                break;
            }
            break;
        }
        default:
            // Nine pens and nine fonts in a row, one more than each cache keeps; once an input,
            // for a font takes long to make.
            if (caches_filled) break;
            caches_filled = true;
            for (int i = 0; i < 9; ++i) {
                setlinestyle(i % 5, 0x1234u * unsigned(i), i % 4);
                setcolor(i);
                line(i * 7, 0, 300 - i * 9, 200);
                settextstyle(i, i & 1, 1 + i % 2);
                outtextxy(i * 20, i * 15, "Aa");
            }
            break;
        }
    }
    return 0;
}
