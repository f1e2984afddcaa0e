#include "effect/editor/bitmaps.h"

#include "effect/editor/bitmap_resources.h"

namespace ruvane {

toolkit::CBitmap* loadBitmap(int id) {
    const auto png1x = bitmapPng(id, 1);
    if (png1x.empty()) return nullptr;
    auto* bitmap = new toolkit::CBitmap(png1x, bitmapPng(id, 2));
    if (!bitmap->isLoaded()) {
        bitmap->forget();
        return nullptr;
    }
    return bitmap;
}

toolkit::CBitmap* BitmapSet::get(int id) {
    if (const auto found = bitmaps_.find(id); found != bitmaps_.end()) return found->second;
    toolkit::CBitmap* bitmap = loadBitmap(id);
    if (bitmap != nullptr) bitmaps_.emplace(id, bitmap);
    return bitmap;
}

void BitmapSet::clear() {
    for (auto& [id, bitmap] : bitmaps_) bitmap->forget();
    bitmaps_.clear();
}

}  // namespace ruvane
