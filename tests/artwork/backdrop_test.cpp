// Opaque control bitmaps carry the plate they sit on: at every place a knob is put,
// the corners of its frames match the background there, so no seam shows.
#include "tests/artwork/embedded_bitmaps.h"
#include "effect/editor/bitmap_resources.h"
#include "effect/editor/layout.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace ruvane {
namespace {

using testing::decodeBitmap;
using testing::pixelAt;
using testing::Surface;

// Largest difference of the red, green and blue channels.
int channelDistance(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return worst;
}

TEST(Backdrops, KnobCornersMatchTheBackgroundAtEveryKnob) {
    // The plates' fine speckle differs from place to place; anything beyond it is a seam.
    constexpr int kSpeckle = 6;
    for (int scale : {1, 2}) {
        Surface background = decodeBitmap(layout::kBackgroundBitmap, scale);
        ASSERT_EQ(cairo_surface_status(background.get()), CAIRO_STATUS_SUCCESS);
        for (const layout::Control& control : layout::kControls) {
            if (control.kind != layout::ControlKind::AnimKnob) continue;
            Surface strip = decodeBitmap(control.bitmap, scale);
            ASSERT_EQ(cairo_surface_status(strip.get()), CAIRO_STATUS_SUCCESS);
            const layout::Bitmap& bitmap = *layout::findBitmap(control.bitmap);
            const int width = bitmap.width * scale, height = bitmap.frameHeight() * scale;
            const int left = static_cast<int>(control.rect.left) * scale;
            const int top = static_cast<int>(control.rect.top) * scale;
            for (int frame : {0, 50, 100})
                for (auto [x, y] : {std::pair{0, 0}, {width - 1, 0}, {0, height - 1},
                                    {width - 1, height - 1}}) {
                    const uint32_t own = pixelAt(strip.get(), x, frame * height + y);
                    const uint32_t under = pixelAt(background.get(), left + x, top + y);
                    EXPECT_LE(channelDistance(own, under), kSpeckle)
                        << "knob " << control.tag << " frame " << frame << " corner " << x << ","
                        << y << " at " << scale << "x";
                }
        }
    }
}

}  // namespace
}  // namespace ruvane
