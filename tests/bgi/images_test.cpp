// Images on a headless window: the size of a block, what getimage writes into
// it, and what putimage draws from it. Also runs in the Windows build under
// Wine, except where noted: Wine takes the palette indices of a 4-bit colour
// table modulo its 16 entries, so there the layer's slots 16..31 become slots
// 0..15 and an image does not keep its colours; only what holds whatever the
// colours are (the header, the block's bounds, round trips of the block
// itself) is checked there.
#include "drawing_fixture.h"

#include <climits>
#include <cstddef>
#include <vector>

namespace {

using Images = Drawing;

using Block = std::vector<unsigned char>;

// Bytes after the block and in its reserved field, which getimage must leave.
constexpr std::size_t guard = 16;
constexpr unsigned char untouched = 0xAB;

// A block of imagesize bytes for the rectangle, and a guard after it.
Block block_for(int l, int t, int r, int b) {
    return Block(imagesize(l, t, r, b) + guard, untouched);
}

Block take(int l, int t, int r, int b) {
    Block block = block_for(l, t, r, b);
    getimage(l, t, r, b, block.data());
    return block;
}

int field(const Block &block, int offset) {
    return short(block[std::size_t(offset)] | (block[std::size_t(offset) + 1] << 8));
}

// Bytes of the block's pixels, without the guard.
Block pixel_bytes(const Block &block) {
    return Block(block.begin() + 8, block.end() - guard);
}

// Everything getimage may write is within imagesize; the reserved bytes stay.
void expect_bounds_kept(const Block &block) {
    for (std::size_t i = 4; i < 8; ++i) EXPECT_EQ(block[i], untouched) << "reserved byte " << i;
    for (std::size_t i = block.size() - guard; i < block.size(); ++i)
        EXPECT_EQ(block[i], untouched) << "beyond the block, byte " << i;
}

// A picture of all 16 colours, no two neighbours alike.
int colour_at(int x, int y) {
    return (x + 3 * y) % 16;
}
void draw_picture(int left, int top, int w, int h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) putpixel(left + x, top + y, colour_at(x, y));
}

// The colours of a rectangle as getpixel reads them.
std::vector<int> pixels(int left, int top, int w, int h) {
    std::vector<int> out;
    for (int y = top; y < top + h; ++y)
        for (int x = left; x < left + w; ++x) out.push_back(getpixel(x, y));
    return out;
}

// Imagesize holds no window state, so it is checked without one too.
TEST(Imagesize, CountsTheHeaderAndRowsOfWholeEightPixels) {
    struct Case {
        int left, top, right, bottom;
        unsigned size;
    };
    const Case cases[] = {
        {0, 0, 9, 9, 88}, // 10 rows of 8 bytes
        {0, 0, 0, 0, 12},
        {0, 0, 7, 0, 12},
        {0, 0, 8, 0, 16},
        {100, -50, 109, -41, 88}, // only the size counts
        // Corners in either order take the same rectangle.
        {9, 9, 0, 0, 88},
        {0, 9, 9, 0, 88},
        {-3, 0, -10, 0, 12},
        // Sides beyond what the header holds are cut to 32767.
        {0, 0, 32766, 0, 8 + 16384},
        {0, 0, 40000, 0, 8 + 16384},
        {0, 0, 0, 40000, 8 + 4 * 32767},
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 8 + 16384u * 32767u},
        {INT_MAX, 0, INT_MIN, 0, 8 + 16384},
    };
    for (const Case &c : cases)
        EXPECT_EQ(imagesize(c.left, c.top, c.right, c.bottom), c.size)
            << c.left << "," << c.top << "," << c.right << "," << c.bottom;
}

TEST_F(Images, GetimageWritesTheHeaderAndLeavesTheReservedBytes) {
    draw_picture(0, 0, 10, 10);
    const Block block = take(0, 0, 9, 9);
    ASSERT_EQ(block.size(), 88 + guard);
    EXPECT_EQ(field(block, 0), 10);
    EXPECT_EQ(field(block, 2), 10);
    expect_bounds_kept(block);
#ifndef _WIN32
    // Rows of 8 bytes, the bottom row first, the left pixel of a byte in its
    // high four bits; the pixels beyond the width are left 0.
    EXPECT_EQ(block[8], (colour_at(0, 9) << 4) | colour_at(1, 9));
    EXPECT_EQ(block[8 + 9 * 8], (colour_at(0, 0) << 4) | colour_at(1, 0));
    for (int y = 0; y < 10; ++y) {
        const std::size_t row = 8 + std::size_t(9 - y) * 8;
        for (int x = 0; x < 10; ++x) {
            const int byte = block[row + std::size_t(x / 2)];
            EXPECT_EQ(x % 2 ? byte & 15 : byte >> 4, colour_at(x, y)) << x << "," << y;
        }
        EXPECT_EQ(block[row + 5], 0);
    }
#endif
}

