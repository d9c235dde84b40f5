// Faults that fuzzing the public API brought out in the layer, each kept as
// the behaviour it should have had. Through the call trace of our platform.
#include "drawing_fixture.h"

#include <cstdint>
#include <vector>

namespace {

using win32::testing::Call;
using win32::testing::start_trace;
using win32::testing::traced_calls;

using FuzzFindings = Drawing;

// A block of w x h pixels, all colour 0.
std::vector<unsigned char> blank_image(int w, int h) {
    std::vector<unsigned char> block(8 + std::size_t((w + 7) / 8 * 4) * std::size_t(h), 0);
    block[0] = (unsigned char)(w & 0xFF), block[1] = (unsigned char)(w >> 8);
    block[2] = (unsigned char)(h & 0xFF), block[3] = (unsigned char)(h >> 8);
    return block;
}

// The bitmap putimage converts blocks into keeps the widest and the tallest
// image's sides; a wide image and a tall one, 16 and 128 KiB blocks, must not
// make it their product (a gigabyte). Past a screenful it takes the size of
// the image being put.
TEST_F(FuzzFindings, PutImageBitmapStaysNearTheImagesItPuts) {
    start_trace();
    putimage(0, 0, blank_image(32767, 1).data(), COPY_PUT);
    putimage(0, 0, blank_image(1, 32767).data(), COPY_PUT);
    putimage(0, 0, blank_image(100, 100).data(), COPY_PUT);
    win32::testing::stop_trace();
    std::vector<std::vector<std::int64_t>> made;
    for (const Call &c : traced_calls("CreateCompatibleBitmap")) made.push_back(c.args);
    EXPECT_EQ(made, (std::vector<std::vector<std::int64_t>>{{32768, 1}, {8, 32767}, {104, 32767}}));
}

} // namespace
