// The skin's bitmaps: one painter per family, and the renderer that stacks frames.
#pragma once

#include "effect/editor/layout.h"
#include "effect/editor/skin/paint.h"

#include <map>

namespace ruvane::skin {

// One frame of a bitmap, drawn in 1x units into (0, 0, width, height).
struct Frame {
    const layout::Bitmap& bitmap;
    int index;
    double width;
    double height;
};

using FramePainter = void (*)(cairo_t* cr, const Frame& frame);

// Families (one file each).
void paintKnob(cairo_t* cr, const Frame& frame);
void paintLedButton(cairo_t* cr, const Frame& frame);
void paintLitBar(cairo_t* cr, const Frame& frame);
void paintJewelLamp(cairo_t* cr, const Frame& frame);
void paintStepKey(cairo_t* cr, const Frame& frame);
void paintSlideSwitch(cairo_t* cr, const Frame& frame);
void paintSegmentSwitch(cairo_t* cr, const Frame& frame);
void paintWaveSwitch(cairo_t* cr, const Frame& frame);
void paintDigit(cairo_t* cr, const Frame& frame);
void paintDecimalPoint(cairo_t* cr, const Frame& frame);
void paintSeparatorLamp(cairo_t* cr, const Frame& frame);
void paintMeter(cairo_t* cr, const Frame& frame);
void paintFileArrow(cairo_t* cr, const Frame& frame);
void paintLegendKey(cairo_t* cr, const Frame& frame);
void paintRocker(cairo_t* cr, const Frame& frame);
void paintModeKey(cairo_t* cr, const Frame& frame);

// The painter of a control bitmap id, or null for 128, 129 and unknown ids.
FramePainter painterFor(int id);

// The first control that shows bitmap `id`; its place on the panel decides the
// backdrop of an opaque bitmap.
const layout::Control* firstUser(int id);

// The faceplate without legends: brushed metal, plates, strip band. Control bitmaps
// copy their backdrop from it, so they sit seamlessly on the panel.
Surface renderBareBackground(int scale);

// A control bitmap, all frames stacked, at `scale`.
Surface renderControlBitmap(int id, int scale, cairo_surface_t* bareBackground);

// The finished background 128 (legends, scales, wells; the preset strip's own
// bitmaps pasted at frame 0) and the about screen 129.
Surface renderBackground(int scale, cairo_surface_t* bareBackground,
                         const std::map<int, Surface>& controlBitmaps);
Surface renderAbout(int scale);

// Every bitmap id of the layout table at `scale`.
std::map<int, Surface> renderAll(int scale);

// Frame shown by a control of `kind` with `value`, as the toolkit picks it.
int frameForValue(const layout::Control& control, double value);

}  // namespace ruvane::skin
