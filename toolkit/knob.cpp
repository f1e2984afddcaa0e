#include "toolkit/knob.h"

#include <cmath>
#include <numbers>

#include "toolkit/bitmap.h"
#include "toolkit/draw_context.h"
#include "toolkit/frame.h"

namespace toolkit {
namespace {

constexpr float kStartAngle = 3.f * std::numbers::pi_v<float> / 4.f;
constexpr float kRangeAngle = 3.f * std::numbers::pi_v<float> / 2.f;
constexpr CCoord kInsetWithoutHandle = 3;
constexpr CCoord kHandleInsetExtra = 2.5;
constexpr float kFineWheelFactor = 0.1f;
constexpr CColor kShadowLineColor{90, 90, 90, 255};

}  // namespace

CKnob::CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background, CBitmap* handle,
             const CPoint& offset)
    : CControl(size, listener, tag, background),
      offset(offset),
      handle(handle),
      startAngle(kStartAngle),
      rangeAngle(kRangeAngle),
      insetValue(handle != nullptr ? handle->getWidth() / 2 + kHandleInsetExtra : kInsetWithoutHandle) {
    if (handle != nullptr) {
        handle->remember();
    }
}

CKnob::CKnob(const CKnob& other)
    : CControl(other),
      offset(other.offset),
      handle(other.handle),
      zoomFactor(other.zoomFactor),
      startAngle(other.startAngle),
      rangeAngle(other.rangeAngle),
      insetValue(other.insetValue) {
    if (handle != nullptr) {
        handle->remember();
    }
}

CKnob::~CKnob() {
    if (handle != nullptr) {
        handle->forget();
    }
}

bool CKnob::isTypeOf(std::string_view className) const {
    return className == "CKnob" || CControl::isTypeOf(className);
}

float CKnob::valueFromPoint(const CPoint& where) const {
    const CCoord centreX = size.getWidth() / 2;
    const CCoord centreY = size.getHeight() / 2;
    const CCoord radiusX = centreX - insetValue;
    const CCoord radiusY = centreY - insetValue;
    if (radiusX <= 0 || radiusY <= 0) {
        return getValue();
    }
    const double pi = std::numbers::pi;
    double angle = std::atan2((where.y - centreY) / radiusY, (where.x - centreX) / radiusX) -
                   (startAngle + rangeAngle / 2.0);
    angle = std::fmod(angle + pi, 2 * pi);
    if (angle < 0) {
        angle += 2 * pi;
    }
    angle -= pi;  // now in [-pi, pi)
    if (angle > rangeAngle / 2.0) {
        return maxValue;
    }
    if (angle < -rangeAngle / 2.0) {
        return minValue;
    }
    return minValue + static_cast<float>(0.5 + angle / rangeAngle) * (maxValue - minValue);
}

CPoint CKnob::valueToPoint() const {
    const CCoord centreX = size.getWidth() / 2;
    const CCoord centreY = size.getHeight() / 2;
    const double angle = startAngle + getValueNormalized() * rangeAngle;
    return {centreX + std::cos(angle) * (centreX - insetValue) + 0.5,
            centreY + std::sin(angle) * (centreY - insetValue) + 0.5};
}

void CKnob::draw(CDrawContext* context) {
    if (CBitmap* bitmap = getBackground()) {
        context->drawBitmap(*bitmap, size, offset);
    }
    const CPoint tip = valueToPoint();
    if (handle != nullptr) {
        const CCoord left = std::floor(size.left + tip.x - handle->getWidth() / 2);
        const CCoord top = std::floor(size.top + tip.y - handle->getHeight() / 2);
        context->drawBitmap(*handle, CRect(CPoint(left, top), handle->getWidth(), handle->getHeight()));
    } else {
        const CPoint centre(size.left + size.getWidth() / 2, size.top + size.getHeight() / 2);
        const CPoint end(size.left + tip.x, size.top + tip.y);
        context->setLineWidth(1);
        context->setFrameColor(kShadowLineColor);
        context->drawLine(centre - CPoint(1, 0), end - CPoint(1, 0));
        context->setFrameColor(kWhiteCColor);
        context->drawLine(centre + CPoint(1, -1), end + CPoint(1, -1));
    }
    setDirty(false);
}

