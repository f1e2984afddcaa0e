#include "effect/editor/controls/zav_switches.h"

#include <algorithm>
#include <cmath>

#include "effect/editor/controls/film_strip.h"

namespace ruvane {

using namespace toolkit;

ZAVSwitch::ZAVSwitch(const CRect& size, CControlListener* listener, int32_t tag, int32_t frameCount,
                     int32_t frameHeight, int32_t positions, CBitmap* bitmap, const CPoint& offset)
    : CHorizontalSwitch(size, listener, tag, frameCount, frameHeight, positions, bitmap, offset) {}

void ZAVSwitch::draw(CDrawContext* context) {
    drawFilmFrame(context, getBackground(), getViewSize(), heightOfOneImage,
                  stepIndex(getValue(), std::max<int32_t>(subPixmaps, 1)), offset + getBackOffset());
    setDirty(false);
}

ZAVSwitchVert::ZAVSwitchVert(const CRect& size, CControlListener* listener, int32_t tag, int32_t frameCount,
                             int32_t frameHeight, int32_t positions, CBitmap* bitmap, const CPoint& offset)
    : CVerticalSwitch(size, listener, tag, frameCount, frameHeight, positions, bitmap, offset),
      positions_(std::max<int32_t>(positions, 1)) {}

void ZAVSwitchVert::draw(CDrawContext* context) {
    drawFilmFrame(context, getBackground(), getViewSize(), heightOfOneImage, stepIndex(getValue(), positions_),
                  offset + getBackOffset());
    setDirty(false);
}

CMouseEventResult ZAVSwitchVert::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    const double band = heightOfOneImage > 0 ? (where.y - getViewSize().top) / heightOfOneImage * positions_ : 0.0;
    // A press on the last pixel row (or a strip shorter than the control) stays on the switch.
    const int32_t index = std::clamp(static_cast<int32_t>(std::floor(band)), int32_t{0}, positions_ - 1);
    setValue(static_cast<float>(index) / static_cast<float>(positions_));
    if (isDirty()) valueChanged();
    invalid();
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

}  // namespace ruvane
