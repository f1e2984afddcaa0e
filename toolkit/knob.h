// Rotary controls: CKnob (drawn handle line or handle bitmap) and CAnimKnob (film strip).
// Linear mode: up and right raise the value, 200 px for the whole range, times the zoom
// factor with Shift. Circular mode follows the pointer's angle.
#pragma once

#include "toolkit/control.h"

namespace toolkit {

class CKnob : public CControl {
public:
    static constexpr CCoord kLinearRange = 200;
    static constexpr float kDefaultZoomFactor = 1.5f;

    CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
          CBitmap* handle = nullptr, const CPoint& offset = {});
    CKnob(const CKnob& other);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, float distance, const CButtonState& buttons) override;
    int32_t onKeyDown(KeyCode& key) override;

    void setZoomFactor(float factor) { zoomFactor = factor; }
    float getZoomFactor() const { return zoomFactor; }
    void setStartAngle(float angle) { startAngle = angle; }
    float getStartAngle() const { return startAngle; }
    void setRangeAngle(float angle) { rangeAngle = angle; }
    float getRangeAngle() const { return rangeAngle; }
    void setInsetValue(CCoord inset) { insetValue = inset; }
    CCoord getInsetValue() const { return insetValue; }
    CBitmap* getHandleBitmap() const { return handle; }

    // Angle maths of the circular mode (points relative to the view's top-left).
    float valueFromPoint(const CPoint& where) const;
    CPoint valueToPoint() const;

    bool isTypeOf(std::string_view className) const override;
    const char* getClassName() const override { return "CKnob"; }
    CView* newCopy() const override { return new CKnob(*this); }

protected:
    ~CKnob() override;

    CPoint offset;
    CBitmap* handle = nullptr;
    float zoomFactor = kDefaultZoomFactor;
    float startAngle;
    float rangeAngle;
    CCoord insetValue;

private:
    // A wheel notch or an arrow key: steps of the wheel increment (fine: scaled down),
    // reported as one whole edit.
    void stepBy(float steps, bool fine);

    // Exists only from press to release.
    struct Drag {
        CPoint firstPoint;
        CPoint lastPoint;
        float entryValue = 0;
        float coef = 0;
        CCoord range = kLinearRange;
        CButtonState buttons;
        bool linear = true;
        float previousValue = 0;  // circular wrap guard
    };
    Drag drag;
    bool dragging = false;
};

class CAnimKnob : public CKnob {
public:
    CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
              CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = {});
    CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
              const CPoint& offset = {});

    void draw(CDrawContext* context) override;
    void setBackground(CBitmap* bitmap) override;

    void setHeightOfOneImage(CCoord height);
    CCoord getHeightOfOneImage() const { return heightOfOneImage; }
    int32_t getNumSubPixmaps() const { return subPixmaps; }
    void setInverseBitmap(bool state) { inverseBitmap = state; }
    bool getInverseBitmap() const { return inverseBitmap; }
    // floor(norm x (n - 1)): only the exact maximum shows the last frame.
    int32_t frameIndex() const;

    bool isTypeOf(std::string_view className) const override;
    const char* getClassName() const override { return "CAnimKnob"; }
    CView* newCopy() const override { return new CAnimKnob(*this); }

private:
    int32_t subPixmaps = 0;
    CCoord heightOfOneImage = 0;
    bool inverseBitmap = false;
};

}  // namespace toolkit
