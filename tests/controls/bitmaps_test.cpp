// Loading the editor's bitmaps by resource id.
#include "effect/editor/bitmaps.h"

#include <gtest/gtest.h>

#include "effect/editor/layout.h"

namespace ruvane {
namespace {

TEST(EditorBitmaps, EveryLayoutBitmapLoadsAtItsSizeWithA2xImage) {
    for (const layout::Bitmap& entry : layout::kBitmaps) {
        SCOPED_TRACE(entry.id);
        toolkit::CBitmap* bitmap = loadBitmap(entry.id);
        ASSERT_NE(bitmap, nullptr);
        EXPECT_TRUE(bitmap->isLoaded());
        EXPECT_TRUE(bitmap->hasImage2x());
        EXPECT_EQ(bitmap->getWidth(), entry.width);
        EXPECT_EQ(bitmap->getHeight(), entry.height);
        EXPECT_EQ(bitmap->getNbReference(), 1);  // the caller's
        bitmap->forget();
    }
}

TEST(EditorBitmaps, UnknownIdsGiveNothing) {
    for (int id : {0, 127, 156, 162, 175, 989, 1000, -1}) EXPECT_EQ(loadBitmap(id), nullptr) << id;
}

TEST(EditorBitmaps, SetLoadsOnceAndLetsGoOfItsReferences) {
    BitmapSet set;
    toolkit::CBitmap* first = set.get(layout::kBackgroundBitmap);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(set.get(layout::kBackgroundBitmap), first);
    EXPECT_EQ(set.get(156), nullptr);
    first->remember();  // a control using it
    EXPECT_EQ(first->getNbReference(), 2);
    set.clear();
    EXPECT_EQ(first->getNbReference(), 1);
    EXPECT_NE(set.get(layout::kBackgroundBitmap), first) << "a cleared set loads afresh";
    first->forget();
}

}  // namespace
}  // namespace ruvane
