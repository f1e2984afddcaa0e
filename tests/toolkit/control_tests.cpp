// CRect, CButtonState and CControl: ranges, dirty state, begin/end edit order and the
// default-value gesture.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "toolkit/button_state.h"
#include "toolkit/control.h"
#include "toolkit/geometry.h"
#include "toolkit_test_support.h"

namespace toolkit_test {
namespace {

TEST(Geometry, PointInsideExcludesRightAndBottomEdges) {
    const CRect r(10, 20, 30, 40);
    EXPECT_TRUE(r.pointInside({10, 20}));
    EXPECT_TRUE(r.pointInside({29.9, 39.9}));
    EXPECT_FALSE(r.pointInside({30, 25}));
    EXPECT_FALSE(r.pointInside({15, 40}));
    EXPECT_TRUE(r.pointInsideInclusive({30, 40}));
    EXPECT_FALSE(r.pointInsideInclusive({30.1, 40}));
}

TEST(Geometry, OverlapUniteAndBound) {
    CRect a(0, 0, 10, 10);
    EXPECT_TRUE(a.rectOverlap(CRect(9, 9, 20, 20)));
    EXPECT_FALSE(a.rectOverlap(CRect(10, 0, 20, 10)));  // touching edges do not overlap
    a.unite(CRect(5, 5, 20, 15));
    EXPECT_EQ(a, CRect(0, 0, 20, 15));
    CRect b(-5, -5, 8, 30);
    b.bound(CRect(0, 0, 10, 10));
    EXPECT_EQ(b, CRect(0, 0, 8, 10));
    CRect c(50, 50, 60, 60);
    c.bound(CRect(0, 0, 10, 10));
    EXPECT_TRUE(c.isEmpty());
}

TEST(ButtonState, LeftAndRightButtonAllowModifiersButNoSecondButton) {
    EXPECT_TRUE(CButtonState(kLButton).isLeftButton());
    EXPECT_TRUE(CButtonState(kLButton | kShift | kControl).isLeftButton());
    EXPECT_FALSE(CButtonState(kLButton | kRButton).isLeftButton());
    EXPECT_TRUE(CButtonState(kRButton | kAlt).isRightButton());
    EXPECT_EQ(CButtonState(kLButton | kShift | kDoubleClick).getModifierState(), kShift);
    EXPECT_EQ(CButtonState(kLButton | kShift | kDoubleClick).getButtonState(), kLButton);
    EXPECT_TRUE(CButtonState(kLButton | kDoubleClick).isDoubleClick());
}

TEST(Control, DefaultsMatchTheToolkit) {
    auto* control = new CControl(CRect(0, 0, 10, 10));
    EXPECT_EQ(control->getValue(), 0.f);
    EXPECT_EQ(control->getMin(), 0.f);
    EXPECT_EQ(control->getMax(), 1.f);
    EXPECT_EQ(control->getDefaultValue(), 0.5f);
    EXPECT_FLOAT_EQ(control->getWheelInc(), 0.1f);
    EXPECT_EQ(control->getTag(), -1);
    EXPECT_FALSE(control->getTransparency());
    EXPECT_TRUE(control->getMouseEnabled());
    EXPECT_TRUE(control->isDirty()) << "a new control differs from its last drawn value";
    control->forget();
}

TEST(Control, SetValueClampsAndNaNLandsOnMin) {
    struct Case {
        float min, max, input, expected;
    };
    const Case cases[] = {
        {0, 1, 0.25f, 0.25f}, {0, 1, 2.f, 1.f}, {0, 1, -3.f, 0.f}, {-1, 1, -0.5f, -0.5f},
        {0, 1, std::numeric_limits<float>::quiet_NaN(), 0.f}, {0, 1, std::numeric_limits<float>::infinity(), 1.f},
    };
    for (const Case& c : cases) {
        auto* control = new CControl(CRect(0, 0, 10, 10));
        control->setMin(c.min);
        control->setMax(c.max);
        control->setValue(c.input);
        EXPECT_EQ(control->getValue(), c.expected) << "input " << c.input;
        control->forget();
    }
}

TEST(Control, NormalizedValueFollowsTheRange) {
    auto* control = new CControl(CRect(0, 0, 10, 10));
    control->setMin(-1);
    control->setMax(3);
    control->setValueNormalized(0.25f);
    EXPECT_FLOAT_EQ(control->getValue(), 0.f);
    EXPECT_FLOAT_EQ(control->getValueNormalized(), 0.25f);
    control->setValueNormalized(7.f);
    EXPECT_FLOAT_EQ(control->getValue(), 3.f);
    control->setMax(-1);  // zero range
    EXPECT_EQ(control->getValueNormalized(), 0.f);
    control->forget();
}

TEST(Control, SetMinAndMaxBounceTheValueSilently) {
    FrameFixture f;
    auto* control = f.add(new CControl(CRect(0, 0, 10, 10), &f.listener, 3));
    control->setValue(0.9f);
    control->setMax(0.5f);
    EXPECT_EQ(control->getValue(), 0.5f);
    EXPECT_TRUE(f.log.entries.empty());
}

TEST(Control, DirtyStateTracksTheLastDrawnValue) {
    auto* control = new CControl(CRect(0, 0, 10, 10));
    control->setDirty(false);
    EXPECT_FALSE(control->isDirty());
    control->setValue(0.3f);
    EXPECT_TRUE(control->isDirty());
    control->setDirty(false);
    EXPECT_FALSE(control->isDirty());
    EXPECT_EQ(control->getOldValue(), 0.3f);
    control->setDirty(true);
    EXPECT_TRUE(control->isDirty());
    control->setValue(-1);
    control->setDirty(true);
    EXPECT_NE(control->getOldValue(), control->getValue()) << "a value of exactly -1 still reads as dirty";
    control->forget();
}

TEST(Control, BeginReachesListenerThenEditorAndEndReachesEditorThenListener) {
    FrameFixture f;
    auto* control = f.add(new CControl(CRect(0, 0, 10, 10), &f.listener, 7));
    control->beginEdit();
    control->beginEdit();  // nested: silent
    EXPECT_TRUE(control->isEditing());
    control->endEdit();    // still one open: silent
    control->endEdit();
    control->endEdit();    // unmatched: ignored
    const std::vector<std::string> expected = {"listener begin 7", "editor begin 7", "editor end 7",
                                               "listener end 7"};
    EXPECT_EQ(f.log.entries, expected);
    EXPECT_FALSE(control->isEditing());
}

TEST(Control, DefaultValueGestureNeedsExactlyCtrlAndLeftButton) {
    struct Case {
        int32_t buttons;
        float startValue;
        bool applies;
        bool notifies;
    };
    const Case cases[] = {
        {kLButton | kControl, 0.2f, true, true},
        {kLButton | kControl, 0.5f, true, false},  // already the default: true, but silent
        {kLButton | kControl | kShift, 0.2f, false, false},
        {kLButton, 0.2f, false, false},
        {kRButton | kControl, 0.2f, false, false},
        {kLButton | kRButton | kControl, 0.2f, false, false},
        {kLButton | kAlt, 0.2f, false, false},
    };
    for (const Case& c : cases) {
        FrameFixture f;
        auto* control = f.add(new CControl(CRect(0, 0, 10, 10), &f.listener, 2));
        control->setValue(c.startValue);
        EXPECT_EQ(control->checkDefaultValue(CButtonState(c.buttons)), c.applies) << "buttons " << c.buttons;
        if (c.notifies) {
            const std::vector<std::string> expected = {"listener begin 2", "editor begin 2", "changed 2=0.5",
                                                       "editor end 2", "listener end 2"};
            EXPECT_EQ(f.log.entries, expected);
        } else {
            EXPECT_TRUE(f.log.entries.empty()) << "buttons " << c.buttons;
        }
        EXPECT_EQ(control->getValue(), c.applies ? 0.5f : c.startValue);
    }
}

TEST(Control, CopyBackOffsetUsesTheTopLeftCorner) {
    auto* control = new CControl(CRect(12, 34, 50, 60));
    control->copyBackOffset();
    EXPECT_EQ(control->getBackOffset(), CPoint(12, 34));
    control->forget();
}

TEST(Control, TypeQueryAndCopy) {
    auto* control = new CControl(CRect(1, 2, 3, 4), nullptr, 9);
    EXPECT_TRUE(control->isTypeOf("CControl"));
    EXPECT_TRUE(control->isTypeOf("CView"));
    EXPECT_FALSE(control->isTypeOf("CKnob"));
    control->setValue(0.7f);
    auto* copy = static_cast<CControl*>(control->newCopy());
    EXPECT_EQ(copy->getValue(), 0.7f);
    EXPECT_EQ(copy->getTag(), 9);
    EXPECT_EQ(copy->getNbReference(), 1);
    EXPECT_FALSE(copy->isAttached());
    copy->forget();
    control->forget();
}

}  // namespace
}  // namespace toolkit_test
