// Faults that fuzzing the public API brought out in the layer, each kept as
// the behaviour it should have had. Through the call trace of our platform.
#include "drawing_fixture.h"

#include <cstdint>
#include <vector>

namespace {

using FuzzFindings = Drawing;

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
