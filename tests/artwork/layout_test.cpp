// The layout table: positions and sizes as the editor's documentation gives them,
// agreement with the bitmap table, the creation order, and the section plates.
#include "effect/editor/layout.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace ruvane::layout {
namespace {

struct Placed {
    int tag;
    double x, y;
    int bitmap;
};

// Controls placed by their top-left corner, written out from the documentation.
constexpr Placed kPlaced[] = {
    {3, 162, 29, 130},  {5, 209, 29, 130},  {4, 162, 93, 131},  {6, 209, 93, 131},
    {16, 486, 29, 132}, {15, 440, 28, 133}, {13, 533, 29, 134}, {11, 392, 93, 135},
    {12, 439, 93, 136}, {47, 486, 93, 137}, {22, 532, 93, 137}, {21, 600, 29, 138},
    {0, 672, 29, 139},  {2, 719, 29, 139},  {1, 766, 29, 139},  {17, 599, 93, 140},
    {18, 646, 93, 141}, {39, 758, 93, 142}, {40, 805, 93, 143}, {41, 814, 44, 144},
    {50, 67, 70, 149},  {19, 258, 54, 145}, {20, 258, 118, 146}, {7, 258, 27, 147},
    {8, 258, 91, 148},  {24, 87, 25, 150},  {25, 87, 89, 150},  {30, 122, 25, 153},
    {31, 122, 89, 153}, {32, 321, 89, 151}, {23, 397, 25, 154}, {14, 397, 55, 154},
    {37, 721, 89, 152}, {38, 721, 120, 152}, {42, 382, 19, 158}, {43, 585, 19, 157},
    {44, 290, 82, 160}, {45, 584, 83, 155}, {46, 697, 82, 161}, {9, 370, 81, 174},
    {62, 91, 50, 168},  {63, 127, 50, 167}, {64, 91, 114, 170}, {65, 128, 114, 169},
    {66, 305, 114, 172}, {67, 341, 114, 171}, {51, 657, 18, 159}, {52, 298, 26, 165},
    {53, 314, 26, 164}, {54, 330, 26, 164}, {55, 347, 26, 164}, {56, 311, 40, 163},
    {57, 327, 40, 163}, {58, 343, 40, 163}, {59, 311, 30, 166}, {60, 327, 30, 166},
    {61, 344, 30, 166}, {68, 43, 23, 173},  {69, 43, 87, 173},
};

struct Given {
    int tag;
    Rect rect;
    int bitmap;
};

// Controls given as rectangles.
constexpr Given kGiven[] = {
    {35, {113, 48, 124, 70}, 0},          {36, {113, 112, 124, 134}, 0},
    {10, {324, 114, 341, 133}, 0},        {49, {293, 21, 364, 46}, 0},
    {70, {307, 51, 352, 75}, 129},        {74, {36, 156, 53, 171}, 991},
    {84, {53, 156, 85, 169}, 992},        {73, {87, 156, 104, 171}, 990},
    {76, {116, 156, 133, 171}, 991},      {85, {134, 156, 178, 169}, 993},
    {75, {179, 156, 196, 171}, 990},      {71, {210, 156.5, 322, 169.5}, 128},
    {83, {322, 157, 335, 169}, 128},      {72, {342, 156, 372, 169}, 995},
    {86, {390, 156, 407, 171}, 991},      {88, {423, 156, 440, 171}, 990},
    {87, {454, 156, 471, 171}, 991},      {89, {488, 156, 505, 171}, 990},
    {80, {612, 156, 629, 171}, 991},      {81, {630, 156, 658, 169}, 994},
    {79, {660, 156, 677, 171}, 990},      {77, {692, 157, 782, 169}, 128},
    {78, {790, 155, 814, 171}, 998},      {82, {815, 155, 839, 171}, 999},
};

TEST(LayoutTable, PlacedControlsTakeTheirBitmapsSize) {
    for (const Placed& placed : kPlaced) {
        const Control* control = findControl(placed.tag);
        ASSERT_NE(control, nullptr) << "tag " << placed.tag;
        const Bitmap* bitmap = findBitmap(placed.bitmap);
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(control->bitmap, placed.bitmap) << "tag " << placed.tag;
        EXPECT_EQ(control->rect, (Rect{placed.x, placed.y, placed.x + bitmap->width,
                                       placed.y + bitmap->frameHeight()}))
            << "tag " << placed.tag;
        EXPECT_EQ(control->frames, bitmap->frames) << "tag " << placed.tag;
    }
}

TEST(LayoutTable, RectangleControlsKeepTheirRectangles) {
    for (const Given& given : kGiven) {
        const Control* control = findControl(given.tag);
        ASSERT_NE(control, nullptr) << "tag " << given.tag;
        EXPECT_EQ(control->rect, given.rect) << "tag " << given.tag;
        EXPECT_EQ(control->bitmap, given.bitmap) << "tag " << given.tag;
        // Where a panel control shows a strip of its own, its rectangle fits one frame.
        const Bitmap* bitmap = findBitmap(given.bitmap);
        if (bitmap != nullptr && given.bitmap >= 990) {
            EXPECT_EQ(control->rect.width(), bitmap->width) << "tag " << given.tag;
            EXPECT_EQ(control->rect.height(), bitmap->frameHeight()) << "tag " << given.tag;
            EXPECT_EQ(control->frames, bitmap->frames) << "tag " << given.tag;
        }
    }
}

TEST(LayoutTable, ListsEveryControlOnceInCreationOrder) {
    const std::vector<int> order = {
        // Knobs, bypass, link, inverts, switches, Flt On, Drv On, active lamp, Mod On,
        // Vco On, Rvb On, display, step buttons with the LFO rate area between 66 and
        // 67, waveform, time and tempo areas, meters, about.
        3, 5, 4, 6, 16, 15, 13, 11, 12, 47, 22, 21, 0, 2, 1, 17, 18, 39, 40, 41, 50, 19, 20, 7,
        8, 24, 25, 30, 31, 32, 23, 14, 37, 38, 42, 43, 51, 44, 45, 46, 52, 53, 54, 55, 56, 57,
        58, 59, 60, 61, 62, 63, 64, 65, 66, 10, 67, 9, 35, 36, 49, 68, 69, 70,
        // The preset strip.
        71, 83, 72, 73, 74, 84, 75, 76, 85, 88, 86, 89, 87, 77, 78, 79, 80, 81, 82};
    ASSERT_EQ(kControls.size(), order.size());
    for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(kControls[i].tag, order[i]) << "#" << i;
    EXPECT_EQ(std::size(kPlaced) + std::size(kGiven), kControls.size());
}

TEST(LayoutTable, KindsDefaultsAndWheel) {
    for (const Control& control : kControls) {
        const bool knob = control.kind == ControlKind::AnimKnob;
        EXPECT_EQ(isSet(control.wheelIncrement), knob) << "tag " << control.tag;
        if (knob) {
            EXPECT_EQ(control.frames, 101);
            EXPECT_EQ(control.wheelIncrement, 0.03125);
        }
        EXPECT_GE(control.startValue, control.kind == ControlKind::PSRockerSwitch ? -1 : 0);
        EXPECT_LE(control.startValue, 1);
    }
    EXPECT_EQ(findControl(6)->defaultValue, 1);
    EXPECT_EQ(findControl(47)->defaultValue, 0.0990991);
    EXPECT_EQ(findControl(30)->defaultValue, 1);
    EXPECT_EQ(findControl(24)->defaultValue, 0);
    EXPECT_EQ(findControl(10)->defaultValue, 0.5);
    EXPECT_EQ(findControl(50)->defaultValue, 1);
    for (int none : {35, 36, 49}) EXPECT_FALSE(isSet(findControl(none)->defaultValue)) << none;
    EXPECT_EQ(findControl(9)->kind, ControlKind::SwitchVert);
    EXPECT_EQ(findControl(9)->positions, 5);
    for (int tag : {84, 85, 81}) EXPECT_TRUE(findControl(tag)->doubleClickOnly) << tag;
    for (int tag : {86, 87, 88, 89}) EXPECT_FALSE(findControl(tag)->doubleClickOnly) << tag;
    EXPECT_EQ(findControl(999), nullptr);
}

TEST(LayoutTable, ControlsLieOnThePanelAndInsideTheirPlates) {
    std::set<int> tags;
    for (const Control& control : kControls) {
        EXPECT_TRUE(tags.insert(control.tag).second) << "tag " << control.tag << " twice";
        EXPECT_GE(control.rect.left, 0);
        EXPECT_GE(control.rect.top, 0);
        EXPECT_LE(control.rect.right, kEditorWidth);
        EXPECT_LE(control.rect.bottom, kEditorHeight);
        Section section = control.section == Section::Lfo ? Section::Modulation : control.section;
        const Plate* plate = findPlate(section);
        if (plate == nullptr) continue;  // link button and preset strip
        EXPECT_LE(plate->rect.left, control.rect.left) << "tag " << control.tag;
        EXPECT_GE(plate->rect.right, control.rect.right) << "tag " << control.tag;
        EXPECT_LE(plate->rect.top, control.rect.top) << "tag " << control.tag;
        EXPECT_GE(plate->rect.bottom, control.rect.bottom) << "tag " << control.tag;
    }
    for (size_t i = 0; i < kPlates.size(); ++i)
        for (size_t j = i + 1; j < kPlates.size(); ++j) {
            const Rect& a = kPlates[i].rect;
            const Rect& b = kPlates[j].rect;
            const bool apart = a.right <= b.left || b.right <= a.left || a.bottom <= b.top ||
                               b.bottom <= a.top;
            EXPECT_TRUE(apart) << kPlates[i].title << " overlaps " << kPlates[j].title;
        }
    EXPECT_LE(kBottomRowBottom, kPresetStripTop);
}

}  // namespace
}  // namespace ruvane::layout
