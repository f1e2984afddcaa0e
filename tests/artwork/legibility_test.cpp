// What must stay legible on the embedded artwork: the about screen leaves the place
// where the editor writes the version dark enough for white text, and the LEARN and
// FORGET keys look plainly different when they are on.
#include "tests/artwork/embedded_bitmaps.h"
#include "effect/editor/bitmap_resources.h"
#include "effect/editor/layout.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace ruvane {
namespace {

using testing::decodeBitmap;
using testing::Surface;

struct Rgb {
    double r = 0, g = 0, b = 0;
};

// The colour at (x, y) as stored (premultiplied: as if laid over black).
Rgb colourAt(cairo_surface_t* surface, int x, int y) {
    const uint32_t pixel = testing::pixelAt(surface, x, y);
    return {double((pixel >> 16) & 0xFF), double((pixel >> 8) & 0xFF), double(pixel & 0xFF)};
}

double luminance(Rgb c) { return 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b; }

TEST(Legibility, AboutScreenKeepsTheVersionAreaDark) {
    // White text needs a dark ground: nothing in the area may be brighter than this.
    constexpr double kBrightest = 80;
    for (int scale : {1, 2}) {
        Surface about = decodeBitmap(layout::kAboutBitmap, scale);
        ASSERT_EQ(cairo_surface_status(about.get()), CAIRO_STATUS_SUCCESS);
        const int left = static_cast<int>(layout::kAboutVersionOrigin.x) * scale;
        const int top = static_cast<int>(layout::kAboutVersionOrigin.y) * scale;
        const int right = left + static_cast<int>(layout::kAboutVersionWidth) * scale;
        const int bottom = top + static_cast<int>(layout::kAboutVersionHeight) * scale;
        double brightest = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                brightest = std::max(brightest, luminance(colourAt(about.get(), x, y)));
        EXPECT_LE(brightest, kBrightest) << "at " << scale << "x";
    }
}

TEST(Legibility, LearnAndForgetKeysLightUpWhenOn) {
    // Frames: 0 off, 1 hover while off, 2 on. The on frame's face is red, the others not.
    for (int id : {998, 999}) {
        for (int scale : {1, 2}) {
            Surface strip = decodeBitmap(id, scale);
            ASSERT_EQ(cairo_surface_status(strip.get()), CAIRO_STATUS_SUCCESS);
            const layout::Bitmap& bitmap = *layout::findBitmap(id);
            const int frameHeight = bitmap.frameHeight() * scale;
            // The key's face in the middle, below the lettering.
            const int x = bitmap.width * scale / 2, y = 13 * scale;
            auto redness = [&](int frame) {
                const Rgb c = colourAt(strip.get(), x, frame * frameHeight + y);
                return c.r - (c.g + c.b) / 2;
            };
            for (int off : {0, 1})
                EXPECT_GT(redness(2), redness(off) + 60)
                    << "key " << id << " frame " << off << " at " << scale << "x";
        }
    }
}

}  // namespace
}  // namespace ruvane
