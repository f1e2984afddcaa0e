// The embedded bitmaps: every id of the editor's tables at its exact size and frame
// count at 1x, exactly twice that at 2x, decoded with cairo.
#include "tests/artwork/embedded_bitmaps.h"
#include "effect/editor/bitmap_resources.h"
#include "effect/editor/layout.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace ruvane {
namespace {

struct Expected {
    int id, width, height, frames;
};

// The sizes the editor's documentation lists, written out independently of the
// layout table so that a slip in either shows.
constexpr Expected kDocumented[] = {
    {128, 875, 171, 1},  {129, 875, 171, 1},  {130, 37, 3636, 101}, {131, 37, 3636, 101},
    {132, 36, 3636, 101}, {133, 36, 3737, 101}, {134, 36, 3636, 101}, {135, 36, 3737, 101},
    {136, 36, 3737, 101}, {137, 37, 3737, 101}, {138, 36, 3636, 101}, {139, 37, 3636, 101},
    {140, 36, 3636, 101}, {141, 36, 3636, 101}, {142, 37, 3636, 101}, {143, 36, 3636, 101},
    {144, 25, 44, 2},    {145, 24, 40, 2},    {146, 24, 40, 2},    {147, 24, 40, 2},
    {148, 24, 40, 2},    {149, 24, 40, 2},    {150, 27, 26, 2},    {151, 22, 24, 2},
    {152, 23, 24, 2},    {153, 30, 39, 3},    {154, 31, 33, 3},    {155, 8, 52, 2},
    {157, 7, 50, 2},     {158, 6, 50, 2},     {159, 7, 70, 2},     {160, 8, 52, 2},
    {161, 7, 52, 2},     {163, 3, 4, 2},      {164, 13, 176, 11},  {165, 13, 208, 13},
    {166, 3, 16, 2},     {167, 20, 38, 2},    {168, 19, 38, 2},    {169, 19, 38, 2},
    {170, 19, 38, 2},    {171, 19, 38, 2},    {172, 19, 38, 2},    {173, 7, 945, 21},
    {174, 16, 280, 5},   {990, 17, 45, 3},    {991, 17, 45, 3},    {992, 32, 39, 3},
    {993, 44, 39, 3},    {994, 28, 39, 3},    {995, 30, 65, 5},    {998, 24, 48, 3},
    {999, 24, 48, 3},
};

using testing::decodeBitmap;
using testing::Surface;

// The pixels of frame `frame` of a decoded strip, row by row.
std::vector<uint32_t> framePixels(cairo_surface_t* surface, int frame, int frames) {
    const int width = cairo_image_surface_get_width(surface);
    const int frameHeight = cairo_image_surface_get_height(surface) / frames;
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    std::vector<uint32_t> pixels;
    for (int y = frame * frameHeight; y < (frame + 1) * frameHeight; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < width; ++x) pixels.push_back(row[x]);
    }
    return pixels;
}

class EmbeddedBitmap : public ::testing::TestWithParam<Expected> {};
class EmbeddedStrip : public ::testing::TestWithParam<Expected> {};

std::vector<Expected> strips() {
    std::vector<Expected> result;
    for (const Expected& expected : kDocumented)
        if (expected.frames > 1) result.push_back(expected);
    return result;
}

TEST_P(EmbeddedBitmap, HasItsSizeAndFramesAtOneAndTwoTimes) {
    const Expected expected = GetParam();
    const layout::Bitmap* entry = layout::findBitmap(expected.id);
    ASSERT_NE(entry, nullptr) << "layout table lacks bitmap " << expected.id;
    EXPECT_EQ(entry->width, expected.width);
    EXPECT_EQ(entry->height, expected.height);
    EXPECT_EQ(entry->frames, expected.frames);
    EXPECT_EQ(expected.height % expected.frames, 0);
    for (int scale : {1, 2}) {
        Surface surface = decodeBitmap(expected.id, scale);
        ASSERT_NE(surface, nullptr) << "bitmap " << expected.id << " at " << scale << "x";
        EXPECT_EQ(cairo_image_surface_get_width(surface.get()), expected.width * scale);
        EXPECT_EQ(cairo_image_surface_get_height(surface.get()), expected.height * scale);
    }
}

