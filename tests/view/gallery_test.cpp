// The gallery's frame, headless: every bitmap control of the layout, of the panel's
// own classes, where the layout puts it, showing its start value.
#include "tools/ruvane-view/gallery.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "effect/editor/bitmap_resources.h"
#include "effect/editor/layout.h"
#include "toolkit/control.h"
#include "toolkit/draw_context.h"
#include "view_support.h"

namespace ruvane::testing {
namespace {

using layout::ControlKind;

// The class the gallery uses for each kind of layout entry; empty for those it leaves out.
std::string classFor(ControlKind kind) {
    static const std::map<ControlKind, std::string> classes = {
        {ControlKind::AnimKnob, "CAnimKnob"},          {ControlKind::OnOffButton, "COnOffButton"},
        {ControlKind::Switch, "CHorizontalSwitch"},    {ControlKind::SwitchVert, "CVerticalSwitch"},
        {ControlKind::KickButton, "CKickButton"},      {ControlKind::MovieBitmap, "CMovieBitmap"},
        {ControlKind::About, "CSplashScreen"},         {ControlKind::PSKickButton, "CKickButton"},
        {ControlKind::PSOnOffButton, "COnOffButton"},  {ControlKind::PSRockerSwitch, "CRockerSwitch"},
        {ControlKind::SaveLoadButton, "CKickButton"},
    };
    const auto found = classes.find(kind);
    return found == classes.end() ? std::string() : found->second;
}

class GalleryTest : public ::testing::Test {
protected:
    GalleryTest() { EXPECT_TRUE(gallery.open(nullptr)); }

    toolkit::CFrame& frame() { return *gallery.getFrame(); }
    toolkit::CControl* controlTagged(int tag) {
        for (int32_t i = 0; i < frame().getNbViews(); ++i)
            if (auto* control = dynamic_cast<toolkit::CControl*>(frame().getView(i)); control && control->getTag() == tag)
                return control;
        return nullptr;
    }

    view::Gallery gallery;
};

TEST_F(GalleryTest, HoldsEveryBitmapControlOfTheLayoutInItsPlace) {
    int expected = 0;
    for (const layout::Control& entry : layout::kControls) {
        const std::string className = classFor(entry.kind);
        if (className.empty()) continue;
        ++expected;
        SCOPED_TRACE(entry.tag);
        toolkit::CControl* control = controlTagged(entry.tag);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(control->isTypeOf(className)) << control->getClassName();
        EXPECT_EQ(control->getViewSize(),
                  toolkit::CRect(entry.rect.left, entry.rect.top, entry.rect.right, entry.rect.bottom));
        EXPECT_NE(control->getBackground(), nullptr);
        if (entry.kind != ControlKind::About) {
            EXPECT_FLOAT_EQ(control->getValue(), static_cast<float>(entry.startValue));
        }
    }
    EXPECT_EQ(frame().getNbViews(), expected);
    EXPECT_GT(expected, 70);
}

TEST_F(GalleryTest, DrawsTheBackgroundWhereNoControlIs) {
    const Pixels background = decodePng(bitmapPng(layout::kBackgroundBitmap, 1));
    ASSERT_EQ(background.width, 875);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 875, 171);
    cairo_t* cr = cairo_create(surface);
    {
        toolkit::CDrawContext context(cr, 1.0);
        frame().drawArea(&context, frame().getViewSize());
    }
    cairo_destroy(cr);
    const Pixels drawn = pixelsOf(surface);
    cairo_surface_destroy(surface);
    int compared = 0;
    for (int y = 0; y < 171; ++y)
        for (int x = 0; x < 875; ++x) {
            bool covered = false;
            for (const layout::Control& entry : layout::kControls)
                covered = covered || (!classFor(entry.kind).empty() && entry.rect.contains(x + 0.5, y + 0.5));
            if (covered) continue;
            ++compared;
            if (drawn.at(x, y) != background.at(x, y)) {
                ADD_FAILURE() << "background differs at " << x << ", " << y;
                return;
            }
        }
    EXPECT_GT(compared, 875 * 171 / 2);
}

}  // namespace
}  // namespace ruvane::testing
