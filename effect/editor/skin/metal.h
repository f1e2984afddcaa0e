// Materials of the panel: brushed anodised metal, screws and recessed wells.
#pragma once

#include "effect/editor/layout.h"
#include "effect/editor/skin/paint.h"

#include <cstdint>

namespace ruvane::skin {

// Brushed metal written straight into the pixels of an opaque surface: a grain along
// each device row, longer streaks on the open metal, a soft light falloff from the
// top (`falloff`: the brightness difference from top to bottom), a fine speckle.
// Where `recessed` says so, the `plate` colour is used instead of `face`, evenly lit
// and without streaks, so a control bitmap sits seamlessly on any plate.
void brushedMetal(cairo_surface_t* surface, uint64_t seed, double brightness,
                  bool (*recessed)(double x, double y), Colour face, Colour plate,
                  double falloff);

// A slotted screw head of 3.6 units radius.
void screw(cairo_t* cr, double cx, double cy, double angleDegrees);

// A flat well with an inset edge (dark above and left, light below and right) just
// outside `rect`.
void well(cairo_t* cr, const layout::Rect& rect, Colour fill);

}  // namespace ruvane::skin