CMouseEventResult CKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!buttons.isLeftButton()) {
        return kMouseEventNotHandled;
    }
    beginEdit();
    if (checkDefaultValue(buttons)) {
        endEdit();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    const int32_t mode = getFrame() != nullptr ? getFrame()->getKnobMode() : CFrame::kDefaultKnobMode;
    const bool altHeld = (buttons & kAlt) != 0;
    drag = Drag{};
    drag.linear = (mode == kLinearMode) != altHeld;
    drag.firstPoint = where;
    drag.lastPoint = where;
    drag.entryValue = getValue();
    drag.previousValue = getValue();
    drag.range = kLinearRange;
    if (drag.linear && (buttons & kZoomModifier) != 0) {
        drag.range *= zoomFactor;
    }
    drag.coef = static_cast<float>((maxValue - minValue) / drag.range);
    drag.buttons = buttons;
    dragging = true;
    onMouseMoved(where, buttons);
    return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!dragging || !isEditing()) {
        return kMouseEventNotHandled;
    }
    if (drag.linear) {
        const CCoord diff = (drag.firstPoint.y - where.y) + (where.x - drag.firstPoint.x);
        if (buttons != drag.buttons) {
            // Re-base the drag so changing Shift mid-drag does not make the value jump.
            drag.range = kLinearRange;
            if ((buttons & kZoomModifier) != 0) {
                drag.range *= zoomFactor;
            }
            const float oldCoef = drag.coef;
            drag.coef = static_cast<float>((maxValue - minValue) / drag.range);
            drag.entryValue += static_cast<float>(diff) * (oldCoef - drag.coef);
            drag.buttons = buttons;
        }
        if (where != drag.lastPoint) {
            drag.lastPoint = where;
            setValue(drag.entryValue + static_cast<float>(diff) * drag.coef);
        }
    } else if (where != drag.lastPoint) {
        drag.lastPoint = where;
        const CPoint local(where.x - size.left, where.y - size.top);
        const float newValue = valueFromPoint(local);
        const float middle = (maxValue - minValue) / 2;
        if (drag.previousValue - newValue > middle) {
            setValue(maxValue);
        } else if (newValue - drag.previousValue > middle) {
            setValue(minValue);
        } else {
            setValue(newValue);
            drag.previousValue = newValue;
        }
    }
    if (getValue() != getOldValue()) {
        valueChanged();
    }
    if (isDirty()) {
        invalid();
    }
    return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseUp(CPoint&, const CButtonState&) {
    if (dragging) {
        dragging = false;
        endEdit();
    }
    return kMouseEventHandled;
}

bool CKnob::onWheel(const CPoint&, float distance, const CButtonState& buttons) {
    if (!getMouseEnabled()) {
        return false;
    }
    stepBy(distance, (buttons & kZoomModifier) != 0);
    return true;
}

void CKnob::stepBy(float steps, bool fine) {
    float step = steps * wheelInc;
    if (fine) {
        step *= kFineWheelFactor;
    }
    setValueNormalized(getValueNormalized() + step);
    if (isDirty()) {
        invalid();
        beginEdit();
        valueChanged();
        endEdit();
    }
}

int32_t CKnob::onKeyDown(KeyCode& key) {
    float direction = 0;
    switch (key.virtualKey) {
        case kKeyUp:
        case kKeyRight: direction = 1; break;
        case kKeyDown:
        case kKeyLeft: direction = -1; break;
        default: return -1;
    }
    stepBy(direction, (key.modifiers & kShiftModifier) != 0);
    return 1;
}

// ---- CAnimKnob ----

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                     CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CKnob(size, listener, tag, background, nullptr, offset), subPixmaps(subPixmaps) {
    insetValue = 0;
    setHeightOfOneImage(heightOfOneImage);
}

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                     const CPoint& offset)
    : CAnimKnob(size, listener, tag, 0, size.getHeight(), background, offset) {}

bool CAnimKnob::isTypeOf(std::string_view className) const {
    return className == "CAnimKnob" || CKnob::isTypeOf(className);
}

void CAnimKnob::setHeightOfOneImage(CCoord height) {
    heightOfOneImage = height;
    // The bitmap decides the frame count whenever there is one.
    if (getBackground() != nullptr && heightOfOneImage > 0) {
        subPixmaps = static_cast<int32_t>(getBackground()->getHeight() / heightOfOneImage);
    }
}

void CAnimKnob::setBackground(CBitmap* bitmap) {
    CKnob::setBackground(bitmap);
    if (heightOfOneImage > 0) {
        setHeightOfOneImage(heightOfOneImage);
    }
}

int32_t CAnimKnob::frameIndex() const {
    if (subPixmaps <= 1) {
        return 0;
    }
    float norm = getValueNormalized();
    if (inverseBitmap) {
        norm = 1.f - norm;
    }
    const auto index = static_cast<int32_t>(std::floor(norm * static_cast<float>(subPixmaps - 1)));
    return std::clamp(index, 0, subPixmaps - 1);
}

void CAnimKnob::draw(CDrawContext* context) {
    if (CBitmap* bitmap = getBackground()) {
        context->drawBitmap(*bitmap, size, CPoint(0, heightOfOneImage * frameIndex()));
    }
    setDirty(false);
}

}  // namespace toolkit
