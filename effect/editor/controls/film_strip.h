// Drawing one frame of a film strip (frames stacked vertically in one bitmap) and the
// switch rules that pick a frame from a value.
#pragma once

#include <cstdint>

#include "effect/engine/parameters.h"
#include "toolkit/bitmap.h"
#include "toolkit/draw_context.h"
#include "toolkit/geometry.h"

namespace ruvane {

// The frame an n-position control shows for a value: floor(n x), within 0..n-1.
inline int32_t stepIndex(float value, int32_t steps) { return switchPosition(value, steps); }

// The value written for position i of n: the centre of its band.
inline float stepCentre(int32_t position, int32_t steps) { return switchValue(position, steps); }

// Copies frame `frame` (one frameHeight tall, starting at origin inside the bitmap) onto
// dest, fully opaque. Does nothing without a bitmap.
inline void drawFilmFrame(toolkit::CDrawContext* context, toolkit::CBitmap* bitmap, const toolkit::CRect& dest,
                          toolkit::CCoord frameHeight, int32_t frame, const toolkit::CPoint& origin) {
    if (context == nullptr || bitmap == nullptr) return;
    const toolkit::CPoint source(origin.x, origin.y + frameHeight * frame);
    context->drawBitmap(*bitmap, dest, source, 1.0f);
}

}  // namespace ruvane