// Corners in either order, and sides cut to 32767: the header says what was
// taken, and nothing beyond imagesize's bytes is written.
TEST_F(Images, GetimageWritesNoMoreThanImagesizeSays) {
    struct Case {
        int left, top, right, bottom, width, height;
    };
    const Case cases[] = {
        {9, 9, 0, 0, 10, 10},           {5, 0, -2, 3, 8, 4},        {0, 3, 2, 0, 3, 4},
        {0, 0, 40000, 2, 32767, 3},     {0, 0, 2, 40000, 3, 32767}, {-9, -9, -100000, -1, 32767, 9},
        {-100000, 0, -99990, 0, 11, 1}, // off the page: colour 0
    };
    for (const Case &c : cases) {
        const Block block = take(c.left, c.top, c.right, c.bottom);
        EXPECT_EQ(field(block, 0), c.width) << c.left << "," << c.top;
        EXPECT_EQ(field(block, 2), c.height) << c.left << "," << c.top;
        expect_bounds_kept(block);
    }
    draw_picture(0, 0, 10, 10);
    EXPECT_EQ(take(9, 9, 0, 0), take(0, 0, 9, 9));
    EXPECT_EQ(take(0, 9, 9, 0), take(0, 0, 9, 9));
    const Block off = take(-100000, 0, -99990, 0);
    EXPECT_EQ(pixel_bytes(off), Block(8, 0));
}

// A rectangle of odd width, taken, put elsewhere and taken there again.
TEST_F(Images, PutAnImageReproducesTheRectangle) {
    draw_picture(20, 30, 13, 7);
    const Block image = take(20, 30, 32, 36);
    putimage(100, 200, image.data(), COPY_PUT);
    EXPECT_EQ(take(100, 200, 112, 206), image);
    EXPECT_EQ(getpixel(99, 200), BLACK);
    EXPECT_EQ(getpixel(113, 206), BLACK);
    EXPECT_EQ(getpixel(100, 207), BLACK);
#ifndef _WIN32
    EXPECT_EQ(pixels(100, 200, 13, 7), pixels(20, 30, 13, 7));
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(window_color(100 + x, 200 + y), colour_at(x, y)) << x << "," << y;
#endif
}

TEST_F(Images, XorPutTwiceRestoresThePicture) {
    draw_picture(0, 0, 16, 12);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x) putpixel(40 + x, y, (x * y + 5) % 16);
    const Block image = take(0, 0, 15, 11);
    const std::vector<int> before = pixels(35, 0, 20, 14);
    putimage(38, 1, image.data(), XOR_PUT);
    EXPECT_NE(pixels(35, 0, 20, 14), before);
    putimage(38, 1, image.data(), XOR_PUT);
    EXPECT_EQ(pixels(35, 0, 20, 14), before);
}

// Put modes outside 0..4 have no raster operation: they put a copy.
TEST_F(Images, PutModesOutside0To4PutACopy) {
    draw_picture(0, 0, 9, 9);
    const Block image = take(0, 0, 8, 8);
    block(100, 0, 199, 9, WHITE);
    putimage(100, 0, image.data(), COPY_PUT);
    const Block copy = take(100, 0, 108, 8);
    int at = 120;
    for (int mode : {5, -1, INT_MAX, INT_MIN}) {
        putimage(at, 0, image.data(), mode);
        EXPECT_EQ(take(at, 0, at + 8, 8), copy) << mode;
        at += 15;
    }
}

TEST_F(Images, BlocksWithoutWidthOrHeightPutNothing) {
    block(0, 0, 19, 19, WHITE);
    for (auto [w, h] : {std::pair(0, 5), {5, 0}, {-3, 5}, {5, -1}, {-32768, -32768}}) {
        const Block image = blank_image(w, h);
        putimage(2, 2, image.data(), COPY_PUT);
        putimage(2, 2, image.data(), NOT_PUT);
    }
    EXPECT_EQ(count_of(WHITE, 20), 400);
}

// Parts of the image outside the viewport's clip stay as they were.
TEST_F(Images, PutimageIsClippedByTheViewport) {
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) putpixel(200 + x, y, RED);
    const Block image = take(200, 0, 229, 29);
    block(0, 0, 99, 99, WHITE);
    setviewport(20, 20, 60, 60, 1);
    putimage(30, 30, image.data(), COPY_PUT);   // device 50..79
    putimage(-10, -10, image.data(), COPY_PUT); // device 10..39
    full_viewport();
    for (auto [x, y] : {std::pair(19, 25), {25, 19}, {60, 55}, {55, 60}, {79, 79}, {10, 10}})
        EXPECT_EQ(getpixel(x, y), WHITE) << x << "," << y;
    for (auto [x, y] : {std::pair(20, 20), {39, 39}, {50, 50}, {59, 59}}) {
        EXPECT_NE(getpixel(x, y), WHITE) << x << "," << y;
#ifndef _WIN32
        EXPECT_EQ(getpixel(x, y), RED) << x << "," << y;
        EXPECT_EQ(window_color(x, y), RED) << x << "," << y;
#endif
    }
}

