// What only our platform's call trace shows of images: the put-image bitmap
// made only when an image does not fit it, getimage's section deleted again,
// and the DCs putimage draws on, with the raster operation of each put mode.
#include "drawing_fixture.h"

#include <climits>
#include <cstdint>
#include <vector>

namespace {

// The sizes of the bitmaps made, as "w x h".
std::vector<std::vector<std::int64_t>> bitmaps_made() {
    std::vector<std::vector<std::int64_t>> out;
    for (const Call &c : traced_calls("CreateCompatibleBitmap")) out.push_back(c.args);
    return out;
}

// The objects selected into the put-image DC, in order.
std::vector<std::int64_t> selected_for_putting() {
    std::vector<std::int64_t> out;
    for (const Call &c : traced_calls("SelectObject"))
        if (c.dc == dc_value(2)) out.push_back(c.args.at(0));
    return out;
}

bool deleted(std::int64_t handle) {
    for (const Call &c : traced_calls("DeleteObject"))
        if (c.args.at(0) == handle) return true;
    return false;
}

using TracedImages = Traced;

// The width grows in steps of 8, each side on its own, and the bitmap it
// replaces is deleted; the size outlives the window.
TEST_F(TracedImages, PutImageBitmapGrowsOnlyWhenAnImageDoesNotFit) {
    start_trace();
    for (auto [w, h] : {std::pair(10, 10), {20, 5}, {16, 10}, {24, 10}, {1, 1}})
        putimage(0, 0, blank_image(w, h).data(), COPY_PUT);
    using Size = std::vector<std::int64_t>;
    EXPECT_EQ(bitmaps_made(), (std::vector<Size>{{16, 10}, {24, 10}}));
    const std::vector<std::int64_t> selected = selected_for_putting();
    ASSERT_EQ(selected.size(), 2u);
    EXPECT_TRUE(deleted(selected[0])) << "the smaller bitmap";
    EXPECT_FALSE(deleted(selected[1]));

    start_trace();
    closegraph();
    EXPECT_TRUE(deleted(selected[1])) << "by the destroy handler";
    open();
    start_trace();
    putimage(0, 0, blank_image(3, 3).data(), COPY_PUT);
    putimage(0, 0, blank_image(30, 3).data(), COPY_PUT);
    EXPECT_EQ(bitmaps_made(), (std::vector<Size>{{24, 10}, {32, 10}}));
}

// Images that cannot be put make no bitmap.
TEST_F(TracedImages, NothingToPutMakesNoBitmap) {
    start_trace();
    putimage(0, 0, blank_image(0, 4).data(), COPY_PUT);
    closegraph();
    putimage(0, 0, blank_image(4, 4).data(), COPY_PUT);
    EXPECT_TRUE(bitmaps_made().empty());
    open();
}

// The section getimage reads into lives for the call only.
TEST_F(TracedImages, GetimageDeletesItsSection) {
    std::vector<unsigned char> block(imagesize(5, 6, 15, 12));
    start_trace();
    getimage(5, 6, 15, 12, block.data());
    const std::vector<Call> made = traced_calls("CreateDIBSection");
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].dc, dc_value(3));
    EXPECT_EQ(made[0].args, (std::vector<std::int64_t>{11, 7, 4, DIB_PAL_COLORS}));
    const std::vector<Call> selected = traced_calls("SelectObject");
    ASSERT_EQ(selected.size(), 2u);
    EXPECT_TRUE(deleted(selected[0].args.at(0)));
}

// Each put mode's raster operation, on the page DC and then on the window DC
// when the page is shown; on the page DC alone when it is hidden.
TEST_F(TracedImages, PutimageBlitsWithTheModesRasterOperation) {
    struct Case {
        int mode;
        DWORD rop;
    };
    const Case cases[] = {{COPY_PUT, SRCCOPY}, {XOR_PUT, SRCINVERT},  {OR_PUT, SRCPAINT},
                          {AND_PUT, SRCAND},   {NOT_PUT, NOTSRCCOPY}, {5, SRCCOPY},
                          {INT_MIN, SRCCOPY}};
    const std::vector<unsigned char> image = blank_image(6, 4);
    for (int hidden : {0, 1}) {
        setactivepage(hidden);
        for (const Case &k : cases) {
            start_trace();
            putimage(7, 8, image.data(), k.mode);
            const std::vector<Call> blits = traced_calls("BitBlt");
            ASSERT_EQ(blits.size(), hidden ? 1u : 2u) << k.mode;
            for (std::size_t i = 0; i < blits.size(); ++i) {
                EXPECT_EQ(blits[i].dc, dc_value(i == 0 ? 1 : 0)) << k.mode;
                EXPECT_EQ(blits[i].args, (std::vector<std::int64_t>{
                                             7, 8, 6, 4, std::int64_t(dc_value(2)), 0, 0, k.rop}))
                    << k.mode;
            }
            const std::vector<Call> converted = traced_calls("SetDIBits");
            ASSERT_EQ(converted.size(), 1u);
            EXPECT_EQ(converted[0].dc, dc_value(2));
        }
    }
}

} // namespace
