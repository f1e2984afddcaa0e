// The editor's bitmaps, loaded by resource id from the PNGs embedded in the library
// (1x, and 2x for high-density screens).
#pragma once

#include <map>

#include "toolkit/bitmap.h"

namespace ruvane {

// A new bitmap holding one reference for the caller, or null when the id has no
// picture or its PNG does not decode.
toolkit::CBitmap* loadBitmap(int id);

// Bitmaps loaded once and released together: the set keeps one reference to each,
// and whoever else uses one remembers it (controls do so themselves).
class BitmapSet {
public:
    BitmapSet() = default;
    ~BitmapSet() { clear(); }
    BitmapSet(const BitmapSet&) = delete;
    BitmapSet& operator=(const BitmapSet&) = delete;

    // The bitmap for id, loaded on first use; null when it cannot be loaded.
    toolkit::CBitmap* get(int id);
    // Drops the set's references (bitmaps still used by views live on).
    void clear();

private:
    std::map<int, toolkit::CBitmap*> bitmaps_;
};

}  // namespace ruvane