// With the default setting the page drawn on is read, whichever is shown.
TEST_F(Images, GetimageReadsTheActivePageWhileAnotherIsShown) {
    block(0, 0, 9, 9, GREEN);
    setactivepage(1);
    block(0, 0, 9, 9, RED);
    const Block hidden = take(0, 0, 9, 9);
    setvisualpage(1);
    EXPECT_EQ(take(0, 0, 9, 9), hidden);
    setactivepage(0);
    const Block other = take(0, 0, 9, 9);
    EXPECT_NE(other, hidden);
#ifndef _WIN32
    EXPECT_EQ(pixel_bytes(hidden)[0], (RED << 4) | RED);
    EXPECT_EQ(pixel_bytes(other)[0], (GREEN << 4) | GREEN);
#endif
}

// Drawing that only the window got is read from the window.
TEST_F(Images, WithoutRedrawHandlingGetimageReadsTheWindow) {
    bgiemu_handle_redraw = 0;
    block(0, 0, 9, 9, RED);
    const Block window = take(0, 0, 9, 9);
    bgiemu_handle_redraw = 1;
    const Block page = take(0, 0, 9, 9);
    EXPECT_NE(window, page);
#ifndef _WIN32
    EXPECT_EQ(pixel_bytes(window)[0], (RED << 4) | RED);
    EXPECT_EQ(pixel_bytes(page)[0], 0);
#endif
}

TEST_F(Images, NullBlocksAndNoWindowAreHarmless) {
    getimage(0, 0, 9, 9, nullptr);
    putimage(0, 0, nullptr, COPY_PUT);
    closegraph();
    Block image = take(0, 0, 9, 9);
    EXPECT_EQ(field(image, 0), 10);
    EXPECT_EQ(field(image, 2), 10);
    expect_bounds_kept(image);
    EXPECT_EQ(pixel_bytes(image), Block(80, 0)) << "nothing to read: colour 0";
    putimage(0, 0, image.data(), XOR_PUT);
    open();
}

#ifndef _WIN32
// On a palette device the put modes combine palette indices: slot c over
// slot 16 + b for XOR and inverted copy, slot 16 + c over slot 16 + b for
// the others; the system's GDI under Wine combines RGB values instead.
TEST_F(Images, PutModesCombineColourIndicesOnPageAndWindow) {
    struct Case {
        int mode, color, shown;
    };
    const int b = LIGHTBLUE, c = LIGHTRED; // 1001 and 1100
    // Inverted copy puts the complement of slot c: slot 255 - c, one of the
    // static colours at the top of the system palette (254 is cyan).
    const Case cases[] = {{COPY_PUT, c, c},        {XOR_PUT, c, b ^ c},
                          {OR_PUT, c, b | c},      {AND_PUT, c, b & c},
                          {NOT_PUT, BLUE, CYAN},   {NOT_PUT, BLACK, WHITE},
                          {NOT_PUT, WHITE, BLACK}, {7, c, c}};
    for (const Case &k : cases) {
        block(100, 100, 104, 104, k.color);
        const Block image = take(100, 100, 104, 104);
        block(0, 0, 20, 20, b);
        putimage(3, 3, image.data(), k.mode);
        EXPECT_EQ(getpixel(5, 5), k.shown) << k.mode << " " << k.color;
        EXPECT_EQ(window_color(5, 5), k.shown) << k.mode << " " << k.color;
        EXPECT_EQ(getpixel(7, 7), k.shown) << k.mode << " " << k.color;
        EXPECT_EQ(getpixel(8, 8), b);
        EXPECT_EQ(getpixel(2, 5), b);
    }
}

// The block holds colour numbers: an image put after a palette change shows
// the colours now assigned to them.
TEST_F(Images, ImagesAreDrawnInTheNewColoursAfterAPaletteChange) {
    block(0, 0, 9, 9, RED);
    block(10, 0, 19, 9, CYAN);
    const Block image = take(0, 0, 19, 9);
    cleardevice();
    setpalette(RED, YELLOW);
    putimage(100, 100, image.data(), COPY_PUT);
    EXPECT_EQ(window_color(105, 105), YELLOW);
    EXPECT_EQ(window_color(115, 105), CYAN);
    setrgbpalette(RED, 0x10, 0x20, 0x30);
    putimage(200, 100, image.data(), COPY_PUT);
    EXPECT_EQ(getpixel(205, 105), RED) << "the only colour of that RGB";
    EXPECT_EQ(win32::testing::window_pixel(bgi::window_handle(), 205, 105), RGB(0x10, 0x20, 0x30));
}
#endif

} // namespace