TEST_P(EmbeddedStrip, EveryFrameDiffersFromTheNext) {
    const Expected expected = GetParam();
    for (int scale : {1, 2}) {
        Surface surface = decodeBitmap(expected.id, scale);
        ASSERT_NE(surface, nullptr);
        for (int frame = 0; frame + 1 < expected.frames; ++frame)
            EXPECT_NE(framePixels(surface.get(), frame, expected.frames),
                      framePixels(surface.get(), frame + 1, expected.frames))
                << "bitmap " << expected.id << " frames " << frame << " and " << frame + 1
                << " at " << scale << "x";
    }
}

std::string nameOf(const ::testing::TestParamInfo<Expected>& info) {
    return "Bitmap" + std::to_string(info.param.id);
}
INSTANTIATE_TEST_SUITE_P(AllIds, EmbeddedBitmap, ::testing::ValuesIn(kDocumented), nameOf);
INSTANTIATE_TEST_SUITE_P(AllStrips, EmbeddedStrip, ::testing::ValuesIn(strips()), nameOf);

TEST(EmbeddedBitmaps, CoverExactlyTheDocumentedIds) {
    std::set<int> documented, tabled;
    for (const Expected& expected : kDocumented) documented.insert(expected.id);
    for (const layout::Bitmap& bitmap : layout::kBitmaps) tabled.insert(bitmap.id);
    EXPECT_EQ(documented, tabled);
    for (int missing : {156, 162, 996, 997}) {
        EXPECT_TRUE(bitmapPng(missing, 1).empty()) << missing;
        EXPECT_EQ(layout::findBitmap(missing), nullptr) << missing;
    }
}

TEST(EmbeddedBitmaps, UnknownIdOrScaleGivesNothing) {
    EXPECT_TRUE(bitmapPng(0, 1).empty());
    EXPECT_TRUE(bitmapPng(-128, 1).empty());
    EXPECT_TRUE(bitmapPng(128, 0).empty());
    EXPECT_TRUE(bitmapPng(128, 3).empty());
    EXPECT_FALSE(bitmapPng(128, 1).empty());
}

TEST(EmbeddedBitmaps, OnlyTheLoadArrowAndLearnKeyCarryAlpha) {
    for (const Expected& expected : kDocumented) {
        Surface surface = decodeBitmap(expected.id, 1);
        ASSERT_NE(surface, nullptr);
        const bool alpha = expected.id == 990 || expected.id == 998;
        EXPECT_EQ(cairo_image_surface_get_format(surface.get()),
                  alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24)
            << "bitmap " << expected.id;
    }
}

// 2x is drawn again at twice the size, not blown up: somewhere a 2x2 block of the
// 2x picture holds more than one colour.
TEST(EmbeddedBitmaps, TwoTimesIsDrawnNotUpscaled) {
    for (int id : {128, 130, 165, 995}) {
        Surface surface = decodeBitmap(id, 2);
        ASSERT_NE(surface, nullptr);
        const int width = cairo_image_surface_get_width(surface.get());
        const int height = cairo_image_surface_get_height(surface.get());
        const int stride = cairo_image_surface_get_stride(surface.get());
        const unsigned char* data = cairo_image_surface_get_data(surface.get());
        int blocksWithDetail = 0;
        for (int y = 0; y + 1 < height; y += 2) {
            const auto* a = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
            const auto* b = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y + 1) * stride);
            for (int x = 0; x + 1 < width; x += 2)
                if (a[x] != a[x + 1] || a[x] != b[x] || a[x] != b[x + 1]) ++blocksWithDetail;
        }
        EXPECT_GT(blocksWithDetail, (width / 2) * (height / 2) / 20) << "bitmap " << id;
    }
}

}  // namespace
}  // namespace ruvane
